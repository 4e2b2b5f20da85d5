#include "PrivateSpooler.h"

#include "support/Files.h"

#include <QDeadlineTimer>
#include <QDir>
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

const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
// The daemon answers within a second when it starts at all.
constexpr int kWaitMilliseconds = 5000;

// The copy count in a job's control file (IPP attributes as CUPS stores
// them): tag 0x21 (integer), the name "copies", a four-byte value. A job
// that names none gets the printer's default, one copy here.
int Copies(const QByteArray& control)
{
    static const QByteArray kAttribute("\x21\x00\x06" "copies" "\x00\x04", 11);
    const qsizetype at = control.indexOf(kAttribute);
    if (at < 0 || at + kAttribute.size() + 4 > control.size())
        return at < 0 ? 1 : -1;
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
    // Where Debian installs the daemon and lpadmin.
    const QStringList sbin = {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), sbin);
    const QString lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), sbin);
    if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFile::exists(kPpd)) {
        m_failure = QStringLiteral("cups and printer-driver-cups-pdf are not installed (scripts/install-deps)");
        return;
    }
    // Only the private socket (no port, no browsing); every folder its own.
    const QString socket = path(QStringLiteral("cups.sock"));
    const QString daemonConf = path(QStringLiteral("cupsd.conf"));
    const QString filesConf = path(QStringLiteral("cups-files.conf"));
    QString files = QStringLiteral("ServerRoot %1\nPrintcap %1/printcap\nErrorLog %1/error_log\n"
                                   "AccessLog %1/access_log\nPageLog %1/page_log\n").arg(m_dir.path());
    for (const char* key : {"RequestRoot", "CacheDir", "StateDir", "TempDir"}) {
        QDir(m_dir.path()).mkdir(QString::fromLatin1(key));
        files += QStringLiteral("%1 %2\n").arg(QString::fromLatin1(key), path(QString::fromLatin1(key)));
    }
    if (!m_dir.isValid() || socket.size() > 100
        || !WriteBytes(daemonConf, QStringLiteral("Listen %1\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                                  "PreserveJobFiles Yes\nDirtyCleanInterval 0\n").arg(socket).toUtf8())
        || !WriteBytes(filesConf, files.toUtf8())) {
        m_failure = QStringLiteral("no temporary folder for the spooler");
        return;
    }

    // A test program that dies takes its daemon along.
    m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    m_daemon.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), daemonConf, QStringLiteral("-s"), filesConf});
    if (!waitForSocket(socket))
        return;
    const QString printer = QString::fromLatin1(kPrinter);
    if (run(lpadmin, QStringList{QStringLiteral("-h"), socket, QStringLiteral("-p"), printer}
                         + QStringLiteral("-E -v cups-pdf:/ -o job-hold-until-default=indefinite -P").split(u' ')
                         + QStringList{kPpd})
        && run(lpadmin, {QStringLiteral("-h"), socket, QStringLiteral("-d"), printer}))
        qputenv("CUPS_SERVER", socket.toLocal8Bit());
}

PrivateSpooler::~PrivateSpooler()
{
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(kWaitMilliseconds))
        m_daemon.kill();
    m_daemon.waitForFinished();
}

bool PrivateSpooler::waitForSocket(const QString& socket)
{
    const QDeadlineTimer deadline(kWaitMilliseconds);
    while (m_daemon.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(socket);
        if (probe.waitForConnected(100))
            return true;
        m_daemon.waitForFinished(25);
    }
    const QString why = QString::fromUtf8(ReadBytes(path(QStringLiteral("error_log"))) + m_daemon.readAll());
    m_failure = QStringLiteral("cupsd did not start: ") + why.trimmed().section(u'\n', -3);
    return false;
}

bool PrivateSpooler::run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (tool.waitForFinished(kWaitMilliseconds) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    m_failure = QStringLiteral("lpadmin refused the printer: ") + QString::fromUtf8(tool.readAll()).trimmed();
    return false;
}

QList<PrivateSpooler::Job> PrivateSpooler::jobs() const
{
    // A job's documents (d00001-001) are spooled before the printing client
    // hears back; its control file (c00001) by the daemon's next turn.
    const QDir spool(path(QStringLiteral("RequestRoot")));
    QMap<QString, Job> byId;
    for (const QString& document : spool.entryList({QStringLiteral("d*")}, QDir::Files, QDir::Name)) {
        Job& job = byId[document.mid(1, document.indexOf(u'-') - 1)];
        if (job.documents++ == 0)
            job.pages = PdfPages(spool.filePath(document));
    }
    for (auto job = byId.begin(); job != byId.end(); ++job) {
        QFile control(spool.filePath(QLatin1Char('c') + job.key()));
        for (const QDeadlineTimer deadline(kWaitMilliseconds); !control.exists() && !deadline.hasExpired();)
            QThread::msleep(10);
        if (control.open(QIODevice::ReadOnly))
            job->copies = Copies(control.readAll());
    }
    return byId.values();
}

} // namespace tolva::testing
