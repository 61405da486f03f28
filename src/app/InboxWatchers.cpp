#include "app/InboxWatchers.h"

#include "models/AppConfig.h"
#include "models/InboxFolders.h"
#include "services/BlockingProblems.h"
#include "services/ConfigurationService.h"
#include "services/DownloadWatcherService.h"
#include "services/LoggerService.h"
#include "services/QueueRescanner.h"
#include "services/TriageQueueManager.h"

#include <QUrl>

#include <algorithm>
#include <utility>

InboxWatchers::InboxWatchers(const Dependencies& dependencies, QObject* parent)
    : QObject(parent), m_deps(dependencies)
{
}

InboxWatchers::~InboxWatchers()
{
    // Before the watchers go: the rescanner waits for a listing in flight, which may still
    // tell a watcher of a name it leaves out.
    delete m_rescanner;
    m_rescanner = nullptr;
}

void InboxWatchers::prepare(bool holdListing)
{
    m_listingHeld = holdListing;
    const double debounce = m_deps.config->config().general.debounceSeconds;
    m_downloadWatcher = makeWatcher(m_deps.downloadsDirectory, debounce);
    // The watchers' reports keep the queue current, so opening the window needs no listing.
    // They pass through the rescanner, which holds discoveries back while a listing is fed.
    m_rescanner = new QueueRescanner(*m_deps.queue, m_downloadWatcher->targetDirectory(), this);
    // One log line per unusable name, whether a watcher or a listing meets it.
    m_rescanner->setUnusableNameNote(
        [watcher = m_downloadWatcher.get()](const QString& folder, const QString& name) {
            watcher->noteUnusableName(folder, name);
        });
    // Files a listing finds still being written are queued by their folder's watcher once
    // done; each watcher takes only the paths of its own folder.
    m_rescanner->setWrittenFilesHandoff([this](const QStringList& paths) {
        m_downloadWatcher->watchUntilFinished(paths);
        for (const auto& watcher : m_inboxWatchers)
            watcher->watchUntilFinished(paths);
    });
    connect(m_rescanner, &QueueRescanner::runningChanged, this, &InboxWatchers::scanningChanged);
    // A new debounce from the settings reaches the running watchers at once, and a changed
    // list of inboxes is watched from now on.
    connect(m_deps.config, &ConfigurationService::configChanged, this,
            [this](const AppConfig& config) {
                m_downloadWatcher->setDebounceSeconds(config.general.debounceSeconds);
                for (const auto& watcher : m_inboxWatchers)
                    watcher->setDebounceSeconds(config.general.debounceSeconds);
                if (config.additionalInboxes != m_inboxEntries)
                    applyInboxes(config, false);
            });
    // The first listing is under way from here (discoveries wait for it), but starts once
    // the watches are armed.
    m_rescanner->rescanWhenReady();
    startWatcher(m_downloadWatcher.get(), true);
    applyInboxes(m_deps.config->config(), true);
    // The window can show a first item while the watchers start and the window is built.
    m_rescanner->lookForFirstItem();
}

std::unique_ptr<DownloadWatcherService> InboxWatchers::makeWatcher(const QString& folder,
                                                                   double debounceSeconds) const
{
    auto watcher = std::make_unique<DownloadWatcherService>(folder, debounceSeconds);
    watcher->setLogger(m_deps.logger);
    if (m_deps.sampleIntervalMs > 0)
        watcher->setSampleIntervalMs(m_deps.sampleIntervalMs);
    return watcher;
}

void InboxWatchers::startWatcher(DownloadWatcherService* watcher, bool atLaunch)
{
    // Reports arrive on the watcher's thread; the queue lives on this one. The rescanner
    // collects them there and applies them here in order, in slices (a burst brings
    // thousands). A discovery only enqueues: it never opens the HUD. Deleted or moved away
    // by something else: out of the queue and the count at once.
    QueueRescanner* rescanner = m_rescanner;
    connect(
        watcher, &DownloadWatcherService::fileDiscovered, m_rescanner,
        [rescanner](const QUrl& url, bool arrivedAnew) {
            rescanner->postDiscovered(url, arrivedAnew);
        },
        Qt::DirectConnection);
    connect(
        watcher, &DownloadWatcherService::itemRemoved, m_rescanner,
        [rescanner](const QString& path) { rescanner->postRemoved(path); }, Qt::DirectConnection);
    connect(
        watcher, &DownloadWatcherService::itemsListed, m_rescanner,
        [rescanner](const QString& folder, const QSet<QString>& paths) {
            rescanner->postListed(folder, paths);
        },
        Qt::DirectConnection);
    // Told on the watcher's thread, shown on this one.
    connect(watcher, &DownloadWatcherService::watchHealthChanged, m_deps.problems,
            &BlockingProblems::noteWatchHealth);
    if (atLaunch)
        m_watchersStarting.insert(watcher);
    connect(
        watcher, &DownloadWatcherService::started, this,
        [this, watcher, atLaunch] {
            if (atLaunch) {
                noteWatcherStarted(watcher);
            } else if (m_rescanner) {
                // What the folder held before its watches were armed.
                m_rescanner->rescan();
            }
        },
        Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    // Those of the launch start with start(), once the window is shown: their first look at
    // a large folder would share the two cores with building it.
    if (!atLaunch)
        watcher->startInBackground();
}

void InboxWatchers::start()
{
    m_downloadWatcher->startInBackground();
    for (const auto& watcher : m_inboxWatchers)
        watcher->startInBackground();
}

void InboxWatchers::stop()
{
    if (m_downloadWatcher)
        m_downloadWatcher->stop();
    for (const auto& watcher : m_inboxWatchers)
        watcher->stop();
}

void InboxWatchers::applyInboxes(const AppConfig& config, bool atLaunch)
{
    m_inboxEntries = config.additionalInboxes;
    QList<InboxFolders::Rejected> rejected;
    const QStringList wanted = InboxFolders::resolve(
        config.additionalInboxes, m_downloadWatcher->targetDirectory(), &rejected);
    for (const InboxFolders::Rejected& entry : std::as_const(rejected))
        m_deps.logger->error(
            QStringLiteral("Inbox \"%1\" left out: %2").arg(entry.entry, entry.reason));

    std::vector<std::unique_ptr<DownloadWatcherService>> watchers;
    QList<DownloadWatcherService*> fresh;
    for (const QString& folder : wanted) {
        const auto it = std::find_if(
            m_inboxWatchers.begin(), m_inboxWatchers.end(),
            [&folder](const auto& watcher) { return watcher->targetDirectory() == folder; });
        if (it != m_inboxWatchers.end()) {
            watchers.push_back(std::move(*it));
            m_inboxWatchers.erase(it);
            continue;
        }
        auto watcher = makeWatcher(folder, config.general.debounceSeconds);
        fresh.append(watcher.get());
        watchers.push_back(std::move(watcher));
    }
    // The rescanner first: what waits from a folder no longer watched leaves the queue, and
    // whatever its watcher still reports is dropped.
    m_rescanner->setFolders(QStringList{m_downloadWatcher->targetDirectory()} + wanted);
    for (const auto& gone : m_inboxWatchers) {
        m_deps.logger->info(
            QStringLiteral("Stopped watching the inbox %1.").arg(gone->targetDirectory()));
        m_deps.problems->noteWatchHealth(gone->targetDirectory(), WatchProblem::None, {});
        // Taken off the list during the launch: the first listing no longer waits for it.
        if (m_watchersStarting.contains(gone.get()))
            noteWatcherStarted(gone.get());
    }
    // The watchers left in the old list stop here.
    m_inboxWatchers = std::move(watchers);
    for (DownloadWatcherService* watcher : std::as_const(fresh)) {
        m_deps.logger->info(
            QStringLiteral("Watching the inbox %1.").arg(watcher->targetDirectory()));
        startWatcher(watcher, atLaunch);
    }
}

void InboxWatchers::noteWatcherStarted(const DownloadWatcherService* watcher)
{
    m_watchersStarting.remove(watcher);
    if (m_watcherStarted || !m_watchersStarting.isEmpty())
        return;
    m_watcherStarted = true;
    startHeldListing();
}

void InboxWatchers::releaseListing()
{
    m_listingHeld = false;
    startHeldListing();
}

void InboxWatchers::startHeldListing()
{
    if (m_rescanner && m_watcherStarted && !m_listingHeld)
        m_rescanner->startListingNow();
}

QStringList InboxWatchers::watchedFolders() const
{
    QStringList folders;
    if (m_downloadWatcher)
        folders << m_downloadWatcher->targetDirectory();
    for (const auto& watcher : m_inboxWatchers)
        folders << watcher->targetDirectory();
    return folders;
}

bool InboxWatchers::isScanning() const
{
    return m_rescanner && m_rescanner->isRunning();
}
