#pragma once
// Whether any printer is installed: the print command is offered only then.

#include "common/Platform.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace tolva {

// The names of the installed printers (QPrinterInfo; CUPS on Linux).
QStringList InstalledPrinterNames();

// True when at least one printer is installed. `printerNames` lists them; the
// tests hand in their own list instead of asking the system.
bool PrinterAvailable(const std::function<QStringList()>& printerNames = InstalledPrinterNames);

// The printer service on Qt printing: the default printer (or, with none
// installed, Qt's PDF output), QPageSetupDialog for "Setup" and QPrintDialog
// for printing, with a "Fast print" option that prints at draft resolution.
// Copies are printed as pages of their own, so the printer itself is always
// asked for one copy. An output file is written as PDF.
class QtPrinterService : public PrinterService {
public:
    explicit QtPrinterService(QWidget* dialogParent = nullptr);
    ~QtPrinterService() override;

    QString deviceName() const override;
    int pageWidth() const override;
    int pageHeight() const override;
    int offsetLeft() const override;
    int offsetTop() const override;
    int printableWidth() const override;
    int printableHeight() const override;
    int orientation() const override;
    void setOrientation(int orientation) override;

    bool showDialog(Dialog dialog) override;
    bool fastPrint() const override { return m_fastPrint; }
    void setFastPrint(bool fast) override { m_fastPrint = fast; }
    bool printToFile() const override { return m_printToFile; }
    int copies() const override { return m_copies; }

    bool startDoc(const QString& documentName, const QString& outputFile) override;
    bool startPage() override;
    bool drawPicture(const QImage& picture, int left, int top, int width, int height) override;
    bool endPage() override;
    bool endDoc() override;
    QString errorText() const override { return m_error; }

    // The resolution of "Fast print", dots per inch.
    static constexpr int kDraftResolution = 150;

private:
    bool fail(const QString& why);

    QPointer<QWidget> m_parent;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    bool m_fastPrint = true;
    bool m_printToFile = false;
    int m_copies = 1;
    int m_fullResolution = 1200;
    bool m_pageOpen = false;
    int m_pagesStarted = 0;
    QString m_error;
};

} // namespace tolva
