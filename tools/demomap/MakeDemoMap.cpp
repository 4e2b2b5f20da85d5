// tolva-demomap: writes the demonstration map as a 24-bit BMP.
// Usage: tolva-demomap [--stage N/COUNT] OUTPUT [WIDTH HEIGHT]   (default 360 x 180)
// data/TolvaDemo.ebm is this program's output at the default size. With
// --stage it writes stage N of COUNT of a growing volcano instead, the maps
// the live demonstration announces one after the other.
#include "demomap/DemoMap.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QTextStream>

#include <optional>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    const char* usage = "usage: tolva-demomap [--stage N/COUNT] OUTPUT [WIDTH HEIGHT]\n";

    std::optional<double> growth;
    if (!args.isEmpty() && args[0] == QStringLiteral("--stage")) {
        const QStringList parts = args.size() > 1 ? args[1].split(QLatin1Char('/')) : QStringList();
        bool okN = false, okCount = false;
        const int n = parts.size() == 2 ? parts[0].toInt(&okN) : 0;
        const int count = parts.size() == 2 ? parts[1].toInt(&okCount) : 0;
        if (!okN || !okCount || count < 1 || n < 1 || n > count) {
            err << "tolva-demomap: --stage needs N/COUNT with 1 <= N <= COUNT\n" << usage;
            return 2;
        }
        growth = count == 1 ? 1.0 : double(n - 1) / double(count - 1);
        args = args.mid(2);
    }
    if (args.size() != 1 && args.size() != 3) {
        err << usage;
        return 2;
    }
    int width = 360, height = 180;
    if (args.size() == 3) {
        bool okW = false, okH = false;
        width = args[1].toInt(&okW);
        height = args[2].toInt(&okH);
        if (!okW || !okH || width < 1 || height < 1 || width > 8192 || height > 8192) {
            err << "tolva-demomap: width and height must be whole numbers from 1 to 8192\n";
            return 2;
        }
    }
    const QImage map = growth ? tolva::MakeGrowingVolcano(width, height, *growth) : tolva::MakeDemoMap(width, height);
    // BMP content whatever the extension: ".ebm" maps are BMP files.
    QImageWriter writer(args[0], "bmp");
    if (!writer.write(map)) {
        err << "tolva-demomap: " << args[0] << ": " << writer.errorString() << "\n";
        return 1;
    }
    return 0;
}
