#include "common/ui/Printers.h"

#include <QCheckBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace tolva {

QStringList InstalledPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

bool PrinterAvailable(const std::function<QStringList()>& printerNames)
{
    return printerNames && !printerNames().isEmpty();
}

namespace {

// Points (1/72 inch) to twips (1/1440 inch).
int twips(double points)
{
    return qRound(points * 20.0);
}

} // namespace

QtPrinterService::QtPrinterService(QWidget* dialogParent)
    : m_parent(dialogParent)
    , m_printer(std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution))
{
    m_fullResolution = m_printer->resolution();
    if (m_printer->printerName().isEmpty())
        m_printer->setOutputFormat(QPrinter::PdfFormat);
}

QtPrinterService::~QtPrinterService()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

QString QtPrinterService::deviceName() const
{
    const QString name = m_printer->printerName();
    return name.isEmpty() ? QStringLiteral("PDF") : name;
}

int QtPrinterService::pageWidth() const
{
    return twips(m_printer->pageLayout().fullRect(QPageLayout::Point).width());
}

int QtPrinterService::pageHeight() const
{
    return twips(m_printer->pageLayout().fullRect(QPageLayout::Point).height());
}

int QtPrinterService::offsetLeft() const
{
    return twips(m_printer->pageLayout().paintRect(QPageLayout::Point).left());
}

int QtPrinterService::offsetTop() const
{
    return twips(m_printer->pageLayout().paintRect(QPageLayout::Point).top());
}

int QtPrinterService::printableWidth() const
{
    return twips(m_printer->pageLayout().paintRect(QPageLayout::Point).width());
}

int QtPrinterService::printableHeight() const
{
    return twips(m_printer->pageLayout().paintRect(QPageLayout::Point).height());
}

int QtPrinterService::orientation() const
{
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void QtPrinterService::setOrientation(int orientation)
{
    m_printer->setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QtPrinterService::showDialog(Dialog dialog)
{
    m_error.clear();
    if (dialog == Dialog::Setup) {
        QPageSetupDialog setup(m_printer.get(), m_parent);
        return setup.exec() == QDialog::Accepted;
    }
    QPrintDialog print(m_printer.get(), m_parent);
    print.setOption(QAbstractPrintDialog::PrintToFile, true);
    print.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("Options"));
    auto* fast = new QCheckBox(QStringLiteral("Fast print (draft resolution)"), options);
    fast->setObjectName(QStringLiteral("chkFastPrint"));
    fast->setChecked(m_fastPrint);
    auto* layout = new QVBoxLayout(options);
    layout->addWidget(fast);
    layout->addStretch();
    print.setOptionTabs({options});
    if (print.exec() != QDialog::Accepted)
        return false;
    m_fastPrint = fast->isChecked();
    m_printToFile = m_printer->outputFormat() == QPrinter::PdfFormat || !m_printer->outputFileName().isEmpty();
    m_copies = std::max(m_printer->copyCount(), 1);
    return true;
}

bool QtPrinterService::fail(const QString& why)
{
    m_error = why;
    return false;
}

bool QtPrinterService::startDoc(const QString& documentName, const QString& outputFile)
{
    m_error.clear();
    if (m_painter && m_painter->isActive())
        return fail(QStringLiteral("A document is already being printed."));
    m_printer->setDocName(documentName);
    m_printer->setCopyCount(1);
    m_printer->setResolution(m_fastPrint ? std::min(kDraftResolution, m_fullResolution) : m_fullResolution);
    if (!outputFile.isEmpty()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(outputFile);
    } else if (!m_printer->printerName().isEmpty()) {
        m_printer->setOutputFileName(QString());
        m_printer->setOutputFormat(QPrinter::NativeFormat);
    } else {
        return fail(QStringLiteral("No printer is installed."));
    }
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        return fail(outputFile.isEmpty()
                        ? QStringLiteral("The printer \"%1\" cannot be opened.").arg(deviceName())
                        : QStringLiteral("The file \"%1\" cannot be written.").arg(outputFile));
    }
    m_pagesStarted = 0;
    m_pageOpen = false;
    return true;
}

bool QtPrinterService::startPage()
{
    if (!m_painter || !m_painter->isActive())
        return fail(QStringLiteral("No document has been started."));
    // The painter opens the first page; every later one is a new sheet.
    if (m_pagesStarted > 0 && !m_printer->newPage())
        return fail(QStringLiteral("The printer refused a new page."));
    ++m_pagesStarted;
    m_pageOpen = true;
    return true;
}

bool QtPrinterService::drawPicture(const QImage& picture, int left, int top, int width, int height)
{
    if (!m_pageOpen)
        return fail(QStringLiteral("No page has been started."));
    if (picture.isNull())
        return fail(QStringLiteral("There is no picture to print."));
    // The painter's origin is the printable area's corner, in device dots.
    const double dots = m_printer->resolution() / 1440.0;
    m_painter->drawImage(QRectF(left * dots, top * dots, width * dots, height * dots), picture);
    return true;
}

bool QtPrinterService::endPage()
{
    if (!m_pageOpen)
        return fail(QStringLiteral("No page has been started."));
    m_pageOpen = false;
    return true;
}

bool QtPrinterService::endDoc()
{
    m_pageOpen = false;
    if (!m_painter || !m_painter->isActive())
        return fail(QStringLiteral("No document has been started."));
    const bool ended = m_painter->end();
    m_painter.reset();
    if (!ended || m_printer->printerState() == QPrinter::Error)
        return fail(QStringLiteral("The printer reported an error while printing."));
    return true;
}

} // namespace tolva
