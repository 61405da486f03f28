#include "platform/InotifyWatcherBackend.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t folderMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR | IN_DONT_FOLLOW;

} // namespace

InotifyWatcherBackend::InotifyWatcherBackend(QObject* parent) : WatcherBackend(parent) {}

InotifyWatcherBackend::~InotifyWatcherBackend()
{
    stop();
}

bool InotifyWatcherBackend::start(const QString& root, QString* error)
{
    stop();
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_root = QDir::cleanPath(root);
    m_limitReported = false;
    // The root itself may be a link to the real Downloads folder: follow it there only.
    const QByteArray rootPath = QFile::encodeName(m_root);
    const int wd = inotify_add_watch(m_fd, rootPath.constData(), folderMask & ~IN_DONT_FOLLOW);
    if (wd < 0) {
        const int err = errno;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(err));
        stop();
        return false;
    }
    m_pathByWatch.insert(wd, m_root);
    m_watchByPath.insert(m_root, wd);

    QDirIterator it(m_root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext())
        addWatchTree(it.next());

    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InotifyWatcherBackend::readEvents);
    return true;
}

void InotifyWatcherBackend::stop()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor releases every watch at once
    m_fd = -1;
    m_pathByWatch.clear();
    m_watchByPath.clear();
}

bool InotifyWatcherBackend::addWatch(const QString& folder, int* err)
{
    if (m_watchByPath.contains(folder))
        return true;
    const QByteArray path = QFile::encodeName(folder);
    const int wd = inotify_add_watch(m_fd, path.constData(), folderMask);
    if (wd < 0) {
        if (err)
            *err = errno;
        return false;
    }
    // The kernel hands back the same descriptor for an inode watched twice (a folder that
    // moved); keep the mapping to its current path.
    const QString old = m_pathByWatch.value(wd);
    if (!old.isEmpty())
        m_watchByPath.remove(old);
    m_pathByWatch.insert(wd, folder);
    m_watchByPath.insert(folder, wd);
    return true;
}

bool InotifyWatcherBackend::addWatchTree(const QString& folder, int* errOut)
{
    int err = 0;
    if (!addWatch(folder, &err)) {
        if (errOut)
            *errOut = err;
        reportWatchFailure(folder, err);
        return false;
    }
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sub = it.next();
        if (it.fileInfo().isSymLink())
            continue;
        if (!addWatch(sub, &err)) {
            reportWatchFailure(sub, err);
            if (err == ENOSPC || err == ENOMEM)
                break; // no point trying the rest of the tree
        }
    }
    return true;
}

void InotifyWatcherBackend::reportWatchFailure(const QString& folder, int err)
{
    if (err == ENOENT || err == ENOTDIR)
        return; // gone again before we got to it; its removal is an event of its own
    if ((err == ENOSPC || err == ENOMEM) && !m_limitReported) {
        m_limitReported = true;
        emit becameUnreliable(
            QStringLiteral("[DownloadWatcherService] Reached the inotify watch limit while "
                           "watching %1; changes deep inside some folders may be missed. Raise "
                           "fs.inotify.max_user_watches to watch everything.")
                .arg(folder));
    }
}

void InotifyWatcherBackend::removeWatchTree(const QString& folder)
{
    const QString prefix = folder + QLatin1Char('/');
    for (auto it = m_watchByPath.begin(); it != m_watchByPath.end();) {
        if (it.key() == folder || it.key().startsWith(prefix)) {
            inotify_rm_watch(m_fd, it.value());
            m_pathByWatch.remove(it.value());
            it = m_watchByPath.erase(it);
        } else {
            ++it;
        }
    }
}

void InotifyWatcherBackend::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    QStringList changed;
    bool lost = false;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            break; // EAGAIN: drained
        }
        if (length == 0)
            break;
        ssize_t offset = 0;
        while (offset < length) {
            if (length - offset < ssize_t(sizeof(inotify_event))) {
                lost = true; // a malformed read: treat it like lost events
                break;
            }
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            // Overflow arrives with wd == -1, so it must be looked at before the lookup.
            if (event->mask & IN_Q_OVERFLOW) {
                lost = true;
                continue;
            }
            const auto folderIt = m_pathByWatch.constFind(event->wd);
            if (folderIt == m_pathByWatch.constEnd())
                continue;
            const QString folder = folderIt.value();
            if (event->mask & IN_IGNORED) {
                m_watchByPath.remove(folder);
                m_pathByWatch.remove(event->wd);
                continue;
            }
            QString path = folder;
            if (event->len > 0 && event->name[0] != '\0')
                path += QLatin1Char('/') + QFile::decodeName(event->name);

            if (event->mask & IN_ISDIR) {
                if (event->mask & (IN_CREATE | IN_MOVED_TO))
                    addWatchTree(path);
                else if (event->mask & IN_MOVED_FROM)
                    removeWatchTree(path);
            }
            if (changed.isEmpty() || changed.last() != path)
                changed.append(path);
        }
    }
    if (lost)
        emit eventsLost();
    if (!changed.isEmpty())
        emit pathsChanged(changed);
}
