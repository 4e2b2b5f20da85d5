#pragma once
// What the viewer window calls to copy and print its 3-D picture.

#include "common/Platform.h"

#include <QImage>
#include <QSize>

class QWidget;

namespace tolva::print {

class frmPrint;

// The viewer's print command: the picture shown (`frame` stretched to the 3-D
// view's size `shown`, in device pixels) goes to the clipboard, then the print window opens
// with it. Null when there is no picture (reported as for a copy).
frmPrint* PrintCommand(QWidget* viewer, const QImage& frame, QSize shown, const Platform& platform);

// Opens the print window of `viewer` with `picture` (created on first use,
// reused afterwards, destroyed with the viewer) and disables the viewer
// until the print window closes, however it is closed: the print window's
// closed() re-enables it. Returns at once; the viewer refreshes its view on
// closed() if it needs to.
frmPrint* ShowPrintWindow(QWidget* viewer, const QImage& picture, const Platform& platform);

} // namespace tolva::print
