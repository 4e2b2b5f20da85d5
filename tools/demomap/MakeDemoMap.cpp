// tolva-demomap: writes the demonstration map as a 24-bit BMP.
// Usage: tolva-demomap OUTPUT [WIDTH HEIGHT]   (default 360 x 180)
// data/TolvaDemo.ebm is this program's output at the default size.
#include "demomap/DemoMap.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 2 && args.size() != 4) {
        err << "usage: tolva-demomap OUTPUT [WIDTH HEIGHT]\n";
        return 2;
    }
    int width = 360, height = 180;
    if (args.size() == 4) {
        bool okW = false, okH = false;
        width = args[2].toInt(&okW);
        height = args[3].toInt(&okH);
        if (!okW || !okH || width < 1 || height < 1 || width > 8192 || height > 8192) {
            err << "tolva-demomap: width and height must be whole numbers from 1 to 8192\n";
            return 2;
        }
    }
    // BMP content whatever the extension: ".ebm" maps are BMP files.
    QImageWriter writer(args[1], "bmp");
    if (!writer.write(tolva::MakeDemoMap(width, height))) {
        err << "tolva-demomap: " << args[1] << ": " << writer.errorString() << "\n";
        return 1;
    }
    return 0;
}
