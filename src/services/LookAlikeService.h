#pragma once

#include "models/LookAlikeGrouper.h"
#include "models/TriageItem.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QUuid>

#include <atomic>
#include <memory>

class TriageQueueManager;

// The look-alike groups among the queue's waiting items (see LookAlikeGrouper for the rules),
// kept up to date as the queue changes. Grouping runs on a thread of its own: each change
// hands a snapshot of the items over, a newer request overtakes one not yet started, and a
// result overtaken while it ran is dropped. Used on the GUI thread only.
class LookAlikeService : public QObject
{
    Q_OBJECT
public:
    // queue may be null (nothing is grouped until regroup() is called).
    explicit LookAlikeService(TriageQueueManager* queue, QObject* parent = nullptr);
    // Waits for the grouping under way.
    ~LookAlikeService() override;

    // The group itemId is in, as the last finished grouping found it: its members' ids in
    // queue order, itemId among them; empty when the item is alone or unknown.
    QList<QUuid> groupOf(const QUuid& itemId) const;
    // The same group as the items waiting in the queue now, in queue order: members that
    // left since are skipped, and nothing is returned when fewer than two remain.
    QList<TriageItem> groupItems(const QUuid& itemId) const;
    // The host an item came from, when it is learned after the item was queued (the
    // browser's metadata); it counts instead of the item's own. Regroups.
    void noteOriginHost(const QUuid& itemId, const QString& host);

    // Groups waiting (items head first) off the GUI thread. Called on every change of the
    // queue's items; benchmarks call it with more items than the queue's working list holds.
    void regroup(const QList<TriageItem>& waiting);

    // Until the groupings asked for so far have finished and their results are applied.
    void waitForIdle();

    // What the grouper is given for item: its host (hostOverride when not empty), its kind
    // (the content type, or the extension when the type says nothing) and its arrival time.
    static LookAlikeGrouper::Candidate candidateFor(const TriageItem& item,
                                                    const QString& hostOverride = {});

signals:
    // The groups changed (not sent when a regrouping found the same groups).
    void changed();

private:
    // One grouping's result, indexed on the grouping thread so that taking it in costs the
    // GUI thread a comparison and a swap.
    struct Grouping
    {
        QList<QList<QUuid>> groups;
        // Which of groups each grouped item is in.
        QHash<QUuid, qsizetype> index;
    };

    void apply(quint64 request, std::shared_ptr<const Grouping> grouping);

    QPointer<TriageQueueManager> m_queue;
    QThreadPool m_pool;
    std::atomic<quint64> m_latestRequest{0};
    QHash<QUuid, QString> m_hosts;
    std::shared_ptr<const Grouping> m_grouping = std::make_shared<const Grouping>();
};
