#include "services/DownloadWatcherService.h"

#include "models/PartialDownloadNames.h"
#include "platform/InotifyWatcherBackend.h"
#include "platform/StoragePaths.h"
#include "services/LoggerService.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool existsAt(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The size of a file, or `failure` when it cannot be read.
qint64 sampleSize(const QString& path, qint64 failure)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return failure;
    return qint64(st.st_size);
}

enum class WriterState { None, Open, Unknown, Unreadable };

// Whether any process holds the file open for writing. A read lease is refused (EAGAIN)
// exactly while some descriptor has the file open for writing, so taking one and letting it
// go at once answers that without reading anything. Leases need the file's owner (the user,
// for their own downloads) or CAP_LEASE and a file system that supports them; otherwise the
// answer is Unknown and the caller falls back on what inotify told it.
WriterState writerState(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return WriterState::Unreadable;
    // Should a writer open the file in the instant the lease is held, the kernel signals the
    // lease holder; SIGIO would end the process, SIGURG is ignored by default.
    ::fcntl(fd, F_SETSIG, SIGURG);
    WriterState state = WriterState::Unknown;
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        state = WriterState::None;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        state = WriterState::Open;
    }
    ::close(fd);
    return state;
}

QStringList childNames(const QString& folder, bool* ok)
{
    QDir dir(folder);
    *ok = dir.exists() && dir.isReadable();
    if (!*ok)
        return {};
    return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDir::NoSort);
}

// Decodes a name read from the file system; false when its bytes are not valid UTF-8, so
// that no path built from the decoded text leads back to the file.
bool decodeName(const char* raw, QString* name)
{
    const QByteArray bytes(raw);
    *name = QFile::decodeName(bytes);
    return QFile::encodeName(*name) == bytes;
}

// Names that cannot be handled end to end are left out of the queue, with one log line per
// name for the life of the process (a rescan meets them again on every window open).
void noteUnusableName(const QString& folder, const QString& lossyName)
{
    static QMutex lock;
    static QSet<QString> noted;
    {
        QMutexLocker locker(&lock);
        if (noted.contains(lossyName))
            return;
        noted.insert(lossyName);
    }
    const QString message =
        QStringLiteral("[DownloadWatcherService] Left out \"%1\" in %2: its name is not valid "
                       "UTF-8. Rename it to triage it.")
            .arg(lossyName, folder);
    std::printf("%s\n", qPrintable(message));
    std::fflush(stdout);
    LoggerService::shared().info(message);
}

// The names in a folder that partial downloads hold back, given every name in it.
struct HeldNames
{
    QSet<QString> anySize; // in-place downloads (a control file beside them)
    QSet<QString> empty;   // placeholders, held only while empty
};

void notePartial(HeldNames* held, const QString& partialName)
{
    for (const QString& finalName : PartialDownloadNames::finalNames(partialName)) {
        if (PartialDownloadNames::holdsBack(partialName, finalName, 1))
            held->anySize.insert(finalName);
        else if (PartialDownloadNames::holdsBack(partialName, finalName, 0))
            held->empty.insert(finalName);
    }
}

} // namespace

DownloadWatcherService::DownloadWatcherService(const QString& targetDirectory,
                                               double debounceSeconds,
                                               DiscoveryCallback onFileDiscovered,
                                               BackendFactory backendFactory, QObject* parent)
    : QObject(parent),
      m_targetDirectory(QDir::cleanPath(
          targetDirectory.isEmpty() ? StoragePaths::downloadsDirectory() : targetDirectory)),
      m_debounceSeconds(clampDebounceSeconds(debounceSeconds)),
      m_backendFactory(std::move(backendFactory)), m_onFileDiscovered(std::move(onFileDiscovered))
{
    if (!m_backendFactory)
        m_backendFactory = [] { return std::make_unique<InotifyWatcherBackend>(); };
    m_thread.setObjectName(QStringLiteral("com.stowbird.downloadwatcher"));
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

DownloadWatcherService::~DownloadWatcherService()
{
    runOnWatcherThread([this] {
        stopOnThread();
        m_backend.reset();
        // Timers are children of the context; drop them here, on their own thread.
        qDeleteAll(m_context->findChildren<QTimer*>());
    });
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

double DownloadWatcherService::clampDebounceSeconds(double seconds)
{
    if (std::isnan(seconds) || seconds < 0.0)
        return 0.0;
    return std::min(seconds, maximumDebounceSeconds);
}

void DownloadWatcherService::setDebounceSeconds(double seconds)
{
    const double clamped = clampDebounceSeconds(seconds);
    if (m_debounceSeconds.exchange(clamped) == clamped)
        return;
    // Items in their quiet period wait the new time, counted from now.
    QMetaObject::invokeMethod(m_context, [this] {
        QMutexLocker locker(&m_lock);
        const int interval = int(m_debounceSeconds.load() * 1000.0);
        for (const Pending& pending : std::as_const(m_pending)) {
            if (pending.debounce)
                pending.debounce->start(interval);
        }
    });
}

void DownloadWatcherService::setOnFileDiscovered(DiscoveryCallback callback)
{
    QMutexLocker locker(&m_callbackLock);
    m_onFileDiscovered = std::move(callback);
}

void DownloadWatcherService::runOnWatcherThread(const std::function<void()>& work)
{
    if (QThread::currentThread() == &m_thread)
        work();
    else
        QMetaObject::invokeMethod(m_context, work, Qt::BlockingQueuedConnection);
}

void DownloadWatcherService::start()
{
    runOnWatcherThread([this] { startOnThread(); });
}

void DownloadWatcherService::stop()
{
    runOnWatcherThread([this] { stopOnThread(); });
}

bool DownloadWatcherService::isWatching() const
{
    bool watching = false;
    const_cast<DownloadWatcherService*>(this)->runOnWatcherThread(
        [this, &watching] { watching = m_backend && m_backend->isWatching(); });
    return watching;
}

int DownloadWatcherService::watchCount() const
{
    int count = 0;
    const_cast<DownloadWatcherService*>(this)->runOnWatcherThread(
        [this, &count] { count = m_backend ? m_backend->watchCount() : 0; });
    return count;
}

int DownloadWatcherService::pendingCount() const
{
    QMutexLocker locker(&m_lock);
    return int(m_pending.size());
}

void DownloadWatcherService::startOnThread()
{
    stopOnThread();
    if (!m_backend) {
        m_backend = m_backendFactory();
        connect(m_backend.get(), &WatcherBackend::eventsArrived, m_context,
                [this](const QList<WatcherBackend::Event>& events) { handleEvents(events); });
        connect(m_backend.get(), &WatcherBackend::eventsLost, m_context, [this] { rescan(); });
        connect(m_backend.get(), &WatcherBackend::rootChanged, m_context,
                [this](bool present) { handleRootChanged(present); });
        connect(m_backend.get(), &WatcherBackend::becameUnreliable, m_context,
                [this](const QString& message) {
                    std::printf("%s\n", qPrintable(message));
                    std::fflush(stdout);
                    emit watcherUnreliable(message);
                });
    }
    QString error;
    if (!m_backend->start(m_targetDirectory, &error)) {
        std::printf("[DownloadWatcherService] Failed to create the event stream for %s: %s\n",
                    qPrintable(m_targetDirectory), qPrintable(error));
        std::fflush(stdout);
        return;
    }
    if (!m_backend->isWatching()) {
        std::printf("[DownloadWatcherService] %s does not exist yet; watching for it to appear\n",
                    qPrintable(m_targetDirectory));
        std::fflush(stdout);
        return;
    }
    // What is already there was listed by the caller; only the index of partial downloads
    // is needed to recognise placeholders.
    m_partialsByFinal.clear();
    const QDir dir(m_targetDirectory);
    for (const QString& name :
         dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        if (PartialDownloadNames::isPartial(name))
            handlePartialChange(name);
    }
}

void DownloadWatcherService::cancelAllPending()
{
    QMutexLocker locker(&m_lock);
    // Dropping the entries also ends every check under way: each step of a check
    // first asks whether its entry is still current.
    for (const Pending& pending : std::as_const(m_pending))
        delete pending.debounce;
    m_pending.clear();
}

void DownloadWatcherService::stopOnThread()
{
    cancelAllPending();
    m_partialsByFinal.clear();
    if (m_backend)
        m_backend->stop();
}

bool DownloadWatcherService::shouldIgnoreName(const QString& name)
{
    return PartialDownloadNames::isIgnored(name);
}

bool DownloadWatcherService::shouldIgnore(const QUrl& url)
{
    QString path = url.toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return shouldIgnoreName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString DownloadWatcherService::topLevelItem(const QString& eventPath) const
{
    const QString path = QDir::cleanPath(eventPath);
    if (!path.startsWith(m_targetDirectory) || path == m_targetDirectory)
        return {};
    if (path.at(m_targetDirectory.size()) != QLatin1Char('/'))
        return {}; // a sibling such as Downloads2
    const qsizetype start = m_targetDirectory.size() + 1;
    const qsizetype slash = path.indexOf(QLatin1Char('/'), start);
    const QString piece = path.mid(start, slash < 0 ? -1 : slash - start);
    if (piece.isEmpty())
        return {};
    return m_targetDirectory + QLatin1Char('/') + piece;
}

void DownloadWatcherService::handlePartialChange(const QString& name)
{
    const bool present = existsAt(m_targetDirectory + QLatin1Char('/') + name);
    for (const QString& finalName : PartialDownloadNames::finalNames(name)) {
        if (present) {
            m_partialsByFinal[finalName].insert(name);
            continue;
        }
        auto it = m_partialsByFinal.find(finalName);
        if (it != m_partialsByFinal.end()) {
            it->remove(name);
            if (it->isEmpty())
                m_partialsByFinal.erase(it);
        }
    }
}

bool DownloadWatcherService::heldBackByPartial(const QString& name, qint64 size)
{
    auto it = m_partialsByFinal.find(name);
    if (it == m_partialsByFinal.end())
        return false;
    bool held = false;
    for (auto partial = it->begin(); partial != it->end();) {
        // A removal that went unseen (lost events) must not hold the item for ever.
        if (!existsAt(m_targetDirectory + QLatin1Char('/') + *partial)) {
            partial = it->erase(partial);
            continue;
        }
        held = held || PartialDownloadNames::holdsBack(*partial, name, size);
        ++partial;
    }
    if (it->isEmpty())
        m_partialsByFinal.erase(it);
    return held;
}

void DownloadWatcherService::handleEvents(const QList<WatcherBackend::Event>& events)
{
    using Event = WatcherBackend::Event;
    for (const Event& event : events) {
        const QString item = topLevelItem(event.path);
        if (item.isEmpty())
            continue;
        const bool aboutItem = event.path.size() == item.size();
        const QString name = item.mid(m_targetDirectory.size() + 1);
        if (aboutItem && !event.validName) {
            noteUnusableName(m_targetDirectory, name);
            continue;
        }
        const bool gone = event.kind == Event::Removed || event.kind == Event::MovedOut;
        if (shouldIgnoreName(name)) {
            if (name.startsWith(QLatin1Char('.')) || !aboutItem)
                continue;
            handlePartialChange(name);
            // The final item deserves a fresh look whenever its partial download changes:
            // renamed over it, or aria2's control file removed at the end.
            for (const QString& finalName : PartialDownloadNames::finalNames(name)) {
                const QString finalPath = m_targetDirectory + QLatin1Char('/') + finalName;
                if (!shouldIgnoreName(finalName) && existsAt(finalPath))
                    debounce(finalPath);
            }
            continue;
        }
        if (aboutItem && gone) {
            {
                QMutexLocker locker(&m_lock);
                const auto it = m_pending.find(item);
                if (it != m_pending.end()) {
                    delete it->debounce;
                    m_pending.erase(it);
                }
            }
            emit itemRemoved(item);
            continue;
        }
        if (!existsAt(item))
            continue;
        debounce(item, aboutItem && (event.kind == Event::Created || event.kind == Event::MovedIn));
        if (aboutItem && (event.kind == Event::Modified || event.kind == Event::ClosedWrite)) {
            QMutexLocker locker(&m_lock);
            const auto it = m_pending.find(item);
            if (it != m_pending.end())
                it->writing = event.kind == Event::Modified;
        }
    }
}

void DownloadWatcherService::handleRootChanged(bool present)
{
    if (!present) {
        cancelAllPending();
        m_partialsByFinal.clear();
        std::printf("[DownloadWatcherService] %s is gone; watching for it to come back\n",
                    qPrintable(m_targetDirectory));
        std::fflush(stdout);
        emit itemRemoved(m_targetDirectory);
        return;
    }
    std::printf("[DownloadWatcherService] Now watching %s\n", qPrintable(m_targetDirectory));
    std::fflush(stdout);
    rescan();
}

void DownloadWatcherService::rescan()
{
    // We cannot know what changed: give every top-level item a fresh quiet period.
    m_partialsByFinal.clear();
    const QByteArray native = QFile::encodeName(m_targetDirectory);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return;
    QStringList items;
    while (const dirent* entry = ::readdir(dir)) {
        QString name;
        const bool valid = decodeName(entry->d_name, &name);
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (!valid)
            noteUnusableName(m_targetDirectory, name);
        else if (PartialDownloadNames::isPartial(name))
            handlePartialChange(name);
        else
            items.append(name);
    }
    ::closedir(dir);
    for (const QString& name : std::as_const(items))
        debounce(m_targetDirectory + QLatin1Char('/') + name);
}

void DownloadWatcherService::debounce(const QString& itemPath, bool arrived)
{
    QMutexLocker locker(&m_lock);
    Pending& pending = m_pending[itemPath];
    // A new event supersedes the quiet period and any check under way for the same item,
    // so each item is reported once, after its last change.
    pending.token = m_nextToken++;
    pending.arrived = pending.arrived || arrived;
    if (!pending.debounce) {
        pending.debounce = new QTimer(m_context);
        pending.debounce->setSingleShot(true);
        pending.debounce->setTimerType(Qt::PreciseTimer);
        connect(pending.debounce, &QTimer::timeout, m_context, [this, itemPath] {
            quint64 token = 0;
            {
                QMutexLocker inner(&m_lock);
                auto it = m_pending.find(itemPath);
                if (it == m_pending.end())
                    return;
                it->debounce->deleteLater();
                it->debounce = nullptr;
                token = it->token;
            }
            check(itemPath, token, completionRetries);
        });
    }
    pending.debounce->start(int(m_debounceSeconds.load() * 1000.0));
}

bool DownloadWatcherService::isCurrent(const QString& itemPath, quint64 token) const
{
    QMutexLocker locker(&m_lock);
    const auto it = m_pending.constFind(itemPath);
    return it != m_pending.constEnd() && it->token == token && !it->debounce;
}

void DownloadWatcherService::finish(const QString& itemPath, quint64 token, bool discovered)
{
    bool arrived = false;
    {
        QMutexLocker locker(&m_lock);
        const auto it = m_pending.find(itemPath);
        if (it == m_pending.end() || it->token != token || it->debounce)
            return;
        arrived = it->arrived;
        m_pending.erase(it);
    }
    if (!discovered)
        return;
    const QUrl url = QUrl::fromLocalFile(itemPath);
    DiscoveryCallback callback;
    {
        QMutexLocker locker(&m_callbackLock);
        callback = m_onFileDiscovered;
    }
    if (callback)
        callback(url);
    emit fileDiscovered(url, arrived);
}

void DownloadWatcherService::retryLater(const QString& itemPath, quint64 token, int retriesLeft,
                                        int delayMs)
{
    QTimer::singleShot(delayMs, Qt::PreciseTimer, m_context, [this, itemPath, token, retriesLeft] {
        if (isCurrent(itemPath, token))
            check(itemPath, token, retriesLeft);
    });
}

void DownloadWatcherService::conclude(const QString& itemPath, quint64 token, int retriesLeft,
                                      bool finished)
{
    if (finished)
        finish(itemPath, token, true);
    else if (retriesLeft < 1)
        finish(itemPath, token, false); // never settled: dropped until its next event
    else
        retryLater(itemPath, token, retriesLeft - 1, retryDelayMs);
}

void DownloadWatcherService::check(const QString& itemPath, quint64 token, int retriesLeft)
{
    const QString name = itemPath.mid(m_targetDirectory.size() + 1);
    if (!existsAt(itemPath) || shouldIgnoreName(name)) {
        finish(itemPath, token, false);
        return;
    }

    const QFileInfo info(itemPath);
    if (!info.isDir()) {
        const qint64 firstSize = sampleSize(itemPath, -1);
        QTimer::singleShot(sampleIntervalMs, Qt::PreciseTimer, m_context,
                           [this, itemPath, token, retriesLeft, firstSize] {
                               if (isCurrent(itemPath, token))
                                   verifyFile(itemPath, token, retriesLeft, firstSize);
                           });
        return;
    }

    bool listed = false;
    const QStringList children = childNames(itemPath, &listed);
    const bool busy = std::any_of(children.begin(), children.end(), [](const QString& child) {
        return PartialDownloadNames::marksBusyFolder(child);
    });
    if (busy) {
        if (retriesLeft > 0)
            retryLater(itemPath, token, retriesLeft - 1, busyFolderRetryDelayMs);
        else
            finish(itemPath, token, false);
        return;
    }
    const int firstCount = int(children.size());
    QTimer::singleShot(sampleIntervalMs, Qt::PreciseTimer, m_context,
                       [this, itemPath, token, retriesLeft, firstCount] {
                           if (isCurrent(itemPath, token))
                               verifyFolder(itemPath, token, retriesLeft, firstCount);
                       });
}

void DownloadWatcherService::verifyFile(const QString& itemPath, quint64 token, int retriesLeft,
                                        qint64 firstSize)
{
    if (!existsAt(itemPath)) {
        finish(itemPath, token, false);
        return;
    }
    const qint64 secondSize = sampleSize(itemPath, -2);
    bool finished = firstSize >= 0 && firstSize == secondSize &&
                    !heldBackByPartial(itemPath.mid(m_targetDirectory.size() + 1), secondSize);
    if (finished) {
        switch (writerState(itemPath)) {
        case WriterState::None:
            break;
        case WriterState::Open:
        case WriterState::Unreadable:
            finished = false;
            break;
        case WriterState::Unknown: {
            // No lease to be had: trust inotify, a write not yet followed by a close.
            QMutexLocker locker(&m_lock);
            const auto it = m_pending.constFind(itemPath);
            finished = it != m_pending.constEnd() && !it->writing;
            break;
        }
        }
    }
    conclude(itemPath, token, retriesLeft, finished);
}

void DownloadWatcherService::verifyFolder(const QString& itemPath, quint64 token, int retriesLeft,
                                          int firstCount)
{
    if (!existsAt(itemPath)) {
        finish(itemPath, token, false);
        return;
    }
    bool listed = false;
    const QStringList children = childNames(itemPath, &listed);
    const int secondCount = listed ? int(children.size()) : -1;
    const bool finished = firstCount >= 0 && firstCount == secondCount && listed;
    conclude(itemPath, token, retriesLeft, finished);
}

QList<QUrl> DownloadWatcherService::scanExistingFiles() const
{
    return scanExistingFiles(m_targetDirectory);
}

QList<QUrl> DownloadWatcherService::scanExistingFiles(const QString& directory)
{
    // readdir + fstatat rather than QDir: a Downloads folder can hold tens of thousands of
    // entries and this runs on the GUI thread.
    const QByteArray native = QFile::encodeName(directory);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return {};
    const int dirFd = ::dirfd(dir);
    struct Entry
    {
        qint64 modifiedNs;
        qint64 size;
        QString name;
    };
    std::vector<Entry> kept;
    HeldNames held;
    while (const dirent* entry = ::readdir(dir)) {
        QString name;
        const bool valid = decodeName(entry->d_name, &name);
        // "." and ".." start with a dot and fall under the hidden-file rule.
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (!valid) {
            noteUnusableName(QDir::cleanPath(directory), name);
            continue;
        }
        if (PartialDownloadNames::isPartial(name)) {
            notePartial(&held, name);
            continue;
        }
        struct stat st
        {
        };
        // A date that cannot be read counts as the distant past and sorts first.
        qint64 modified = std::numeric_limits<qint64>::min();
        qint64 size = -1;
        if (::fstatat(dirFd, entry->d_name, &st, 0) == 0 ||
            ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            size = S_ISREG(st.st_mode) ? qint64(st.st_size) : -1;
        }
        kept.push_back({modified, size, name});
    }
    ::closedir(dir);
    // A download under way keeps its placeholder (or its in-place file) out of the list.
    if (!held.anySize.isEmpty() || !held.empty.isEmpty()) {
        kept.erase(std::remove_if(kept.begin(), kept.end(),
                                  [&held](const Entry& entry) {
                                      return held.anySize.contains(entry.name) ||
                                             (entry.size == 0 && held.empty.contains(entry.name));
                                  }),
                   kept.end());
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Entry& a, const Entry& b) { return a.modifiedNs < b.modifiedNs; });
    const QString prefix = QDir::cleanPath(directory) + QLatin1Char('/');
    QList<QUrl> urls;
    urls.reserve(qsizetype(kept.size()));
    for (const Entry& entry : kept)
        urls.append(QUrl::fromLocalFile(prefix + entry.name));
    return urls;
}
