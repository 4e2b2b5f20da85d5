#include "viewer/print/frmPrint.h"

#include "ui_frmPrint.h"

#include "common/LeadingNumber.h"
#include "common/ui/Printers.h"
#include "common/ui/SelectAllText.h"
#include "viewer/print/PrintJob.h"

#include <QCloseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>

namespace tolva::print {

namespace {

int pixels(double twips)
{
    return whole(twips / kTwipsPerPixel);
}

QRect pixels(const QRect& twips)
{
    return {pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height())};
}

// Where the preview frame starts, twips from the window's left and top.
constexpr int kPreviewFrameLeft = 3465;
constexpr int kPreviewFrameTop = 360;
constexpr int kLabelHeight = 240;

} // namespace

frmPrint::frmPrint(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui(std::make_unique<Ui::frmPrint>())
    , m_platform(platform)
{
    ui->setupUi(this);
    setWindowTitle(kAppTitle + QStringLiteral(" Print"));
    if (m_platform.printer) {
        m_printer = m_platform.printer;
    } else {
        m_ownPrinter = std::make_unique<QtPrinterService>(this);
        m_printer = m_ownPrinter.get();
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &frmPrint::PrintScale);

    for (QLineEdit* box : {ui->txtScale, ui->txtLeft, ui->txtTop}) {
        SelectAllText::attach(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (m_layoutReady)
                armTimer();
        });
    }
    connect(ui->chkFit, &QCheckBox::toggled, this, &frmPrint::armTimer);
    connect(ui->chkCenter, &QCheckBox::toggled, this, [this](bool center) {
        if (!ui->chkFit->isChecked()) {
            ui->txtLeft->setEnabled(!center);
            ui->txtTop->setEnabled(!center);
        }
        armTimer();
    });
    connect(ui->VScroll1, &QScrollBar::valueChanged, this, &frmPrint::stepScale);
    connect(ui->VScroll2, &QScrollBar::valueChanged, this, &frmPrint::stepMargin);

    connect(ui->optPort, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            m_printer->setOrientation(1);
            PageSetup();
        }
    });
    connect(ui->optLand, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            m_printer->setOrientation(2);
            PageSetup();
        }
    });
    for (QRadioButton* option : {ui->optPlot, ui->optWindow}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                PageSetup();
        });
    }
    connect(ui->cmdPrinter, &QPushButton::clicked, this, &frmPrint::setupCommand);
    connect(ui->cmdPrint, &QPushButton::clicked, this, &frmPrint::printCommand);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_platform.help)
            m_platform.help->showTopic(kHelpTopicPrinting);
    });
}

frmPrint::~frmPrint() = default;

bool frmPrint::plotMode() const
{
    return ui->optPlot->isChecked();
}

void frmPrint::PrintSetup(QWidget* host, const QImage& picture)
{
    m_host = host;
    m_picture = picture;
    if (host) {
        setWindowIcon(host->windowIcon());
        ui->Image1->setPixmap(host->windowIcon().pixmap(ui->Image1->size()));
    }
    if (!m_placed)
        placeOnHost();
    if (m_platform.sounds)
        m_platform.sounds->play(QStringLiteral("Maximize"));
    PageSetup();
    show();
    raise();
    activateWindow();
}

void frmPrint::placeOnHost()
{
    m_placed = true;
    m_previewSize = LeadingNumber(m_settings.ReadSetting(settings::kTopo3D, kPrintPreviewSize,
                                                         QString::number(kPreviewSizeDefault)));
    // The stored width is taken as the rules take any width.
    const QSize size = PlotWindowSize(whole(m_previewSize));
    m_previewSize = size.width();
    resize(pixels(size.width()), pixels(size.height()));
    if (m_host) {
        const QRect host = m_host->geometry();
        move(CentredOn(host, QSize(width(), height())));
    }
}

void frmPrint::PageSetup()
{
    m_page = ReadPage(*m_printer);
    ui->labPrinter->setText(QStringLiteral("Print to: ") + m_page.deviceName);
    const double offsetLeft = m_page.offsetLeft / double(kTwipsPerInch);
    const double offsetTop = m_page.offsetTop / double(kTwipsPerInch);
    const QString left = CheckMargin(ui->txtLeft->text(), offsetLeft, m_page.pageWidth / double(kTwipsPerInch) - offsetLeft);
    const QString top = CheckMargin(ui->txtTop->text(), offsetTop, m_page.pageHeight / double(kTwipsPerInch) - offsetTop);
    ui->txtLeft->setText(left);
    ui->txtTop->setText(top);
    {
        const QSignalBlocker port(ui->optPort);
        const QSignalBlocker land(ui->optLand);
        (m_page.orientation == 2 ? ui->optLand : ui->optPort)->setChecked(true);
    }

    const bool plot = plotMode();
    for (QWidget* control : std::initializer_list<QWidget*>{ui->Frame1, ui->Frame2, ui->Frame4, ui->txtScale, ui->VScroll1,
                                                           ui->chkCenter, ui->txtLeft, ui->txtTop, ui->optPort, ui->optLand})
        control->setEnabled(plot);
    ui->picPreview->setVisible(plot);
    if (plot) {
        const QSize size = PlotWindowSize(whole(m_previewSize));
        resize(pixels(size.width()), pixels(size.height()));
        // The window manager keeps a dragged window from the smallest size;
        // resizeEvent holds the rest of the rules. Set after the resize: a
        // window-mode window would be grown to it and take it as the
        // preview size.
        const QSize smallest = PlotWindowSize(0);
        setMinimumSize(pixels(smallest.width()), pixels(smallest.height()));
        layOutPreview();
        PrintScale();
    } else {
        setMinimumSize(0, 0);
        resize(pixels(kWindowModeSize.width()), pixels(kWindowModeSize.height()));
    }
}

void frmPrint::layOutPreview()
{
    const int windowWidth = width() * kTwipsPerPixel;
    const int side = PreviewFrameSide(windowWidth);
    ui->Picture1->setGeometry(pixels(QRect(kPreviewFrameLeft, kPreviewFrameTop, side, side)));
    ui->Label3->setGeometry(pixels(QRect(kPreviewFrameLeft, kPreviewFrameTop - kLabelHeight - 60, side, kLabelHeight)));
    ui->Label4->setGeometry(pixels(QRect(kPreviewFrameLeft, kPreviewFrameTop + side + 60, side, kLabelHeight)));
    ui->picPreview->setGeometry(pixels(PreviewPage(m_page.orientation == 2 ? 2 : 1, side, m_page)));
}

void frmPrint::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!plotMode() || !ui->picPreview->isVisibleTo(this))
        return;
    const QSize wanted = PlotWindowSize(width() * kTwipsPerPixel);
    const QSize wantedPixels(pixels(wanted.width()), pixels(wanted.height()));
    m_previewSize = wanted.width();
    if (size() != wantedPixels) {
        resize(wantedPixels);   // comes back here with the size the rules want
        return;
    }
    layOutPreview();
    PrintScale();
}

void frmPrint::PrintScale()
{
    // This layout takes in every edit so far: a pending one would repeat it.
    m_timer->stop();
    m_layoutReady = false;
    LayoutInput in;
    in.page = m_page;
    in.picture = m_picture.size();
    in.scale = ui->txtScale->text();
    in.left = ui->txtLeft->text();
    in.top = ui->txtTop->text();
    in.fit = ui->chkFit->isChecked();
    in.center = ui->chkCenter->isChecked();
    m_layout = print::PrintScale(in, m_layout);

    ui->txtScale->setText(m_layout.scale);
    ui->txtLeft->setText(m_layout.left);
    ui->txtTop->setText(m_layout.top);
    ui->txtScale->setEnabled(m_layout.scaleEnabled);
    ui->VScroll1->setEnabled(m_layout.scaleEnabled);
    ui->txtLeft->setEnabled(m_layout.leftEnabled);
    ui->txtTop->setEnabled(m_layout.topEnabled);
    if (plotMode())
        DrawPreview(ui->picPreview);
    m_layoutReady = true;
}

void frmPrint::DrawPreview(QLabel* target)
{
    QPixmap sheet(target->size());
    sheet.fill(Qt::white);
    if (!m_picture.isNull()) {
        const QRect at = PreviewPicture(target->size(), LeadingNumber(ui->txtLeft->text()),
                                        LeadingNumber(ui->txtTop->text()), m_page,
                                        m_layout.plotWidth, m_layout.plotHeight);
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(at, m_picture);
    }
    target->setPixmap(sheet);
}

void frmPrint::armTimer()
{
    m_timer->start();
}

void frmPrint::stepScale(int value)
{
    if (value == 0)
        return;
    ui->txtScale->setText(StepScale(ui->txtScale->text(), value));
    const QSignalBlocker rest(ui->VScroll1);
    ui->VScroll1->setValue(0);
}

void frmPrint::stepMargin(int value)
{
    if (value == 0)
        return;
    QLineEdit* box = m_topBoxActive ? ui->txtTop : ui->txtLeft;
    box->setText(StepMargin(box->text(), value));
    const QSignalBlocker rest(ui->VScroll2);
    ui->VScroll2->setValue(0);
}

bool frmPrint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == ui->txtLeft)
            m_topBoxActive = false;
        else if (watched == ui->txtTop)
            m_topBoxActive = true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmPrint::report(const QString& text)
{
    if (m_platform.messages)
        m_platform.messages->show({text, kAppTitle, MessageIcon::Exclamation});
}

void frmPrint::setupCommand()
{
    if (!m_printer->showDialog(PrinterService::Dialog::Setup)) {
        if (!m_printer->errorText().isEmpty())
            report(QStringLiteral("Print setup error: ") + m_printer->errorText());
        return;
    }
    PageSetup();
}

void frmPrint::printCommand()
{
    m_printer->setFastPrint(m_settings.ReadSetting(settings::kTopo3D, kFastPrint, settings::kTrue)
                            .compare(settings::kFalse, Qt::CaseInsensitive) != 0);
    if (!m_printer->showDialog(PrinterService::Dialog::Print)) {
        if (!m_printer->errorText().isEmpty())
            report(QStringLiteral("Printing error: ") + m_printer->errorText());
        return;
    }
    PageSetup();
    m_settings.WriteSetting(settings::kTopo3D, kFastPrint, m_printer->fastPrint());

    QString file;
    const bool toFile = m_printer->printToFile();
    if (toFile) {
        if (!m_platform.files)
            return;
        const std::optional<QString> chosen = m_platform.files->saveFile(
            {QStringLiteral("Print To File"), QString(), QStringLiteral("*.prn"),
             QStringLiteral("Printer Files (*.prn);;PDF Files (*.pdf)")});
        if (!chosen || chosen->isEmpty())
            return;
        file = *chosen;
    }

    QImage picture = m_picture;
    QRect plot(m_layout.plotLeft, m_layout.plotTop, m_layout.plotWidth, m_layout.plotHeight);
    if (ui->optWindow->isChecked()) {
        // The window in the screen's own pixels, laid out at its size on the
        // screen: as large on paper on a high-density screen as on any other.
        picture = m_host ? m_host->grab().toImage() : QImage();
        plot = WindowPlot(picture.deviceIndependentSize().toSize(), m_page);
    }
    const QString error = PrintPages(*m_printer, file, PagesToPrint(toFile, m_printer->copies()), picture, plot);
    if (!error.isEmpty())
        report(QStringLiteral("Printing error: ") + error);
}

void frmPrint::closeEvent(QCloseEvent* event)
{
    m_timer->stop();
    if (m_platform.sounds)
        m_platform.sounds->play(QStringLiteral("Minimize"));
    // The plot-mode width: in window mode the window is shrunk, and that
    // width is not the preview size the user chose.
    m_settings.WriteSetting(settings::kTopo3D, kPrintPreviewSize, m_previewSize);
    event->accept();
    QWidget::closeEvent(event);
    if (m_host) {
        m_host->setEnabled(true);
        m_host->activateWindow();
        m_host->setFocus();
    }
    emit closed();
}

} // namespace tolva::print
