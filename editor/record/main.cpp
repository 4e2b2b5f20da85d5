// TolvaEdit: the eruption record editor.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TolvaEdit"));

    QMainWindow window;
    window.setObjectName(QStringLiteral("RecordEdit"));
    window.setWindowTitle(QStringLiteral("TolvaEdit"));
    window.show();
    return app.exec();
}
