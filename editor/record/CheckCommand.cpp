#include "record/CheckCommand.h"

#include "phase/ApplyChecks.h"
#include "record/RecordFile.h"

#include <algorithm>

namespace tolva::record {

namespace {

const char* const kUsage =
    "Usage: TolvaEdit                 start the record editor\n"
    "       TolvaEdit --check FILE... check eruption records without a window\n"
    "       TolvaEdit --help          show this help\n";

const char* const kHelp =
    "TolvaEdit edits the eruption record files (.rec) of the Tolva3 simulator.\n"
    "\n"
    "--check FILE...\n"
    "    Reads each record and runs on it, as stored, the same checks as the\n"
    "    editor's Save. Prints one line per file:\n"
    "      FILE: OK\n"
    "      FILE: Phase 3 Location too small      (the first check that fails)\n"
    "      FILE: line 12: expected 4 items, found 3   (a file that cannot be read)\n"
    "    Exit status: 0 when every file passes, 1 when any fails a check,\n"
    "    2 when any cannot be read or the arguments are wrong.\n"
    "    No window is opened and no display is needed, so it runs in scripts\n"
    "    and continuous integration.\n"
    "\n"
    "--help\n"
    "    Shows this text.\n"
    "\n";

int CheckFile(const QString& path, QTextStream& out)
{
    ReadResult read = ReadRecordFile(path);
    if (read.failure) {
        out << path << ": " << read.failure->text() << '\n';
        return CheckUnreadable;
    }
    if (const auto failure = phase::CheckPhases(read.record.Phases, read.record.Scale)) {
        out << path << ": " << failure->text() << '\n';
        return CheckFailed;
    }
    out << path << ": OK\n";
    return CheckPassed;
}

} // namespace

bool WantsCommandLine(const QStringList& arguments)
{
    // Qt's own window options may also be spelled with two dashes; they start
    // the window. Any other argument with two dashes (a mistyped "--check"
    // included) is answered on the command line, never by opening a window.
    static const QStringList qtOptions = {
        QStringLiteral("--platform"), QStringLiteral("--platformpluginpath"), QStringLiteral("--platformtheme"),
        QStringLiteral("--style"), QStringLiteral("--stylesheet"), QStringLiteral("--reverse"),
        QStringLiteral("--session"), QStringLiteral("--display"), QStringLiteral("--geometry"),
        QStringLiteral("--qwindowgeometry"), QStringLiteral("--qwindowtitle"), QStringLiteral("--qwindowicon"),
        QStringLiteral("--plugin"), QStringLiteral("--widgetcount"), QStringLiteral("--nograb"),
        QStringLiteral("--dograb"), QStringLiteral("--sync")};
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& a) {
        return a.startsWith(QStringLiteral("--")) && !qtOptions.contains(a.section(QLatin1Char('='), 0, 0));
    });
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString first = arguments.value(0);
    if (first == QStringLiteral("--help") && arguments.size() == 1) {
        out << kUsage << '\n' << kHelp;
        out.flush();
        return CheckPassed;
    }
    if (first != QStringLiteral("--check") || arguments.size() < 2) {
        if (first == QStringLiteral("--check"))
            err << "TolvaEdit: --check needs at least one record file\n";
        else
            err << "TolvaEdit: unknown arguments: " << arguments.join(QLatin1Char(' ')) << '\n';
        err << kUsage;
        err.flush();
        return CheckUnreadable;
    }
    int status = CheckPassed;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        status = std::max(status, CheckFile(arguments[i], out));
    out.flush();
    return status;
}

} // namespace tolva::record
