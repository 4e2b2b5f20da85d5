#include "common/SettingsStore.h"
#include "support/Files.h"
#include "support/Programs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

using namespace tolva;
namespace s = tolva::settings;

using namespace tolva::testing;

namespace {

const QString kTool = QStringLiteral(TOLVA_BIN_DIR "/tolva-settings");

// Every test starts from an empty store (the test main already points the
// store at a private temporary folder).
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "Mossane", "Tolva3");
        raw.clear();
        raw.sync();
    }
    QString rawFile() const { return QString::fromUtf8(ReadBytes(store.fileName())); }
    // The store's file as another program left it.
    void writeRawFile(const QByteArray& text)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(store.fileName()).path()));
        ASSERT_TRUE(WriteBytes(store.fileName(), text));
    }
    SettingsStore store;
};

TEST_F(SettingsStoreTest, AFirstRunReadsTheCentredPositionAndWritesNothing)
{
    // A 1024 x 768 screen and a 640 x 480 window, in twips.
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kLeft, CentredPosition(15360, 9600)), "2880");
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kTop, CentredPosition(11520, 7207)), "2156.5");
    EXPECT_FALSE(QFile::exists(store.fileName()) && rawFile().contains("Topo"));
}

TEST_F(SettingsStoreTest, ValuesAreStoredAsTextTheSimulatorCanRead)
{
    store.WriteSetting(s::kTopo3D, s::kTopoRender, true);
    const QString file = rawFile();
    for (const char* line : {"[Tolva3]", "Topo3D\\TopoRender=True\n"})
        EXPECT_TRUE(file.contains(line)) << line << " in " << qPrintable(file);
}

TEST(SettingsStoreValueText, EachKindOfValueHasOneText)
{
    // Numbers in plain digits, never an exponent, and the fewest that read back.
    const struct { QVariant value; const char* text; } rows[] = {
        {true, "True"}, {false, "False"}, {qint64(-3000000000), "-3000000000"}, {quint32(4294967295u), "4294967295"},
        {3540.0f, "3540"}, {0.1f, "0.1"}, {1e-5f, "0.00001"}, {1e20f, "100000002004087734272"}, {0.1, "0.1"},
        {QStringLiteral("&H00FFFFFF&"), "&H00FFFFFF&"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SettingsStore::ValueText(row.value), QString::fromUtf8(row.text)) << row.text;
}

TEST_F(SettingsStoreTest, AnEmptyStoredValueIsNotTheDefault)
{
    store.WriteSetting(s::kTopo3D, s::kCaption, QString());
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kCaption, "unset"), "");
}

TEST_F(SettingsStoreTest, AMissingKeyReadsTheDefaultNotAMakerWideValue)
{
    // QSettings would otherwise fall back to $XDG_CONFIG_HOME/Mossane.conf.
    const QString makerWide = QFileInfo(QFileInfo(store.fileName()).path()).path() + "/Mossane.conf";
    ASSERT_TRUE(WriteBytes(makerWide, "[Tolva3]\nTopo3D\\TopoHeight=99\n"));
    const SettingsStore fresh;
    EXPECT_EQ(fresh.ReadSetting(s::kTopo3D, s::kTopoHeight, QStringLiteral("10")), "10");
    QFile::remove(makerWide);
}

TEST_F(SettingsStoreTest, AWriteIntoAFileWithUnreadableLinesSucceeds)
{
    writeRawFile("[Tolva3\nnot a key\n");
    EXPECT_TRUE(store.WriteSetting(s::kTopo3D, s::kNewFile, true));
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kNewFile), "True");
    EXPECT_EQ(RunProgram(kTool, {"set", s::kTopo3D, s::kNewFile, "False"}).exitCode, 0);
}

TEST_F(SettingsStoreTest, ListLikeTextWrittenByAnotherProgramReadsAsText)
{
    writeRawFile("[Tolva3]\nSettings\\DataPath=C:\\\\Data, old\n");
    EXPECT_EQ(store.ReadSetting(s::kSettings, s::kDataPath), "C:\\Data, old");
}

TEST_F(SettingsStoreTest, AnOpenStoreSeesAnotherProcesssLatestWrite)
{
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kNewFile, QString()), "");
    ASSERT_EQ(RunProgram(kTool, {"set", s::kTopo3D, s::kNewFile, "True"}).exitCode, 0);
    EXPECT_EQ(store.ReadSetting(s::kTopo3D, s::kNewFile, QString()), "True");

    // And the other way: what this store writes, another process reads at once.
    store.WriteSetting(s::kTopo3D, s::kCaption, QStringLiteral("Tolva3D Viewer - Crater"));
    EXPECT_EQ(RunProgram(kTool, {"get", s::kTopo3D, s::kCaption}).out, "Tolva3D Viewer - Crater\n");
}

TEST(SettingsTool, ReportsMisuseAndMissingValuesByExitCode)
{
    const ProgramRun none = RunProgram(kTool, {});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains("Usage:"));
    EXPECT_TRUE(RunProgram(kTool, {"frobnicate"}).err.contains("unknown command \"frobnicate\""));

    EXPECT_EQ(RunProgram(kTool, {"get", "Tolva3\\Nowhere", "Nothing"}).exitCode, 1);
    const ProgramRun withDefault = RunProgram(kTool, {"get", "Tolva3\\Nowhere", "Nothing", "10"});
    EXPECT_EQ(withDefault.exitCode, 0);
    EXPECT_EQ(withDefault.out, "10\n");
}

TEST(SettingsTool, FailsClearlyWhenTheStoreCannotBeWritten)
{
    // A configuration folder below a plain file cannot be created, even by root.
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBytes(dir.filePath("blocker"), ""));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("blocker/config"));
    const ProgramRun run = RunProgram(kTool, {"set", "Tolva3\\Topo3D", "NewFile", "True"}, env);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("cannot write")) << qPrintable(run.err);
}

} // namespace
