#pragma once

#include "models/AppError.h"
#include "models/TriageItem.h"
#include "services/FileExecutionEngine.h"

#include <QList>
#include <QUrl>
#include <QUuid>

#include <exception>
#include <functional>
#include <optional>

struct ActionJobControl;
struct ActionTicket;

// The worker's half of a triage file action: runs its operation and notes on the action's
// ticket how it ended (the undo record it pushed, or why it failed), so that an undo queued
// behind it knows what to undo. A group action runs its operation member after member, in
// order, under one group id; the first member that fails ends it (the engine leaves that
// one whole where it was), and so does a cancel between members. A job left behind notes
// nothing: its ticket was settled on the GUI thread when it was given up.
//
// Runs on the worker thread only; the GUI thread reads what it returns.
class FileActionRunner
{
public:
    // What an action on one item did: where it left the item, and the engine's record of it,
    // read right after it (a later undo may drop it from the engine).
    struct Filed
    {
        QUrl url;
        std::optional<ActionRecord> record;
    };
    // What a group action did.
    struct GroupFiled
    {
        QList<Filed> done; // the members moved, in order
        int failedAt = -1; // the member that failed (not when cancelled)
        AppError error;    // why it failed
        bool cancelled = false;
        // Given up while the member running was past its point of no return: that member's
        // outcome is not known here, and it is not put back.
        bool runningMemberLost = false;
    };
    using Operation = std::function<QUrl(const TriageItem&)>;

    // Runs operation and notes its outcome on ticket; its failure still goes on to the caller.
    static Filed runOne(FileExecutionEngine& engine, ActionTicket& ticket,
                        ActionJobControl& control, const std::function<QUrl()>& operation);
    // Runs operation on each member in order; memberDone(n) is called (while the job is not
    // left behind) once n members are done.
    static GroupFiled runGroup(FileExecutionEngine& engine, const QList<TriageItem>& members,
                               const QUuid& group, ActionTicket& ticket, ActionJobControl& control,
                               const Operation& operation,
                               const std::function<void(int)>& memberDone);

    // Whether an operation stopped because it was cancelled (nothing changed then).
    static bool isCancelled(const AppError& error);
    // A failure that is not a file operation's own, as one.
    static AppError errorOf(const std::exception& error);

private:
    // Runs one member; false when the group ends with it (failed or cancelled).
    static bool runMember(FileExecutionEngine& engine, const TriageItem& member, int index,
                          ActionTicket& ticket, ActionJobControl& control,
                          const Operation& operation, const std::function<void(int)>& memberDone,
                          GroupFiled& outcome);
    // Whether the series was asked to stop before its next member.
    static bool stopRequested(ActionJobControl& control);
    static bool isAbandoned(ActionJobControl& control);
};
