#include "platform/SingleInstance.h"

#include "models/FileNaming.h"
#include "platform/InstanceMessage.h"
#include "platform/StoragePaths.h"

#include <QCryptographicHash>
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
const QString socketRecordName = QStringLiteral("com.stowbird.Stowbird.socket-path");

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// Creates the missing folders above folder, each 0700; existing ones are left as they are.
void makeMissingParents(const QString& folder)
{
    QStringList missing;
    struct stat st;
    for (QString parent = FileNaming::parentPath(folder);
         !parent.isEmpty() && parent != QLatin1String("/") &&
         ::stat(nativePath(parent).constData(), &st) != 0 && errno == ENOENT;
         parent = FileNaming::parentPath(parent))
        missing.prepend(parent);
    for (const QString& path : std::as_const(missing))
        ::mkdir(nativePath(path).constData(), 0700);
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder.isEmpty() ? defaultFolder() : QDir::cleanPath(folder)),
      m_lockFolder(folder.isEmpty() ? defaultLockFolder() : m_folder),
      m_uidCheck([uid = ::getuid()](uid_t peer) { return peer == uid; })
{
}

SingleInstance::~SingleInstance()
{
    if (m_server) {
        m_server->close();
        // Removed while the lock is still held, so that no later launch can be confused by it.
        ::unlink(nativePath(socketPath()).constData());
        ::unlink(nativePath(socketRecordPath()).constData());
    }
    if (m_lockFd >= 0 && !m_keepLock)
        ::close(m_lockFd);
}

QString SingleInstance::socketPath() const
{
    if (m_folder == m_lockFolder)
        return m_folder + QLatin1Char('/') + socketName;
    // The runtime folder may be shared by instances that keep their locks in different
    // state folders (two homes of one user): each lock has a socket name of its own.
    const QByteArray key =
        QCryptographicHash::hash(nativePath(m_lockFolder), QCryptographicHash::Sha256)
            .toHex()
            .left(12);
    return m_folder + QStringLiteral("/com.stowbird.Stowbird-%1.socket").arg(QLatin1String(key));
}

QString SingleInstance::lockPath() const
{
    return m_lockFolder + QLatin1Char('/') + lockName;
}

QString SingleInstance::socketRecordPath() const
{
    return m_lockFolder + QLatin1Char('/') + socketRecordName;
}

bool SingleInstance::preparePrivateFolder(const QString& folder, uid_t uid)
{
    const QByteArray name = nativePath(folder);
    makeMissingParents(QDir::cleanPath(QDir(folder).absolutePath()));
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
        const bool tightened = same && ::fchmod(fd, opened.st_mode & 0700) == 0;
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
    candidates << defaultLockFolder();
    for (const QString& candidate : std::as_const(candidates)) {
        if (preparePrivateFolder(candidate, uid))
            return candidate;
    }
    return candidates.last();
}

QString SingleInstance::defaultLockFolder()
{
    return StoragePaths::stateDirectory() + QStringLiteral("/run");
}

bool SingleInstance::openLockFile()
{
    if (m_lockFd >= 0)
        return true;
    // flock needs no write access: read-only, so that a lock file made read-only by hand
    // keeps working and its mode is never widened.
    const int fd = ::open(nativePath(lockPath()).constData(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("cannot open %1: %2")
                      .arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        m_error = QStringLiteral("%1 is not a file of this user").arg(lockPath());
        return false;
    }
    if ((st.st_mode & 077) != 0)
        ::fchmod(fd, st.st_mode & 0700);
    m_lockFd = fd;
    return true;
}

SingleInstance::Claim SingleInstance::claim(int timeoutMs, const QByteArray& forward)
{
    const uid_t uid = ::getuid();
    for (const QString& folder : {m_lockFolder, m_folder}) {
        if (!preparePrivateFolder(folder, uid)) {
            m_error =
                QStringLiteral("the folder %1 is not a private folder of this user").arg(folder);
            return Claim::Unavailable;
        }
    }
    if (!openLockFile())
        return Claim::Unavailable;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
            // The lock is ours, so no instance runs: a socket here was left by one that died.
            ::unlink(nativePath(socketPath()).constData());
            if (!listen())
                return Claim::Unavailable;
            recordSocketPath();
            return Claim::Primary;
        }
        if (errno != EWOULDBLOCK) {
            m_error = QStringLiteral("cannot lock %1: %2")
                          .arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
            return Claim::Unavailable;
        }
        // The running instance listens right after taking the lock: allow it that moment. One
        // that is quitting answers no more but lets go of the lock when it is gone; this
        // launch takes over then.
        const bool answered = request(forward, int(deadline.remainingTime())).has_value();
        if (answered || deadline.hasExpired()) {
            ::close(m_lockFd);
            m_lockFd = -1;
            return answered ? Claim::ForwardedToRunning : Claim::RunningButSilent;
        }
        QThread::msleep(50);
    }
}

bool SingleInstance::isLockHeld() const
{
    const int fd = ::open(nativePath(lockPath()).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A shared lock is refused only while someone holds the exclusive one; closing the
    // descriptor gives back the probe's own lock at once.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void SingleInstance::stopAnsweringKeepLock()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
        ::unlink(nativePath(socketRecordPath()).constData());
        ::unlink(nativePath(socketPath()).constData());
    }
    m_keepLock = true;
}

void SingleInstance::recordSocketPath()
{
    // Written whole under another name and renamed over, so that a reader never sees half.
    const QString temporary = socketRecordPath() + QStringLiteral(".new");
    const int fd = ::open(nativePath(temporary).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const QByteArray line = nativePath(socketPath()) + '\n';
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    if (!written || ::rename(nativePath(temporary).constData(),
                             nativePath(socketRecordPath()).constData()) != 0)
        ::unlink(nativePath(temporary).constData());
}

QString SingleInstance::runningSocketPath() const
{
    // The path the running instance wrote, when the file is the user's own; this launch's
    // own socket path otherwise (the running one may not have written it yet).
    const int fd = ::open(nativePath(socketRecordPath()).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return socketPath();
    struct stat st;
    char buffer[4096];
    ssize_t length = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && m_uidCheck(st.st_uid) &&
        st.st_size < qint64(sizeof buffer))
        length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (length <= 0)
        return socketPath();
    const QString recorded = QFile::decodeName(QByteArray(buffer, length).trimmed());
    return QDir::isAbsolutePath(recorded) ? recorded : socketPath();
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

std::optional<QByteArray> SingleInstance::request(const QByteArray& message, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // Only a socket that belongs to the user is talked to.
    const QString path = runningSocketPath();
    struct stat st;
    if (::lstat(nativePath(path).constData(), &st) != 0 || !S_ISSOCK(st.st_mode) ||
        !m_uidCheck(st.st_uid))
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return std::nullopt;
    // The peer's own uid, in case the socket was replaced after the check.
    if (!peerAllowed(socket.socketDescriptor()))
        return std::nullopt;
    socket.write(message);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return std::nullopt;
    // Wait for the answer so the request is not lost if we exit at once.
    QByteArray answer;
    while (!InstanceMessage::answerLine(answer) &&
           answer.size() <= InstanceMessage::maximumAnswerLength &&
           socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.readAll();
    socket.disconnectFromServer();
    return InstanceMessage::answerLine(answer);
}

bool SingleInstance::notifyRunningInstance(int timeoutMs)
{
    return request(InstanceMessage::openHUDRequest(), timeoutMs).has_value();
}

std::optional<QByteArray> SingleInstance::queryRunningInstance(int timeoutMs)
{
    return request(InstanceMessage::statusRequest(), timeoutMs);
}

bool SingleInstance::askRunningInstanceToQuit(int timeoutMs)
{
    return request(InstanceMessage::quitRequest(), timeoutMs).has_value();
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
            case InstanceMessage::Request::Background:
                // A launch meant to run in the background finds this one running: nothing
                // to change, the window stays as it is.
                client->write("ok\n");
                client->flush();
                break;
            case InstanceMessage::Request::Toggle:
                client->write("ok\n");
                client->flush();
                emit toggleRequested();
                break;
            case InstanceMessage::Request::Quit:
                client->write("ok\n");
                client->flush();
                emit quitRequested();
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
