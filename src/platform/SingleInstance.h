#pragma once

#include "platform/InstanceMessage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

// Keeps one Stowbird per user. The running instance holds an exclusive lock on a lock file
// in the user's private state folder for its whole life, until the process is gone, and
// listens on a local socket in the user's runtime folder; it writes the socket's path next
// to the lock. A later launch that finds the lock held reads that path and asks the running
// one, over the socket, to open its HUD. The lock does not depend on XDG_RUNTIME_DIR, so
// launches that see different runtime folders (or none) still find one another.
//
// Only the user's own processes are talked to: the folders' owner and mode are checked
// before use, the recorded path's and the socket's owner before connecting, and the peer's
// uid (SO_PEERCRED) on every connection, in both directions.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Claim {
        Primary,            // this process is the running instance and listens
        ForwardedToRunning, // another instance runs and answered the request to open its HUD
        RunningButSilent,   // another instance holds the lock but did not answer in time
        Unavailable,        // no private folder, lock or socket could be set up (errorString)
    };

    // folder empty: the lock in defaultLockFolder(), the socket in defaultFolder(); otherwise
    // both in folder.
    explicit SingleInstance(const QString& folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the instance lock and listens, or, when another instance holds the lock, sends
    // it forward (by default the request to open its HUD; see InstanceMessage), waiting up
    // to timeoutMs for its answer. An instance that lets go of the lock meanwhile (it was
    // quitting) is succeeded: the claim is then Primary.
    Claim claim(int timeoutMs = 1000,
                const QByteArray& forward = InstanceMessage::openHUDRequest());

    // Asks a running instance to open its HUD. True when one answered.
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Asks a running instance for its status line; nothing when none answered.
    std::optional<QByteArray> queryRunningInstance(int timeoutMs = 1000);
    // Asks a running instance to quit. True when one answered (it is ending then, not
    // necessarily gone: see isLockHeld).
    bool askRunningInstanceToQuit(int timeoutMs = 1000);
    // True when a process holds the instance lock: a Stowbird runs, whether it answers or
    // not (stopped, or busy quitting).
    bool isLockHeld() const;
    // For the end of the running instance: stops answering, removes the socket and its
    // recorded path, and keeps the lock for the rest of the process's life (the kernel lets
    // go of it when the process is gone), so that no launch starts beside a program that is
    // still finishing.
    void stopAnsweringKeepLock();
    // What this instance answers to a status query (one line, no line feed).
    void setStatusProvider(std::function<QByteArray()> provider)
    {
        m_statusProvider = std::move(provider);
    }
    // Which user ids may own the socket and talk over it; by default only this process's
    // own. Tests replace it to play another local user.
    void setUidCheck(std::function<bool(uid_t)> check) { m_uidCheck = std::move(check); }

    // The folder of the socket.
    QString folder() const { return m_folder; }
    QString lockFolder() const { return m_lockFolder; }
    QString socketPath() const;
    QString lockPath() const;
    // Where the running instance writes its socket's path, next to the lock.
    QString socketRecordPath() const;
    QString errorString() const { return m_error; }

    // The first usable private folder of $XDG_RUNTIME_DIR/stowbird, $TMPDIR/stowbird-$uid
    // and $XDG_STATE_HOME/stowbird/run; created when missing.
    static QString defaultFolder();
    // $XDG_STATE_HOME/stowbird/run: the user's own, whatever the runtime folder.
    static QString defaultLockFolder();
    // Creates folder (mode 0700, and missing parents 0700) when missing and checks that it
    // is a real folder (not a link) owned by uid that no one else may enter, tightening the
    // mode of one that is owned by uid but open to others. False when it cannot be used.
    static bool preparePrivateFolder(const QString& folder, uid_t uid);

signals:
    // Another launch asked this instance to show itself.
    void activationRequested();
    // Another launch (--toggle) asked to show the window, or to hide it when it is shown.
    void toggleRequested();
    // Another launch (--quit) asked this instance to end.
    void quitRequested();

private:
    bool openLockFile();
    bool listen();
    void recordSocketPath();
    QString runningSocketPath() const;
    void serve(QLocalSocket* client);
    bool peerAllowed(qintptr descriptor) const;
    std::optional<QByteArray> request(const QByteArray& message, int timeoutMs);

    QString m_folder;
    QString m_lockFolder;
    QString m_error;
    int m_lockFd = -1;
    bool m_keepLock = false;
    QLocalServer* m_server = nullptr;
    std::function<QByteArray()> m_statusProvider;
    std::function<bool(uid_t)> m_uidCheck;
};
