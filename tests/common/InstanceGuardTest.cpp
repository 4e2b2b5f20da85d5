#include "support/FakePlatform.h"
#include "support/FileNodes.h"
#include "support/Files.h"
#include "common/ui/InstanceGuard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>

using namespace tolva;
using Start = InstanceGuard::Start;

namespace {

const QString kProbe = QStringLiteral(TOLVA_INSTANCE_PROBE);
const QString kName = QStringLiteral("Tolva3DView");

class InstanceGuardTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    // Starts the stand-in viewer and waits for its first line.
    QString startProbe(QProcess& probe, const QStringList& more = {})
    {
        probe.start(kProbe, QStringList{dir.path(), kName} + more);
        while (!probe.canReadLine())
            if (!probe.waitForReadyRead(20000))
                return QString();
        return QString::fromUtf8(probe.readLine()).trimmed();
    }
};

TEST_F(InstanceGuardTest, ASecondProcessBringsTheFirstWindowForwardAndEnds)
{
    InstanceGuard first(kName, dir.path());
    ASSERT_EQ(first.start(), Start::First);
    EXPECT_TRUE(first.isListening());

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tolva3D Viewer - Crater"));
    window.showMinimized();
    tolva::testing::RecordingSounds sounds;
    ForwardActivations(first, &window, &sounds);

    // The second instance blocks in its own process while this one's event
    // loop answers.
    QProcess second;
    QSignalSpy finished(&second, &QProcess::finished);
    second.start(kProbe, {dir.path(), kName});
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(second.readAllStandardOutput().trimmed(), "EarlierActivated");
    EXPECT_EQ(second.exitCode(), int(Start::EarlierActivated));

    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(sounds.played, QStringList{"RestoreUp"});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tolva3D Viewer - Crater"));
}

TEST_F(InstanceGuardTest, AKilledFirstInstanceDoesNotBlockTheNextStart)
{
    QProcess probe;
    ASSERT_EQ(startProbe(probe), "First");

    // Killed without a chance to clean up: its lock file and socket stay.
    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(20000));
    ASSERT_TRUE(QFile::exists(dir.filePath(kName + ".lock")));
    ASSERT_TRUE(QFile::exists(dir.filePath(kName + ".socket")));

    InstanceGuard next(kName, dir.path());
    EXPECT_EQ(next.start(), Start::First);
    EXPECT_TRUE(next.isListening());
}

TEST_F(InstanceGuardTest, AFirstInstanceThatIsClosingLeavesTheLockToTheNext)
{
    // It holds the lock but no longer answers, and ends a moment later.
    QProcess closing;
    ASSERT_EQ(startProbe(closing, {"hold", "300"}), "held");

    InstanceGuard next(kName, dir.path());
    EXPECT_EQ(next.start(20000), Start::First);
    EXPECT_TRUE(next.isListening());
    EXPECT_TRUE(closing.waitForFinished(20000));
}

// What a crash leaves: a socket file that nobody listens on without a lock,
// or an empty lock file.
TEST_F(InstanceGuardTest, LeftoversOfACrashAreReplaced)
{
    for (const bool socket : {true, false}) {
        QTemporaryDir leftovers;
        ASSERT_TRUE(socket ? tolva::testing::MakeSocket(leftovers.filePath(kName + ".socket"))
                           : tolva::testing::WriteBytes(leftovers.filePath(kName + ".lock"), ""));
        InstanceGuard guard(kName, leftovers.path());
        EXPECT_EQ(guard.start(), Start::First) << socket;
        EXPECT_TRUE(guard.isListening()) << socket;
    }
}

TEST_F(InstanceGuardTest, AnOwnerThatDoesNotAnswerLetsThisInstanceGoOn)
{
    // A live owner (this very process) holds the lock but listens nowhere.
    QLockFile held(dir.filePath(kName + ".lock"));
    ASSERT_TRUE(held.tryLock(0));

    InstanceGuard guard(kName, dir.path());
    EXPECT_EQ(guard.start(200), Start::EarlierUnreachable);
    EXPECT_FALSE(guard.isListening());
}

TEST_F(InstanceGuardTest, AClientThatSaysNothingIsNotKeptOpen)
{
    InstanceGuard first(kName, dir.path(), std::chrono::milliseconds(100));
    ASSERT_EQ(first.start(), Start::First);
    QLocalSocket silent;
    silent.connectToServer(first.serverName());
    ASSERT_TRUE(silent.waitForConnected(5000));
    QSignalSpy closed(&silent, &QLocalSocket::disconnected);
    EXPECT_TRUE(closed.wait(10000));
}

TEST_F(InstanceGuardTest, AStrangerOnTheSocketGetsNoActivation)
{
    InstanceGuard first(kName, dir.path());
    ASSERT_EQ(first.start(), Start::First);
    QSignalSpy asked(&first, &InstanceGuard::activationRequested);

    QLocalSocket stranger;
    stranger.connectToServer(first.serverName());
    ASSERT_TRUE(stranger.waitForConnected(5000));
    stranger.write("hello\n");
    QSignalSpy closed(&stranger, &QLocalSocket::disconnected);
    ASSERT_TRUE(closed.wait(5000));
    EXPECT_EQ(asked.count(), 0);
}

} // namespace
