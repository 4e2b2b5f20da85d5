// Reading whole: files and pipes alike, the limit and a hair beyond it, and a
// clear reason for everything that is not a file.
#include "common/ReadWhole.h"
#include "support/FileNodes.h"
#include "support/Files.h"
#include "support/RowNames.h"

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
    EXPECT_FALSE(atLimit.beyond(100001));
    EXPECT_EQ(atLimit.bytes, bytes);
    const WholeFile beyond = ReadWhole(path, 100000);
    ASSERT_TRUE(beyond.ok());
    EXPECT_TRUE(beyond.beyond(100000));
    EXPECT_EQ(beyond.bytes.size(), 100001);
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

struct RefusalRow {
    const char* name;
    bool (*make)(const QString& path); // nullptr: the path as it is
    const char* path;
    const char* error;
};

void PrintTo(const RefusalRow& row, std::ostream* os) { *os << row.name; }

class ReadWholeRefuses : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(ReadWholeRefuses, WithAClearReason)
{
    QTemporaryDir dir;
    QString path = QString::fromUtf8(GetParam().path);
    if (GetParam().make) {
        path = dir.filePath(path);
        ASSERT_TRUE(GetParam().make(path));
    } else if (path.startsWith(QLatin1Char('@'))) {
        path = dir.filePath(path.mid(1));
    }
    const WholeFile read = ReadWhole(path, 1000);
    EXPECT_EQ(read.error, QString::fromUtf8(GetParam().error));
    EXPECT_FALSE(read.opened);
    EXPECT_TRUE(read.bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadWholeRefuses,
    ::testing::Values(RefusalRow{"Missing", nullptr, "@gone.rec", "No such file or directory"},
                      RefusalRow{"Folder", [](const QString& p) { return QDir().mkdir(p); }, "folder",
                                 "It is a folder, not a file"},
                      RefusalRow{"Socket", MakeSocket, "socket", "It is a socket, not a file"},
                      RefusalRow{"Device", nullptr, "/dev/zero", "It is a device, not a file"}),
    tolva::testing::RowName());

} // namespace
