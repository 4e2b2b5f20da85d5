#pragma once
// The print window: a preview of the page with the captured 3-D picture,
// its placement (orientation, scale or fit, margins or centring), the
// printer's set-up and the print command. The layout rules are in
// PageLayout.h, the document in PrintJob.h; this form reads and writes its
// controls and calls them.

#include "common/Platform.h"
#include "common/SettingsStore.h"
#include "viewer/print/PageLayout.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;

namespace Ui {
class frmPrint;
}

namespace tolva::print {

class frmPrint : public QWidget {
    Q_OBJECT
public:
    // Uses `platform.printer` when given, else a printer service of its own
    // on Qt printing that lives as long as the window.
    explicit frmPrint(const Platform& platform, QWidget* parent = nullptr);
    ~frmPrint() override;

    // Keeps the host window and its captured picture, places the window
    // centred on the host (first time only), lays out the page and shows the
    // window.
    void PrintSetup(QWidget* host, const QImage& picture);
    // Reads the printer, checks the margins, lays out the preview and
    // switches between plot and window mode.
    void PageSetup();
    // Lays the picture out on the page and redraws the preview.
    void PrintScale();

    const PlotLayout& layout() const { return m_layout; }
    const PageValues& page() const { return m_page; }
    bool layoutReady() const { return m_layoutReady; }

signals:
    // The window was closed ("Done" or its close box); the host is enabled.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool plotMode() const;
    void placeOnHost();
    void layOutPreview();
    void DrawPreview(QLabel* target);
    void armTimer();
    void stepScale(int value);
    void stepMargin(int value);
    void setupCommand();
    void printCommand();
    void report(const QString& text);

    std::unique_ptr<Ui::frmPrint> ui;
    Platform m_platform;
    std::unique_ptr<PrinterService> m_ownPrinter;
    PrinterService* m_printer = nullptr;
    SettingsStore m_settings;
    QTimer* m_timer = nullptr;

    QPointer<QWidget> m_host;     // HostForm
    QImage m_picture;             // SourcePicture
    PageValues m_page;
    PlotLayout m_layout;
    double m_previewSize = kPreviewSizeDefault;
    bool m_layoutReady = false;
    bool m_topBoxActive = false;
    bool m_placed = false;
};

} // namespace tolva::print
