#pragma once
// Whether any printer is installed: the print command is offered only then.

#include <QStringList>

#include <functional>

namespace tolva {

// The names of the installed printers (QPrinterInfo; CUPS on Linux).
QStringList InstalledPrinterNames();

// True when at least one printer is installed. `printerNames` lists them; the
// tests hand in their own list instead of asking the system.
bool PrinterAvailable(const std::function<QStringList()>& printerNames = InstalledPrinterNames);

} // namespace tolva
