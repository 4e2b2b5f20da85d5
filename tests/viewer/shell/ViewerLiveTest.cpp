// The viewer as the simulator uses it, end to end with the real program and
// nothing scripted: started with "/open" beside its live map, it shows the map,
// loads a new one announced from this process, and saves its settings when it
// is asked to end. Runs on the X server that `make test` starts.
#include "common/SettingsStore.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace tolva;

namespace {

// Waits for `condition`, giving the viewer time in steps of its own process.
bool WaitFor(QProcess& viewer, int seconds, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!condition()) {
        if (deadline.hasExpired() || viewer.state() == QProcess::NotRunning)
            return condition();
        viewer.waitForFinished(100);
    }
    return true;
}

QImage Map(QRgb ground)
{
    QImage map(360, 180, QImage::Format_RGB32);
    map.fill(ground);
    QPainter(&map).fillRect(150, 60, 60, 60, Qt::white);
    return map;
}

TEST(ViewerLive, OpensTheLiveMapFollowsANewOneAndSavesItsSettingsOnClosing)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server (make test starts one)";
    // The program folder is where the viewer looks for the live map: a copy of
    // the program in a folder of its own.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("Tolva3DView"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TOLVA_BIN_DIR "/Tolva3DView"), program));
    const QString liveMap = folder.filePath(QStringLiteral("Tolva3D.ebm"));
    ASSERT_TRUE(Map(qRgb(20, 20, 20)).save(liveMap, "BMP"));

    SettingsStore store; // the test main's private settings folder, which the viewer inherits
    store.WriteSetting(settings::kTopo3D, settings::kNewFile, settings::kFalse);
    store.WriteSetting(settings::kTopo3D, settings::kLeft, QStringLiteral("-500"));
    auto setting = [&store](const QString& key) { return store.ReadSetting(settings::kTopo3D, key); };

    QProcess viewer;
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.start(program, {QStringLiteral("/open")});
    ASSERT_TRUE(viewer.waitForStarted(10000));
    EXPECT_TRUE(WaitFor(viewer, 20, [&] { return setting(settings::kCaption) == QStringLiteral("Tolva3D Viewer - Tolva3D"); }))
        << setting(settings::kCaption).toStdString();

    // The simulator's part: a new map, whole, then the flag.
    const QString next = folder.filePath(QStringLiteral("next.bmp"));
    ASSERT_TRUE(Map(qRgb(120, 120, 120)).save(next, "BMP"));
    ASSERT_TRUE(QFile::remove(liveMap) && QFile::rename(next, liveMap));
    store.WriteSetting(settings::kTopo3D, settings::kNewFile, settings::kTrue);
    EXPECT_TRUE(WaitFor(viewer, 15, [&] { return setting(settings::kNewFile) == settings::kFalse; }));

    viewer.terminate(); // as a session ending would ask
    EXPECT_TRUE(viewer.waitForFinished(15000));
    EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(setting(settings::kCaption), QStringLiteral("Closed"));
    EXPECT_EQ(setting(settings::kLeft), QStringLiteral("0"));
}

} // namespace
