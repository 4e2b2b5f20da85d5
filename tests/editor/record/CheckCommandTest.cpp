// `TolvaEdit --check`: the built program, run without a display, prints one
// line per file and exits 0, 1 or 2.
#include "record/CheckCommand.h"
#include "record/RecordFile.h"
#include "support/Files.h"
#include "support/Programs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace tolva::record;
using tolva::testing::ProgramRun;

namespace {

ProgramRun RunTolvaEdit(const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return tolva::testing::RunProgram(QStringLiteral(TOLVA_BIN_DIR "/TolvaEdit"), arguments, env);
}

const QString kDemo = QStringLiteral(TOLVA_SOURCE_DIR "/data/TolvaDemo.rec");

// The shipped demonstration record, saved as "bad.rec" with the vent of an
// eruptive phase moved off the map.
QString WriteBadRecord(const QTemporaryDir& dir, int phase)
{
    RecordFile r = ReadRecordFile(kDemo).record;
    r.Phases.phases[phase].VentLocation = 0.5f;
    const QString path = dir.filePath(QStringLiteral("bad.rec"));
    EXPECT_TRUE(SaveRec(r, path).ok);
    return path;
}

// The shipped demonstration record passes; of the bad one, the first failing
// phase is named.
TEST(CheckCommand, ABadPhasePrintsItsMessageAndExits1)
{
    QTemporaryDir dir;
    const QString bad = WriteBadRecord(dir, 3);
    const ProgramRun run = RunTolvaEdit({QStringLiteral("--check"), kDemo, bad});
    EXPECT_EQ(run.out, kDemo + QStringLiteral(": OK\n") + bad + QStringLiteral(": Phase 3 Location too small\n"));
    EXPECT_EQ(run.exitCode, 1);
}

TEST(CheckCommand, AnUnreadableFileExits2AndTheOthersAreStillChecked)
{
    QTemporaryDir dir;
    const QString bad = WriteBadRecord(dir, 2);
    const QString broken = dir.filePath(QStringLiteral("broken.rec"));
    ASSERT_TRUE(tolva::testing::WriteBytes(broken, "\"Stratigraphic file:\",\"\"\r\n\"Recorded phases\",x,20\r\n"));
    const ProgramRun run = RunTolvaEdit({QStringLiteral("--check"), broken, bad});
    EXPECT_EQ(run.out, broken + QStringLiteral(": line 2: item 2 (\"x\") is not a number\n") + bad
                           + QStringLiteral(": Phase 2 Location too small\n"));
    EXPECT_EQ(run.exitCode, 2);
}

TEST(CheckCommand, WrongArgumentsExit2WithUsage)
{
    for (const QStringList& args : {QStringList{QStringLiteral("--check")}, QStringList{QStringLiteral("--chek")},
                                    QStringList{QStringLiteral("--help"), QStringLiteral("x")}}) {
        const ProgramRun run = RunTolvaEdit(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: TolvaEdit"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// An unknown option is the checker's (WrongArgumentsExit2WithUsage).
TEST(CheckCommand, QtWindowOptionsStartTheWindow)
{
    for (const char* qtOption : {"-platform", "--platform"})
        EXPECT_FALSE(WantsCommandLine({QString::fromLatin1(qtOption), QStringLiteral("offscreen")})) << qtOption;
    EXPECT_FALSE(WantsCommandLine({}));
}

TEST(CheckCommand, HelpExplainsTheChecker)
{
    const ProgramRun run = RunTolvaEdit({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("--check FILE...")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("Exit status: 0")));
}

} // namespace
