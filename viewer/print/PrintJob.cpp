#include "viewer/print/PrintJob.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>

namespace tolva::print {

int PagesToPrint(bool toFile, int copies)
{
    return toFile ? 1 : std::max(copies, 1);
}

namespace {

// A failure never reads as success, even from a printer that gives no reason.
QString refusal(const PrinterService& printer)
{
    const QString why = printer.errorText();
    return why.isEmpty() ? QStringLiteral("The printer did not accept the document.") : why;
}

// A file the printer could not finish is not left behind as if printed.
void removeUnfinished(const QString& outputFile)
{
    if (!outputFile.isEmpty())
        QFile::remove(outputFile);
}

} // namespace

QString PrintPages(PrinterService& printer, const QString& outputFile, int pages,
                const QImage& picture, const QRect& plot)
{
    if (!printer.startDoc(kDocumentName, outputFile))
        return refusal(printer);
    for (int copy = 1; copy <= pages; ++copy) {
        if (!printer.startPage()
            || !printer.drawPicture(picture, plot.x(), plot.y(), plot.width(), plot.height())
            || !printer.endPage()) {
            const QString why = refusal(printer);
            printer.endDoc();
            removeUnfinished(outputFile);
            return why;
        }
    }
    if (!printer.endDoc()) {
        const QString why = refusal(printer);
        removeUnfinished(outputFile);
        return why;
    }
    return {};
}

namespace {

void reportClip(MessageSink* messages, const QString& why)
{
    if (messages)
        messages->show({QStringLiteral("ClipWindow error: \n") + why, kAppTitle, MessageIcon::Exclamation});
}

} // namespace

QImage ClipWindow(const QImage& frame, QSize shown, MessageSink* messages)
{
    if (frame.isNull() || shown.isEmpty()) {
        reportClip(messages, QStringLiteral("There is no 3-D picture to copy."));
        return {};
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        reportClip(messages, QStringLiteral("The clipboard cannot be reached."));
        return {};
    }
    QImage picture = frame.size() == shown
        ? frame
        : frame.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture = picture.convertToFormat(QImage::Format_RGB32);
    clipboard->clear();
    clipboard->setImage(picture);
    return picture;
}

QImage CopyCommand(const QImage& frame, QSize shown, MessageSink* messages)
{
    QImage picture = ClipWindow(frame, shown, messages);
    // A failed capture has been reported; confirming a copy then would tell
    // the user the clipboard holds a picture it does not.
    if (messages && !picture.isNull())
        messages->show({QStringLiteral("3-D window copied to clipboard."), kAppTitle, MessageIcon::Information});
    return picture;
}

} // namespace tolva::print
