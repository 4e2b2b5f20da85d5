// TolvaEdit: the eruption record editor.
#include "record/CheckCommand.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The command line (--check, --help) runs before any window exists, so
    // that it needs no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (tolva::record::WantsCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return tolva::record::RunCommandLine(arguments, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TolvaEdit"));

    QMainWindow window;
    window.setObjectName(QStringLiteral("RecordEdit"));
    window.setWindowTitle(QStringLiteral("TolvaEdit"));
    window.show();
    return app.exec();
}
