#include "services/TriageQueueManager.h"

#include "models/FileNaming.h"
#include "models/SkipList.h"
#include "platform/FileSystemEntry.h"

#include <algorithm>
#include <cstdio>

TriageQueueManager::TriageQueueManager(const QString& skipCacheBaseDirectory, QObject* parent)
    : QObject(parent), m_store(skipCacheBaseDirectory)
{
    connect(&m_store, &SkipListStore::saveFailed, this, &TriageQueueManager::reportSaveFailure);
    SkipListStore::Loaded loaded = m_store.load();
    m_skippedPaths = std::move(loaded.paths);
    m_skipIdentities = std::move(loaded.identities);
    // A skip made by a version that kept no identities: the file there now is the one that
    // was skipped.
    for (const QString& path : std::as_const(m_skippedPaths)) {
        if (!m_skipIdentities.contains(path))
            m_skipIdentities.insert(path, identityOf(path));
    }
    // What was learned about the files, and a list an older version wrote in another form,
    // are recorded at once.
    if (loaded.outdated)
        saveSkipCache();
}

SkipList::Identity TriageQueueManager::identityOf(const QString& path)
{
    const FileIdentity entry = FileSystemEntry::identityAt(path);
    if (!entry.isValid())
        return {};
    return {entry.device, entry.inode, entry.bornNs};
}

void TriageQueueManager::forgetSkip(const QString& path)
{
    if (!m_skippedPaths.remove(path))
        return;
    m_skipIdentities.remove(path);
    saveSkipCache();
    emit skippedPathsChanged();
}

bool TriageQueueManager::isStillSkipped(const QString& path)
{
    if (!m_skippedPaths.contains(path))
        return false;
    const SkipList::Identity now = identityOf(path);
    // Nothing there to offer: the skip stands.
    if (!now.isValid())
        return true;
    SkipList::Identity& skipped = m_skipIdentities[path];
    if (skipped.isSameFile(now)) {
        // The skipped file, whatever was written to it since. What an older list did not
        // keep about it is recorded now.
        if (skipped.isCompletedBy(now)) {
            skipped = now;
            saveSkipCache();
        }
        return true;
    }
    forgetSkip(path);
    return false;
}

std::optional<TriageItem> TriageQueueManager::activeItem() const
{
    if (m_items.isEmpty())
        return std::nullopt;
    return m_items.first();
}

void TriageQueueManager::indexAdd(const QString& path)
{
    ++m_itemPaths[path];
    ++m_parentPaths[FileNaming::folderOf(path)];
}

void TriageQueueManager::indexRemove(const QString& path)
{
    auto it = m_itemPaths.find(path);
    if (it == m_itemPaths.end())
        return;
    if (--it.value() <= 0)
        m_itemPaths.erase(it);
    auto parent = m_parentPaths.find(FileNaming::folderOf(path));
    if (parent != m_parentPaths.end() && --parent.value() <= 0)
        m_parentPaths.erase(parent);
}

bool TriageQueueManager::hasEntriesIn(const QString& folder) const
{
    return m_parentPaths.contains(folder) || m_pendingBacklog.hasEntriesIn(folder);
}

void TriageQueueManager::appendItem(const TriageItem& item)
{
    m_items.append(item);
    indexAdd(TriageItem::standardizedPath(item.url));
}

bool TriageQueueManager::enqueueOne(const QUrl& url, bool arrivedAnew)
{
    switch (place(TriageItem::standardizedPath(url), &url, arrivedAnew)) {
    case Placed::Items:
        emit itemsChanged();
        return true;
    case Placed::Backlog:
        emit pendingBacklogChanged();
        return true;
    case Placed::Nowhere:
        break;
    }
    return false;
}

TriageQueueManager::Placed TriageQueueManager::place(const QString& path, const QUrl* url,
                                                     bool arrivedAnew)
{
    // A path with an action in flight belongs to that action until it ends.
    if (m_inFlightPaths.contains(path))
        return Placed::Nowhere;
    // Something new arrived at a skipped path: a new download, unless it is the very file
    // that was skipped (same device, inode and birth time), moved back by an undo of our own.
    if (arrivedAnew && m_skippedPaths.contains(path) &&
        !m_skipIdentities.value(path).isSameFile(identityOf(path)))
        forgetSkip(path);
    if (m_itemPaths.contains(path) || m_pendingBacklog.contains(path) || isStillSkipped(path))
        return Placed::Nowhere;

    if (m_items.size() >= maxBatchSize) {
        m_pendingBacklog.append(path);
        return Placed::Backlog;
    }
    appendItem(TriageItem(url ? *url : QUrl::fromLocalFile(path)));
    return Placed::Items;
}

void TriageQueueManager::enqueue(const QUrl& url, bool arrivedAnew)
{
    if (enqueueOne(url, arrivedAnew))
        emit triageQueueDidChange();
}

void TriageQueueManager::enqueueBatch(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        if (enqueueOne(url))
            emit triageQueueDidChange();
    }
    emit triageQueueDidChange();
}

void TriageQueueManager::enqueuePaths(const QList<QString>& paths)
{
    bool items = false;
    bool backlog = false;
    for (const QString& path : paths) {
        switch (place(path, nullptr, false)) {
        case Placed::Items:
            items = true;
            break;
        case Placed::Backlog:
            backlog = true;
            break;
        case Placed::Nowhere:
            break;
        }
    }
    if (items)
        emit itemsChanged();
    if (backlog)
        emit pendingBacklogChanged();
    if (items || backlog)
        emit triageQueueDidChange();
}

bool TriageQueueManager::refillFromBacklog(bool* itemsGrew)
{
    bool backlogShrank = false;
    *itemsGrew = false;
    while (m_items.size() < maxBatchSize && !m_pendingBacklog.isEmpty()) {
        const QString path = m_pendingBacklog.takeFirst();
        backlogShrank = true;
        if (!FileSystemEntry::existsAt(path) || isStillSkipped(path))
            continue;
        appendItem(TriageItem(QUrl::fromLocalFile(path)));
        *itemsGrew = true;
    }
    if (backlogShrank)
        emit pendingBacklogChanged();
    return backlogShrank;
}

void TriageQueueManager::skipCurrent()
{
    if (m_items.isEmpty())
        return;
    const TriageItem head = m_items.takeFirst();
    const QString path = TriageItem::standardizedPath(head.url);
    indexRemove(path);
    const bool newSkip = !m_skippedPaths.contains(path);
    m_skippedPaths.insert(path);
    m_skipIdentities.insert(path, identityOf(path));
    saveSkipCache();
    bool grew = false;
    refillFromBacklog(&grew);
    emit itemsChanged();
    if (newSkip)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

std::optional<TriageItem> TriageQueueManager::dequeue()
{
    if (m_items.isEmpty())
        return std::nullopt;
    TriageItem head = m_items.takeFirst();
    indexRemove(TriageItem::standardizedPath(head.url));
    bool grew = false;
    refillFromBacklog(&grew);
    emit itemsChanged();
    emit triageQueueDidChange();
    return head;
}

QList<TriageItem> TriageQueueManager::takeItems(const QList<QUuid>& ids)
{
    QList<TriageItem> taken;
    bool removed = false;
    for (const QUuid& id : ids) {
        const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                        [&id](const TriageItem& item) { return item.id == id; });
        if (found == m_items.cend())
            continue;
        taken.append(*found);
        indexRemove(TriageItem::standardizedPath(found->url));
        m_items.erase(found);
        removed = true;
    }
    if (removed)
        announceRemovals(true, false, false);
    return taken;
}

void TriageQueueManager::pushToFront(const TriageItem& item)
{
    // No capacity or duplicate test: an item put back goes first even if that makes 51.
    m_items.prepend(item);
    const QString path = TriageItem::standardizedPath(item.url);
    indexAdd(path);
    const bool wasSkipped = m_skippedPaths.remove(path);
    m_skipIdentities.remove(path);
    saveSkipCache();
    emit itemsChanged();
    if (wasSkipped)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::clearSkipCache()
{
    const bool hadSkips = !m_skippedPaths.isEmpty();
    m_skippedPaths.clear();
    m_skipIdentities.clear();
    m_store.remove();
    if (hadSkips)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::pruneMissingFiles()
{
    const qsizetype itemsBefore = m_items.size();
    const auto gone = [this](const QUrl& url) {
        return !FileSystemEntry::existsAt(url.toLocalFile()) && !isInFlight(url);
    };
    m_items.removeIf([&](const TriageItem& item) { return gone(item.url); });
    bool itemsDidChange = m_items.size() != itemsBefore;

    const qsizetype backlogBefore = m_pendingBacklog.size();
    m_pendingBacklog.removeIf([this](const QString& path) {
        return !FileSystemEntry::existsAt(path) && !m_inFlightPaths.contains(path);
    });
    bool backlogDidChange = m_pendingBacklog.size() != backlogBefore;

    if (itemsDidChange) {
        m_itemPaths.clear();
        m_parentPaths.clear();
        for (const TriageItem& item : std::as_const(m_items))
            indexAdd(TriageItem::standardizedPath(item.url));
    }
    if (backlogDidChange)
        emit pendingBacklogChanged();

    QList<QString> stale;
    for (const QString& path : std::as_const(m_skippedPaths)) {
        if (!FileSystemEntry::existsAt(path) && !m_inFlightPaths.contains(path))
            stale.append(path);
    }
    if (!stale.isEmpty()) {
        for (const QString& path : std::as_const(stale)) {
            m_skippedPaths.remove(path);
            m_skipIdentities.remove(path);
        }
        saveSkipCache();
        emit skippedPathsChanged();
    }

    bool grew = false;
    refillFromBacklog(&grew);
    if (itemsDidChange || grew)
        emit itemsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::dropMissing(const QSet<QString>& candidates)
{
    if (candidates.isEmpty())
        return;
    // Only the candidates are looked at again, and only they cost a stat.
    const auto gone = [&](const QString& path) {
        return candidates.contains(path) && !m_inFlightPaths.contains(path) &&
               !FileSystemEntry::existsAt(path);
    };
    const bool itemsDidChange = removeItemsWhere(gone);
    bool backlogDidChange = false;
    for (const QString& path : candidates) {
        if (m_pendingBacklog.contains(path) && gone(path))
            backlogDidChange = m_pendingBacklog.removeAll(path) > 0 || backlogDidChange;
    }
    bool skipsDidChange = false;
    for (const QString& path : candidates) {
        if (m_skippedPaths.contains(path) && gone(path)) {
            m_skippedPaths.remove(path);
            m_skipIdentities.remove(path);
            skipsDidChange = true;
        }
    }
    announceRemovals(itemsDidChange, backlogDidChange, skipsDidChange);
}

void TriageQueueManager::removePath(const QString& removedPath)
{
    const QString path = TriageItem::standardizedPath(QUrl::fromLocalFile(removedPath));
    // An action of our own moved or renamed it; the action puts the queue right when it ends.
    if (m_inFlightPaths.contains(path))
        return;
    // Entries are looked for only where the indexes say there are some.
    const bool folder = hasEntriesIn(path);
    const auto affected = [&path, folder](const QString& entry) {
        return folder ? FileNaming::isAtOrInside(entry, path) : entry == path;
    };

    bool itemsDidChange = false;
    if (folder || m_itemPaths.contains(path)) {
        for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
            const QString entry = TriageItem::standardizedPath(m_items.at(i).url);
            if (affected(entry)) {
                indexRemove(entry);
                m_items.removeAt(i);
                itemsDidChange = true;
            }
        }
    }
    bool backlogDidChange = false;
    if (folder)
        backlogDidChange = m_pendingBacklog.removeIf(affected) > 0;
    else
        backlogDidChange = m_pendingBacklog.removeAll(path) > 0;

    // Whatever was skipped there is gone: a new file at the path is a new download.
    bool skipsDidChange = false;
    for (auto it = m_skippedPaths.begin(); it != m_skippedPaths.end();) {
        if (FileNaming::isAtOrInside(*it, path)) {
            m_skipIdentities.remove(*it);
            it = m_skippedPaths.erase(it);
            skipsDidChange = true;
        } else {
            ++it;
        }
    }
    announceRemovals(itemsDidChange, backlogDidChange, skipsDidChange);
}

void TriageQueueManager::retainPresent(const QString& listedFolder,
                                       const QSet<QString>& presentPaths)
{
    const QString folder = TriageItem::standardizedPath(QUrl::fromLocalFile(listedFolder));
    if (!hasEntriesIn(folder))
        return;
    // Paths with an action of our own in flight are the action's to put right.
    const auto gone = [&](const QString& path) {
        return FileNaming::folderOf(path) == folder && !presentPaths.contains(path) &&
               !m_inFlightPaths.contains(path);
    };
    const bool itemsDidChange = removeItemsWhere(gone);
    const bool backlogDidChange =
        m_pendingBacklog.hasEntriesIn(folder) && m_pendingBacklog.removeIf(gone) > 0;
    announceRemovals(itemsDidChange, backlogDidChange, false);
}

bool TriageQueueManager::removeItemsWhere(const std::function<bool(const QString&)>& matches)
{
    bool removed = false;
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        const QString path = TriageItem::standardizedPath(m_items.at(i).url);
        if (matches(path)) {
            indexRemove(path);
            m_items.removeAt(i);
            removed = true;
        }
    }
    return removed;
}

void TriageQueueManager::announceRemovals(bool itemsDidChange, bool backlogDidChange,
                                          bool skipsDidChange)
{
    if (skipsDidChange)
        saveSkipCache();
    if (backlogDidChange)
        emit pendingBacklogChanged();
    bool grew = false;
    if (itemsDidChange && refillFromBacklog(&grew))
        backlogDidChange = true; // announced by the refill
    if (itemsDidChange)
        emit itemsChanged();
    if (skipsDidChange)
        emit skippedPathsChanged();
    if (itemsDidChange || backlogDidChange || skipsDidChange)
        emit triageQueueDidChange();
}

TriageQueueManager::~TriageQueueManager()
{
    waitForSaves();
}

void TriageQueueManager::waitForSaves()
{
    m_store.waitForSaves();
}

void TriageQueueManager::saveSkipCache()
{
    m_store.save(m_skippedPaths, m_skipIdentities);
}

void TriageQueueManager::reportSaveFailure(const QString& error)
{
    std::printf("[TriageQueueManager] Failed to save skip cache: %s\n", qPrintable(error));
    std::fflush(stdout);
    m_log.error(QStringLiteral("[TriageQueueManager] Failed to save skip cache: %1").arg(error));
    emit saveFailed(tr("Skip list not saved. %1").arg(error));
}

void TriageQueueManager::beginInFlight(const QUrl& url)
{
    ++m_inFlightPaths[TriageItem::standardizedPath(url)];
}

void TriageQueueManager::endInFlight(const QUrl& url)
{
    const auto it = m_inFlightPaths.find(TriageItem::standardizedPath(url));
    if (it != m_inFlightPaths.end() && --it.value() <= 0)
        m_inFlightPaths.erase(it);
}

bool TriageQueueManager::isInFlight(const QUrl& url) const
{
    return m_inFlightPaths.contains(TriageItem::standardizedPath(url));
}

bool TriageQueueManager::replaceURL(const QUrl& from, const QUrl& to)
{
    const QString oldPath = TriageItem::standardizedPath(from);
    const QString newPath = TriageItem::standardizedPath(to);
    for (TriageItem& item : m_items) {
        if (TriageItem::standardizedPath(item.url) != oldPath)
            continue;
        item = TriageItem(to);
        indexRemove(oldPath);
        indexAdd(newPath);
        emit itemsChanged();
        emit triageQueueDidChange();
        return true;
    }
    if (m_pendingBacklog.replaceFirst(oldPath, newPath)) {
        emit pendingBacklogChanged();
        emit triageQueueDidChange();
        return true;
    }
    if (m_skippedPaths.remove(oldPath)) {
        m_skippedPaths.insert(newPath);
        // A rename keeps the file's inode: the skip still names the same file.
        m_skipIdentities.insert(newPath, m_skipIdentities.take(oldPath));
        saveSkipCache();
        emit skippedPathsChanged();
        emit triageQueueDidChange();
        return true;
    }
    return false;
}

bool TriageQueueManager::removeURL(const QUrl& url)
{
    const QString path = TriageItem::standardizedPath(url);
    const qsizetype removedItems = m_items.removeIf(
        [&path](const TriageItem& item) { return TriageItem::standardizedPath(item.url) == path; });
    const qsizetype removedBacklog = m_pendingBacklog.removeAll(path);
    const bool items = removedItems > 0;
    const bool backlog = removedBacklog > 0;
    if (!items && !backlog)
        return false;
    for (qsizetype i = 0; i < removedItems; ++i)
        indexRemove(path);
    if (items)
        emit itemsChanged();
    if (backlog)
        emit pendingBacklogChanged();
    emit triageQueueDidChange();
    return true;
}
