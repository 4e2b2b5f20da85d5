#include "PrivateSpooler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

#include <csignal>
#include <sys/prctl.h>

namespace tolva::testing {

namespace {

const QStringList kSystemFolders = {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin")};
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
// The daemon answers within a second when it starts at all.
constexpr int kStartMilliseconds = 5000;

QString Program(const QString& name)
{
    QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, kSystemFolders) : found;
}

bool WriteFile(const QString& file, const QString& text)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(text.toUtf8()) == text.toUtf8().size();
}

// The copy count in a job's control file (IPP attributes as CUPS stores
// them): tag 0x21 (integer), the name "copies", a four-byte value. A job
// that names none gets the printer's default, one copy here.
int Copies(const QByteArray& control)
{
    static const QByteArray kAttribute("\x21\x00\x06" "copies" "\x00\x04", 11);
    const qsizetype at = control.indexOf(kAttribute);
    if (at < 0)
        return 1;
    if (at + kAttribute.size() + 4 > control.size())
        return -1;
    return qFromBigEndian<qint32>(control.constData() + at + kAttribute.size());
}

} // namespace

int PdfPages(const QString& file)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    if (!info.waitForFinished(30000) || info.exitCode() != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

PrivateSpooler::PrivateSpooler()
    : m_dir(QDir::tempPath() + QStringLiteral("/tolva-cups-XXXXXX"))
{
    const QString cupsd = Program(QStringLiteral("cupsd"));
    const QString lpadmin = Program(QStringLiteral("lpadmin"));
    const QString socket = path(QStringLiteral("cups.sock"));
    if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFile::exists(kPpd)) {
        m_failure = QStringLiteral("cups and printer-driver-cups-pdf are not installed (scripts/install-deps)");
        return;
    }
    if (!m_dir.isValid() || socket.toLocal8Bit().size() >= 100) {
        m_failure = QStringLiteral("no temporary folder for the spooler's socket");
        return;
    }
    for (const char* folder : {"conf", "spool", "log", "cache", "state", "tmp"})
        QDir(m_dir.path()).mkdir(QString::fromLatin1(folder));
    // Only the private socket: no network port, no browsing, no printcap.
    const QString daemonConf = QStringLiteral(
        "Listen %1\nBrowsing No\nWebInterface No\nDefaultAuthType None\nLogLevel warn\n"
        "PreserveJobFiles Yes\nDirtyCleanInterval 0\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
                                   .arg(socket);
    const QString filesConf = QStringLiteral(
        "ServerRoot %1/conf\nRequestRoot %1/spool\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
        "PageLog %1/log/page_log\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\nPrintcap %1/printcap\n")
                                  .arg(m_dir.path());
    if (!WriteFile(path(QStringLiteral("conf/cupsd.conf")), daemonConf)
        || !WriteFile(path(QStringLiteral("conf/cups-files.conf")), filesConf)) {
        m_failure = QStringLiteral("the spooler's configuration cannot be written");
        return;
    }

    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    // A test program that dies takes its daemon along.
    m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("conf/cupsd.conf")),
                           QStringLiteral("-s"), path(QStringLiteral("conf/cups-files.conf"))});
    if (!waitForSocket())
        return;
    if (!run(lpadmin, {QStringLiteral("-h"), socket, QStringLiteral("-p"), QString::fromLatin1(kPrinter),
                       QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"),
                       kPpd, QStringLiteral("-o"), QStringLiteral("job-hold-until-default=indefinite")})
        || !run(lpadmin, {QStringLiteral("-h"), socket, QStringLiteral("-d"), QString::fromLatin1(kPrinter)}))
        return;
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
}

PrivateSpooler::~PrivateSpooler()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(kStartMilliseconds)) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool PrivateSpooler::waitForSocket()
{
    const QDeadlineTimer deadline(kStartMilliseconds);
    while (m_daemon.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(path(QStringLiteral("cups.sock")));
        if (probe.waitForConnected(100))
            return true;
        m_daemon.waitForFinished(25);
    }
    QFile log(path(QStringLiteral("log/error_log")));
    QString why = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
    why += QString::fromUtf8(m_daemon.readAll()).trimmed();
    m_failure = QStringLiteral("cupsd did not start: ") + why.section(QLatin1Char('\n'), -3);
    return false;
}

bool PrivateSpooler::run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (tool.waitForFinished(kStartMilliseconds) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    m_failure = QStringLiteral("lpadmin refused the printer: ") + QString::fromUtf8(tool.readAll()).trimmed();
    return false;
}

QList<PrivateSpooler::Job> PrivateSpooler::jobs() const
{
    // A job's documents are spooled before the printing client hears back;
    // its control file (d00001-001, c00001) by the daemon's next turn.
    const QDir spool(path(QStringLiteral("spool")));
    QMap<QString, Job> byId;
    for (const QString& document : spool.entryList({QStringLiteral("d*")}, QDir::Files, QDir::Name)) {
        Job& job = byId[document.mid(1, document.indexOf(QLatin1Char('-')) - 1)];
        if (job.documents++ == 0)
            job.pages = PdfPages(spool.filePath(document));
    }
    for (auto job = byId.begin(); job != byId.end(); ++job) {
        QFile control(spool.filePath(QLatin1Char('c') + job.key()));
        const QDeadlineTimer deadline(kStartMilliseconds);
        while (!control.exists() && !deadline.hasExpired())
            QThread::msleep(10);
        if (control.open(QIODevice::ReadOnly))
            job->copies = Copies(control.readAll());
    }
    return byId.values();
}

} // namespace tolva::testing
