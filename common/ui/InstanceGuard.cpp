#include "common/ui/InstanceGuard.h"

#include "common/Platform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace tolva {

namespace {

const QByteArray kRequest = "activate\n";
const QByteArray kAnswer = "ok\n";
constexpr qint64 kMaxLine = 64;
// How long a connection to a listening instance may take, and the pause
// between two passes of start().
constexpr int kConnectMs = 200;
constexpr unsigned long kRetryMs = 50;

} // namespace

InstanceGuard::InstanceGuard(const QString& name, const QString& folder,
                             std::chrono::milliseconds answerTime, QObject* parent)
    : QObject(parent),
      m_answerTime(answerTime),
      m_lockPath(QDir(folder).filePath(name + QStringLiteral(".lock"))),
      m_serverName(QDir(folder).filePath(name + QStringLiteral(".socket"))),
      m_lock(m_lockPath)
{
    // A viewer runs for hours: the lock must never go stale by age, only when
    // its owner is gone (QLockFile checks the process id it recorded).
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceGuard::acceptConnection);
}

InstanceGuard::~InstanceGuard()
{
    m_server.close();
}

QString InstanceGuard::DefaultFolder()
{
    // Per user and cleared at log-out; QStandardPaths falls back to a private
    // folder under /tmp when XDG_RUNTIME_DIR is not set.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

InstanceGuard::Start InstanceGuard::start(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    return start([&deadline] {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kRetryMs);
        return true;
    });
}

InstanceGuard::Start InstanceGuard::start(const std::function<bool()>& pause)
{
    // Until `pause` ends it, each pass asks a listening instance to come
    // forward, else tries the lock. The owner of a held lock may have taken it a moment
    // ago and not listen yet, or be closing: the lock is then free on a later
    // pass and this instance becomes the first.
    bool ownerlessBefore = false;
    for (;;) {
        // A live first instance answers on its socket: that is the surest sign
        // of it, whatever state its lock file is in.
        if (askEarlierInstance())
            return Start::EarlierActivated;
        if (takeLock())
            return Start::First;
        if (m_lock.error() != QLockFile::LockFailedError)
            return Start::Unguarded;
        // A lock file that names no owner (cut short by a crash) is never
        // cleared by QLockFile itself. An instance that is taking the lock
        // right now shows the same for a few microseconds before it writes its
        // name, so only a file seen ownerless on two passes is removed.
        qint64 pid = 0;
        QString host, application;
        const bool ownerless = !m_lock.getLockInfo(&pid, &host, &application);
        if (ownerless && ownerlessBefore && m_lock.removeStaleLockFile() && takeLock())
            return Start::First;
        ownerlessBefore = ownerless;
        if (!pause())
            return Start::EarlierUnreachable;
    }
}

bool InstanceGuard::takeLock()
{
    if (!m_lock.tryLock(0))
        return false;
    // Holding the lock proves that no live instance listens: a socket file
    // that is still there was left by a killed one.
    QLocalServer::removeServer(m_serverName);
    if (!m_server.listen(m_serverName))
        qWarning("InstanceGuard: cannot listen on %s: %s", qPrintable(m_serverName),
                 qPrintable(m_server.errorString()));
    return true;
}

bool InstanceGuard::askEarlierInstance()
{
    // Nobody listening (no socket file, or one left by a killed instance)
    // fails at once.
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    // A connected instance gets a moment to answer.
    const QDeadlineTimer answerDeadline(m_answerTime);
    auto answerTime = [&answerDeadline] { return int(qMax<qint64>(1, answerDeadline.remainingTime())); };
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(answerTime()))
        return false;
    while (!socket.canReadLine()) {
        if (answerDeadline.hasExpired() || !socket.waitForReadyRead(answerTime()))
            return false;
    }
    return socket.readLine(kMaxLine) == kAnswer;
}

void InstanceGuard::acceptConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A later instance asks at once; a client that says nothing (hung,
        // stopped, not one of ours) is not kept open for the viewer's lifetime.
        QTimer::singleShot(m_answerTime, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();  // not one of ours
                return;
            }
            const bool request = socket->readLine(kMaxLine) == kRequest;
            if (request)
                emit activationRequested();
            socket->write(request ? kAnswer : QByteArray("?\n"));
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

bool ActivatePreviousInstance(InstanceGuard& guard)
{
    return guard.start() == InstanceGuard::Start::EarlierActivated;
}

void BringToFront(QWidget* window, SoundPlayer* sounds)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    if (sounds)
        sounds->play(QStringLiteral("RestoreUp"));
}

void ForwardActivations(InstanceGuard& guard, QWidget* window, SoundPlayer* sounds)
{
    QObject::connect(&guard, &InstanceGuard::activationRequested, window,
                     [window, sounds] { BringToFront(window, sounds); });
}

} // namespace tolva
