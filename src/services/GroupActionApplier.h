#pragma once

#include "models/StatusLine.h"
#include "services/FileActionRunner.h"

#include <QCoreApplication>

class ActionHistoryRecorder;
class LoggerService;
class TriageQueueManager;
struct ActionJob;

// The GUI thread's half of a group action (one key for a batch of look-alike items): applies
// what its job did. The members moved go into the history as one entry; those not moved are
// back at the head of the queue in their order (a member that left part of a folder behind,
// as it is now; one given up past its point of no return, not at all); the status line says
// how many moved, which failed and why, or that it was cancelled.
class GroupActionApplier
{
    Q_DECLARE_TR_FUNCTIONS(GroupActionApplier)

public:
    GroupActionApplier(TriageQueueManager& queue, LoggerService& logger,
                       ActionHistoryRecorder& history);

    StatusLine apply(const ActionJob& job, const FileActionRunner::GroupFiled& outcome);

private:
    // Puts the members not moved back at the head in their order; how many.
    qsizetype putBackRest(const ActionJob& job, const FileActionRunner::GroupFiled& outcome);

    TriageQueueManager& m_queue;
    LoggerService& m_logger;
    ActionHistoryRecorder& m_history;
};
