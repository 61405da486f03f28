#include "services/DownloadWatchSchedule.h"

DownloadWatchSchedule::DownloadWatchSchedule(const MonotonicClock& clock, double quietSeconds)
    : m_clock(clock), m_quietSeconds(quietSeconds)
{
}

void DownloadWatchSchedule::noteChange(const QString& item, bool arrived)
{
    auto it = m_pending.find(item);
    const bool isNew = it == m_pending.end();
    if (isNew)
        it = m_pending.insert(item, Pending{});
    it->token = m_nextToken++;
    it->arrived = it->arrived || arrived;
    it->lastChangeNs = m_clock.nowNs();
    if (!isNew && it->quiet) {
        m_quietOrder.splice(m_quietOrder.end(), m_quietOrder, it->order);
    } else {
        it->quiet = true;
        it->order = m_quietOrder.insert(m_quietOrder.end(), item);
    }
    counted();
}

void DownloadWatchSchedule::noteWriting(const QString& item, bool writing)
{
    const auto it = m_pending.find(item);
    if (it != m_pending.end())
        it->writing = writing;
}

bool DownloadWatchSchedule::closedAfterWriting(const QString& item) const
{
    const auto it = m_pending.constFind(item);
    return it != m_pending.constEnd() && !it->writing;
}

void DownloadWatchSchedule::drop(const QString& item)
{
    const auto it = m_pending.find(item);
    if (it == m_pending.end())
        return;
    if (it->quiet)
        m_quietOrder.erase(it->order);
    m_pending.erase(it);
    counted();
}

void DownloadWatchSchedule::clear()
{
    m_pending.clear();
    m_quietOrder.clear();
    m_samples.clear();
    m_retries.clear();
    m_busyRetries.clear();
    counted();
}

qint64 DownloadWatchSchedule::nextDeadlineNs() const
{
    qint64 next = -1;
    const auto consider = [&next](qint64 due) {
        if (next < 0 || due < next)
            next = due;
    };
    if (!m_quietOrder.empty())
        consider(m_pending.value(m_quietOrder.front()).lastChangeNs + quietNs());
    for (const std::deque<Step>* stage : {&m_samples, &m_retries, &m_busyRetries}) {
        if (!stage->empty())
            consider(stage->front().dueNs);
    }
    return next;
}

std::optional<DownloadWatchSchedule::Step> DownloadWatchSchedule::takeDue(qint64 nowNs)
{
    if (!m_quietOrder.empty()) {
        const auto it = m_pending.find(m_quietOrder.front());
        if (it->lastChangeNs + quietNs() <= nowNs) {
            it->quiet = false;
            m_quietOrder.pop_front();
            Step look;
            look.item = it.key();
            look.token = it->token;
            look.retriesLeft = completionRetries;
            look.dueNs = nowNs;
            return look;
        }
    }
    for (std::deque<Step>* stage : {&m_samples, &m_retries, &m_busyRetries}) {
        while (!stage->empty() && stage->front().dueNs <= nowNs) {
            Step step = std::move(stage->front());
            stage->pop_front();
            if (isCurrent(step))
                return step;
        }
    }
    return std::nullopt;
}

bool DownloadWatchSchedule::runDue(qint64 budgetNs, const std::function<void(const Step&)>& run)
{
    const qint64 end = m_clock.nowNs() + budgetNs;
    for (bool progressed = true; progressed;) {
        progressed = false;
        const qint64 now = m_clock.nowNs();
        while (const std::optional<Step> step = takeDue(now)) {
            run(*step);
            progressed = true;
            if (m_clock.nowNs() > end)
                return false;
        }
    }
    return true;
}

void DownloadWatchSchedule::sampleLater(const Step& look, qint64 sample, bool folder)
{
    Step verification = look;
    verification.kind = Step::Kind::Verify;
    verification.sample = sample;
    verification.folder = folder;
    later(m_samples, m_sampleIntervalMs, std::move(verification));
}

void DownloadWatchSchedule::lookAgainLater(const Step& look)
{
    if (look.retriesLeft < 1) {
        giveUp(look);
        return;
    }
    Step again{Step::Kind::Look, look.item, look.token, look.retriesLeft - 1, 0, true, 0};
    later(m_busyRetries, busyFolderRetryDelayMs, std::move(again));
}

bool DownloadWatchSchedule::conclude(const Step& verification, bool finished, bool* arrived)
{
    if (finished)
        return settle(verification, arrived);
    if (verification.retriesLeft < 1) {
        giveUp(verification); // never settled: dropped until its next change
        return false;
    }
    Step again{Step::Kind::Look,
               verification.item,
               verification.token,
               verification.retriesLeft - 1,
               0,
               false,
               0};
    later(m_retries, retryDelayMs, std::move(again));
    return false;
}

void DownloadWatchSchedule::giveUp(const Step& step)
{
    bool arrived = false;
    settle(step, &arrived);
}

bool DownloadWatchSchedule::isCurrent(const Step& step) const
{
    const auto it = m_pending.constFind(step.item);
    return it != m_pending.constEnd() && it->token == step.token && !it->quiet;
}

bool DownloadWatchSchedule::settle(const Step& step, bool* arrived)
{
    const auto it = m_pending.find(step.item);
    if (it == m_pending.end() || it->token != step.token || it->quiet)
        return false;
    *arrived = it->arrived;
    m_pending.erase(it);
    counted();
    return true;
}

void DownloadWatchSchedule::later(std::deque<Step>& stage, int delayMs, Step step)
{
    step.dueNs = m_clock.nowNs() + qint64(delayMs) * 1000000;
    stage.push_back(std::move(step));
}
