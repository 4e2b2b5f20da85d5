// TolvaEdit: the eruption record editor.
#include "record/CheckCommand.h"

#include "common/SettingsStore.h"
#include "common/ui/QtPlatform.h"
#include "window/RecordEdit.h"

#include <QApplication>
#include <QCoreApplication>

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

    // The editor only reads the data folder; it writes no settings.
    QString dataFolder;
    {
        tolva::SettingsStore store;
        dataFolder = store.ReadSetting(tolva::settings::kSettings, tolva::settings::kDataPath);
    }
    tolva::QtPlatformServices services;
    tolva::editor::RecordEdit window(services.platform(), dataFolder);
    services.setDialogParent(&window);
    window.show();
    return app.exec();
}
