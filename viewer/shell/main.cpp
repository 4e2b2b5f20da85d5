// Tolva3DView: the 3-D topography viewer.
#include "RenderCommand.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    // The headless render command draws one frame to a file and never opens a window.
    if (tolva::IsRenderCommand(argc, argv))
        return tolva::RunRenderCommand(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolva3DView"));

    QMainWindow window;
    window.setObjectName(QStringLiteral("frm3DView"));
    window.setWindowTitle(QStringLiteral("Tolva3D Viewer"));
    window.show();
    return app.exec();
}
