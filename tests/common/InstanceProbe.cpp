// A stand-in viewer for the single-instance tests: runs the guard, prints the
// outcome and, when it is the first instance, goes on until it is killed.
//   tolva-instance-probe <folder> <name>
// With "hold <ms>" it is a viewer that is closing: it holds the lock without
// listening, prints "held", and ends normally after <ms> milliseconds.
#include "common/ui/InstanceGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && !(argc == 5 && std::string_view(argv[3]) == "hold")) {
        std::fputs("usage: tolva-instance-probe <folder> <name> [hold <ms>]\n", stderr);
        return 64;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (argc == 5) {
        QLockFile lock(QDir(folder).filePath(name + QStringLiteral(".lock")));
        if (!lock.tryLock(0))
            return 65;
        std::puts("held");
        std::fflush(stdout);
        QTimer::singleShot(std::atoi(argv[4]), &app, &QCoreApplication::quit);
        return app.exec();
    }
    tolva::InstanceGuard guard(name, folder);
    const auto start = guard.start();
    static const char* const names[] = {"First", "EarlierActivated", "EarlierUnreachable", "Unguarded"};
    std::printf("%s\n", names[int(start)]);
    std::fflush(stdout);
    if (start != tolva::InstanceGuard::Start::First)
        return int(start);
    return app.exec();
}
