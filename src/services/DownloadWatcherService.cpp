#include "services/DownloadWatcherService.h"

#include "platform/FileNaming.h"
#include "platform/InotifyWatcherBackend.h"
#include "platform/StoragePaths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Extensions of downloads still in progress (compared lower-cased, without the dot).
const QStringList& partialExtensions()
{
    static const QStringList list{QStringLiteral("crdownload"), QStringLiteral("part"),
                                  QStringLiteral("download"),   QStringLiteral("tmp"),
                                  QStringLiteral("aria2"),      QStringLiteral("!ut")};
    return list;
}

// Name endings that mark a folder's child as still being written.
const QStringList& busyChildSuffixes()
{
    static const QStringList list{QStringLiteral(".crdownload"), QStringLiteral(".part"),
                                  QStringLiteral(".download"), QStringLiteral(".tmp")};
    return list;
}

bool existsAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The size of a file, or `failure` when it cannot be read.
qint64 sampleSize(const QString& path, qint64 failure)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure;
    return info.size();
}

// Opening for reading and closing at once is the only test that a writer let go.
bool opensForReading(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
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

} // namespace

DownloadWatcherService::DownloadWatcherService(const QString& targetDirectory,
                                               double debounceSeconds,
                                               DiscoveryCallback onFileDiscovered,
                                               BackendFactory backendFactory, QObject* parent)
    : QObject(parent),
      m_targetDirectory(QDir::cleanPath(
          targetDirectory.isEmpty() ? StoragePaths::downloadsDirectory() : targetDirectory)),
      m_debounceSeconds(debounceSeconds), m_backendFactory(std::move(backendFactory)),
      m_onFileDiscovered(std::move(onFileDiscovered))
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
        connect(m_backend.get(), &WatcherBackend::pathsChanged, m_context,
                [this](const QStringList& paths) { handlePaths(paths); });
        connect(m_backend.get(), &WatcherBackend::eventsLost, m_context,
                [this] { handleEventsLost(); });
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
    }
}

void DownloadWatcherService::stopOnThread()
{
    {
        QMutexLocker locker(&m_lock);
        // Dropping the entries also ends every check under way: each step of a check
        // first asks whether its entry is still current.
        for (const Pending& pending : std::as_const(m_pending))
            delete pending.debounce;
        m_pending.clear();
    }
    if (m_backend)
        m_backend->stop();
}

bool DownloadWatcherService::shouldIgnoreName(const QString& name)
{
    if (name.startsWith(QLatin1Char('.')))
        return true;
    if (partialExtensions().contains(FileNaming::pathExtension(name).toLower()))
        return true;
    return name.endsWith(QLatin1String(".download")) || name.endsWith(QLatin1String(".tmp"));
}

bool DownloadWatcherService::shouldIgnore(const QUrl& url)
{
    QString path = url.toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return shouldIgnoreName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

bool DownloadWatcherService::hasPartialSibling(const QString& path, qint64 size)
{
    if (existsAt(path + QStringLiteral(".aria2")))
        return true;
    return size == 0 && existsAt(path + QStringLiteral(".part"));
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

void DownloadWatcherService::handlePaths(const QStringList& paths)
{
    for (const QString& eventPath : paths) {
        const QString item = topLevelItem(eventPath);
        if (item.isEmpty())
            continue;
        const QString name = item.mid(m_targetDirectory.size() + 1);
        if (shouldIgnoreName(name)) {
            // When a partial download changes (renamed over its final name, or aria2's
            // control file removed at the end), the final item deserves a fresh look.
            const QString ext = FileNaming::pathExtension(name).toLower();
            if (name.startsWith(QLatin1Char('.')) || ext.isEmpty() || ext == QLatin1String("tmp"))
                continue;
            const QString base = item.left(item.size() - ext.size() - 1);
            const QString baseName = base.mid(m_targetDirectory.size() + 1);
            if (!baseName.isEmpty() && !shouldIgnoreName(baseName) && existsAt(base))
                debounce(base);
            continue;
        }
        if (!existsAt(item))
            continue;
        debounce(item);
    }
}

void DownloadWatcherService::handleEventsLost()
{
    // We cannot know what changed: give every top-level item a fresh quiet period.
    const QDir dir(m_targetDirectory);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::NoSort);
    for (const QString& name : names) {
        if (!shouldIgnoreName(name))
            debounce(m_targetDirectory + QLatin1Char('/') + name);
    }
}

void DownloadWatcherService::debounce(const QString& itemPath)
{
    QMutexLocker locker(&m_lock);
    Pending& pending = m_pending[itemPath];
    // A new event supersedes the quiet period and any check under way for the same item,
    // so each item is reported once, after its last change.
    pending.token = m_nextToken++;
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
    pending.debounce->start(int(m_debounceSeconds * 1000.0));
}

bool DownloadWatcherService::isCurrent(const QString& itemPath, quint64 token) const
{
    QMutexLocker locker(&m_lock);
    const auto it = m_pending.constFind(itemPath);
    return it != m_pending.constEnd() && it->token == token && !it->debounce;
}

void DownloadWatcherService::finish(const QString& itemPath, quint64 token, bool discovered)
{
    {
        QMutexLocker locker(&m_lock);
        const auto it = m_pending.find(itemPath);
        if (it == m_pending.end() || it->token != token || it->debounce)
            return;
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
    emit fileDiscovered(url);
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
        finish(itemPath, token, false); // never settled: dropped silently
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
        const QString lower = child.toLower();
        return std::any_of(busyChildSuffixes().begin(), busyChildSuffixes().end(),
                           [&lower](const QString& suffix) { return lower.endsWith(suffix); });
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
    const bool opened = opensForReading(itemPath);
    const bool finished = opened && firstSize >= 0 && firstSize == secondSize &&
                          !hasPartialSibling(itemPath, secondSize);
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
        QString name;
    };
    std::vector<Entry> kept;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        // "." and ".." start with a dot and fall under the hidden-file rule.
        if (shouldIgnoreName(name))
            continue;
        struct stat st
        {
        };
        // A date that cannot be read counts as the distant past and sorts first.
        qint64 modified = std::numeric_limits<qint64>::min();
        if (::fstatat(dirFd, entry->d_name, &st, 0) == 0 ||
            ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        kept.push_back({modified, name});
    }
    ::closedir(dir);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Entry& a, const Entry& b) { return a.modifiedNs < b.modifiedNs; });
    const QString prefix = QDir::cleanPath(directory) + QLatin1Char('/');
    QList<QUrl> urls;
    urls.reserve(qsizetype(kept.size()));
    for (const Entry& entry : kept)
        urls.append(QUrl::fromLocalFile(prefix + entry.name));
    return urls;
}
