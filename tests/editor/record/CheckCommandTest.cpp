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
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return tolva::testing::RunProgram(QStringLiteral(TOLVA_BIN_DIR "/TolvaEdit"), arguments, env);
}

QString WriteRecord(const QTemporaryDir& dir, const QString& name, int badPhase)
{
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 3;
    for (int p = 1; p <= 3; ++p) {
        PhaseRecord& ph = r.Phases.phases[p];
        ph = tolva::phase::NewPhase();
        ph.EruptionType = 2;
        ph.Strength = 0.5f;
        ph.VentLocation = p == badPhase ? 0.5f : 10.0f;
    }
    const QString path = dir.filePath(name);
    EXPECT_TRUE(SaveRec(r, path).ok);
    return path;
}

// The shipped demonstration record passes.
TEST(CheckCommand, ABadPhasePrintsItsMessageAndExits1)
{
    QTemporaryDir dir;
    const QString demo = QStringLiteral(TOLVA_SOURCE_DIR "/data/TolvaDemo.rec");
    const QString bad = WriteRecord(dir, QStringLiteral("bad.rec"), 3);
    const ProgramRun run = RunTolvaEdit({QStringLiteral("--check"), demo, bad});
    EXPECT_EQ(run.out, demo + QStringLiteral(": OK\n") + bad + QStringLiteral(": Phase 3 Location too small\n"));
    EXPECT_EQ(run.exitCode, 1);
}

TEST(CheckCommand, AnUnreadableFileExits2AndTheOthersAreStillChecked)
{
    QTemporaryDir dir;
    const QString bad = WriteRecord(dir, QStringLiteral("bad.rec"), 1);
    const QString broken = dir.filePath(QStringLiteral("broken.rec"));
    ASSERT_TRUE(tolva::testing::WriteBytes(broken, "\"Stratigraphic file:\",\"\"\r\n\"Recorded phases\",x,20\r\n"));
    const ProgramRun run = RunTolvaEdit({QStringLiteral("--check"), broken, bad});
    EXPECT_EQ(run.out, broken + QStringLiteral(": line 2: item 2 (\"x\") is not a number\n") + bad
                           + QStringLiteral(": Phase 1 Location too small\n"));
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
