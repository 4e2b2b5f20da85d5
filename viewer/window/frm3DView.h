#pragma once
// The viewer's window frm3DView over the navigation and render cores. Its
// handlers turn events into calls of the Navigator and the map load, and show
// the results in the controls; start-up reads the settings and sets up the
// display, closing saves them. The motion loop is a state of the window
// ("Stop" on cmdAction) driven by a timer at a fixed pace.

#include "common/Platform.h"
#include "common/SettingsStore.h"
#include "navigation/DisplayRefresh.h"
#include "navigation/MotionLoop.h"
#include "navigation/Navigator.h"
#include "render/DisplayChain.h"
#include "render/Scene.h"
#include "render/ViewState.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class frm3DView;
}

namespace tolva {

class PictureBox;

// What the program hands the window besides the platform.
struct ViewerSetup {
    QString programFolder;      // where "Tolva3D.ebm" of the live following lies
    QString commandLine;        // the arguments as one text ("/open" starts live)
    DisplayOptions display;     // options of the display set-up
    bool printerAvailable = false;
};

class frm3DView : public QWidget, private ViewRefreshTarget {
    Q_OBJECT
public:
    frm3DView(const Platform& platform, ViewerSetup setup, QWidget* parent = nullptr);
    ~frm3DView() override;

    // Start-up: settings, placement, the display, "/open". False when no
    // display could be set up (the window has then closed itself).
    bool Start();

    // Loads MapFilePath; on success the motion loop starts. `live`: the map
    // came from the live following, where Keep View may keep the camera.
    void FileOpen(bool live = false);
    void ViewReset();
    void ViewRefresh() override;

    QString MapFilePath;
    bool running() const;
    bool closing() const { return m_closing; }
    const Scene& scene() const { return m_scene; }
    const ViewState& view() const { return m_view; }
    const Navigator& navigator() const { return m_nav; }

    // The copy and print commands; the print window supplies their work.
    void onCopy();
    void onPrint();

    // One pass of the motion loop and one idle poll, as their timers run them.
    void motionPass();
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void message(const MessageReport& report);
    QString liveMapPath() const;
    void showNavigation();
    void applySwitchLock(SwitchLock lock);
    void AutoEnable(bool enable);
    void setCommandsEnabled(bool enabled);
    void enableViewCommands();
    double now() const;
    void placeWindow();
    void saveSettings();
    void setEarthColor(quint32 color);

    // Handlers.
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdAction_Click();
    void cmdAuto_Click();
    void cmdHelp_Click();
    void SSPanel1_Click();
    void chkActive_Click(bool checked);
    // Auto mode with a direction latched: the mode switches and Reset stay locked.
    bool latched() const;
    std::optional<Arrow> directionButton(const QObject* watched) const;
    void directionDown(Arrow arrow);
    void directionUp(Arrow arrow);
    void modeSelected(MoveMode mode);
    void renderModeSelected(FillMode mode);
    void renderPathSelected(RenderPath path);
    void fallBackToSoftware();
    void followScreenDensity();
    QSize viewPixels() const;
    void stepMeshOrLight(int value);
    void stepAngle(int value);

    // The motion loop.
    void FileShow();
    void MainLoop();
    void endMotion();

    std::unique_ptr<Ui::frm3DView> m_ui;
    Platform m_platform;
    ViewerSetup m_setup;
    SettingsStore m_store;
    Scene m_scene;
    ViewState m_view;
    DisplayChain m_chain;
    std::unique_ptr<DisplayRefresh> m_display;
    Navigator m_nav;
    QTimer m_timer1;
    QTimer m_motion;
    NewMapPoll m_poll;
    QString m_dataPath;
    QString m_adjustTarget = QStringLiteral("Height");
    QString m_fileName; // the file dialog's name, kept between uses
    bool m_startupDone = false;
    bool m_closing = false;
    bool m_unloaded = false;
    bool m_showing = false; // controls being set from the state: no handlers
};

} // namespace tolva
