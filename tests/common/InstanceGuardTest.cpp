#include "support/FakePlatform.h"
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

struct InstanceGuardTest : ::testing::Test { QTemporaryDir dir; };

TEST_F(InstanceGuardTest, ASecondProcessBringsTheFirstWindowForwardAndEnds)
{
    InstanceGuard first(kName, dir.path());
    ASSERT_EQ(first.start(), Start::First);

    QWidget window;
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
    EXPECT_EQ(sounds.played, QStringList{"RestoreUp"});
}

TEST_F(InstanceGuardTest, AKilledFirstInstanceDoesNotBlockTheNextStart)
{
    QProcess probe;
    probe.start(kProbe, {dir.path(), kName});
    ASSERT_TRUE(probe.waitForReadyRead(20000));
    ASSERT_EQ(probe.readAllStandardOutput().trimmed(), "First");

    // Killed without a chance to clean up: its lock file and socket stay.
    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(20000));
    ASSERT_TRUE(QFile::exists(dir.filePath(kName + ".lock")));
    ASSERT_TRUE(QFile::exists(dir.filePath(kName + ".socket")));

    InstanceGuard next(kName, dir.path());
    EXPECT_EQ(next.start(), Start::First);
    EXPECT_TRUE(next.isListening());
}

// A crash while the lock was being taken leaves a lock file that names no owner.
// (A socket file that nobody listens on is the killed instance's case above.)
TEST_F(InstanceGuardTest, AnEmptyLockFileLeftByACrashIsReplaced)
{
    ASSERT_TRUE(tolva::testing::WriteBytes(dir.filePath(kName + ".lock"), ""));
    InstanceGuard guard(kName, dir.path());
    int pauses = 0; // one: the file must be seen ownerless twice, as a starting owner's is not
    EXPECT_EQ(guard.start([&] { return ++pauses < 10; }), Start::First);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(guard.isListening());
}

// An owner (this very process) that holds the lock but listens nowhere: this
// instance goes on without the guard once the passes are over; while an
// owner that is closing lets the lock go, it becomes the first at the next
// pass.
TEST_F(InstanceGuardTest, AnOwnerThatDoesNotAnswerIsWaitedForUntilItLetsTheLockGo)
{
    QLockFile held(dir.filePath(kName + ".lock"));
    ASSERT_TRUE(held.tryLock(0));
    InstanceGuard unreachable(kName, dir.path());
    int pauses = 0;
    EXPECT_EQ(unreachable.start([&] { return ++pauses < 3; }), Start::EarlierUnreachable);
    EXPECT_EQ(pauses, 3);
    EXPECT_FALSE(unreachable.isListening());

    InstanceGuard next(kName, dir.path());
    pauses = 0;
    EXPECT_EQ(next.start([&] {
        if (++pauses == 2)
            held.unlock();
        return true;
    }), Start::First);
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(next.isListening());
}

// A client that says nothing is not kept open; one that says something else
// is answered and dropped without an activation.
TEST_F(InstanceGuardTest, OtherClientsOnTheSocketAreDroppedWithoutAnActivation)
{
    InstanceGuard first(kName, dir.path(), std::chrono::milliseconds(100));
    ASSERT_EQ(first.start(), Start::First);
    QSignalSpy asked(&first, &InstanceGuard::activationRequested);
    QLocalSocket silent, stranger;
    for (QLocalSocket* client : {&silent, &stranger}) {
        client->connectToServer(first.serverName());
        ASSERT_TRUE(client->waitForConnected(5000));
    }
    stranger.write("hello\n");
    for (QLocalSocket* client : {&silent, &stranger}) {
        QSignalSpy closed(client, &QLocalSocket::disconnected);
        EXPECT_TRUE(client->state() == QLocalSocket::UnconnectedState || closed.wait(10000));
    }
    EXPECT_EQ(asked.count(), 0);
}

} // namespace
