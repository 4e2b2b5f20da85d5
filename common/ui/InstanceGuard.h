#pragma once
// One viewer per user session. The first viewer holds a lock file and listens
// on a local socket beside it; a second viewer finds the lock held, asks the
// first over the socket to come to the front, and ends. The lock decides who
// is first (QLockFile sees through a lock left by a killed viewer), so a stale
// socket file can simply be removed by the next first instance. Window titles
// are never touched.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QWidget;

namespace tolva {

class SoundPlayer;

class InstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Start {
        First,              // no other instance: this one runs and listens
        EarlierActivated,   // an earlier instance came to the front: end this one
        EarlierUnreachable, // an earlier instance holds the lock but does not answer
        Unguarded,          // the lock cannot be used at all (no folder, no rights)
    };

    // How long a listening instance may take to answer a later one, and how
    // long it keeps a connection that says nothing.
    static constexpr std::chrono::milliseconds kDefaultAnswerTime{2000};

    // `name` names the lock file ("<name>.lock") and the socket ("<name>.socket")
    // in `folder`: by default the user's runtime folder (XDG_RUNTIME_DIR).
    explicit InstanceGuard(const QString& name, const QString& folder = DefaultFolder(),
                           std::chrono::milliseconds answerTime = kDefaultAnswerTime,
                           QObject* parent = nullptr);
    ~InstanceGuard() override;

    // Asks a listening earlier instance to come forward; otherwise takes the
    // lock and listens; otherwise (the lock's owner lives) keeps doing both
    // for up to `timeoutMs`, so that an owner that is just starting is asked
    // and one that is just closing leaves the lock to this instance.
    Start start(int timeoutMs = 3000);
    // The same, with `pause` between two passes: it waits before the next
    // pass and answers whether there is to be one.
    Start start(const std::function<bool()>& pause);

    QString lockPath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }
    bool isListening() const { return m_server.isListening(); }

    static QString DefaultFolder();

signals:
    // A later instance asked this one to come to the front.
    void activationRequested();

private:
    bool takeLock();
    bool askEarlierInstance();
    void acceptConnection();

    std::chrono::milliseconds m_answerTime;
    QString m_lockPath;
    QString m_serverName;
    QLockFile m_lock;
    QLocalServer m_server;
};

// The viewer's start-up check: true when an earlier viewer was brought to the
// front, so this one must end now. Otherwise this instance goes on, either as
// the first one (answering later ones) or, when the earlier one cannot be
// reached, on its own.
bool ActivatePreviousInstance(InstanceGuard& guard);

// Restores `window` if it is minimised, raises and activates it, and plays
// "RestoreUp" (when `sounds` is given). The title stays as it is.
void BringToFront(QWidget* window, SoundPlayer* sounds);

// Brings `window` to the front whenever a later instance asks.
void ForwardActivations(InstanceGuard& guard, QWidget* window, SoundPlayer* sounds);

} // namespace tolva
