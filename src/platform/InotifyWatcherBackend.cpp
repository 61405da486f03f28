#include "platform/InotifyWatcherBackend.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t folderMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR | IN_DONT_FOLLOW;

// What a guard needs to see: the guarded name appearing, going or being renamed, and the
// guarded folder itself going. Writes to unrelated files in the folder (a home folder is
// busy) are not asked for.
constexpr uint32_t guardMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                               IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;

// How many links are followed on the way to the root before giving up.
constexpr int maxLinkDepth = 8;

bool isDirectory(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

WatcherBackend::Event::Kind kindOf(uint32_t mask)
{
    using Event = WatcherBackend::Event;
    if (mask & IN_CREATE)
        return Event::Created;
    if (mask & IN_MOVED_TO)
        return Event::MovedIn;
    if (mask & IN_DELETE)
        return Event::Removed;
    if (mask & IN_MOVED_FROM)
        return Event::MovedOut;
    if (mask & IN_CLOSE_WRITE)
        return Event::ClosedWrite;
    if (mask & IN_MODIFY)
        return Event::Modified;
    return Event::Attrib;
}

} // namespace

InotifyWatcherBackend::InotifyWatcherBackend(QObject* parent)
    : WatcherBackend(parent), m_retry(new QTimer(this))
{
    m_retry->setInterval(retryIntervalMs);
    connect(m_retry, &QTimer::timeout, this, &InotifyWatcherBackend::retry);
}

InotifyWatcherBackend::~InotifyWatcherBackend()
{
    stop();
}

bool InotifyWatcherBackend::start(const QString& root, QString* error)
{
    stop();
    m_root = QDir::cleanPath(root);
    m_rootError = 0;
    if (!open(false)) {
        // Out of inotify instances or watches: nothing tells when the limit is raised or
        // another program lets go, so the start is tried again now and then (retry()).
        if (m_initError == EMFILE || m_rootError == ENOSPC) {
            m_retry->start();
            return true;
        }
        if (error)
            *error = m_initError != 0
                         ? QString::fromLocal8Bit(std::strerror(m_initError))
                         : QStringLiteral("neither the folder nor a folder on the way to it can "
                                          "be watched");
        return false;
    }
    return true;
}

bool InotifyWatcherBackend::open(bool announce)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    m_initError = m_fd < 0 ? errno : 0;
    if (m_fd < 0)
        return false;
    reevaluateRoot(announce);
    if (m_rootWatch < 0 && m_guardNames.isEmpty()) {
        ::close(m_fd);
        m_fd = -1;
        m_guardNames.clear();
        return false;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InotifyWatcherBackend::readEvents);
    return true;
}

void InotifyWatcherBackend::retry()
{
    if (m_fd < 0) {
        if (!open(true))
            return;
    } else {
        reevaluateRoot(true);
    }
    if (m_rootWatch >= 0 || m_rootError != ENOSPC)
        m_retry->stop();
}

void InotifyWatcherBackend::stop()
{
    m_retry->stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor releases every watch at once
    m_fd = -1;
    m_pathByWatch.clear();
    m_watchByPath.clear();
    m_guardNames.clear();
    m_rootWatch = -1;
}

bool InotifyWatcherBackend::armRoot()
{
    // The root itself may be a link to the real Downloads folder: follow it there only.
    const QByteArray rootPath = QFile::encodeName(m_root);
    const int wd =
        inotify_add_watch(m_fd, rootPath.constData(), (folderMask & ~IN_DONT_FOLLOW) | IN_MASK_ADD);
    if (wd < 0) {
        m_rootError = errno;
        return false;
    }
    m_rootError = 0;
    m_limitReported = false;
    struct stat st
    {
    };
    if (::stat(rootPath.constData(), &st) != 0) {
        inotify_rm_watch(m_fd, wd);
        return false;
    }
    m_rootWatch = wd;
    m_rootDevice = st.st_dev;
    m_rootInode = st.st_ino;
    m_pathByWatch.insert(wd, m_root);
    m_watchByPath.insert(m_root, wd);
    emit rootArmed();
    // readdir and the entry type rather than QDirIterator: a Downloads folder may hold tens
    // of thousands of files, and the caller of start() waits for this.
    DIR* dir = ::opendir(rootPath.constData());
    if (!dir)
        return true;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat child
            {
            };
            folder =
                ::fstatat(dirFd, name, &child, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(child.st_mode);
        }
        if (folder)
            addWatchTree(m_root + QLatin1Char('/') + QFile::decodeName(name));
    }
    ::closedir(dir);
    return true;
}

void InotifyWatcherBackend::disarmRoot()
{
    for (auto it = m_pathByWatch.cbegin(); it != m_pathByWatch.cend(); ++it) {
        if (!m_guardNames.contains(it.key()))
            inotify_rm_watch(m_fd, it.key());
    }
    m_pathByWatch.clear();
    m_watchByPath.clear();
    m_rootWatch = -1;
}

void InotifyWatcherBackend::reevaluateRoot(bool announce)
{
    // A folder on the way may appear between a look and the guard that would have seen it
    // (mkdir -p): look again once the guards are in place, until nothing moved.
    for (int round = 0; round < maxLinkDepth; ++round) {
        struct stat st
        {
        };
        const bool present =
            ::stat(QFile::encodeName(m_root).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        const bool armed = m_rootWatch >= 0;
        if (!present)
            m_rootError = 0;
        const bool same = present && armed && st.st_dev == m_rootDevice && st.st_ino == m_rootInode;
        if (!same) {
            if (armed) {
                disarmRoot();
                if (announce)
                    emit rootChanged(false);
            }
            if (present && armRoot() && announce)
                emit rootChanged(true);
        }
        renewGuards();
        if (m_rootWatch >= 0 || !isDirectory(m_root))
            return;
    }
}

void InotifyWatcherBackend::renewGuards()
{
    // The folders to guard and the names each is guarded for. A watched folder reports its
    // own removal, renaming and replacement (IN_DELETE_SELF, IN_MOVE_SELF, IN_ATTRIB), so a
    // plain folder needs no guard while it is watched and the busy folder above it does not
    // wake the thread. A link does: it is retargeted in its own folder. While the root is
    // missing: the nearest folder that exists on the way to it, for the next name, and the
    // same again for a link's target.
    const bool armed = m_rootWatch >= 0;
    QHash<QString, QSet<QString>> wanted;
    QString path = m_root;
    for (int depth = 0; depth < maxLinkDepth && !path.isEmpty() && path != QLatin1String("/");
         ++depth) {
        const QByteArray native = QFile::encodeName(path);
        struct stat lst
        {
        };
        const bool isLink = ::lstat(native.constData(), &lst) == 0 && S_ISLNK(lst.st_mode);
        if (!armed || isLink) {
            QString folder = parentOf(path);
            QString name = nameOf(path);
            while (!folder.isEmpty() && folder != QLatin1String("/") && !isDirectory(folder)) {
                name = nameOf(folder);
                folder = parentOf(folder);
            }
            if (folder.isEmpty())
                break;
            wanted[folder].insert(name);
        }
        if (!isLink)
            break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(native.constData(), target, sizeof target - 1);
        if (length <= 0)
            break;
        const QString link = QFile::decodeName(QByteArray(target, length));
        path = QDir::cleanPath(
            link.startsWith(QLatin1Char('/')) ? link : parentOf(path) + QLatin1Char('/') + link);
    }

    // A root that is there but cannot be watched (no permission) is watched again once its
    // permissions change, which its folder reports as IN_ATTRIB for its name.
    const uint32_t mask = m_rootError != 0 && !armed ? guardMask | IN_ATTRIB : guardMask;
    QHash<int, QSet<QString>> guards;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const int wd = inotify_add_watch(m_fd, QFile::encodeName(it.key()).constData(), mask);
        if (wd >= 0)
            guards[wd].unite(it.value());
    }
    for (auto it = m_guardNames.cbegin(); it != m_guardNames.cend(); ++it) {
        if (!guards.contains(it.key()) && !m_pathByWatch.contains(it.key()))
            inotify_rm_watch(m_fd, it.key());
    }
    m_guardNames = std::move(guards);
    // Out of watches for the root: no event tells when the limit is raised.
    if (m_rootWatch < 0 && m_rootError == ENOSPC && !m_retry->isActive())
        m_retry->start();
}

bool InotifyWatcherBackend::addWatch(const QString& folder, int* err)
{
    if (m_watchByPath.contains(folder))
        return true;
    const QByteArray path = QFile::encodeName(folder);
    const int wd = inotify_add_watch(m_fd, path.constData(), folderMask | IN_MASK_ADD);
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
        m_limitFolder = folder;
        emit becameUnreliable(
            QStringLiteral("[DownloadWatcherService] Reached the inotify watch limit while "
                           "watching %1; changes deep inside some folders may be missed. Raise "
                           "fs.inotify.max_user_watches to watch everything.")
                .arg(folder));
    }
}

void InotifyWatcherBackend::setRetryInterval(int ms)
{
    m_retry->setInterval(ms);
}

WatcherBackend::Health InotifyWatcherBackend::health() const
{
    const auto reason = [](int err) { return QString::fromLocal8Bit(std::strerror(err)); };
    if (m_fd < 0 && m_initError != 0) {
        // EMFILE is also the process's own descriptor limit, which a desktop program does
        // not come near: the per-user instance limit is what runs out.
        if (m_initError == EMFILE)
            return {WatchProblem::InstanceLimitReached,
                    QStringLiteral("inotify_init1: %1 (fs.inotify.max_user_instances)")
                        .arg(reason(m_initError))};
        return {WatchProblem::StreamFailed,
                QStringLiteral("inotify_init1: %1").arg(reason(m_initError))};
    }
    if (m_rootWatch < 0) {
        if (m_rootError == ENOSPC)
            return {WatchProblem::WatchLimitReached,
                    QStringLiteral("%1 (fs.inotify.max_user_watches)").arg(reason(m_rootError))};
        if (m_rootError != 0)
            return {WatchProblem::FolderUnreadable, reason(m_rootError)};
        return {WatchProblem::FolderMissing, QStringLiteral("it does not exist")};
    }
    if (m_limitReported)
        return {WatchProblem::WatchLimitReached,
                QStringLiteral("%1 and folders below it are not watched "
                               "(fs.inotify.max_user_watches)")
                    .arg(m_limitFolder)};
    return {};
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

void InotifyWatcherBackend::deliverPending()
{
    // The descriptor is non-blocking: this reads what the kernel has queued and no more.
    if (m_fd >= 0)
        readEvents();
}

void InotifyWatcherBackend::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    EventBatch batch;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            break; // EAGAIN: drained
        }
        if (length == 0)
            break;
        readBuffer(buffer, length, &batch);
    }
    if (!batch.changed.isEmpty())
        emit eventsArrived(batch.changed);
    if (batch.lost) {
        // Folders created while events were dropped have no watch yet.
        if (m_rootWatch >= 0)
            addWatchTree(m_root);
        batch.rootMayHaveChanged = true;
    }
    if (batch.rootMayHaveChanged)
        reevaluateRoot(true);
    if (batch.lost && m_rootWatch >= 0)
        emit eventsLost();
}

void InotifyWatcherBackend::readBuffer(const char* buffer, ssize_t length, EventBatch* batch)
{
    ssize_t offset = 0;
    while (offset < length) {
        if (length - offset < ssize_t(sizeof(inotify_event))) {
            batch->lost = true; // a malformed read: treat it like lost events
            return;
        }
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
        offset += ssize_t(sizeof(inotify_event) + event->len);
        // Overflow arrives with wd == -1, so it must be looked at before the lookup.
        if (event->mask & IN_Q_OVERFLOW)
            batch->lost = true;
        else
            interpret(*event, batch);
    }
}

void InotifyWatcherBackend::interpret(const inotify_event& event, EventBatch* batch)
{
    const QByteArray rawName = event.len > 0 ? QByteArray(event.name) : QByteArray();
    const QString name = QFile::decodeName(rawName);

    const auto guard = m_guardNames.constFind(event.wd);
    if (guard != m_guardNames.constEnd()) {
        if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF) ||
            (!name.isEmpty() && guard->contains(name)))
            batch->rootMayHaveChanged = true;
        if (event.mask & IN_IGNORED)
            m_guardNames.remove(event.wd);
        if (!m_pathByWatch.contains(event.wd))
            return;
    }

    const auto folderIt = m_pathByWatch.constFind(event.wd);
    if (folderIt == m_pathByWatch.constEnd())
        return;
    const QString folder = folderIt.value();
    if (event.mask & IN_IGNORED) {
        if (event.wd == m_rootWatch)
            batch->rootMayHaveChanged = true;
        m_watchByPath.remove(folder);
        m_pathByWatch.remove(event.wd);
        return;
    }
    // The root's link count or permissions changed (replaced by a rename, or no longer
    // readable), or a folder's own removal: a sub-folder's is also reported by name in its
    // parent.
    if ((name.isEmpty() && (event.mask & IN_ATTRIB)) ||
        (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))) {
        if (event.wd == m_rootWatch)
            batch->rootMayHaveChanged = true;
        return;
    }
    if (name.isEmpty())
        return;
    Event change;
    change.path = folder + QLatin1Char('/') + name;
    change.kind = kindOf(event.mask);
    change.validName = QFile::encodeName(name) == rawName;

    if ((event.mask & IN_ISDIR) && change.validName) {
        if (event.mask & (IN_CREATE | IN_MOVED_TO))
            addWatchTree(change.path);
        else if (event.mask & IN_MOVED_FROM)
            removeWatchTree(change.path);
    }
    QList<Event>& changed = batch->changed;
    if (!changed.isEmpty() && changed.last().kind == change.kind &&
        changed.last().path == change.path)
        return; // a writer's stream of writes, one entry per batch
    changed.append(std::move(change));
}
