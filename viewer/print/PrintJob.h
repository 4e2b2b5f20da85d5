#pragma once
// The document the print command sends to the printer service, and the
// capture of the 3-D picture that feeds both the printer and the clipboard.

#include "common/Platform.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace tolva::print {

// The application's title and the document name the printer shows.
inline const QString kAppTitle = QStringLiteral("Tolva3DView");
inline const QString kDocumentName = kAppTitle + QStringLiteral(" Page");

// Settings of the viewer's section used by the print window.
inline const QString kPrintPreviewSize = QStringLiteral("PrintPreviewSize");
inline const QString kFastPrint = QStringLiteral("FastPrint");

// One page per copy to a printer, exactly one page to a file.
int PagesToPrint(bool toFile, int copies);

// One document of `pages` pages, each with `picture` at `plot` (twips within
// the printable area), written to `outputFile` or, when that is empty, to the
// printer. Empty when printed, else why the printer refused; a started
// document is ended then too, and an unfinished output file removed.
QString PrintPages(PrinterService& printer, const QString& outputFile, int pages,
                const QImage& picture, const QRect& plot);

// The picture that the 3-D view shows: `frame` as drawn stretched to the
// view's size `shown`, in device pixels (on a high-density screen the picture
// is that many pixels; the print layout takes only its shape). It becomes the clipboard's only content. A missing
// frame or an empty view is reported as "ClipWindow error: " with the reason
// and gives a null image; so does a clipboard that cannot be reached.
QImage ClipWindow(const QImage& frame, QSize shown, MessageSink* messages);

// The copy command: ClipWindow, then the confirmation when the picture was
// copied (a failed capture is reported by ClipWindow alone).
QImage CopyCommand(const QImage& frame, QSize shown, MessageSink* messages);

} // namespace tolva::print
