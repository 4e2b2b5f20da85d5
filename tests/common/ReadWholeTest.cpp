// Reading whole: files and pipes alike, the limit and a hair beyond it, and a
// clear reason for everything that is not a file.
#include "common/ReadWhole.h"
#include "support/FileNodes.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace tolva;
using namespace tolva::testing;

namespace {

QByteArray Pattern(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

TEST(ReadWhole, AFileUpToTheLimitIsWholeAndOneByteMoreIsBeyondIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bin"));
    const QByteArray bytes = Pattern(100001);
    ASSERT_TRUE(WriteBytes(path, bytes));
    const WholeFile atLimit = ReadWhole(path, 100001);
    ASSERT_TRUE(atLimit.ok());
    EXPECT_EQ(atLimit.bytes, bytes);
    const WholeFile beyond = ReadWhole(path, 100000);
    ASSERT_TRUE(beyond.ok());
    EXPECT_EQ(beyond.bytes, bytes) << "one byte past the limit";
}

// More than a pipe holds at once, written again and again: read across the
// writes and stopped one byte past the limit.
TEST(ReadWhole, AnEndlessPipeIsReadUntilOneBytePastTheLimit)
{
    const QByteArray piece = Pattern(70000);
    const WholeFile read = ReadThroughFifo(piece, 1000, [](const QString& path) { return ReadWhole(path, 200000); });
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_TRUE(read.beyond(200000));
    EXPECT_EQ(read.bytes, (piece + piece + piece).left(200001));
}

// Judged before opening: nothing is opened and no byte is read.
TEST(ReadWhole, RefusesWhatIsNoFileWithAClearReason)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString socket = dir.filePath(QStringLiteral("socket"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(MakeSocket(socket));
    const std::pair<QString, QString> rows[] = {
        {dir.filePath(QStringLiteral("gone.rec")), QStringLiteral("No such file or directory")},
        {folder, QStringLiteral("It is a folder, not a file")},
        {socket, QStringLiteral("It is a socket, not a file")},
        {QStringLiteral("/dev/zero"), QStringLiteral("It is a device, not a file")},
    };
    for (const auto& [path, error] : rows) {
        const WholeFile read = ReadWhole(path, 1000);
        EXPECT_EQ(read.error, error);
        EXPECT_FALSE(read.opened) << qPrintable(path);
        EXPECT_TRUE(read.bytes.isEmpty()) << qPrintable(path);
    }
}

} // namespace
