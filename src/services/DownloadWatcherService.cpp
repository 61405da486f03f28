#include "services/DownloadWatcherService.h"

#include "models/PartialDownloadNames.h"
#include "platform/FileSystemEntry.h"
#include "platform/InotifyWatcherBackend.h"
#include "platform/StoragePaths.h"
#include "services/LoggerService.h"

#include <QDir>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

DownloadWatcherService::DownloadWatcherService(const QString& targetDirectory,
                                               double debounceSeconds,
                                               DiscoveryCallback onFileDiscovered,
                                               BackendFactory backendFactory,
                                               const MonotonicClock& clock, QObject* parent)
    : QObject(parent),
      m_targetDirectory(QDir::cleanPath(
          targetDirectory.isEmpty() ? StoragePaths::downloadsDirectory() : targetDirectory)),
      m_backendFactory(std::move(backendFactory)), m_onFileDiscovered(std::move(onFileDiscovered)),
      m_thread(QStringLiteral("com.stowbird.downloadwatcher"), QThread::LowPriority),
      m_context(m_thread.context()), m_clock(clock),
      m_schedule(clock, clampDebounceSeconds(debounceSeconds))
{
    if (!m_backendFactory)
        m_backendFactory = [] { return std::make_unique<InotifyWatcherBackend>(); };
}

DownloadWatcherService::~DownloadWatcherService()
{
    m_thread.runAndWait([this] {
        stopOnThread();
        m_backend.reset();
        // The timer is a child of the context; drop it here, on its own thread.
        delete m_timer;
        m_timer = nullptr;
    });
    m_thread.finish();
}

double DownloadWatcherService::clampDebounceSeconds(double seconds)
{
    if (std::isnan(seconds) || seconds < 0.0)
        return 0.0;
    return std::min(seconds, maximumDebounceSeconds);
}

void DownloadWatcherService::setDebounceSeconds(double seconds)
{
    if (!m_schedule.setQuietSeconds(clampDebounceSeconds(seconds)))
        return;
    // Items in their quiet period wait the new time, counted from their last event.
    m_thread.post([this] { armTimer(true); });
}

void DownloadWatcherService::start()
{
    m_thread.runAndWait([this] { startOnThread(); });
}

void DownloadWatcherService::startInBackground()
{
    m_thread.post([this] {
        // Announced as soon as the folder itself is watched (see the rootArmed connection),
        // or here at the latest.
        m_announceStart = true;
        startOnThread();
        announceStarted();
    });
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
    m_thread.runAndWait([this] { stopOnThread(); });
}

void DownloadWatcherService::catchUp()
{
    m_thread.runAndWait([this] {
        if (m_backend)
            m_backend->deliverPending();
        runDue();
    });
}

bool DownloadWatcherService::isWatching() const
{
    bool watching = false;
    m_thread.runAndWait([this, &watching] { watching = m_backend && m_backend->isWatching(); });
    return watching;
}

int DownloadWatcherService::watchCount() const
{
    int count = 0;
    m_thread.runAndWait([this, &count] { count = m_backend ? m_backend->watchCount() : 0; });
    return count;
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
    // Only the names are read, while start() keeps the caller waiting.
    m_partialsByFinal.clear();
    QStringList partials;
    const QStringList items = DownloadFolderListing::readNames(
        m_targetDirectory, listItems, &partials,
        [this](const QString& folder, const QString& name) { noteUnusableName(folder, name); });
    for (const QString& name : partials)
        handlePartialChange(name);
    return items;
}

void DownloadWatcherService::cancelAllPending()
{
    m_schedule.clear();
    if (m_timer)
        m_timer->stop();
    m_timerDueNs = -1;
}

void DownloadWatcherService::stopOnThread()
{
    cancelAllPending();
    m_partialsByFinal.clear();
    if (m_backend)
        m_backend->stop();
}

QString DownloadWatcherService::topLevelItem(const QString& eventPath) const
{
    return DownloadFolderListing::topLevelItem(m_targetDirectory, eventPath);
}

void DownloadWatcherService::handlePartialChange(const QString& name)
{
    m_partialsByFinal.update(
        name, FileSystemEntry::existsAt(m_targetDirectory + QLatin1Char('/') + name));
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
            m_schedule.drop(item);
            emit itemRemoved(item);
            continue;
        }
        if (!FileSystemEntry::existsAt(item))
            continue;
        debounce(item, aboutItem && (event.kind == Event::Created || event.kind == Event::MovedIn));
        if (aboutItem && (event.kind == Event::Modified || event.kind == Event::ClosedWrite))
            m_schedule.noteWriting(item, event.kind == Event::Modified);
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
    m_schedule.noteChange(itemPath, arrived);
    armTimer();
}

void DownloadWatcherService::armTimer(bool force)
{
    const qint64 next = m_schedule.nextDeadlineNs();
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
    if (m_schedule.runDue(sliceNs, [this](const Step& step) { runStep(step); })) {
        armTimer(true);
    } else if (!m_timer->isActive() || m_timerDueNs != 0) {
        m_timerDueNs = 0;
        m_timer->start(0);
    }
}

void DownloadWatcherService::runStep(const Step& step)
{
    using Kind = DownloadFolderListing::Sample::Kind;
    using Verdict = DownloadFolderListing::Verdict;
    const QString name = step.item.mid(m_targetDirectory.size() + 1);
    if (step.kind == Step::Kind::Look) {
        // A partial name, gone, or a link that leads nowhere: nothing to report.
        const DownloadFolderListing::Sample sample =
            shouldIgnoreName(name) ? DownloadFolderListing::Sample{}
                                   : DownloadFolderListing::firstSample(step.item);
        if (sample.kind == Kind::Missing)
            m_schedule.giveUp(step);
        else if (sample.kind == Kind::BusyFolder)
            m_schedule.lookAgainLater(step);
        else
            m_schedule.sampleLater(step, sample.measure, sample.kind == Kind::Folder);
        return;
    }
    const auto heldBack = [&](qint64 size) {
        return m_partialsByFinal.holdsBack(name, size, [this](const QString& partial) {
            return FileSystemEntry::existsAt(m_targetDirectory + QLatin1Char('/') + partial);
        });
    };
    const Verdict verdict =
        DownloadFolderListing::secondSample(step.item, step.folder, step.sample, heldBack);
    if (verdict == Verdict::Gone)
        m_schedule.giveUp(step);
    else if (verdict == Verdict::NoAnswer)
        // No lease to be had: trust inotify, a write not yet followed by a close.
        conclude(step, m_schedule.closedAfterWriting(step.item));
    else
        conclude(step, verdict == Verdict::Settled);
}

void DownloadWatcherService::conclude(const Step& step, bool finished)
{
    bool arrived = false;
    if (!m_schedule.conclude(step, finished, &arrived))
        return;
    const QUrl url = QUrl::fromLocalFile(step.item);
    if (m_onFileDiscovered)
        m_onFileDiscovered(url);
    emit fileDiscovered(url, arrived);
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
    const QList<QUrl> urls = DownloadFolderListing::urlsOf(listExistingPaths(
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
    m_thread.post([this, paths] {
        if (!m_backend || !m_backend->isWatching())
            return;
        for (const QString& path : paths) {
            const QString item = QDir::cleanPath(path);
            if (topLevelItem(item) == item && FileSystemEntry::existsAt(item))
                debounce(item);
        }
    });
}
