#include "services/LookAlikeService.h"

#include "platform/BackgroundTask.h"
#include "services/TriageQueueManager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSet>

LookAlikeService::LookAlikeService(TriageQueueManager* queue, QObject* parent)
    : QObject(parent), m_queue(queue)
{
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
    m_pool.setObjectName(QStringLiteral("com.stowbird.lookalike"));
    if (!queue)
        return;
    connect(queue, &TriageQueueManager::itemsChanged, this, [this] {
        if (!m_queue)
            return;
        const QList<TriageItem>& items = m_queue->items();
        if (!m_hosts.isEmpty()) {
            QSet<QUuid> waiting;
            for (const TriageItem& item : items)
                waiting.insert(item.id);
            m_hosts.removeIf([&waiting](QHash<QUuid, QString>::iterator entry) {
                return !waiting.contains(entry.key());
            });
        }
        regroup(items);
    });
    regroup(queue->items());
}

LookAlikeService::~LookAlikeService()
{
    m_pool.waitForDone();
}

LookAlikeGrouper::Candidate LookAlikeService::candidateFor(const TriageItem& item,
                                                           const QString& hostOverride)
{
    LookAlikeGrouper::Candidate candidate;
    candidate.id = item.id;
    candidate.filename = item.filename;
    candidate.originHost = hostOverride.isEmpty() ? item.originHost : hostOverride;
    // Generic data says nothing about what the file is; its extension does.
    if (item.uti.isValid() && item.uti.name() != QLatin1String("application/octet-stream"))
        candidate.kind = item.uti.name();
    else
        candidate.kind = item.fileExtension;
    candidate.arrived = item.creationDate;
    return candidate;
}

void LookAlikeService::regroup(const QList<TriageItem>& waiting)
{
    const quint64 request = ++m_latestRequest;
    // The list is shared, not copied: the queue's next change detaches its own.
    BackgroundTask::run(
        m_pool,
        [this, request, waiting, hosts = m_hosts]() -> std::shared_ptr<const Grouping> {
            if (request != m_latestRequest.load())
                return nullptr; // a newer request holds all of this one
            QList<LookAlikeGrouper::Candidate> candidates;
            candidates.reserve(waiting.size());
            for (const TriageItem& item : waiting)
                candidates.append(candidateFor(item, hosts.value(item.id)));
            auto grouping = std::make_shared<Grouping>();
            grouping->groups = LookAlikeGrouper::group(candidates);
            for (qsizetype g = 0; g < grouping->groups.size(); ++g) {
                for (const QUuid& id : std::as_const(grouping->groups[g]))
                    grouping->index.insert(id, g);
            }
            return grouping;
        },
        this,
        [this, request](std::shared_ptr<const Grouping> grouping) {
            if (grouping)
                apply(request, std::move(grouping));
        });
}

void LookAlikeService::apply(quint64 request, std::shared_ptr<const Grouping> grouping)
{
    // A result overtaken by a later request is stale: that request's result follows.
    if (request != m_latestRequest.load() || grouping->groups == m_grouping->groups)
        return;
    m_grouping = std::move(grouping);
    emit changed();
}

QList<QUuid> LookAlikeService::groupOf(const QUuid& itemId) const
{
    const auto found = m_grouping->index.constFind(itemId);
    return found == m_grouping->index.constEnd() ? QList<QUuid>()
                                                 : m_grouping->groups[found.value()];
}

QList<TriageItem> LookAlikeService::groupItems(const QUuid& itemId) const
{
    const QList<QUuid> members = groupOf(itemId);
    if (members.isEmpty() || !m_queue)
        return {};
    const QSet<QUuid> memberIds(members.cbegin(), members.cend());
    QList<TriageItem> items;
    for (const TriageItem& item : m_queue->items()) {
        if (memberIds.contains(item.id))
            items.append(item);
    }
    return items.size() < 2 ? QList<TriageItem>() : items;
}

void LookAlikeService::noteOriginHost(const QUuid& itemId, const QString& host)
{
    if (m_hosts.value(itemId) == host)
        return;
    if (host.isEmpty())
        m_hosts.remove(itemId);
    else
        m_hosts.insert(itemId, host);
    if (m_queue)
        regroup(m_queue->items());
}

void LookAlikeService::waitForIdle()
{
    m_pool.waitForDone();
    // The result is applied from this thread's event loop: deliver what is waiting.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}
