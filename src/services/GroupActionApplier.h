#pragma once

#include "models/StatusLine.h"
#include "services/FileActionRunner.h"

#include <QCoreApplication>

class ActionHistoryRecorder;
class FileExecutionEngine;
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
    // engine: whose records of the members moved a job that ended early still has.
    GroupActionApplier(TriageQueueManager& queue, FileExecutionEngine& engine,
                       LoggerService& logger, ActionHistoryRecorder& history);

    StatusLine apply(const ActionJob& job, const FileActionRunner::GroupFiled& outcome);
    // A job that threw rather than failing on a member: the members its ticket notes as moved
    // stay moved, the rest are back, and error is reported as the next member's failure.
    StatusLine applyThrown(const ActionJob& job, const AppError& error);
    // A job left behind on its thread after its cancel: the members it had moved by then
    // (records and places as its ticket noted them when it was given up) stay moved; the one
    // running is back unless runningMemberLost (it had begun to be removed), and so are the
    // rest.
    StatusLine applyLeftBehind(const ActionJob& job, const QList<QUuid>& records,
                               const QList<QUrl>& placed, bool runningMemberLost);

private:
    // The members moved, as the engine recorded them.
    QList<FileActionRunner::Filed> doneOf(const QList<QUuid>& records,
                                          const QList<QUrl>& placed) const;
    // Puts the members not moved back at the head in their order; how many.
    qsizetype putBackRest(const ActionJob& job, const FileActionRunner::GroupFiled& outcome);

    TriageQueueManager& m_queue;
    FileExecutionEngine& m_engine;
    LoggerService& m_logger;
    ActionHistoryRecorder& m_history;
};
