#pragma once

#include "models/CompactPathList.h"
#include "models/SkipList.h"
#include "models/TriageItem.h"
#include "services/ServiceLog.h"
#include "services/SkipListStore.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// The downloads waiting to be triaged, in arrival order: a working list of at most 50
// items (the head is what the HUD shows), an unbounded backlog of bare paths behind it, and
// the persistent set of paths the user skipped, each with the identity (device, inode, birth
// time) of the file that was skipped: the skip holds for that file however it is written to
// or touched, and a different file at a skipped path is a new download and is queued. Used on
// the GUI thread only.
class TriageQueueManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int maxBatchSize = 50;

    // skipCacheBaseURL is the folder that holds skipped_items.json and, beside it,
    // skipped_items_identity.json; the skip cache is read once, here.
    explicit TriageQueueManager(const QString& skipCacheBaseDirectory, QObject* parent = nullptr);
    // Waits for the skip list's last save.
    ~TriageQueueManager() override;

    // The skip list is written off the GUI thread (a save syncs the disk, which takes
    // milliseconds): waits until every save asked for so far has been written, or has failed
    // and been reported.
    void waitForSaves();

    // Where a failed save of the skip list is logged; standard error until given.
    void setLogger(LoggerService& logger) { m_log.setLogger(&logger); }

    const QList<TriageItem>& items() const { return m_items; }
    const QSet<QString>& skippedPaths() const { return m_skippedPaths; }
    // Standardised paths, oldest first, stored compactly (a hundred thousand waiting files
    // cost a few megabytes): a URL and an item are made only when the entry moves up into
    // the working list.
    const CompactPathList& pendingBacklog() const { return m_pendingBacklog; }
    QString skipCacheFilePath() const { return m_store.listFilePath(); }
    QString skipIdentityFilePath() const { return m_store.identityFilePath(); }

    std::optional<TriageItem> activeItem() const;
    bool isEmpty() const { return m_items.isEmpty() && m_pendingBacklog.isEmpty(); }
    qsizetype totalQueueDepth() const { return m_items.size() + m_pendingBacklog.size(); }

    // arrivedAnew: the file was just created at or renamed to its path (the watcher saw it
    // arrive), so a skip of that path, made for whatever was there before, no longer applies.
    void enqueue(const QUrl& url, bool arrivedAnew = false);
    void enqueueBatch(const QList<QUrl>& urls);
    // The same rules as enqueueBatch for standardised paths (a listing's), in order; each
    // signal is posted at most once for the whole call, and only on a real change.
    void enqueuePaths(const QList<QString>& paths);
    void skipCurrent();
    std::optional<TriageItem> dequeue();
    // Takes the items with these ids out of the working list in one change (the backlog
    // refills it) and returns them in the order of ids; ids not waiting are passed over.
    QList<TriageItem> takeItems(const QList<QUuid>& ids);
    void pushToFront(const TriageItem& item);
    void clearSkipCache();
    void pruneMissingFiles();
    // Drops the entries (items, backlog, skips) at those of candidates that are still
    // missing now: each is checked again here, so a file put back since it was found
    // missing stays. Paths with an action in flight are left alone. Signals only on change.
    void dropMissing(const QSet<QString>& candidates);
    // Drops what waits at path or inside it (a file deleted or moved away, or the whole
    // Downloads folder gone), and any skip recorded there. Posts the notification once, only
    // when something was dropped.
    void removePath(const QString& path);
    // Drops what waits directly inside folder but is not among presentPaths (a fresh listing
    // of it). Posts the notification once, only when something was dropped.
    void retainPresent(const QString& folder, const QSet<QString>& presentPaths);

    // Paths with a file action in flight: rescans do not queue them and prunes leave them
    // alone until the action ends. Counted, so that two actions on one path nest.
    void beginInFlight(const QUrl& url);
    void endInFlight(const QUrl& url);
    bool isInFlight(const QUrl& url) const;
    // Points the entry for from (an item, a backlog URL or a skipped path) at to, in place;
    // false when from is nowhere. An item gets a fresh snapshot of to.
    bool replaceURL(const QUrl& from, const QUrl& to);
    // Takes every entry for url out of the items and the backlog; false when there was none.
    bool removeURL(const QUrl& url);

signals:
    // Posted after every change, as the operations count them.
    void triageQueueDidChange();
    // Observable fields: each fires only when its value really changed.
    void itemsChanged();
    void skippedPathsChanged();
    void pendingBacklogChanged();
    // The skip list could not be saved (the file was left as it was); message says so for
    // the user, with the reason. The skips hold for this run.
    void saveFailed(const QString& message);

private:
    enum class Placed { Nowhere, Items, Backlog };
    // Returns true when the URL was accepted (appended to the items or the backlog).
    bool enqueueOne(const QUrl& url, bool arrivedAnew = false);
    // Where the standardised path went; url, when given, is the one the item keeps.
    Placed place(const QString& path, const QUrl* url, bool arrivedAnew);
    // True while path is skipped: the file there is still the one that was skipped (or
    // nothing is there). A skip whose file was replaced is forgotten (and the change saved
    // and announced).
    bool isStillSkipped(const QString& path);
    void forgetSkip(const QString& path);
    static SkipList::Identity identityOf(const QString& path);
    // Moves backlog URLs into the items while there is room; true when anything changed.
    bool refillFromBacklog(bool* itemsGrew);
    // After entries were taken out: saves the skip list when it changed, refills the items
    // from the backlog, and announces each changed field once, then the queue change.
    // Takes out the items whose standardised path matches; true when any was taken.
    bool removeItemsWhere(const std::function<bool(const QString&)>& matches);
    void announceRemovals(bool itemsDidChange, bool backlogDidChange, bool skipsDidChange);
    void saveSkipCache();
    void reportSaveFailure(const QString& error);
    void appendItem(const TriageItem& item);
    void indexAdd(const QString& path);
    void indexRemove(const QString& path);
    // True when an item or a backlog entry lies directly inside folder.
    bool hasEntriesIn(const QString& folder) const;

    ServiceLog m_log;
    // The skip list on disk, written off this thread.
    SkipListStore m_store;
    QList<TriageItem> m_items;
    QSet<QString> m_skippedPaths;
    QHash<QString, SkipList::Identity> m_skipIdentities; // same keys as m_skippedPaths
    CompactPathList m_pendingBacklog;

    // Standardised paths of the items, with their multiplicity, so the duplicate test of a
    // rescan costs a lookup rather than a scan (the backlog answers for itself).
    QHash<QString, int> m_itemPaths;
    QHash<QString, int> m_inFlightPaths;
    // Folders holding items, with their multiplicity, so that a removed folder is checked
    // for entries inside it with a lookup.
    QHash<QString, int> m_parentPaths;
};
