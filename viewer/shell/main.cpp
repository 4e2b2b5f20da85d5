// Tolva3DView: the 3-D topography viewer.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolva3DView"));

    QMainWindow window;
    window.setObjectName(QStringLiteral("frm3DView"));
    window.setWindowTitle(QStringLiteral("Tolva3D Viewer"));
    window.show();
    return app.exec();
}
