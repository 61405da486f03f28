#include "services/ActionUndoSteps.h"

#include "services/ActionJobQueue.h"
#include "services/ActionTicket.h"
#include "services/FileExecutionEngine.h"

#include <algorithm>

void ActionUndoSteps::remember(Step step)
{
    step.serial = ++m_serial;
    m_steps.append(std::move(step));
    // Older file actions are still undone, in order, from the engine's own history once the
    // steps kept here are used up.
    while (m_steps.size() > FileExecutionEngine::maxUndoHistory)
        m_steps.removeFirst();
}

ActionUndoSteps::Claim ActionUndoSteps::claim(ActionJobQueue& jobs)
{
    Claim claim;
    while (!m_steps.isEmpty()) {
        if (claimStep(m_steps.takeLast(), jobs, claim))
            break;
    }
    return claim;
}

bool ActionUndoSteps::claimStep(const Step& step, ActionJobQueue& jobs, Claim& claim)
{
    claim.stepSerial = step.serial;
    if (step.skipped) {
        claim.skipped = step.skipped;
        claim.skipEntry = step.skipEntry;
        claim.target.skippedPath = step.skipped->url.toLocalFile();
        claim.inFlight = {step.skipped->url};
        return true;
    }
    if (ActionJob* running = jobs.findByTicket(step.action)) {
        // Undone at its turn, whatever its outcome.
        running->undoClaimed = true;
        claim.target.action = step.action;
        claim.targetDescription = running->describe();
        claim.inFlight = step.paths;
        claim.series = step.action->isGroup();
        return true;
    }
    const ActionTicket& ended = *step.action;
    if (ended.isGroup() && !ended.memberRecords.isEmpty()) {
        claim.target.group = ended.group;
        claim.target.groupRecords = ended.memberRecords;
        claim.inFlight = step.paths + ended.memberPlaced;
        claim.series = true;
        return true;
    }
    if (!ended.isGroup() && ended.succeeded && !ended.recordId.isNull()) {
        claim.target.recordId = ended.recordId;
        claim.inFlight = step.paths;
        claim.inFlight.append(ended.placed);
        return true;
    }
    return false; // it failed: nothing of it to undo
}

void ActionUndoSteps::keepRest(const ActionUndoRunner::Outcome& outcome, quint64 stepSerial)
{
    if (!outcome.cancelled || outcome.remaining.isEmpty())
        return;
    auto rest = std::make_shared<ActionTicket>();
    rest->succeeded = true;
    rest->group = outcome.group;
    rest->memberRecords = outcome.remaining;
    rest->memberPlaced = outcome.remainingPlaced;
    const auto later = std::find_if(m_steps.begin(), m_steps.end(),
                                    [&](const Step& kept) { return kept.serial > stepSerial; });
    m_steps.insert(later, Step{rest, {}, std::nullopt, {}, stepSerial});
}
