// Tolva3DView: the 3-D topography viewer.
#include "common/ui/InstanceGuard.h"
#include "shell/RenderCommand.h"
#include "common/ui/Sounds.h"

#include <QApplication>
#include <QMainWindow>

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
    tolva::CanberraSoundPlayer sounds;

    QMainWindow window;
    window.setObjectName(QStringLiteral("frm3DView"));
    window.setWindowTitle(QStringLiteral("Tolva3D Viewer"));
    tolva::ForwardActivations(instanceGuard, &window, &sounds);
    window.show();
    return app.exec();
}
