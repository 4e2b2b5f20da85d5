// tolva-settings: reads and writes one key of the settings store the way the
// simulator does, for tests, demonstrations and by hand.
#include "common/SettingsStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Exit codes.
constexpr int kOk = 0;
constexpr int kNotSet = 1;      // get: the key has no value and no default was given
constexpr int kUsage = 2;       // wrong arguments
constexpr int kWriteFailed = 3; // the store could not be written

const char kUsageText[] =
    "Usage:\n"
    "  tolva-settings get <section> <key> [default]\n"
    "      Print the stored value. Without a stored value print the default;\n"
    "      with neither, print nothing and exit with 1.\n"
    "  tolva-settings set <section> <key> <value>\n"
    "      Store the value as text.\n"
    "  tolva-settings fill <section> <prefix> <count>\n"
    "      Store <prefix>0 .. <prefix><count-1> with their numbers as values,\n"
    "      one write at a time (for checking concurrent writers).\n"
    "  tolva-settings path\n"
    "      Print the file that holds the store.\n"
    "\n"
    "Sections use a backslash between levels, as the simulator writes them:\n"
    "  tolva-settings set \"Tolva3\\Topo3D\" NewFile True\n"
    "  tolva-settings get \"Tolva3\\Settings\" DataPath\n"
    "\n"
    "Exit status: 0 done, 1 no such value, 2 wrong arguments, 3 cannot write.\n";

int usage(const char* problem)
{
    if (problem)
        std::fprintf(stderr, "tolva-settings: %s\n\n", problem);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

void printLine(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int writeFailed(const tolva::SettingsStore& store)
{
    std::fprintf(stderr, "tolva-settings: cannot write %s\n", qPrintable(store.fileName()));
    return kWriteFailed;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(nullptr);
    const QString& command = args[0];
    if (command == u"--help" || command == u"-h" || command == u"help") {
        std::fputs(kUsageText, stdout);
        return kOk;
    }

    tolva::SettingsStore store;
    if (command == u"path" && args.size() == 1) {
        printLine(store.fileName());
        return kOk;
    }
    if (command == u"get" && (args.size() == 3 || args.size() == 4)) {
        // A sentinel that no stored text can equal tells "not set" from "empty".
        const QString missing = QStringLiteral("\x01tolva-settings-missing\x01");
        const QString value = store.ReadSetting(args[1], args[2], args.size() == 4 ? args[3] : missing);
        if (value == missing)
            return kNotSet;
        printLine(value);
        return kOk;
    }
    if (command == u"set" && args.size() == 4) {
        if (args[2].isEmpty())
            return usage("the key must not be empty");
        return store.WriteSetting(args[1], args[2], args[3]) ? kOk : writeFailed(store);
    }
    if (command == u"fill" && args.size() == 4) {
        bool ok = false;
        const int count = args[3].toInt(&ok);
        if (!ok || count < 0)
            return usage("the count must be a whole number, 0 or more");
        for (int i = 0; i < count; ++i)
            if (!store.WriteSetting(args[1], args[2] + QString::number(i), i))
                return writeFailed(store);
        return kOk;
    }
    if (command == u"get" || command == u"set" || command == u"fill" || command == u"path")
        return usage("wrong number of arguments");
    return usage(qPrintable(QStringLiteral("unknown command \"%1\"").arg(command)));
}
