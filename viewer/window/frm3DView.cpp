#include "window/frm3DView.h"

#include "ui_frm3DView.h"

#include "common/LeadingNumber.h"
#include "common/Messages.h"
#include "common/PathTools.h"
#include "common/SafeSave.h"
#include "common/ui/QtPlatform.h"
#include "common/ui/SelectAllText.h"
#include "navigation/ViewControls.h"
#include "print/PrintWindow.h"
#include "print/PrintJob.h"
#include "print/frmPrint.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "window/PictureBox.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

namespace tolva {

namespace {

const QString kLiveMapName = QStringLiteral("Tolva3D.ebm");
const QString kTitle = QStringLiteral("Tolva3D Viewer");
const QString kKeepView = QStringLiteral("KeepView");
const QString kOpenFilter = QStringLiteral("Tolva3D File (*.ebm);;Bitmap Files (*.bmp)");
const QString kSaveFilter = QStringLiteral("Tolva3D File (*.ebm)");

// Twips are 1/1440 inch: 15 to a pixel at 96 dots per inch.
double TwipsPerPixel(const QWidget& widget)
{
    const int dpi = widget.logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// The arrow key of a key event, when it is one.
std::optional<Arrow> ArrowOf(int key)
{
    switch (key) {
    case Qt::Key_Left: return Arrow::Left;
    case Qt::Key_Up: return Arrow::Up;
    case Qt::Key_Right: return Arrow::Right;
    case Qt::Key_Down: return Arrow::Down;
    default: return std::nullopt;
    }
}

// A stored Boolean: "True"/"False" in any case, or a number (0 is false).
bool StoredBoolean(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(settings::kTrue, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(settings::kFalse, Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && value != 0.0;
}

// Protected names are compared as cleaned absolute paths, so that "./x" or
// "a/../x" cannot slip past; the comparison keeps the case.
QString CleanPath(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

frm3DView::frm3DView(const Platform& platform, ViewerSetup setup, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::frm3DView>()),
      m_platform(platform),
      m_setup(std::move(setup)),
      m_chain(platform.messages, m_setup.display),
      m_nav(m_scene, m_view, *this)
{
    m_ui->setupUi(this);
    m_ui->picMain->setStretched(true);
    m_ui->picMap->setMouseTracking(true);
    m_ui->picMap->setToolTip(QStringLiteral("Double-click to reload topographic file"));
    m_display = std::make_unique<DisplayRefresh>(m_chain, m_scene, m_view, *m_ui->picMain);
    setEarthColor(m_view.EarthColor);

    m_timer1.setInterval(5000);
    m_motion.setInterval(kPassIntervalMs);
    m_motion.setTimerType(Qt::PreciseTimer);
    connectControls();
}

frm3DView::~frm3DView() = default;

void frm3DView::connectControls()
{
    Ui::frm3DView& ui = *m_ui;
    connect(&m_timer1, &QTimer::timeout, this, &frm3DView::Timer1_Timer);
    connect(&m_motion, &QTimer::timeout, this, &frm3DView::motionPass);

    connect(ui.cmdOpen, &QPushButton::clicked, this, &frm3DView::cmdOpen_Click);
    connect(ui.cmdSave, &QPushButton::clicked, this, &frm3DView::cmdSave_Click);
    connect(ui.cmdCopy, &QPushButton::clicked, this, &frm3DView::onCopy);
    connect(ui.cmdPrint, &QPushButton::clicked, this, &frm3DView::onPrint);
    connect(ui.cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(ui.cmdHelp, &QToolButton::clicked, this, &frm3DView::cmdHelp_Click);
    connect(ui.cmdAction, &QPushButton::clicked, this, &frm3DView::cmdAction_Click);
    connect(ui.cmdAuto, &QToolButton::clicked, this, &frm3DView::cmdAuto_Click);
    connect(ui.cmdReset, &QPushButton::clicked, this, [this] {
        m_ui->picMain->setFocus();
        ViewReset();
    });
    connect(ui.chkActive, &QCheckBox::toggled, this, &frm3DView::chkActive_Click);
    connect(ui.picMain, &PictureBox::clicked, this, &frm3DView::ViewRefresh);


    connect(ui.optPan, &QRadioButton::toggled, this, [this](bool on) { if (on) modeSelected(MoveMode::Pan); });
    connect(ui.optWalk, &QRadioButton::toggled, this, [this](bool on) { if (on) modeSelected(MoveMode::Walk); });
    connect(ui.optFly, &QRadioButton::toggled, this, [this](bool on) { if (on) modeSelected(MoveMode::Fly); });
    connect(ui.chkRotate, &QCheckBox::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_nav.SetRotateAroundCenter(on);
        showNavigation();
    });
    connect(ui.HScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_showing)
            return;
        m_nav.SetWalkSpeed(value);
        showNavigation();
        m_ui->picMain->setFocus();
    });
    connect(ui.HScroll2, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_showing)
            return;
        m_nav.SetFlyAltitude(value);
        showNavigation();
    });
    connect(ui.txtAngle, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_showing)
            return;
        const QString shown = m_nav.SetViewAngleText(text);
        if (shown != text) {
            const QScopedValueRollback guard(m_showing, true);
            m_ui->txtAngle->setText(shown);
        }
    });
    connect(ui.UpDown2, &QSpinBox::valueChanged, this, &frm3DView::stepAngle);
    connect(ui.UpDown1, &QSpinBox::valueChanged, this, &frm3DView::stepMeshOrLight);

    connect(ui.optPoints, &QRadioButton::toggled, this, [this](bool on) { if (on) renderModeSelected(FillMode::Points); });
    connect(ui.optWire, &QRadioButton::toggled, this, [this](bool on) { if (on) renderModeSelected(FillMode::Wireframe); });
    connect(ui.optSolid, &QRadioButton::toggled, this, [this](bool on) { if (on) renderModeSelected(FillMode::Solid); });
    connect(ui.optSoft, &QRadioButton::toggled, this, [this](bool on) { if (on) renderPathSelected(RenderPath::Software); });
    connect(ui.optHard, &QRadioButton::toggled, this, [this](bool on) { if (on) renderPathSelected(RenderPath::Hardware); });

    SelectAllText::attachAll(this);
    // The window sees the arrow keys before its controls do, and the clicks,
    // focus and map panel events that its handlers take (see eventFilter).
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);
}

// --- Seams -------------------------------------------------------------------

void frm3DView::message(const MessageReport& report)
{
    if (m_platform.messages)
        m_platform.messages->show(report);
}

QString frm3DView::liveMapPath() const
{
    return QDir(m_setup.programFolder).filePath(kLiveMapName);
}

bool frm3DView::running() const
{
    return m_ui->cmdAction->text() == QStringLiteral("Stop");
}

void frm3DView::setEarthColor(quint32 color)
{
    m_view.EarthColor = color & 0x00FFFFFFu;
    QPalette palette = m_ui->SSPanel1->palette();
    palette.setColor(QPalette::Window, ColorFromColorRef(m_view.EarthColor));
    m_ui->SSPanel1->setPalette(palette);
}

// --- Start-up and closing ----------------------------------------------------

bool frm3DView::Start()
{
    if (!m_setup.printerAvailable)
        m_ui->cmdPrint->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    m_ui->txtMeshHeight->setText(m_store.ReadSetting(settings::kTopo3D, settings::kTopoHeight, QStringLiteral("10")));
    m_ui->txtLight->setText(m_store.ReadSetting(settings::kTopo3D, settings::kTopoLight, QStringLiteral("0.5")));
    setEarthColor(quint32(qint32(
        LeadingNumber(m_store.ReadSetting(settings::kTopo3D, settings::kTopoColor, QStringLiteral("&H00FFFFFF&"))))));
    {
        // The stored choice only selects the option; the display is set up below.
        const QScopedValueRollback guard(m_showing, true);
        const bool hardware = StoredBoolean(m_store.ReadSetting(settings::kTopo3D, settings::kTopoRender, settings::kFalse));
        (hardware ? m_ui->optHard : m_ui->optSoft)->setChecked(true);
        m_ui->chkKeepView->setChecked(m_store.ReadSetting(settings::kTopo3D, kKeepView, settings::kFalse) == settings::kTrue);
    }
    m_store.WriteSetting(settings::kTopo3D, settings::kCaption, windowTitle());
    // The data folder ends with its separator, so that names can be appended.
    m_dataPath = m_store.ReadSetting(settings::kSettings, settings::kDataPath, QString());
    if (!m_dataPath.isEmpty() && !m_dataPath.endsWith(QLatin1Char('/')) && !m_dataPath.endsWith(QLatin1Char('\\')))
        m_dataPath += QLatin1Char('/');

    placeWindow();
    show();
    m_ui->Label1->move((m_ui->picMain->width() - m_ui->Label1->width()) / 2, m_ui->Label1->y());
    // The frame is drawn at the density of the screen the window is on, and
    // drawn again at the new one when the window moves to another screen.
    m_chain.SetFrameSide(FrameSide(devicePixelRatioF()));
    if (QWindow* window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &frm3DView::followScreenDensity, Qt::UniqueConnection);

    bool ready = false;
    if (m_ui->optHard->isChecked()) {
        ready = m_chain.Loading2(m_scene);
        if (!ready && m_chain.HardwareFailed) {
            const QScopedValueRollback guard(m_showing, true);
            fallBackToSoftware();
        }
    }
    if (!ready && !m_chain.Loading(m_scene)) {
        QApplication::restoreOverrideCursor();
        message({QStringLiteral("Cannot run DirectX version on this system."), kViewerTitle, MessageIcon::Critical});
        close();
        return false;
    }

    m_ui->Label1->hide();
    m_startupDone = true;
    m_ui->Label1->setText(QStringLiteral("Please wait, rendering 3D..."));
    QApplication::restoreOverrideCursor();
    if (m_setup.commandLine == QStringLiteral("/open"))
        cmdOpen_Click();
    return true;
}

void frm3DView::placeWindow()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const double tpp = TwipsPerPixel(*this);
    const double screenWidth = area.width() * tpp;
    const double screenHeight = area.height() * tpp;
    const double windowWidth = width() * tpp;
    const double windowHeight = height() * tpp;

    // A stored value that is not a number leaves the centred default.
    auto stored = [this](const QString& key, double screenSize, double windowSize) {
        const QString fallback = CentredPosition(screenSize, windowSize);
        bool ok = false;
        float value = m_store.ReadSetting(settings::kTopo3D, key, fallback).trimmed().toFloat(&ok);
        if (!ok)
            value = fallback.toFloat();
        if (value < 0.0f)
            value = 0.0f;
        if (value > screenSize)
            value = float(screenSize - windowSize);
        return value;
    };
    const float left = stored(settings::kLeft, screenWidth, windowWidth);
    const float top = stored(settings::kTop, screenHeight, windowHeight);
    move(area.x() + qRound(left / tpp), area.y() + qRound(top / tpp));
}

void frm3DView::closeEvent(QCloseEvent* event)
{
    m_timer1.stop();
    if (!m_closing && running()) {
        // The motion ends at its next pass and then closes the window.
        m_closing = true;
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        m_motion.stop();
        if (m_setup.commandLine == QStringLiteral("/open") && m_platform.sounds)
            m_platform.sounds->play(QStringLiteral("Minimize"));
        m_chain.UnloadDX();
        if (m_platform.help)
            m_platform.help->close();
        saveSettings();
    }
    event->accept();
}

void frm3DView::saveSettings()
{
    const double tpp = TwipsPerPixel(*this);
    const QPoint origin = screen() ? screen()->geometry().topLeft() : QPoint();
    m_store.WriteSetting(settings::kTopo3D, settings::kLeft, float((x() - origin.x()) * tpp));
    m_store.WriteSetting(settings::kTopo3D, settings::kTop, float((y() - origin.y()) * tpp));
    m_store.WriteSetting(settings::kTopo3D, settings::kTopoHeight, m_ui->txtMeshHeight->text());
    m_store.WriteSetting(settings::kTopo3D, settings::kTopoLight, m_ui->txtLight->text());
    m_store.WriteSetting(settings::kTopo3D, settings::kTopoColor, qint32(m_view.EarthColor));
    m_store.WriteSetting(settings::kTopo3D, settings::kTopoRender, m_ui->optHard->isChecked());
    m_store.WriteSetting(settings::kTopo3D, kKeepView, m_ui->chkKeepView->isChecked());
    m_store.WriteSetting(settings::kTopo3D, settings::kCaption, QStringLiteral("Closed"));
}

void frm3DView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!(windowState() & Qt::WindowMinimized)) {
        ViewRefresh();
        ViewRefresh();
    }
}

void frm3DView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if ((windowState() & Qt::WindowMinimized) && running())
            cmdAction_Click();
        else if (!(windowState() & Qt::WindowMinimized)) {
            ViewRefresh();
            ViewRefresh();
        }
    }
}

void frm3DView::cmdHelp_Click()
{
    if (m_platform.help)
        m_platform.help->showTopic(kHelpTopicViewer);
}

void frm3DView::SSPanel1_Click()
{
    if (!m_platform.colors)
        return;
    if (const std::optional<quint32> chosen = m_platform.colors->chooseColor(m_view.EarthColor))
        setEarthColor(*chosen);
}

// --- Events ------------------------------------------------------------------

bool frm3DView::eventFilter(QObject* watched, QEvent* event)
{
    Ui::frm3DView& ui = *m_ui;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A key unhandled by a control goes on to its parents: it is taken
        // once, where it first arrives.
        auto* key = static_cast<QKeyEvent*>(event);
        const QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (watched == first && !key->isAutoRepeat())
            if (const std::optional<Arrow> arrow = ArrowOf(key->key()))
                type == QEvent::KeyPress ? directionDown(*arrow) : directionUp(*arrow);
        return false;
    }
    // The direction buttons show the state of their flag, engaged or
    // released, rather than whether the mouse is down on them.
    if (const std::optional<Arrow> arrow = directionButton(watched)) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            if (static_cast<QWidget*>(watched)->isEnabled())
                directionDown(*arrow);
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            if (static_cast<QWidget*>(watched)->isEnabled())
                directionUp(*arrow);
            return true;
        }
    }
    if (watched == ui.txtLight && type == QEvent::FocusIn)
        m_adjustTarget = QStringLiteral("Light");
    else if (watched == ui.txtMeshHeight && type == QEvent::FocusIn)
        m_adjustTarget = QStringLiteral("Height");
    else if (watched == ui.SSPanel1 && type == QEvent::MouseButtonRelease) {
        SSPanel1_Click();
        return true; // a click on the swatch is not also a click on its frame
    }
    else if (watched == ui.picMap) {
        if (type == QEvent::MouseMove) {
            const QPointF at = static_cast<QMouseEvent*>(event)->position();
            const MapPointer pointer = m_nav.MapMouseMove(float(at.x()), float(at.y()), running());
            ui.picMap->setCursor(pointer.cross ? Qt::CrossCursor : Qt::ArrowCursor);
            ui.picMap->setToolTip(pointer.tooltip);
        } else if (type == QEvent::MouseButtonPress) {
            m_nav.MapMouseDown(running());
            showNavigation();
        } else if (type == QEvent::MouseButtonRelease) {
            m_nav.MapMouseUp(running());
            showNavigation();
        } else if (type == QEvent::MouseButtonDblClick) {
            switch (m_nav.MapDoubleClicked(running())) {
            case MapDoubleClick::ReloadMap: FileOpen(); break;
            case MapDoubleClick::OpenCommand: cmdOpen_Click(); break;
            case MapDoubleClick::Nothing: break;
            }
        }
    } else if (type == QEvent::MouseButtonRelease
               && (watched == this || watched == ui.frTop || watched == ui.frVeiw || watched == ui.frMesh
                   || watched == ui.frBottom)) {
        // A click counts for the frame it lands on, not for the frames around it.
        if (!static_cast<QWidget*>(watched)->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            ViewRefresh();
    }
    return QWidget::eventFilter(watched, event);
}

// --- Showing the navigation state ---------------------------------------------

void frm3DView::showNavigation()
{
    const QScopedValueRollback guard(m_showing, true);
    Ui::frm3DView& ui = *m_ui;
    ui.HScroll1->setValue(m_view.WalkSpeed);
    ui.HScroll2->setValue(m_view.FlyAltitude);
    ui.optWalk->setText(WalkSpeedCaption(m_view.WalkSpeed));
    ui.optFly->setText(FlyAltitudeCaption(m_view.FlyAltitude));
    ui.labDir->setText(DirectionCaption(m_view.Direction));
    ui.txtAngle->setText(FormatWhole(m_view.ViewAngle));
    const MoveMode mode = m_view.MoveMode;
    (mode == MoveMode::Pan ? ui.optPan : mode == MoveMode::Walk ? ui.optWalk : ui.optFly)->setChecked(true);
    ui.HScroll2->setEnabled(mode != MoveMode::Walk);
    ui.chkRotate->setChecked(m_view.RotateAroundCenter);
    ui.chkRotate->setEnabled(mode == MoveMode::Pan && !latched());
    const DirectionTooltips tips = TooltipsFor(mode, m_view.RotateAroundCenter);
    ui.cmdUp->setToolTip(tips.up);
    ui.cmdDown->setToolTip(tips.down);
    ui.cmdLeft->setToolTip(tips.left);
    ui.cmdRight->setToolTip(tips.right);
    ui.cmdUp->setDown(m_nav.held(Arrow::Up));
    ui.cmdDown->setDown(m_nav.held(Arrow::Down));
    ui.cmdLeft->setDown(m_nav.held(Arrow::Left));
    ui.cmdRight->setDown(m_nav.held(Arrow::Right));
    const MapCursorPlace cursor = m_nav.cursor();
    ui.MapCursor->move(qRound(cursor.left), qRound(cursor.top));
}

bool frm3DView::latched() const
{
    return m_nav.autoMode() && (m_view.LeftHeld || m_view.UpHeld || m_view.RightHeld || m_view.DownHeld);
}

std::optional<Arrow> frm3DView::directionButton(const QObject* watched) const
{
    const Ui::frm3DView& ui = *m_ui;
    if (watched == ui.cmdLeft)
        return Arrow::Left;
    if (watched == ui.cmdUp)
        return Arrow::Up;
    if (watched == ui.cmdRight)
        return Arrow::Right;
    if (watched == ui.cmdDown)
        return Arrow::Down;
    return std::nullopt;
}

void frm3DView::directionDown(Arrow arrow)
{
    applySwitchLock(m_nav.KeyDown(int(arrow)));
    showNavigation();
}

void frm3DView::directionUp(Arrow arrow)
{
    applySwitchLock(m_nav.KeyUp(int(arrow)));
    showNavigation();
    m_ui->picMain->setFocus();
}

void frm3DView::applySwitchLock(SwitchLock lock)
{
    if (lock != SwitchLock::Unchanged)
        AutoEnable(lock == SwitchLock::Unlock);
}

void frm3DView::AutoEnable(bool enable)
{
    Ui::frm3DView& ui = *m_ui;
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdReset), static_cast<QWidget*>(ui.optWalk),
                             static_cast<QWidget*>(ui.optFly), static_cast<QWidget*>(ui.optPan),
                             static_cast<QWidget*>(ui.txtAngle), static_cast<QWidget*>(ui.UpDown2)})
        control->setEnabled(enable);
    if (enable)
        m_nav.ClearHeld();
    showNavigation(); // chkRotate follows the latch there
}

void frm3DView::cmdAuto_Click()
{
    applySwitchLock(m_nav.AutoClick());
    m_ui->cmdAuto->setDown(m_nav.autoMode());
    m_ui->labAuto->setVisible(m_nav.autoMode());
    showNavigation();
    m_ui->picMain->setFocus();
}

void frm3DView::modeSelected(MoveMode mode)
{
    if (m_showing)
        return;
    switch (mode) {
    case MoveMode::Pan: m_nav.SelectPan(); break;
    case MoveMode::Walk: m_nav.SelectWalk(); break;
    case MoveMode::Fly: m_nav.SelectFly(); break;
    }
    showNavigation();
    m_ui->picMain->setFocus();
}

void frm3DView::stepAngle(int value)
{
    if (m_showing || value == 0)
        return;
    const QScopedValueRollback guard(m_showing, true);
    m_ui->txtAngle->setText(m_nav.StepViewAngle(value));
    m_ui->UpDown2->setValue(0);
}

void frm3DView::stepMeshOrLight(int value)
{
    if (m_showing || value == 0)
        return;
    const QScopedValueRollback guard(m_showing, true);
    if (m_adjustTarget == QStringLiteral("Height"))
        m_ui->txtMeshHeight->setText(StepMeshHeightText(m_ui->txtMeshHeight->text(), value));
    else
        m_ui->txtLight->setText(StepLightText(m_ui->txtLight->text(), value));
    m_ui->UpDown1->setValue(0);
}

void frm3DView::renderModeSelected(FillMode mode)
{
    m_chain.SetFillMode(mode);
    ViewRefresh();
}

void frm3DView::renderPathSelected(RenderPath path)
{
    if (!m_startupDone || m_showing)
        return;
    m_chain.UnloadDX();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ready = path == RenderPath::Hardware ? m_chain.Loading2(m_scene) : m_chain.Loading(m_scene);
    QApplication::restoreOverrideCursor();
    if (path == RenderPath::Hardware && !ready && m_chain.HardwareFailed) {
        fallBackToSoftware();
        return;
    }
    m_ui->picMain->clear();
    m_ui->cmdSave->setEnabled(false);
    m_ui->cmdCopy->setEnabled(false);
    m_ui->cmdPrint->setEnabled(false);
    if (!MapFilePath.isEmpty())
        FileOpen();
}

// Outside start-up, selecting the software option sets that path up through
// its own switch and loads the map again.
void frm3DView::fallBackToSoftware()
{
    m_ui->optHard->setEnabled(false);
    m_ui->optSoft->setChecked(true);
}

// The display is made again at the new screen's density with the scene kept,
// so a shown map only needs drawing afresh; an OpenGL display that cannot be
// made at the new size falls back as a failed switch to it does.
void frm3DView::followScreenDensity()
{
    if (m_chain.SetFrameSide(FrameSide(devicePixelRatioF())))
        ViewRefresh();
    else if (m_chain.path() == RenderPath::Hardware && m_chain.HardwareFailed)
        fallBackToSoftware();
}

// The size of picMain in device pixels, as the copy and print take the view.
QSize frm3DView::viewPixels() const
{
    return (QSizeF(m_ui->picMain->size()) * m_ui->picMain->devicePixelRatioF()).toSize();
}

// The picture picMain shows is the rendered frame itself, so the copy and the
// print take it from there rather than from the screen, which other windows
// may cover.
void frm3DView::onCopy()
{
    const QImage picture =
        print::CopyCommand(m_ui->picMain->picture(), viewPixels(), m_platform.messages);
    m_ui->picPrint->setPixmap(QPixmap::fromImage(picture));
    ViewRefresh();
}

// The print window disables this window while it is open and re-enables it
// when it closes, however it is closed; the view is then drawn afresh.
void frm3DView::onPrint()
{
    if (auto* window = print::PrintCommand(this, m_ui->picMain->picture(), viewPixels(), m_platform))
        connect(window, &print::frmPrint::closed, this, &frm3DView::ViewRefresh, Qt::UniqueConnection);
}

// --- View ----------------------------------------------------------------------

void frm3DView::ViewRefresh()
{
    if (MapFilePath.isEmpty() || !m_nav.mapLoaded() || m_scene.FrameList().size() < 2)
        return;
    m_display->ViewRefresh();
}

void frm3DView::enableViewCommands()
{
    Ui::frm3DView& ui = *m_ui;
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdAction), static_cast<QWidget*>(ui.cmdAuto),
                             static_cast<QWidget*>(ui.cmdReset), static_cast<QWidget*>(ui.cmdUp),
                             static_cast<QWidget*>(ui.cmdDown), static_cast<QWidget*>(ui.cmdLeft),
                             static_cast<QWidget*>(ui.cmdRight)})
        control->setEnabled(true);
    if (!running()) {
        ui.cmdOpen->setEnabled(true);
        ui.cmdSave->setEnabled(true);
        ui.cmdCopy->setEnabled(true);
        ui.cmdPrint->setEnabled(m_setup.printerAvailable);
    }
}

void frm3DView::ViewReset()
{
    Ui::frm3DView& ui = *m_ui;
    ui.Label1->show();
    ui.frTop->setEnabled(false);
    ui.frBottom->setEnabled(false);
    m_nav.ViewReset();
    showNavigation();
    enableViewCommands();
    ui.Label1->hide();
    ui.frTop->setEnabled(true);
    ui.frBottom->setEnabled(true);
}

// --- Map load --------------------------------------------------------------------

void frm3DView::FileOpen(bool live)
{
    Ui::frm3DView& ui = *m_ui;
    const bool keepView = live && ui.chkKeepView->isChecked() && m_scene.FrameList().size() > 1;
    const std::optional<Frame> keptCamera =
        keepView ? std::optional<Frame>(m_scene.FrameList()[1]) : std::nullopt;

    ui.picMap->clear();
    ui.picMain->clear();
    setWindowTitle(kTitle);

    // The height and light boxes, held to their ranges, the limit written back.
    if (LeadingNumber(ui.txtMeshHeight->text()) < 1.0f)
        ui.txtMeshHeight->setText(QStringLiteral("1"));
    if (LeadingNumber(ui.txtMeshHeight->text()) > 60.0f)
        ui.txtMeshHeight->setText(QStringLiteral("60"));
    m_view.MeshHeight = LeadingNumber(ui.txtMeshHeight->text());
    if (LeadingNumber(ui.txtLight->text()) < 0.1f)
        ui.txtLight->setText(QStringLiteral("0.10"));
    if (LeadingNumber(ui.txtLight->text()) > 1.0f)
        ui.txtLight->setText(QStringLiteral("1.00"));
    m_view.LightLevel = LeadingNumber(ui.txtLight->text());
    m_view.LightAttenuation = LightAttenuationFor(m_view.LightLevel);

    ui.labDir->setText(DirectionCaption(0.0f));
    setCommandsEnabled(false);
    if (!keepView && ui.labAuto->isVisible())
        cmdAuto_Click();
    ui.Label1->show();
    ui.cmdAction->setText(QStringLiteral("Start"));
    ui.frTop->setEnabled(false);
    ui.frBottom->setEnabled(false);
    ui.chkActive->setEnabled(false);
    m_store.WriteSetting(settings::kTopo3D, settings::kNewFile, settings::kFalse);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const MapLoadResult load = LoadMap(m_scene, m_view, MapFilePath);
    QApplication::restoreOverrideCursor();
    ui.Label1->hide();
    if (load.error && load.error->failure == MapLoadFailure::Picture) {
        // Open and Exit stay usable after a map that cannot be read, and so do
        // the boxes a motion had locked.
        message(OpenFileError(load.error->description));
        ui.cmdOpen->setEnabled(true);
        ui.frTop->setEnabled(true);
        ui.frBottom->setEnabled(true);
        ui.txtMeshHeight->setEnabled(true);
        ui.txtLight->setEnabled(true);
        ui.UpDown1->setEnabled(true);
        return;
    }
    ui.frTop->setEnabled(true);
    ui.frBottom->setEnabled(true);
    if (load.error) {
        message({QStringLiteral("ERROR : Could not load landscape!"), kViewerTitle, MessageIcon::None});
        return;
    }

    ui.picMap->setPicture(load.picture);
    const QString name = PathTools::FileTitle(MapFilePath, 0);
    setWindowTitle(kTitle + QStringLiteral(" - ") + name.left(qMax(0, name.size() - 4)));
    m_store.WriteSetting(settings::kTopo3D, settings::kCaption, windowTitle());
    m_nav.MapLoaded(load.grid, MapScale{float(ui.picMap->width()), float(ui.picMap->height())});
    if (keptCamera) {
        // Keep View: the camera stays where it was; a step of nothing fixes its
        // height to the new ground as any step would.
        SetFrame(m_scene, 1, *keptCamera);
        m_nav.Walk(0.0f);
        showNavigation();
        enableViewCommands();
        ui.cmdReset->setEnabled(!latched()); // a latched direction keeps it locked
    } else {
        ViewReset();
    }
    ui.chkActive->setEnabled(true);
    FileShow();
}

void frm3DView::setCommandsEnabled(bool enabled)
{
    Ui::frm3DView& ui = *m_ui;
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdOpen), static_cast<QWidget*>(ui.cmdSave),
                             static_cast<QWidget*>(ui.cmdCopy), static_cast<QWidget*>(ui.cmdPrint),
                             static_cast<QWidget*>(ui.cmdAction), static_cast<QWidget*>(ui.cmdAuto),
                             static_cast<QWidget*>(ui.cmdReset), static_cast<QWidget*>(ui.cmdUp),
                             static_cast<QWidget*>(ui.cmdDown), static_cast<QWidget*>(ui.cmdLeft),
                             static_cast<QWidget*>(ui.cmdRight)})
        control->setEnabled(enabled);
}

// --- Open and save -----------------------------------------------------------------

void frm3DView::cmdOpen_Click()
{
    if (m_setup.commandLine == QStringLiteral("/open") && MapFilePath.isEmpty()) {
        m_ui->chkActive->setChecked(true);
        m_timer1.start();
        MapFilePath = liveMapPath();
        if (!QFileInfo::exists(MapFilePath)) {
            m_ui->chkActive->setChecked(false);
            return;
        }
    } else {
        if (!m_platform.files)
            return;
        if (m_fileName.isEmpty())
            m_fileName = QStringLiteral("TolvaDemo.ebm");
        const std::optional<QString> chosen = m_platform.files->openFile(
            {QStringLiteral("Open Topo View"), m_dataPath, m_fileName, kOpenFilter});
        if (!chosen || chosen->isEmpty())
            return;
        m_fileName = *chosen;
        MapFilePath = *chosen;
    }
    show();
    FileOpen();
}

void frm3DView::cmdSave_Click()
{
    const QString simulatorMap = m_dataPath + QStringLiteral("Tolva3.ebm");
    const QString demoMap = m_dataPath + QStringLiteral("TolvaDemo.ebm");
    while (m_platform.files) {
        if (m_fileName.isEmpty() || CleanPath(m_fileName) == CleanPath(simulatorMap)
            || CleanPath(m_fileName) == CleanPath(demoMap))
            m_fileName = m_dataPath + QStringLiteral("Topo1.ebm");
        std::optional<QString> chosen =
            m_platform.files->saveFile({QStringLiteral("Save 3D View"), m_dataPath, m_fileName, kSaveFilter});
        if (!chosen || chosen->isEmpty())
            break;
        if (QFileInfo(*chosen).suffix().isEmpty())
            *chosen += QStringLiteral(".ebm");
        m_fileName = *chosen;
        const QString target = CleanPath(*chosen);
        if (target == CleanPath(liveMapPath()) || target == CleanPath(demoMap)) {
            message({QStringLiteral("Please choose another file name!"), kViewerTitle, MessageIcon::Exclamation});
            continue;
        }
        // The panel's image at the panel's size, written whole or not at all.
        QImage image(m_ui->picMap->size(), QImage::Format_RGB32);
        image.fill(m_ui->picMap->palette().color(QPalette::Window));
        {
            QPainter painter(&image);
            painter.drawImage(QPoint(0, 0), m_ui->picMap->picture());
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "bmp");
        std::optional<QString> failure;
        if (!writer.write(image))
            failure = writer.errorString();
        else
            failure = SaveWhole(*chosen, bytes);
        if (failure)
            message({QStringLiteral("Could not save the map as %1:\n\n%2").arg(QDir::toNativeSeparators(*chosen), *failure),
                     kViewerTitle, MessageIcon::Exclamation});
        else
            MapFilePath = *chosen;
        break;
    }
    ViewRefresh();
    ViewRefresh();
}

// --- Live following ------------------------------------------------------------

void frm3DView::chkActive_Click(bool checked)
{
    if (checked)
        m_timer1.start();
    else
        m_timer1.stop();
}

void frm3DView::Timer1_Timer()
{
    if (m_store.ReadSetting(settings::kTopo3D, settings::kNewFile, QString()) != settings::kTrue)
        return;
    MapFilePath = liveMapPath();
    if (QFileInfo::exists(MapFilePath))
        FileOpen(true);
}

// --- Motion loop ------------------------------------------------------------------

double frm3DView::now() const
{
    return m_platform.clock ? m_platform.clock->secondsSinceMidnight() : 0.0;
}

void frm3DView::FileShow()
{
    m_ui->cmdAction->setText(QStringLiteral("Stop"));
    m_ui->picMain->setFocus();
    MainLoop();
}

void frm3DView::cmdAction_Click()
{
    if (running()) {
        m_ui->cmdAction->setText(QStringLiteral("Start"));
        m_ui->picMain->setFocus();
        return;
    }
    m_ui->cmdAction->setText(QStringLiteral("Stop"));
    m_ui->picMain->setFocus();
    MainLoop();
}

void frm3DView::MainLoop()
{
    Ui::frm3DView& ui = *m_ui;
    ui.cmdLeft->setEnabled(true);
    ui.cmdRight->setEnabled(true);
    if (m_view.MoveMode != MoveMode::Pan) {
        ui.cmdUp->setEnabled(true);
        ui.cmdDown->setEnabled(true);
    }
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdOpen), static_cast<QWidget*>(ui.cmdSave),
                             static_cast<QWidget*>(ui.cmdCopy), static_cast<QWidget*>(ui.cmdPrint),
                             static_cast<QWidget*>(ui.txtMeshHeight), static_cast<QWidget*>(ui.txtLight),
                             static_cast<QWidget*>(ui.UpDown1), static_cast<QWidget*>(ui.optHard),
                             static_cast<QWidget*>(ui.optSoft)})
        control->setEnabled(false);
    if (ui.chkActive->isChecked()) {
        m_timer1.stop();
        m_poll.Restart(now());
    }
    m_motion.start();
}

void frm3DView::motionPass()
{
    if (running() && !m_closing) {
        const PassResult pass = MotionPass(m_nav, m_poll, m_ui->chkActive->isChecked(), now(), [this] {
            return m_store.ReadSetting(settings::kTopo3D, settings::kNewFile, QString());
        });
        showNavigation();
        if (pass == PassResult::NewMapAnnounced)
            m_ui->cmdAction->setText(QStringLiteral("Start"));
        if (running() && !m_closing)
            return;
    }
    endMotion();
}

void frm3DView::endMotion()
{
    m_motion.stop();
    Ui::frm3DView& ui = *m_ui;
    const QString newFile =
        m_closing ? QString() : m_store.ReadSetting(settings::kTopo3D, settings::kNewFile, QString());
    switch (FinishMotion(m_nav, m_closing, newFile, QFileInfo::exists(liveMapPath()))) {
    case MotionEnd::Closed:
        close();
        return;
    case MotionEnd::LoadNewMap:
        MapFilePath = liveMapPath();
        FileOpen(true);
        return;
    case MotionEnd::Stopped:
        break;
    }
    ui.cmdAction->setText(QStringLiteral("Start"));
    ui.cmdReset->setEnabled(true);
    if (ui.chkActive->isChecked())
        m_timer1.start();
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdLeft), static_cast<QWidget*>(ui.cmdRight),
                             static_cast<QWidget*>(ui.cmdUp), static_cast<QWidget*>(ui.cmdDown)})
        control->setEnabled(false);
    for (QWidget* control : {static_cast<QWidget*>(ui.cmdOpen), static_cast<QWidget*>(ui.cmdSave),
                             static_cast<QWidget*>(ui.cmdCopy), static_cast<QWidget*>(ui.txtMeshHeight),
                             static_cast<QWidget*>(ui.txtLight), static_cast<QWidget*>(ui.UpDown1),
                             static_cast<QWidget*>(ui.optSoft)})
        control->setEnabled(true);
    ui.cmdPrint->setEnabled(m_setup.printerAvailable);
    ui.optHard->setEnabled(!m_chain.HardwareFailed);
    showNavigation();
}

} // namespace tolva
