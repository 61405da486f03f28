#pragma once

#include "models/TriageItem.h"
#include "services/ActionUndoRunner.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

class ActionJobQueue;
struct ActionTicket;

// The undo history of the triage actions, in the order the user took the steps: file actions
// (by their ticket, so also while they wait or run) and skips. An undo claims the latest step
// no earlier undo claimed: an action still queued or running is undone at its turn, whatever
// its outcome; one that ended is undone by its record, and one that failed (nothing to undo)
// is passed over; a skip is taken back. Older actions than those kept here are still undone,
// in order, from the engine's own history.
class ActionUndoSteps
{
public:
    // One step: a file action (its ticket, and the item's paths its job held) or a skip (the
    // item skipped).
    struct Step
    {
        std::shared_ptr<ActionTicket> action;
        QList<QUrl> paths;
        std::optional<TriageItem> skipped;
        QUuid skipEntry = {}; // the history entry of the skip
        quint64 serial = 0;   // grows with every step remembered
    };
    // What an undo claimed.
    struct Claim
    {
        ActionUndoRunner::Target target;
        QList<QUrl> inFlight; // the paths the undo holds
        bool series = false;  // a group: undone member by member
        // The action claimed while it was queued or running ("the move of a.pdf to Documents").
        QString targetDescription;
        std::optional<TriageItem> skipped;
        QUuid skipEntry;
        quint64 stepSerial = 0; // of the last step taken
    };

    void remember(Step step);
    // Takes the latest steps until one leaves something to undo; a running or queued action
    // claimed is marked so in jobs. Nothing left: an empty claim (the engine's latest).
    Claim claim(ActionJobQueue& jobs);
    // A cancelled group undo leaves the rest of the group undoable, in the place its step had.
    void keepRest(const ActionUndoRunner::Outcome& outcome, quint64 stepSerial);

private:
    // Claims step; false when it leaves nothing to undo (a failed action).
    static bool claimStep(const Step& step, ActionJobQueue& jobs, Claim& claim);

    QList<Step> m_steps; // oldest first; claimed steps are taken out
    quint64 m_serial = 0;
};
