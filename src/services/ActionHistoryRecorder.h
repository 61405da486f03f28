#pragma once

#include "models/HistoryEntry.h"
#include "models/TriageItem.h"
#include "services/FileActionRunner.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

class HistoryStore;
class LoggerService;
struct ActionJob;

// Writes what the triage actions did into the lasting history, when there is one: a file
// action as the engine's record of it describes it, a group as one entry with its members, a
// skip; each with the host the item was downloaded from, also when that host was found only
// after the item was queued (noteOriginHost). The store writes off this thread, so recording
// costs the key path nothing.
class ActionHistoryRecorder
{
public:
    // history: none, nothing is recorded.
    ActionHistoryRecorder(HistoryStore* history, LoggerService& logger);

    void record(const HistoryEntry& entry);
    // The succeeded file action of job (nothing for a job the history does not record).
    void recordAction(const ActionJob& job, const std::optional<ActionRecord>& engineRecord);
    // A group job's members that moved, as one entry with the group's id.
    void recordGroup(const ActionJob& job, const QList<FileActionRunner::Filed>& done);
    // A skip of item; the id of its entry.
    QUuid recordSkip(const TriageItem& item);

    void noteOriginHost(const QUuid& itemId, const QString& host);
    QString originHostOf(const TriageItem& item) const;

private:
    HistoryStore* m_history;
    LoggerService& m_logger;
    // Hosts found for queued items after they were made, by item id.
    QHash<QUuid, QString> m_originHosts;
};
