#pragma once
// Closing the viewer's window when the session or another process asks the
// program to end (SIGTERM, SIGINT, SIGHUP): the window closes as if the user
// had closed it, so a running motion ends first and the settings are saved,
// instead of the program dying with nothing saved.

class QWidget;

namespace tolva {

// Watches the three signals from now on and closes `window` when one comes.
// Call once, after the QApplication exists.
void CloseOnTerminationSignals(QWidget* window);

} // namespace tolva
