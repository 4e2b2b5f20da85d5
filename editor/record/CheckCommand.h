#pragma once
// TolvaEdit's command line without a window: `--check FILE...` reads each
// record and runs the apply checks on it as stored, one line per file;
// `--help` explains it.

#include <QStringList>
#include <QTextStream>

namespace tolva::record {

// Exit codes of the command line.
enum CheckExit : int { CheckPassed = 0, CheckFailed = 1, CheckUnreadable = 2 };

// True when the arguments (without the program name) ask for the command
// line rather than the window: any argument that begins with "--" and is not
// one of Qt's own window options.
bool WantsCommandLine(const QStringList& arguments);

// Runs the command line; report lines go to `out`, usage errors to `err`.
// Returns the exit code: 0 when every file passes, 1 when any fails a check,
// 2 when any cannot be read or the arguments are wrong.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace tolva::record
