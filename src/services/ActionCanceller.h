#pragma once

#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "services/ActionJob.h"

#include <QObject>
#include <QUuid>

#include <functional>

class ActionJobQueue;
class ActionStatusLine;
class GroupActionApplier;
class LoggerService;
class MonotonicClock;
class TriageQueueManager;

// Cancelling the triage actions. A job still waiting is taken out before it starts and its
// items are back at the head of the queue. The running one is asked to stop: a copy onto
// another file system stops at its next chunk (past its point of no return it goes on), a
// series (a group action, its undo) stops before its next member. One that has not stopped
// within the abandon delay (a destination that does not answer) is left behind on its thread,
// so that the jobs behind it go on: its item is back unless the move had begun to remove the
// original, and a group's members moved by then stay moved. Each step is logged and said in
// the status line.
//
// Ending a job (its paths leave the in-flight set) and telling the window that one ended stay
// with the owner (TriageActionController), which hands them in as hooks.
class ActionCanceller : public QObject
{
    Q_OBJECT
public:
    struct Dependencies
    {
        ActionJobQueue& jobs;
        TriageQueueManager& queue;
        LoggerService& logger;
        ActionStatusLine& status;
        GroupActionApplier& groups;
        // Times the abandon delay.
        const MonotonicClock& clock;
        // Takes the job with an id out of the jobs once it ended or is given up.
        std::function<ActionJob(const QUuid&)> finishJob;
        // After a job was taken out: the window redraws, and idle once nothing is left.
        std::function<void()> settle;
    };

    ActionCanceller(Dependencies dependencies, int abandonMs, QObject* parent = nullptr);

    void setAbandonDelay(int ms) { m_abandonMs = ms; }

    // Cancels the running action; with none, the status line says so.
    void cancelRunning();
    // Cancels the action with id: the running one, or one still waiting (taken out, its item
    // put back). False when there is no such action.
    bool cancel(const QUuid& id);
    // Cancels the running action and takes out every one still waiting.
    void cancelAll();

private:
    // Takes out a job that has not started and puts its items back; false once it started.
    bool dropWaiting(const QUuid& id);
    // Leaves the job id behind on its thread unless it ended meanwhile.
    void abandon(const QUuid& id);
    void putBack(const TriageItem& item);
    void showStatus(const QString& text, StatusLine::Kind kind = StatusLine::Kind::Info);

    Dependencies m_deps;
    int m_abandonMs;
};
