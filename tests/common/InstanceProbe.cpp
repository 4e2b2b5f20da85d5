// A stand-in viewer for the single-instance tests: runs the guard, prints the
// outcome and, when it is the first instance, goes on until it is killed.
//   tolva-instance-probe <folder> <name>
#include "common/ui/InstanceGuard.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: tolva-instance-probe <folder> <name>\n", stderr);
        return 64;
    }
    tolva::InstanceGuard guard(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[1]));
    const auto start = guard.start();
    static const char* const names[] = {"First", "EarlierActivated", "EarlierUnreachable", "Unguarded"};
    std::printf("%s\n", names[int(start)]);
    std::fflush(stdout);
    if (start != tolva::InstanceGuard::Start::First)
        return int(start);
    return app.exec();
}
