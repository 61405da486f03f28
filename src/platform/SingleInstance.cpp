#include "platform/SingleInstance.h"

#include "platform/InstanceMessage.h"
#include "platform/StoragePaths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString socketName = QStringLiteral("com.stowbird.Stowbird.socket");
const QString lockName = QStringLiteral("com.stowbird.Stowbird.lock");

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder.isEmpty() ? defaultFolder() : QDir::cleanPath(folder)),
      m_uidCheck([uid = ::getuid()](uid_t peer) { return peer == uid; })
{
}

SingleInstance::~SingleInstance()
{
    if (m_server) {
        m_server->close();
        // Removed while the lock is still held, so that no later launch can be confused by it.
        ::unlink(nativePath(socketPath()).constData());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString SingleInstance::socketPath() const
{
    return m_folder + QLatin1Char('/') + socketName;
}

QString SingleInstance::lockPath() const
{
    return m_folder + QLatin1Char('/') + lockName;
}

bool SingleInstance::preparePrivateFolder(const QString& folder, uid_t uid)
{
    const QByteArray name = nativePath(folder);
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return false;
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid)
        return false;
    if ((st.st_mode & 077) != 0) {
        // Ours but open to others (made by an older version or by hand): close it. Anything
        // another user may have put inside is refused below by its owner.
        const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat opened;
        const bool same = ::fstat(fd, &opened) == 0 && opened.st_ino == st.st_ino &&
                          opened.st_dev == st.st_dev && opened.st_uid == uid;
        const bool tightened = same && ::fchmod(fd, 0700) == 0;
        ::close(fd);
        return tightened;
    }
    return true;
}

QString SingleInstance::defaultFolder()
{
    const uid_t uid = ::getuid();
    QStringList candidates;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        candidates << QDir::cleanPath(runtime) + QStringLiteral("/stowbird");
    candidates << QDir::tempPath() + QStringLiteral("/stowbird-%1").arg(uid);
    // A folder in /tmp can be taken first by another user; the home is the user's own.
    candidates << StoragePaths::stateDirectory() + QStringLiteral("/run");
    for (const QString& candidate : std::as_const(candidates)) {
        if (preparePrivateFolder(candidate, uid))
            return candidate;
    }
    return candidates.last();
}

SingleInstance::Claim SingleInstance::claim(int timeoutMs)
{
    if (!preparePrivateFolder(m_folder, ::getuid())) {
        m_error =
            QStringLiteral("the folder %1 is not a private folder of this user").arg(m_folder);
        return Claim::Unavailable;
    }
    if (m_lockFd < 0) {
        m_lockFd = ::open(nativePath(lockPath()).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_lockFd < 0) {
            m_error = QStringLiteral("cannot open %1: %2")
                          .arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
            return Claim::Unavailable;
        }
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
        // The lock is ours, so no instance runs: a socket here was left by one that died.
        ::unlink(nativePath(socketPath()).constData());
        if (!listen())
            return Claim::Unavailable;
        return Claim::Primary;
    }
    if (errno != EWOULDBLOCK) {
        m_error = QStringLiteral("cannot lock %1: %2")
                      .arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
        return Claim::Unavailable;
    }
    ::close(m_lockFd);
    m_lockFd = -1;
    // The running instance listens right after taking the lock: allow it that moment.
    return request(InstanceMessage::openHUDRequest(), timeoutMs, true) ? Claim::ForwardedToRunning
                                                                       : Claim::RunningButSilent;
}

bool SingleInstance::peerAllowed(qintptr descriptor) const
{
    struct ucred credentials;
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return false;
    return m_uidCheck(credentials.uid);
}

std::optional<QByteArray> SingleInstance::request(const QByteArray& message, int timeoutMs,
                                                  bool retry)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // Only a socket that belongs to the user is talked to.
        struct stat st;
        const bool owned = ::lstat(nativePath(socketPath()).constData(), &st) == 0 &&
                           S_ISSOCK(st.st_mode) && m_uidCheck(st.st_uid);
        if (owned) {
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            if (socket.waitForConnected(int(deadline.remainingTime()))) {
                // The peer's own uid, in case the socket was replaced after the check.
                if (!peerAllowed(socket.socketDescriptor()))
                    return std::nullopt;
                socket.write(message);
                if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
                    return std::nullopt;
                // Wait for the answer so the request is not lost if we exit at once.
                QByteArray answer;
                while (!InstanceMessage::answerLine(answer) &&
                       answer.size() <= InstanceMessage::maximumLineLength &&
                       socket.waitForReadyRead(int(deadline.remainingTime())))
                    answer += socket.readAll();
                socket.disconnectFromServer();
                return InstanceMessage::answerLine(answer);
            }
        }
        if (!retry || deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(50);
    }
}

bool SingleInstance::notifyRunningInstance(int timeoutMs)
{
    return request(InstanceMessage::openHUDRequest(), timeoutMs, false).has_value();
}

std::optional<QByteArray> SingleInstance::queryRunningInstance(int timeoutMs)
{
    return request(InstanceMessage::statusRequest(), timeoutMs, false);
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection())
            serve(client);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* client)
{
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    // Another user's process is hung up on before a byte of it is read.
    if (!peerAllowed(client->socketDescriptor())) {
        client->abort();
        client->deleteLater();
        return;
    }
    auto buffer = std::make_shared<QByteArray>();
    connect(client, &QLocalSocket::readyRead, this, [this, client, buffer] {
        *buffer += client->readAll();
        for (;;) {
            switch (InstanceMessage::takeRequest(buffer.get())) {
            case InstanceMessage::Request::Incomplete:
                return;
            case InstanceMessage::Request::OpenHUD:
                client->write("ok\n");
                client->flush();
                emit activationRequested();
                break;
            case InstanceMessage::Request::Status:
                client->write((m_statusProvider ? m_statusProvider() : QByteArray()) + '\n');
                client->flush();
                break;
            case InstanceMessage::Request::Invalid:
                client->disconnectFromServer();
                return;
            }
        }
    });
}
