// Tolva3DView --render: one frame of a map into a picture file, without a window.
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
    [](const auto& info) { return std::string(info.param.name); });

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
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
