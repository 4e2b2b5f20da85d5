// Tolva3DView --render: one frame of a map into a picture file, without a window.
#include "support/FileNodes.h"
#include "support/RowNames.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <ostream>

#include <gtest/gtest.h>

namespace {

struct RunResult { int exitCode = -1; QString errors; };

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

// The words after --render, split at blanks: MAP is the demonstration map and
// DIR the test's own folder.
QStringList Args(const char* words, const QTemporaryDir& dir)
{
    QStringList arguments = QString::fromLatin1(words).split(QLatin1Char(' '));
    for (QString& word : arguments)
        word = word == QStringLiteral("MAP") ? kDemoMap : word.replace(QStringLiteral("DIR"), dir.path());
    return arguments;
}

TEST(RenderCommand, DrawsTheStartViewOfAMapWithoutADisplay)
{
    QTemporaryDir dir;
    const RunResult run = Render(Args("MAP --output DIR/view.png", dir));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QImage picture(dir.filePath(QStringLiteral("view.png")));
    ASSERT_EQ(picture.size(), QSize(450, 450));
    // Sky above, lit white earth below.
    EXPECT_EQ(picture.pixel(225, 20) & 0xFFFFFFu, 0u);
    const QRgb ground = picture.pixel(225, 440);
    EXPECT_GT(qGray(ground), 40);
    EXPECT_EQ(qRed(ground), qBlue(ground));
}

TEST(RenderCommand, OptionsChangeThePicture)
{
    QTemporaryDir dir;
    const char* options = "MAP --output DIR/red.png --color #ff0000 --mode wire --height 30 --light 1 --size 900";
    ASSERT_EQ(Render(Args(options, dir)).exitCode, 0);
    const QImage redPicture(dir.filePath(QStringLiteral("red.png")));
    EXPECT_EQ(redPicture.size(), QSize(900, 900));
    int redPixels = 0, otherPixels = 0;
    for (int y = 0; y < redPicture.height(); ++y)
        for (int x = 0; x < redPicture.width(); ++x) {
            const QRgb p = redPicture.pixel(x, y);
            redPixels += qRed(p) > 0 && qGreen(p) == 0 && qBlue(p) == 0;
            otherPixels += qGreen(p) > 0 || qBlue(p) > 0;
        }
    EXPECT_GT(redPixels, 1000);
    EXPECT_EQ(otherPixels, 0);
}

// `arguments`: after --render, as Args reads them.
struct BadCase { const char* name; const char* arguments; int exitCode; const char* message; };

void PrintTo(const BadCase& row, std::ostream* os) { *os << row.name; }

class RenderCommandRefuses : public ::testing::TestWithParam<BadCase> {};

TEST_P(RenderCommandRefuses, WithAClearMessageAndNoPicture)
{
    QTemporaryDir dir;
    const RunResult run = Render(Args(GetParam().arguments, dir));
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(GetParam().message))) << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("view.png"))));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenderCommandRefuses,
    ::testing::Values(
        BadCase{"MissingMap", "DIR/none.ebm --output DIR/view.png", 1, "cannot read the map"},
        BadCase{"NoOutput", "MAP", 2, "--render and --output are both needed"},
        BadCase{"HeightBeyond60", "MAP --output DIR/view.png --height 60.5", 2, "the height is a number from 1 to 60"},
        BadCase{"LightBelow", "MAP --output DIR/view.png --light 0.05", 2, "the light is a number from 0.10 to 1.00"},
        BadCase{"BadMode", "MAP --output DIR/view.png --mode flat", 2, "the mode is solid, wire or points"},
        BadCase{"BadColour", "MAP --output DIR/view.png --color #12345", 2, "the colour is"},
        BadCase{"HugeSize", "MAP --output DIR/view.png --size 4097", 2,
                "the size is a number of pixels from 16 to 4096"},
        BadCase{"UnwritableOutput", "MAP --output DIR/no/such/folder/view.png", 1, "cannot write"}),
    tolva::testing::RowName());

// How closely the OpenGL picture agrees with the software one is pinned by
// the display tests; here, that --hardware draws the map through OpenGL.
TEST(RenderCommand, HardwarePathDrawsTheMap)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X server";
    QTemporaryDir dir;
    const RunResult run = Render(Args("MAP --output DIR/hard.png --hardware", dir), true);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    if (run.errors.contains(QStringLiteral("drawing in software instead")))
        GTEST_SKIP() << "no OpenGL here";
    const QImage picture(dir.filePath(QStringLiteral("hard.png")));
    ASSERT_EQ(picture.size(), QSize(450, 450));
    EXPECT_GT(qGray(picture.pixel(225, 440)), 40) << "lit ground";
}

// An output that is not a regular file is refused before anything is written
// (a pipe without a reader would hold the program for ever), and stays what it was.
TEST(RenderCommand, AnOutputThatIsNotARegularFileIsRefused)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_TRUE(tolva::testing::MakeFifo(fifo));
    const RunResult run = Render({kDemoMap, QStringLiteral("--output"), fifo});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot write %1: it is not a regular file").arg(fifo)))
        << run.errors.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"fifo.png"});
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

// --hardware where no display can be reached, none at all or one that does
// not answer: drawn in software, with a warning.
TEST(RenderCommand, HardwareWithoutADisplayFallsBackToSoftware)
{
    QTemporaryDir soft;
    ASSERT_EQ(Render(Args("MAP --output DIR/soft.png", soft)).exitCode, 0);
    const QImage software(soft.filePath(QStringLiteral("soft.png")));
    for (const char* display : {"", ":4242"}) {
        SCOPED_TRACE(display);
        QTemporaryDir dir;
        const RunResult run = Render(Args("MAP --output DIR/hard.png --hardware", dir), false, display);
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("OpenGL is not available; drawing in software instead")))
            << run.errors.toStdString();
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("hard.png"))), software);
    }
}

} // namespace
