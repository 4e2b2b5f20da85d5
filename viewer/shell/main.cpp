// Tolva3DView: the 3-D topography viewer.
#include "common/ui/InstanceGuard.h"
#include "common/ui/Printers.h"
#include "common/ui/QtPlatform.h"
#include "shell/CloseOnSignal.h"
#include "shell/RenderCommand.h"
#include "window/frm3DView.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[])
{
    // The headless render command draws one frame to a file and never opens a window.
    if (tolva::IsRenderCommand(argc, argv))
        return tolva::RunRenderCommand(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolva3DView"));

    // One viewer at a time: a second start brings the running one forward and ends.
    tolva::InstanceGuard instanceGuard(QStringLiteral("Tolva3DView"));
    if (tolva::ActivatePreviousInstance(instanceGuard))
        return 0;

    tolva::QtPlatformServices services;
    tolva::ViewerSetup setup;
    setup.programFolder = QCoreApplication::applicationDirPath();
    setup.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    setup.printerAvailable = tolva::PrinterAvailable();

    tolva::frm3DView window(services.platform(), setup);
    services.setDialogParent(&window);
    tolva::ForwardActivations(instanceGuard, &window, &services.sounds);
    tolva::CloseOnTerminationSignals(&window);
    if (!window.Start())
        return 1;
    return app.exec();
}
