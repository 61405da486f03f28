#include "services/DownloadWatcherService.h"

#include "models/PartialDownloadNames.h"
#include "platform/FileSystemEntry.h"
#include "platform/InotifyWatcherBackend.h"
#include "platform/OpenWriterProbe.h"
#include "platform/StoragePaths.h"
#include "platform/ThreadHandoff.h"
#include "services/LoggerService.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

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
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) {
        return (static_cast<unsigned char>(c) & 0x80) == 0;
    });
    return ascii || QFile::encodeName(*name) == bytes;
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
                                               BackendFactory backendFactory,
                                               const MonotonicClock& clock, QObject* parent)
    : QObject(parent),
      m_targetDirectory(QDir::cleanPath(
          targetDirectory.isEmpty() ? StoragePaths::downloadsDirectory() : targetDirectory)),
      m_debounceSeconds(clampDebounceSeconds(debounceSeconds)),
      m_backendFactory(std::move(backendFactory)), m_onFileDiscovered(std::move(onFileDiscovered)),
      m_clock(clock)
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
        // The timer is a child of the context; drop it here, on its own thread.
        delete m_timer;
        m_timer = nullptr;
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
    // Items in their quiet period wait the new time, counted from their last event.
    QMetaObject::invokeMethod(m_context, [this] { armTimer(true); });
}

void DownloadWatcherService::runOnWatcherThread(const std::function<void()>& work)
{
    if (QThread::currentThread() == &m_thread) {
        work();
        return;
    }
    // A blocking call. The hand-off is a standard mutex and condition variable rather than
    // a blocking queued connection, whose wait happens inside libQt6Core where
    // ThreadSanitizer cannot see that the work is done before the caller reads its results.
    std::mutex doneLock;
    std::condition_variable doneSignal;
    bool done = false;
    ThreadHandoff::handOff(&done);
    QMetaObject::invokeMethod(
        m_context,
        [&] {
            ThreadHandoff::takeOver(&done);
            work();
            // Notified under the lock: the caller cannot return and destroy these first.
            const std::lock_guard lock(doneLock);
            done = true;
            doneSignal.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(doneLock);
    doneSignal.wait(lock, [&] { return done; });
}

void DownloadWatcherService::start()
{
    runOnWatcherThread([this] { startOnThread(); });
}

void DownloadWatcherService::startInBackground()
{
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            // Announced as soon as the folder itself is watched (see the rootArmed
            // connection), or here at the latest.
            m_announceStart = true;
            startOnThread();
            announceStarted();
        },
        Qt::QueuedConnection);
}

void DownloadWatcherService::announceStarted()
{
    if (!m_announceStart)
        return;
    m_announceStart = false;
    emit started();
}

void DownloadWatcherService::stop()
{
    runOnWatcherThread([this] { stopOnThread(); });
}

void DownloadWatcherService::catchUp()
{
    runOnWatcherThread([this] {
        if (m_backend)
            m_backend->deliverPending();
        runDue();
    });
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
        connect(m_backend.get(), &WatcherBackend::eventsLost, m_context, [this] {
            ++m_eventsLost;
            rescan();
        });
        connect(m_backend.get(), &WatcherBackend::rootArmed, m_context,
                [this] { announceStarted(); });
        connect(m_backend.get(), &WatcherBackend::rootChanged, m_context,
                [this](bool present) { handleRootChanged(present); });
        connect(m_backend.get(), &WatcherBackend::becameUnreliable, m_context,
                [this](const QString& message) {
                    m_log.error(message);
                    emit watcherUnreliable(message);
                    updateHealth(m_backend->health());
                });
    }
    QString error;
    if (!m_backend->start(m_targetDirectory, &error)) {
        m_log.error(QStringLiteral("[DownloadWatcherService] Failed to create the event stream "
                                   "for %1: %2")
                        .arg(m_targetDirectory, error));
        WatcherBackend::Health health = m_backend->health();
        if (health.problem == WatchProblem::None)
            health = {WatchProblem::StreamFailed, error};
        updateHealth(health);
        return;
    }
    const WatcherBackend::Health health = m_backend->health();
    if (!m_backend->isWatching()) {
        // Watched from the moment it appears or may be read.
        m_log.error(QStringLiteral("[DownloadWatcherService] Cannot watch %1: %2")
                        .arg(m_targetDirectory, health.detail));
        updateHealth(health);
        return;
    }
    updateHealth(health);
    // What is already there was listed by the caller; only the index of partial downloads
    // is needed to recognise placeholders.
    rebuildPartialIndex(false);
}

QStringList DownloadWatcherService::rebuildPartialIndex(bool listItems)
{
    // readdir rather than QDir: no sorting and no stat of the tens of thousands of entries a
    // Downloads folder may hold, while start() keeps the caller waiting. Names that cannot be
    // partial downloads are not even decoded unless the items are wanted.
    m_partialsByFinal.clear();
    QStringList items;
    const QByteArray native = QFile::encodeName(m_targetDirectory);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return items;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (!listItems && !PartialDownloadNames::mayBePartial(entry->d_name))
            continue;
        QString name;
        const bool valid = decodeName(entry->d_name, &name);
        if (!valid) {
            if (listItems)
                noteUnusableName(m_targetDirectory, name);
        } else if (PartialDownloadNames::isPartial(name)) {
            handlePartialChange(name);
        } else if (listItems) {
            items.append(name);
        }
    }
    ::closedir(dir);
    return items;
}

void DownloadWatcherService::cancelAllPending()
{
    QMutexLocker locker(&m_lock);
    m_pending.clear();
    m_quietOrder.clear();
    m_samples.clear();
    m_retries.clear();
    m_busyRetries.clear();
    if (m_timer)
        m_timer->stop();
    m_timerDueNs = -1;
}

void DownloadWatcherService::dropPending(const QString& itemPath)
{
    QMutexLocker locker(&m_lock);
    const auto it = m_pending.find(itemPath);
    if (it == m_pending.end())
        return;
    if (it->quiet)
        m_quietOrder.erase(it->order);
    // Steps already scheduled for it find no current entry and do nothing.
    m_pending.erase(it);
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
    const bool present = FileSystemEntry::existsAt(m_targetDirectory + QLatin1Char('/') + name);
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
        if (!FileSystemEntry::existsAt(m_targetDirectory + QLatin1Char('/') + *partial)) {
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
                if (!shouldIgnoreName(finalName) && FileSystemEntry::existsAt(finalPath))
                    debounce(finalPath);
            }
            continue;
        }
        if (aboutItem && gone) {
            dropPending(item);
            emit itemRemoved(item);
            continue;
        }
        if (!FileSystemEntry::existsAt(item))
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
        m_log.error(QStringLiteral("[DownloadWatcherService] %1 is gone; watching for it to "
                                   "come back")
                        .arg(m_targetDirectory));
        emit itemRemoved(m_targetDirectory);
        updateHealth(m_backend->health());
        return;
    }
    m_log.info(QStringLiteral("[DownloadWatcherService] Now watching %1").arg(m_targetDirectory));
    updateHealth(m_backend->health());
    rescan();
}

void DownloadWatcherService::updateHealth(const WatcherBackend::Health& health)
{
    if (health.problem == m_problem)
        return;
    m_problem = health.problem;
    emit watchHealthChanged(m_targetDirectory, health.problem, health.detail);
}

void DownloadWatcherService::rescan()
{
    // We cannot know what changed: give every top-level item a fresh quiet period.
    const QStringList items = rebuildPartialIndex(true);
    QSet<QString> paths;
    paths.reserve(items.size());
    for (const QString& name : items) {
        const QString path = m_targetDirectory + QLatin1Char('/') + name;
        debounce(path);
        paths.insert(path);
    }
    emit itemsListed(m_targetDirectory, paths);
}

void DownloadWatcherService::debounce(const QString& itemPath, bool arrived)
{
    QMutexLocker locker(&m_lock);
    auto it = m_pending.find(itemPath);
    const bool isNew = it == m_pending.end();
    if (isNew)
        it = m_pending.insert(itemPath, Pending{});
    // A new event supersedes the quiet period and any check under way for the same item,
    // so each item is reported once, after its last change.
    it->token = m_nextToken++;
    it->arrived = it->arrived || arrived;
    it->lastEventNs = nowNs();
    if (!isNew && it->quiet) {
        m_quietOrder.splice(m_quietOrder.end(), m_quietOrder, it->order);
    } else {
        it->quiet = true;
        it->order = m_quietOrder.insert(m_quietOrder.end(), itemPath);
    }
    armTimer();
}

void DownloadWatcherService::armTimer(bool force)
{
    const qint64 debounceNs = qint64(m_debounceSeconds.load() * 1e9);
    qint64 next = -1;
    const auto consider = [&next](qint64 due) {
        if (next < 0 || due < next)
            next = due;
    };
    if (!m_quietOrder.empty())
        consider(m_pending.value(m_quietOrder.front()).lastEventNs + debounceNs);
    for (const std::deque<Step>* stage : {&m_samples, &m_retries, &m_busyRetries}) {
        if (!stage->empty())
            consider(stage->front().dueNs);
    }
    if (next < 0) {
        if (m_timer)
            m_timer->stop();
        m_timerDueNs = -1;
        return;
    }
    // Later deadlines than the one the timer is set for wait for it to fire.
    if (!force && m_timerDueNs >= 0 && m_timerDueNs <= next && m_timer->isActive())
        return;
    if (!m_timer) {
        m_timer = new QTimer(m_context);
        m_timer->setSingleShot(true);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, m_context, [this] {
            m_timerDueNs = -1;
            runDue();
        });
    }
    m_timerDueNs = next;
    const qint64 waitNs = std::max<qint64>(0, next - nowNs());
    // Rounded up: a timer that fires a little early would find nothing due yet.
    m_timer->start(int(std::min<qint64>((waitNs + 999999) / 1000000, INT_MAX)));
}

void DownloadWatcherService::runDue()
{
    // A burst can bring tens of thousands of items due at once; hand the thread back to the
    // event loop now and then, so that inotify's queue keeps being read meanwhile.
    constexpr qint64 sliceNs = 20 * 1000000;
    const qint64 sliceEnd = nowNs() + sliceNs;
    const qint64 debounceNs = qint64(m_debounceSeconds.load() * 1e9);
    bool yielded = false;
    for (bool progressed = true; progressed && !yielded;) {
        progressed = false;
        const qint64 now = nowNs();
        while (!m_quietOrder.empty()) {
            QString item;
            quint64 token = 0;
            {
                QMutexLocker locker(&m_lock);
                const auto it = m_pending.find(m_quietOrder.front());
                if (it->lastEventNs + debounceNs > now)
                    break;
                item = it.key();
                it->quiet = false;
                token = it->token;
                m_quietOrder.pop_front();
            }
            check(item, token, completionRetries);
            progressed = true;
            if (nowNs() > sliceEnd) {
                yielded = true;
                break;
            }
        }
        for (std::deque<Step>* stage : {&m_samples, &m_retries, &m_busyRetries}) {
            while (!yielded && !stage->empty() && stage->front().dueNs <= now) {
                const Step step = std::move(stage->front());
                stage->pop_front();
                progressed = true;
                if (isCurrent(step.item, step.token)) {
                    if (stage != &m_samples)
                        check(step.item, step.token, step.retriesLeft);
                    else if (step.folder)
                        verifyFolder(step.item, step.token, step.retriesLeft, int(step.sample));
                    else
                        verifyFile(step.item, step.token, step.retriesLeft, step.sample);
                }
                if (nowNs() > sliceEnd)
                    yielded = true;
            }
        }
    }
    if (yielded) {
        if (!m_timer->isActive() || m_timerDueNs != 0) {
            m_timerDueNs = 0;
            m_timer->start(0);
        }
        return;
    }
    armTimer(true);
}

void DownloadWatcherService::schedule(std::deque<Step>& stage, int delayMs, Step step)
{
    step.dueNs = nowNs() + qint64(delayMs) * 1000000;
    stage.push_back(std::move(step));
    armTimer();
}

bool DownloadWatcherService::isCurrent(const QString& itemPath, quint64 token) const
{
    QMutexLocker locker(&m_lock);
    const auto it = m_pending.constFind(itemPath);
    return it != m_pending.constEnd() && it->token == token && !it->quiet;
}

void DownloadWatcherService::finish(const QString& itemPath, quint64 token, bool discovered)
{
    bool arrived = false;
    {
        QMutexLocker locker(&m_lock);
        const auto it = m_pending.find(itemPath);
        if (it == m_pending.end() || it->token != token || it->quiet)
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

void DownloadWatcherService::conclude(const QString& itemPath, quint64 token, int retriesLeft,
                                      bool finished)
{
    if (finished)
        finish(itemPath, token, true);
    else if (retriesLeft < 1)
        finish(itemPath, token, false); // never settled: dropped until its next event
    else
        schedule(m_retries, retryDelayMs, Step{itemPath, token, 0, retriesLeft - 1, 0, false});
}

void DownloadWatcherService::check(const QString& itemPath, quint64 token, int retriesLeft)
{
    const QString name = itemPath.mid(m_targetDirectory.size() + 1);
    struct stat st
    {
    };
    // Gone, a link that leads nowhere, or a partial name: nothing to report.
    if (::stat(QFile::encodeName(itemPath).constData(), &st) != 0 || shouldIgnoreName(name)) {
        finish(itemPath, token, false);
        return;
    }

    if (!S_ISDIR(st.st_mode)) {
        schedule(m_samples, sampleIntervalMs,
                 Step{itemPath, token, 0, retriesLeft, qint64(st.st_size), false});
        return;
    }

    bool listed = false;
    const QStringList children = childNames(itemPath, &listed);
    const bool busy = std::any_of(children.begin(), children.end(), [](const QString& child) {
        return PartialDownloadNames::marksBusyFolder(child);
    });
    if (busy) {
        if (retriesLeft > 0)
            schedule(m_busyRetries, busyFolderRetryDelayMs,
                     Step{itemPath, token, 0, retriesLeft - 1, 0, true});
        else
            finish(itemPath, token, false);
        return;
    }
    schedule(m_samples, sampleIntervalMs,
             Step{itemPath, token, 0, retriesLeft, qint64(children.size()), true});
}

void DownloadWatcherService::verifyFile(const QString& itemPath, quint64 token, int retriesLeft,
                                        qint64 firstSize)
{
    if (!FileSystemEntry::existsAt(itemPath)) {
        finish(itemPath, token, false);
        return;
    }
    const qint64 secondSize = sampleSize(itemPath, -2);
    bool finished = firstSize >= 0 && firstSize == secondSize &&
                    !heldBackByPartial(itemPath.mid(m_targetDirectory.size() + 1), secondSize);
    if (finished) {
        switch (OpenWriterProbe::of(itemPath)) {
        case OpenWriterProbe::State::None:
            break;
        case OpenWriterProbe::State::Open:
        case OpenWriterProbe::State::Unreadable:
            finished = false;
            break;
        case OpenWriterProbe::State::Unknown: {
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
    if (!FileSystemEntry::existsAt(itemPath)) {
        finish(itemPath, token, false);
        return;
    }
    bool listed = false;
    const QStringList children = childNames(itemPath, &listed);
    const int secondCount = listed ? int(children.size()) : -1;
    const bool finished = firstCount >= 0 && firstCount == secondCount && listed;
    conclude(itemPath, token, retriesLeft, finished);
}

void DownloadWatcherService::noteUnusableName(const QString& folder, const QString& lossyName) const
{
    {
        const std::lock_guard lock(m_notedLock);
        if (m_notedNames.contains(lossyName))
            return;
        m_notedNames.insert(lossyName);
    }
    m_log.info(QStringLiteral("[DownloadWatcherService] Left out \"%1\" in %2: its name is not "
                              "valid UTF-8. Rename it to triage it.")
                   .arg(lossyName, folder));
}

QList<QUrl> DownloadWatcherService::scanExistingFiles()
{
    QStringList beingWritten;
    const QList<QUrl> urls = urlsOf(listExistingPaths(
        m_targetDirectory, {},
        [this](const QString& folder, const QString& name) { noteUnusableName(folder, name); },
        &beingWritten));
    watchUntilFinished(beingWritten);
    return urls;
}

void DownloadWatcherService::watchUntilFinished(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    QMetaObject::invokeMethod(
        m_context,
        [this, paths] {
            if (!m_backend || !m_backend->isWatching())
                return;
            for (const QString& path : paths) {
                const QString item = QDir::cleanPath(path);
                if (topLevelItem(item) == item && FileSystemEntry::existsAt(item))
                    debounce(item);
            }
        },
        Qt::QueuedConnection);
}

QList<QUrl> DownloadWatcherService::scanExistingFiles(const QString& directory)
{
    return urlsOf(listExistingPaths(directory));
}

QList<QUrl> DownloadWatcherService::urlsOf(const QStringList& paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

QStringList DownloadWatcherService::listExistingPaths(
    const QString& directory, const std::function<void(const QString&)>& oldest,
    const UnusableNameNote& unusable, QStringList* beingWritten)
{
    // readdir + fstatat rather than QDir: a Downloads folder can hold a hundred thousand
    // entries. Decoding the names and the stat calls are most of the cost (a few
    // microseconds an entry): for a large folder they are shared among a few threads, each
    // writing only the entries of its own range.
    const QByteArray native = QFile::encodeName(directory);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return {};
    const int dirFd = ::dirfd(dir);
    enum class Kind : quint8 { Item, Partial, Unusable, BeingWritten };
    struct Entry
    {
        qint64 modifiedNs = 0;
        qint64 size = -1;
        QString name;
        size_t rawName = 0; // offset of the name's bytes in rawNames
        Kind kind = Kind::Item;
        bool askWriter = false; // a recent regular file: is it open for writing?
    };
    std::vector<Entry> entries;
    std::string rawNames;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 recentNs =
        (qint64(now.tv_sec) - writerCheckWindowSeconds) * 1000000000 + now.tv_nsec;
    while (const dirent* entry = ::readdir(dir)) {
        // "." and ".." start with a dot and fall under the hidden-file rule.
        if (entry->d_name[0] == '.')
            continue;
        entries.push_back({});
        entries.back().rawName = rawNames.size();
        rawNames.append(entry->d_name).push_back('\0');
    }
    const auto examine = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            Entry& entry = entries[i];
            const char* raw = rawNames.data() + entry.rawName;
            if (!decodeName(raw, &entry.name)) {
                entry.kind = Kind::Unusable;
                continue;
            }
            if (PartialDownloadNames::isPartial(entry.name)) {
                entry.kind = Kind::Partial;
                continue;
            }
            struct stat st
            {
            };
            // A date that cannot be read counts as the distant past and sorts first.
            entry.modifiedNs = std::numeric_limits<qint64>::min();
            if (::fstatat(dirFd, raw, &st, 0) == 0 ||
                ::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
                entry.size = S_ISREG(st.st_mode) ? qint64(st.st_size) : -1;
                entry.askWriter = S_ISREG(st.st_mode) && entry.modifiedNs >= recentNs;
            }
        }
    };
    // The check the watcher makes before it reports a file: a file some process has open for
    // writing is not listed, nor one the file system gives no answer about (the watcher,
    // which sees the writes, decides on those). One that cannot be opened is listed.
    const auto askWriter = [&](Entry& entry) {
        entry.askWriter = false;
        const int fd = ::openat(dirFd, rawNames.data() + entry.rawName,
                                O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return;
        const OpenWriterProbe::State state = OpenWriterProbe::ofDescriptor(fd);
        ::close(fd);
        if (state == OpenWriterProbe::State::Open || state == OpenWriterProbe::State::Unknown)
            entry.kind = Kind::BeingWritten;
    };
    const auto inParallel = [](size_t count, const auto& work) {
        const size_t threads =
            count >= 8192 ? size_t(std::clamp(QThread::idealThreadCount(), 1, 4)) : 1;
        const size_t share = (count + threads - 1) / threads;
        std::vector<std::thread> helpers;
        for (size_t t = 1; t < threads; ++t)
            helpers.emplace_back(work, std::min(count, t * share),
                                 std::min(count, (t + 1) * share));
        work(0, std::min(count, share));
        for (std::thread& helper : helpers)
            helper.join();
    };
    inParallel(entries.size(), examine);

    HeldNames held;
    std::vector<Entry> kept;
    kept.reserve(entries.size());
    for (Entry& entry : entries) {
        if (entry.kind == Kind::Unusable) {
            if (unusable)
                unusable(QDir::cleanPath(directory), entry.name);
        } else if (entry.kind == Kind::Partial)
            notePartial(&held, entry.name);
        else
            kept.push_back(std::move(entry));
    }
    entries = {};
    // A download under way keeps its placeholder (or its in-place file) out of the list.
    if (!held.anySize.isEmpty() || !held.empty.isEmpty()) {
        kept.erase(std::remove_if(kept.begin(), kept.end(),
                                  [&held](const Entry& entry) {
                                      return held.anySize.contains(entry.name) ||
                                             (entry.size == 0 && held.empty.contains(entry.name));
                                  }),
                   kept.end());
    }
    const QString prefix = QDir::cleanPath(directory) + QLatin1Char('/');
    const auto older = [](const Entry& a, const Entry& b) {
        // Files found being written sort last: they are out of the listing.
        if ((a.kind == Kind::BeingWritten) != (b.kind == Kind::BeingWritten))
            return b.kind == Kind::BeingWritten;
        return a.modifiedNs < b.modifiedNs;
    };
    // The head of the queue is known before the rest is sorted and made into paths: the
    // window can show it while that goes on. The first of the oldest, as the sort keeps it.
    // Only the files that may be its head are asked about writers before it is told: the
    // rest are asked afterwards, shared among the threads.
    if (oldest && !kept.empty()) {
        const auto head = [&] { return std::min_element(kept.begin(), kept.end(), older); };
        for (auto it = head(); it->kind != Kind::BeingWritten; it = head()) {
            if (it->askWriter)
                askWriter(*it);
            if (it->kind == Kind::Item) {
                oldest(prefix + it->name);
                break;
            }
        }
    }
    inParallel(kept.size(), [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            if (kept[i].askWriter)
                askWriter(kept[i]);
        }
    });
    ::closedir(dir);
    const auto firstWritten = std::stable_partition(
        kept.begin(), kept.end(), [](const Entry& entry) { return entry.kind == Kind::Item; });
    if (beingWritten) {
        for (auto it = firstWritten; it != kept.end(); ++it)
            beingWritten->append(prefix + it->name);
    }
    kept.erase(firstWritten, kept.end());
    std::stable_sort(kept.begin(), kept.end(), older);
    QStringList paths(qsizetype(kept.size()));
    QString* out = paths.data();
    inParallel(kept.size(), [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            out[i] = prefix + kept[i].name;
    });
    return paths;
}
