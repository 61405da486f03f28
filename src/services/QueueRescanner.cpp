#include "services/QueueRescanner.h"

#include "models/CompactPathList.h"
#include "models/FileNaming.h"
#include "models/TriageItem.h"
#include "platform/BackgroundTask.h"
#include "platform/DownloadFolderListing.h"
#include "platform/FileSystemEntry.h"
#include "platform/ThreadHandoff.h"
#include "services/DownloadWatcherService.h"
#include "services/TriageQueueManager.h"

#include <QMutexLocker>
#include <QTimer>
#include <malloc.h>

namespace {

QString standardized(const QString& path)
{
    return TriageItem::standardizedPath(QUrl::fromLocalFile(path));
}

// Entries handed to the queue per call, between two looks at the clock.
constexpr qsizetype batchSize = 256;

} // namespace

QueueRescanner::QueueRescanner(TriageQueueManager& queue, QString directory, QObject* parent)
    : QObject(parent), m_queue(queue)
{
    m_listingPool.setMaxThreadCount(1);
    setFolders({std::move(directory)});
}

void QueueRescanner::setFolders(const QStringList& folders)
{
    const QSet<QString> before = m_standardizedFolders;
    m_folders = folders;
    m_standardizedFolders.clear();
    for (const QString& folder : folders)
        m_standardizedFolders.insert(standardized(folder));
    for (const QString& folder : before) {
        // As if a listing found it empty: out of the queue, and of a listing being fed.
        if (!m_standardizedFolders.contains(folder))
            retainPresent(folder, {});
    }
}

bool QueueRescanner::isWatched(const QString& standardizedPath) const
{
    return m_standardizedFolders.contains(FileNaming::folderOf(standardizedPath));
}

QueueRescanner::~QueueRescanner()
{
    // The listing's thread posts to this object: it must be done before this goes away.
    m_listingPool.waitForDone();
}

void QueueRescanner::rescan()
{
    if (m_running) {
        m_again = true;
        return;
    }
    m_running = true;
    emit runningChanged(true);
    startListing();
}

void QueueRescanner::rescanWhenReady()
{
    if (m_running) {
        m_again = true;
        return;
    }
    m_running = true;
    m_listingDeferred = true;
    emit runningChanged(true);
}

void QueueRescanner::startListingNow()
{
    if (!m_listingDeferred)
        return;
    m_listingDeferred = false;
    // A first look under way runs ahead of the listing on its thread anyway: the listing
    // starts once its item is queued, so that the listing checks that item too.
    if (m_firstLook)
        return;
    startListing();
}

void QueueRescanner::lookForFirstItem()
{
    if (!m_running || !m_listingDeferred || !m_queue.isEmpty())
        return;
    m_firstLook = true;
    // On the listing's thread, ahead of the listing itself.
    BackgroundTask::run(
        m_listingPool,
        [folders = m_folders, skipped = m_queue.skippedPaths(), sample = m_firstLookSample] {
            for (const QString& folder : folders) {
                QString path = DownloadFolderListing::firstExistingPath(folder, sample, skipped);
                if (!path.isEmpty())
                    return path;
            }
            return QString();
        },
        this, [this](const QString& path) { takeFirstItem(path); },
        [this](const QString&) { takeFirstItem({}); });
}

void QueueRescanner::takeFirstItem(const QString& path)
{
    m_firstLook = false;
    // Before the listing: it then checks that the item is still there, with everything else
    // already queued. A removal reported meanwhile keeps it out.
    const bool found = !path.isEmpty() && m_running && m_queue.isEmpty() &&
                       !keptOutOfListing(path) && isWatched(path);
    if (found)
        m_queue.enqueuePaths({path});
    // The listing was let go meanwhile.
    if (m_running && !m_listingDeferred && !m_listing && m_listed.isEmpty())
        startListing();
    emit firstLookDone(found);
}

QueueRescanner::Listing
QueueRescanner::listAndCheck(const QStringList& folders, const QStringList& queued,
                             const CompactPathList& backlog, const QSet<QString>& skipped,
                             const std::function<void(const QString&)>& oldest,
                             const DownloadWatcherService::UnusableNameNote& unusable)
{
    Listing result;
    for (const QString& folder : folders) {
        // The head of the queue comes from the first folder with items, shown while the rest
        // is listed.
        QStringList paths = DownloadFolderListing::listExistingPaths(
            folder, result.paths.isEmpty() ? oldest : std::function<void(const QString&)>(),
            unusable, &result.beingWritten);
        if (result.paths.isEmpty())
            result.paths = std::move(paths);
        else
            result.paths.append(paths);
    }
    if (queued.isEmpty() && backlog.isEmpty() && skipped.isEmpty())
        return result;
    // What the listing shows is there; everything else costs a stat.
    const QSet<QString> listed(result.paths.cbegin(), result.paths.cend());
    const auto check = [&](const QString& path) {
        if (!listed.contains(path) && !FileSystemEntry::existsAt(path))
            result.missing.insert(path);
    };
    for (const QString& path : queued)
        check(path);
    for (const QString& path : backlog)
        check(path);
    for (const QString& path : skipped)
        check(path);
    return result;
}

void QueueRescanner::startListing()
{
    // Reports from before this listing are older than it; it supersedes them.
    m_removed.clear();
    m_present.clear();
    QStringList queued;
    for (const TriageItem& item : m_queue.items())
        queued.append(TriageItem::standardizedPath(item.url));
    m_listing = true;
    // The oldest file comes back first, from the listing's thread, so that the window can
    // show it while the rest is sorted.
    const std::function<void(const QString&)> oldest = [this](const QString& path) {
        ThreadHandoff::post(this, [this, path] { takeOldest(path); });
    };
    // The backlog and the skips are handed over as shared copies: no copy is made here.
    BackgroundTask::run(
        m_listingPool,
        [folders = m_folders, queued, backlog = m_queue.pendingBacklog(),
         skipped = m_queue.skippedPaths(), oldest, unusable = m_unusableNameNote] {
            return listAndCheck(folders, queued, backlog, skipped, oldest, unusable);
        },
        this, [this](Listing listing) { listingDone(std::move(listing)); });
}

void QueueRescanner::takeOldest(const QString& path)
{
    // Only ahead of the listing it came from: the listing itself brings it again (the queue
    // takes a path once).
    if (!m_running || !m_listing || keptOutOfListing(path) || !isWatched(path))
        return;
    m_queue.enqueuePaths({path});
}

void QueueRescanner::listingDone(Listing listing)
{
    m_listing = false;
    // Entries found missing are checked again as they are dropped: a file put back
    // meanwhile stays.
    m_queue.dropMissing(listing.missing);
    if (m_handoff && !listing.beingWritten.isEmpty())
        m_handoff(listing.beingWritten);
    m_listed = std::move(listing.paths);
    m_next = 0;
    m_slices = 0;
    scheduleSlice();
}

void QueueRescanner::scheduleSlice()
{
    if (m_sliceScheduled)
        return;
    m_sliceScheduled = true;
    // A queued call: input and painting get their turn between two slices.
    QMetaObject::invokeMethod(this, &QueueRescanner::feedSlice, Qt::QueuedConnection);
}

bool QueueRescanner::keptOutOfListing(const QString& path) const
{
    if (m_removed.isEmpty() && m_present.isEmpty())
        return false;
    if (m_removed.contains(path))
        return true;
    const QString parent = FileNaming::folderOf(path);
    if (m_removed.contains(parent))
        return true;
    for (const auto& [folder, present] : m_present) {
        if (parent == folder && !present.contains(path))
            return true;
    }
    return false;
}

void QueueRescanner::feedSlice()
{
    m_sliceScheduled = false;
    if (!m_running)
        return;
    ++m_slices;
    QElapsedTimer clock;
    clock.start();
    const qint64 budgetNs = qint64(sliceBudgetMs) * 1000000;
    qsizetype taken = 0;
    const auto sliceOpen = [&] { return taken < m_sliceLimit && clock.nsecsElapsed() < budgetNs; };

    while (m_next < m_listed.size() && sliceOpen()) {
        const qsizetype count =
            std::min({batchSize, m_listed.size() - m_next, qsizetype(m_sliceLimit) - taken});
        QList<QString> batch;
        batch.reserve(count);
        for (qsizetype i = m_next; i < m_next + count; ++i) {
            if (!keptOutOfListing(m_listed.at(i)))
                batch.append(m_listed.at(i));
        }
        m_next += count;
        taken += count;
        m_queue.enqueuePaths(batch);
    }
    if (m_next < m_listed.size()) {
        scheduleSlice();
        return;
    }
    // The listing is in: now what the watcher found meanwhile, in the order it came.
    while (m_nextHeld < m_held.size() && sliceOpen()) {
        const Discovery& held = m_held.at(m_nextHeld++);
        m_queue.enqueue(held.url, held.arrivedAnew);
        ++taken;
    }
    if (m_nextHeld < m_held.size()) {
        scheduleSlice();
        return;
    }
    m_held.clear();
    m_nextHeld = 0;
    m_listed = {};
    if (m_again) {
        m_again = false;
        emit finished();
        startListing();
        return;
    }
    finish();
}

void QueueRescanner::finish()
{
    m_running = false;
    m_removed.clear();
    m_present.clear();
    // A listing of a large folder leaves megabytes of freed strings in the allocator's
    // per-thread arenas; hand them back to the system rather than keep them for good.
    ::malloc_trim(0);
    emit runningChanged(false);
    emit finished();
}

void QueueRescanner::enqueueDiscovered(const QUrl& url, bool arrivedAnew)
{
    QString path = TriageItem::standardizedPath(url);
    if (!isWatched(path))
        return;
    if (!m_running) {
        m_queue.enqueue(url, arrivedAnew);
        return;
    }
    m_held.append({url, std::move(path), arrivedAnew});
}

void QueueRescanner::removePath(const QString& path)
{
    m_queue.removePath(path);
    if (!m_running)
        return;
    const QString removed = standardized(path);
    m_removed.insert(removed);
    // A discovery held back for it is out of date too.
    m_held.erase(std::remove_if(m_held.begin() + m_nextHeld, m_held.end(),
                                [&removed](const Discovery& held) {
                                    return FileNaming::isAtOrInside(held.path, removed);
                                }),
                 m_held.end());
}

void QueueRescanner::retainPresent(const QString& folder, const QSet<QString>& presentPaths)
{
    m_queue.retainPresent(folder, presentPaths);
    if (!m_running)
        return;
    const QString listed = standardized(folder);
    m_present.append({listed, presentPaths});
    m_held.erase(std::remove_if(m_held.begin() + m_nextHeld, m_held.end(),
                                [&](const Discovery& held) {
                                    return FileNaming::folderOf(held.path) == listed &&
                                           !presentPaths.contains(held.path);
                                }),
                 m_held.end());
}

void QueueRescanner::postDiscovered(const QUrl& url, bool arrivedAnew)
{
    Report report{Report::Kind::Discovered, url, {}, arrivedAnew, {}};
    post(std::move(report));
}

void QueueRescanner::postRemoved(const QString& path)
{
    Report report{Report::Kind::Removed, {}, path, false, {}};
    post(std::move(report));
}

void QueueRescanner::postListed(const QString& folder, const QSet<QString>& presentPaths)
{
    Report report{Report::Kind::Listed, {}, folder, false, presentPaths};
    post(std::move(report));
}

void QueueRescanner::post(Report report)
{
    QMutexLocker locker(&m_inboxLock);
    m_inbox.append(std::move(report));
    // One wake-up per batch: the drain takes everything posted until it runs.
    if (m_drainPosted)
        return;
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, &QueueRescanner::drainInbox, Qt::QueuedConnection);
}

void QueueRescanner::drainInbox()
{
    {
        QMutexLocker locker(&m_inboxLock);
        m_draining.append(std::move(m_inbox));
        m_inbox.clear();
        m_drainPosted = false;
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 budgetNs = qint64(sliceBudgetMs) * 1000000;
    while (m_nextDrained < m_draining.size()) {
        // The clock is read every few reports: a report costs a few microseconds.
        if ((m_nextDrained & 63) == 0 && clock.nsecsElapsed() >= budgetNs)
            break;
        const Report& report = m_draining.at(m_nextDrained++);
        switch (report.kind) {
        case Report::Kind::Discovered:
            enqueueDiscovered(report.url, report.arrivedAnew);
            break;
        case Report::Kind::Removed:
            removePath(report.path);
            break;
        case Report::Kind::Listed:
            retainPresent(report.path, report.presentPaths);
            break;
        }
    }
    if (m_nextDrained < m_draining.size()) {
        // The rest in a later turn; reports posted meanwhile queue up behind it.
        QMutexLocker locker(&m_inboxLock);
        if (!m_drainPosted) {
            m_drainPosted = true;
            QMetaObject::invokeMethod(this, &QueueRescanner::drainInbox, Qt::QueuedConnection);
        }
        return;
    }
    m_draining.clear();
    m_nextDrained = 0;
}
