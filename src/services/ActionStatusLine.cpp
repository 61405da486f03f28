#include "services/ActionStatusLine.h"

#include "platform/MonotonicClock.h"
#include "services/ActionJobQueue.h"

#include <algorithm>

ActionStatusLine::ActionStatusLine(const ActionJobQueue& jobs, const MonotonicClock& clock,
                                   int infoMs, int errorMs, QObject* parent)
    : QObject(parent), m_jobs(jobs), m_clock(clock), m_infoMs(infoMs), m_errorMs(errorMs)
{
}

void ActionStatusLine::setDurations(int infoMs, int errorMs)
{
    m_infoMs = infoMs;
    m_errorMs = errorMs;
}

void ActionStatusLine::show(const QString& text, StatusLine::Kind kind)
{
    m_outcome = StatusLine{text, kind};
    const quint64 serial = ++m_serial;
    m_clock.callAfter(kind == StatusLine::Kind::Error ? m_errorMs : m_infoMs, this, [this, serial] {
        if (serial != m_serial || !m_outcome)
            return;
        m_outcome.reset();
        emit changed();
    });
    emit changed();
}

void ActionStatusLine::clear()
{
    ++m_serial;
    if (m_outcome) {
        m_outcome.reset();
        emit changed();
    }
}

void ActionStatusLine::setQuitPending(bool pending)
{
    if (m_quitPending == pending)
        return;
    m_quitPending = pending;
    emit changed();
}

std::optional<StatusLine> ActionStatusLine::current() const
{
    const ActionJob* running = m_jobs.running();
    if (m_quitPending && running)
        return StatusLine{tr("Quitting: cancelling %1…").arg(running->describeOrRunning()),
                          StatusLine::Kind::Progress};
    if (running && running->stalled && !running->cancelling)
        return StatusLine{
            tr("%1 is not responding — press C to cancel").arg(running->runningText()),
            StatusLine::Kind::Error};
    if (m_outcome)
        return m_outcome;
    const QList<ActionJob>& jobs = m_jobs.jobs();
    const bool late =
        std::any_of(jobs.cbegin(), jobs.cend(), [](const ActionJob& job) { return job.late; });
    if (!running || !late)
        return std::nullopt;
    QString text = running->progressText();
    const qsizetype waiting =
        std::count_if(jobs.cbegin() + 1, jobs.cend(), [](const ActionJob& job) {
            return job.kind != ActionJob::Kind::Maintenance;
        });
    if (waiting > 0)
        text = tr("%1 — %n more waiting", nullptr, int(waiting)).arg(text);
    return StatusLine{text, StatusLine::Kind::Progress};
}
