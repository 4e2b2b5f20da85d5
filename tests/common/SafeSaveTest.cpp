// Saving whole or not at all: refused targets, failing writes, a really full
// disk; each failure leaves the old file and no temporary file behind.
#include "common/SafeSave.h"
#include "support/FileNodes.h"
#include "support/Files.h"
#include "support/TinyDisk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

using namespace tolva;
using namespace tolva::testing;

namespace {

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QByteArray kNew(10240, 'n'); // 10 KB, three pages of a tmpfs

TEST(SafeSave, WritesANewFileAndReplacesAnOldOneKeepingItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.rec"));
    ASSERT_EQ(SaveWhole(path, "first"), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "first");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    ASSERT_EQ(SaveWhole(path, kNew), std::nullopt);
    EXPECT_EQ(ReadBytes(path), kNew);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(dir.path()), QStringList{"a.rec"});
}

TEST(SafeSave, ALinkKeepsPointingAtTheReplacedFile)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.png"));
    const QString link = dir.filePath(QStringLiteral("link.png"));
    ASSERT_TRUE(WriteBytes(real, "old"));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_EQ(SaveWhole(link, "new"), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(real), "new");
}

TEST(SafeSave, AMissingFolderGivesTheSystemsReason)
{
    QTemporaryDir dir;
    EXPECT_EQ(SaveWhole(dir.filePath(QStringLiteral("no/such/a.png")), "x"), QStringLiteral("No such file or directory"));
    EXPECT_EQ(SaveWhole(QString(), "x"), QStringLiteral("no file name"));
}

// Refused before anything is written: a FIFO is not opened (no wait for a
// reader), a device is not replaced by a file.
TEST(SafeSave, WhatIsNotARegularFileIsRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_TRUE(MakeFifo(fifo));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    for (const QString& path : {fifo, dir.filePath(QStringLiteral("folder.png")), QStringLiteral("/dev/null")}) {
        EXPECT_EQ(SaveWhole(path, "x"), QStringLiteral("it is not a regular file")) << qPrintable(path);
        EXPECT_FALSE(QFileInfo(path).isFile()) << qPrintable(path);
    }
    EXPECT_EQ(Entries(dir.path()), (QStringList{"fifo.png", "folder.png"}));
}

// Write calls that fail the way a full disk or a signal makes them.
ssize_t HalfThenNoSpace(int fd, const void* data, size_t size)
{
    if (::lseek(fd, 0, SEEK_CUR) == 0)
        return ::write(fd, data, size / 2);
    errno = ENOSPC;
    return -1;
}
ssize_t NoProgress(int, const void*, size_t) { return 0; }
ssize_t InterruptedOnce(int fd, const void* data, size_t size)
{
    static thread_local bool interrupted = false;
    interrupted = !interrupted;
    if (interrupted) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, data, size);
}

TEST(SafeSave, FailingWritesLeaveTheOldFileAndNoTemporaryFile)
{
    const struct { const char* name; WriteCall write; const char* reason; } rows[] = {
        {"HalfThenNoSpace", HalfThenNoSpace, "No space left on device"},
        {"NoProgress", NoProgress, "No space left on device"},
        {"InterruptedOnce", InterruptedOnce, ""}, // saved
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.rec"));
        ASSERT_TRUE(WriteBytes(path, "old"));
        const QString reason = QString::fromUtf8(row.reason);
        EXPECT_EQ(SaveWhole(path, kNew, row.write).value_or(QString()), reason);
        EXPECT_EQ(ReadBytes(path), reason.isEmpty() ? kNew : QByteArray("old"));
        EXPECT_EQ(Entries(dir.path()), QStringList{"a.rec"});
    }
}

// The 10 KB file needs three pages: 8 KB free is a hair too little. The disk
// is the old file's page and the free bytes.
TEST(SafeSave, OnATinyDiskASaveThatDoesNotFitLeavesTheOldFile)
{
    TOLVA_RERUN_ON_A_TINY_DISK();
    for (const auto& [freeBytes, saved] : {std::pair{8192, false}, std::pair{12288, true}}) {
        TinyDisk disk(4096 + freeBytes);
        if (!disk.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs";
        const QString path = disk.path(QStringLiteral("a.rec"));
        ASSERT_TRUE(WriteBytes(path, "old"));
        ASSERT_EQ(disk.freeBytes(), freeBytes);
        EXPECT_EQ(SaveWhole(path, kNew).value_or(QString()),
                  saved ? QString() : QStringLiteral("No space left on device"));
        EXPECT_EQ(ReadBytes(path), saved ? kNew : QByteArray("old"));
        EXPECT_EQ(Entries(disk.path(QString())), QStringList{"a.rec"});
    }
}

// A file on a disk mounted read-only is write-protected even for root: the
// save is refused before anything is written, and the file stays.
TEST(SafeSave, AFileOnAReadOnlyDiskIsWriteProtected)
{
    TOLVA_RERUN_ON_A_TINY_DISK();
    TinyDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs";
    const QString path = disk.path(QStringLiteral("a.rec"));
    ASSERT_TRUE(WriteBytes(path, "old"));
    ASSERT_EQ(::mount(nullptr, disk.path(QString()).toLocal8Bit().constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_EQ(SaveWhole(path, kNew).value_or(QString()), QStringLiteral("it is write-protected"));
    EXPECT_EQ(ReadBytes(path), QByteArray("old"));
}

} // namespace
