#include "services/ActionHistoryRecorder.h"

#include "services/ActionJob.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"

#include <QDir>

ActionHistoryRecorder::ActionHistoryRecorder(HistoryStore* history, LoggerService& logger)
    : m_history(history), m_logger(logger)
{
}

void ActionHistoryRecorder::record(const HistoryEntry& entry)
{
    if (m_history)
        m_history->record(entry);
}

void ActionHistoryRecorder::recordAction(const ActionJob& job,
                                         const std::optional<ActionRecord>& engineRecord)
{
    if (!m_history || job.historyAction == HistoryEntry::Action::Skipped)
        return;
    if (!engineRecord) {
        // The engine keeps a record of every action that succeeded; without one there is
        // nothing reliable to write.
        m_logger.error(
            QStringLiteral("History: no record of action '%1'; not recorded").arg(job.name));
        return;
    }
    record(HistoryEntry::fromActionRecord(*engineRecord, job.historyAction, job.slot,
                                          originHostOf(engineRecord->item)));
}

void ActionHistoryRecorder::recordGroup(const ActionJob& job,
                                        const QList<FileActionRunner::Filed>& done)
{
    if (!m_history || done.isEmpty())
        return;
    QList<HistoryEntry> entries;
    for (const FileActionRunner::Filed& filed : done) {
        if (!filed.record) {
            m_logger.error(
                QStringLiteral("History: no record of a member of action '%1'; not recorded")
                    .arg(job.name));
            continue;
        }
        entries.append(HistoryEntry::fromActionRecord(*filed.record, job.historyAction, job.slot,
                                                      originHostOf(filed.record->item)));
    }
    if (entries.isEmpty())
        return;
    HistoryEntry entry = HistoryEntry::group(entries);
    entry.id = job.ticket->group; // what an undo of the group names
    record(entry);
}

QUuid ActionHistoryRecorder::recordSkip(const TriageItem& item)
{
    HistoryEntry entry;
    entry.action = HistoryEntry::Action::Skipped;
    entry.itemName = item.filename;
    entry.kind =
        HistoryEntry::kindOf(item.uti.isValid() ? item.uti.name() : QString(), item.fileExtension);
    entry.size = item.sizeBytes;
    entry.fromPath = QDir::cleanPath(item.path());
    entry.originHost = originHostOf(item);
    record(entry);
    return entry.id;
}

void ActionHistoryRecorder::noteOriginHost(const QUuid& itemId, const QString& host)
{
    if (host.isEmpty())
        return;
    // Only the items still waiting need theirs; a bound keeps a long session small.
    if (m_originHosts.size() >= 1000)
        m_originHosts.clear();
    m_originHosts.insert(itemId, host);
}

QString ActionHistoryRecorder::originHostOf(const TriageItem& item) const
{
    return item.originHost.isEmpty() ? m_originHosts.value(item.id) : item.originHost;
}
