#pragma once
// A built program run to its end, with what it printed.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tolva::testing {

struct ProgramRun {
    int exitCode = -1; // -1: crashed or still running after a minute
    QString out;
    QString err;
};

inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace tolva::testing
