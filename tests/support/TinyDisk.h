#pragma once
// A really full disk for the save tests: a small tmpfs mounted on a temporary
// folder. Mounting needs a private mount namespace, so a test that wants one
// starts with TOLVA_RERUN_ON_A_TINY_DISK(): outside, it runs the same test
// again in this test program under `unshare --mount` (as root) and takes over
// its result; inside, the test goes on and mounts its TinyDisk. Where no
// namespace can be made (not root, no unshare, no mount permission) the test
// shows as skipped.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tolva::testing {

inline const char* const kInsideTinyDisk = "TOLVA_INSIDE_PRIVATE_MOUNTS";

// Runs the current test again in a private mount namespace and takes over its
// result: passed, failed or skipped.
inline void RerunInPrivateMounts()
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tiny disk needs root";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("--gtest_filter=%1.%2")
                               .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kInsideTinyDisk), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("unshare"),
                  {"--mount", "--propagation", "private", QCoreApplication::applicationFilePath(), filter});
    if (!process.waitForFinished(120000))
        process.kill(); // its output so far says where it stopped
    process.waitForFinished();
    const std::string output = process.readAll().toStdString();
    if (process.error() == QProcess::FailedToStart || output.find("[ RUN      ]") == std::string::npos)
        GTEST_SKIP() << "no private mount namespace here: " << output;
    if (output.find("[  SKIPPED ] 1 test") != std::string::npos)
        GTEST_SKIP() << output;
    EXPECT_TRUE(process.exitCode() == 0 && output.find("[  PASSED  ] 1 test") != std::string::npos) << output;
}

#define TOLVA_RERUN_ON_A_TINY_DISK()                                      \
    if (qEnvironmentVariableIsEmpty(::tolva::testing::kInsideTinyDisk)) { \
        ::tolva::testing::RerunInPrivateMounts();                         \
        return;                                                           \
    }

// A tmpfs of `size` bytes on a temporary folder, unmounted again at the end.
class TinyDisk {
public:
    explicit TinyDisk(qint64 size)
    {
        const QByteArray options = "size=" + QByteArray::number(size);
        m_mounted = m_dir.isValid()
            && ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }

    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    qint64 freeBytes() const
    {
        struct statvfs s {};
        ::statvfs(m_dir.path().toLocal8Bit().constData(), &s);
        return qint64(s.f_bavail) * qint64(s.f_frsize);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace tolva::testing
