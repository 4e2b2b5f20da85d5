// Tolva3DView --render: one frame of a map into a picture file, without a window.
#include "support/FileNodes.h"
#include "support/RowNames.h"
#include "support/TinyDisk.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <ostream>

#include <gtest/gtest.h>

namespace {

struct RunResult {
    int exitCode = -1;
    QString errors;
};

// Without a display the program sees no DISPLAY, or `display` where one is given.
RunResult Render(const QStringList& arguments, bool withDisplay = false, const QString& display = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!withDisplay) {
        env.remove(QStringLiteral("DISPLAY")); // the software path needs none
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TOLVA_BIN_DIR "/Tolva3DView"), QStringList{QStringLiteral("--render")} + arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

const QString kDemoMap = QStringLiteral(TOLVA_SOURCE_DIR "/data/TolvaDemo.ebm");

TEST(RenderCommand, DrawsTheStartViewOfAMapWithoutADisplay)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("view.png"));
    const RunResult run = Render({kDemoMap, QStringLiteral("--output"), out});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QImage picture(out);
    ASSERT_EQ(picture.size(), QSize(450, 450));
    // Sky above, lit ground below.
    EXPECT_EQ(picture.pixel(225, 20) & 0xFFFFFFu, 0u);
    EXPECT_GT(qGray(picture.pixel(225, 440)), 40);
}

TEST(RenderCommand, OptionsChangeThePicture)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    const QString red = dir.filePath(QStringLiteral("red.png"));
    const QString big = dir.filePath(QStringLiteral("big.png"));
    ASSERT_EQ(Render({kDemoMap, QStringLiteral("--output"), plain}).exitCode, 0);
    ASSERT_EQ(Render({kDemoMap, QStringLiteral("--output"), red, QStringLiteral("--color"), QStringLiteral("#ff0000"),
                      QStringLiteral("--mode"), QStringLiteral("wire"), QStringLiteral("--height"), QStringLiteral("30"),
                      QStringLiteral("--light"), QStringLiteral("1")}).exitCode, 0);
    ASSERT_EQ(Render({kDemoMap, QStringLiteral("--output"), big, QStringLiteral("--size"), QStringLiteral("900")}).exitCode, 0);
    const QImage redPicture(red);
    int redPixels = 0, otherPixels = 0;
    for (int y = 0; y < redPicture.height(); ++y)
        for (int x = 0; x < redPicture.width(); ++x) {
            const QRgb p = redPicture.pixel(x, y);
            redPixels += qRed(p) > 0 && qGreen(p) == 0 && qBlue(p) == 0;
            otherPixels += qGreen(p) > 0 || qBlue(p) > 0;
        }
    EXPECT_GT(redPixels, 1000);
    EXPECT_EQ(otherPixels, 0);
    EXPECT_EQ(QImage(big).size(), QSize(900, 900));
}

struct BadCase {
    const char* name;
    QStringList arguments; // after --render
    int exitCode;
    const char* message;
};

void PrintTo(const BadCase& row, std::ostream* os) { *os << row.name; }

class RenderCommandRefuses : public ::testing::TestWithParam<BadCase> {};

TEST_P(RenderCommandRefuses, WithAClearMessageAndNoPicture)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("view.png"));
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings(QStringLiteral("OUT"), out);
    arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
    if (arguments.contains(QStringLiteral("NOTAPICTURE"))) {
        QFile file(dir.filePath(QStringLiteral("notapicture.ebm")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM this is no bitmap");
        arguments.replaceInStrings(QStringLiteral("NOTAPICTURE"), file.fileName());
    }
    const RunResult run = Render(arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(GetParam().message))) << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenderCommandRefuses,
    ::testing::Values(
        BadCase{"MissingMap", {QStringLiteral("DIR/none.ebm"), QStringLiteral("--output"), QStringLiteral("OUT")}, 1,
                "cannot read the map"},
        BadCase{"NotAPicture", {QStringLiteral("NOTAPICTURE"), QStringLiteral("--output"), QStringLiteral("OUT")}, 1,
                "cannot read the map"},
        BadCase{"NoOutput", {kDemoMap}, 2, "--render and --output are both needed"},
        BadCase{"HeightBeyond60", {kDemoMap, QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--height"), QStringLiteral("60.5")}, 2,
                "the height is a number from 1 to 60"},
        BadCase{"LightBelow", {kDemoMap, QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--light"), QStringLiteral("0.05")}, 2,
                "the light is a number from 0.10 to 1.00"},
        BadCase{"BadMode", {kDemoMap, QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--mode"), QStringLiteral("flat")}, 2,
                "the mode is solid, wire or points"},
        BadCase{"BadColour", {kDemoMap, QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--color"), QStringLiteral("#12345")}, 2,
                "the colour is"},
        BadCase{"HugeSize", {kDemoMap, QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--size"), QStringLiteral("4097")}, 2,
                "the size is a number of pixels from 16 to 4096"},
        BadCase{"UnwritableOutput", {kDemoMap, QStringLiteral("--output"), QStringLiteral("DIR/no/such/folder/view.png")}, 1,
                "cannot write"}),
    tolva::testing::RowName());

TEST(RenderCommand, HardwarePathDrawsTheSamePicture)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X server";
    QTemporaryDir dir;
    const QString soft = dir.filePath(QStringLiteral("soft.png"));
    const QString hard = dir.filePath(QStringLiteral("hard.png"));
    ASSERT_EQ(Render({kDemoMap, QStringLiteral("--output"), soft}).exitCode, 0);
    const RunResult run = Render({kDemoMap, QStringLiteral("--output"), hard, QStringLiteral("--hardware")}, true);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    if (run.errors.contains(QStringLiteral("drawing in software instead")))
        GTEST_SKIP() << "no OpenGL here";
    const QImage a(soft), b(hard);
    int close = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            close += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) <= 2;
    EXPECT_GE(close, a.width() * a.height() * 99 / 100);
}

// An output that is not a regular file is refused before anything is written,
// and stays what it was.
TEST(RenderCommand, AnOutputThatIsNotARegularFileIsRefused)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_TRUE(tolva::testing::MakeFifo(fifo));
    QStringList outputs{fifo};
    if (QFileInfo(QStringLiteral("/dev/null")).isWritable())
        outputs << QStringLiteral("/dev/null");
    for (const QString& out : outputs) {
        const RunResult run = Render({kDemoMap, QStringLiteral("--output"), out});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot write %1: it is not a regular file").arg(out)))
            << run.errors.toStdString();
        EXPECT_TRUE(QFileInfo(out).exists() && !QFileInfo(out).isFile());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"fifo.png"});
}

// A map given through a pipe is read whole and checked like a file.
TEST(RenderCommand, AMapThroughAPipeIsCheckedLikeAFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("map.ebm"));
    const QString out = dir.filePath(QStringLiteral("view.png"));
    ASSERT_TRUE(tolva::testing::MakeFifo(fifo));
    QFile demo(kDemoMap);
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    const QByteArray map = demo.readAll();
    RunResult cut, whole;
    {
        tolva::testing::FifoWriter writer(fifo, map.chopped(1));
        cut = Render({fifo, QStringLiteral("--output"), out});
    }
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.errors.contains(QStringLiteral("The picture file is incomplete"))) << cut.errors.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    {
        tolva::testing::FifoWriter writer(fifo, map);
        whole = Render({fifo, QStringLiteral("--output"), out});
    }
    EXPECT_EQ(whole.exitCode, 0) << whole.errors.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(450, 450));
}

// On a really full disk, and on one with 8 KB free for a picture of far more.
class RenderOnATinyDisk : public ::testing::TestWithParam<qint64> {};

TEST_P(RenderOnATinyDisk, ReportsTheReasonAndLeavesTheOldPicture)
{
    TOLVA_RERUN_ON_A_TINY_DISK();
    tolva::testing::TinyDisk disk(1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs";
    const QString out = disk.path(QStringLiteral("old.png"));
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    ASSERT_TRUE(disk.fillLeaving(GetParam()));
    const RunResult run = Render({kDemoMap, QStringLiteral("--output"), out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot write %1: No space left on device").arg(out)))
        << run.errors.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(QDir(disk.path(QString())).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "old.png"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, RenderOnATinyDisk, ::testing::Values(0, 8192),
                         [](const auto& row) { return row.param == 0 ? std::string("Full") : std::string("EightKbFree"); });

// --hardware where no display can be reached: drawn in software, with a warning.
struct NoDisplayCase {
    const char* name;
    const char* display; // "" for none at all
};

void PrintTo(const NoDisplayCase& row, std::ostream* os)
{
    *os << row.name;
}

class HardwareWithoutDisplay : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(HardwareWithoutDisplay, FallsBackToSoftware)
{
    QTemporaryDir dir;
    const QString soft = dir.filePath(QStringLiteral("soft.png"));
    const QString hard = dir.filePath(QStringLiteral("hard.png"));
    ASSERT_EQ(Render({kDemoMap, QStringLiteral("--output"), soft}).exitCode, 0);
    const RunResult run = Render({kDemoMap, QStringLiteral("--output"), hard, QStringLiteral("--hardware")}, false,
                                 QString::fromLatin1(GetParam().display));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("OpenGL is not available; drawing in software instead")))
        << run.errors.toStdString();
    EXPECT_EQ(QImage(hard), QImage(soft));
}

INSTANTIATE_TEST_SUITE_P(Rows, HardwareWithoutDisplay,
                         ::testing::Values(NoDisplayCase{"NoDisplay", ""},
                                           NoDisplayCase{"UnreachableDisplay", ":4242"}),
                         tolva::testing::RowName());

} // namespace
