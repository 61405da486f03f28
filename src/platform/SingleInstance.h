#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

// Keeps one Stowbird per user. The running instance holds an exclusive lock on a lock file
// for its whole life and listens on a local socket beside it, both in a folder that only
// the user can enter. A later launch that finds the lock held asks the running one, over
// the socket, to open its HUD.
//
// Only the user's own processes are talked to: the folder's owner and mode are checked
// before use, the socket's owner before connecting, and the peer's uid (SO_PEERCRED) on
// every connection, in both directions.
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

    // folder empty: the default private folder (defaultFolder()).
    explicit SingleInstance(const QString& folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the instance lock and listens, or, when another instance holds the lock, asks
    // it to open its HUD, waiting up to timeoutMs for its answer.
    Claim claim(int timeoutMs = 1000);

    // Asks a running instance to open its HUD. True when one answered.
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Asks a running instance for its status line; nothing when none answered.
    std::optional<QByteArray> queryRunningInstance(int timeoutMs = 1000);
    // What this instance answers to a status query (one line, no line feed).
    void setStatusProvider(std::function<QByteArray()> provider)
    {
        m_statusProvider = std::move(provider);
    }
    // Which user ids may own the socket and talk over it; by default only this process's
    // own. Tests replace it to play another local user.
    void setUidCheck(std::function<bool(uid_t)> check) { m_uidCheck = std::move(check); }

    QString folder() const { return m_folder; }
    QString socketPath() const;
    QString lockPath() const;
    QString errorString() const { return m_error; }

    // The first usable private folder of $XDG_RUNTIME_DIR/stowbird, $TMPDIR/stowbird-$uid
    // and $XDG_STATE_HOME/stowbird/run; created when missing.
    static QString defaultFolder();
    // Creates folder (mode 0700) when missing and checks that it is a real folder (not a
    // link) owned by uid that no one else may enter, tightening the mode of one that is
    // owned by uid but open to others. False when it cannot be used.
    static bool preparePrivateFolder(const QString& folder, uid_t uid);

signals:
    // Another launch asked this instance to show itself.
    void activationRequested();

private:
    bool listen();
    void serve(QLocalSocket* client);
    bool peerAllowed(qintptr descriptor) const;
    std::optional<QByteArray> request(const QByteArray& message, int timeoutMs, bool retry);

    QString m_folder;
    QString m_error;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
    std::function<QByteArray()> m_statusProvider;
    std::function<bool(uid_t)> m_uidCheck;
};
