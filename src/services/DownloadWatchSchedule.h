#pragma once

#include "platform/MonotonicClock.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <list>
#include <optional>

// When each item of a watched folder is looked at. Every change to an item restarts its
// quiet period; once the period has passed the item is looked at, sampled again after
// sampleIntervalMs, and looked at again after a delay while it keeps changing, a few times
// at most. All times are read from the clock; the schedule keeps no timer and no thread:
// its owner asks for the one deadline it must wake up at and takes the steps then due.
// Used from one thread at a time; pendingCount() and the quiet period from any thread.
class DownloadWatchSchedule
{
public:
    static constexpr int sampleIntervalMs = 300;
    static constexpr int retryDelayMs = 500;
    static constexpr int busyFolderRetryDelayMs = 1000;
    static constexpr int completionRetries = 3;

    // A step due for an item: a look (its first sample, or a look again after a retry delay)
    // or the verification that compares its second sample with the first.
    struct Step
    {
        enum class Kind : quint8 { Look, Verify };
        Kind kind = Kind::Look;
        QString item;
        quint64 token = 0; // the item's change the step belongs to
        int retriesLeft = 0;
        qint64 sample = 0; // first size (file) or child count (folder), for a verification
        bool folder = false;
        qint64 dueNs = 0;
    };

    DownloadWatchSchedule(const MonotonicClock& clock, double quietSeconds);

    // Replaces sampleIntervalMs (tests take a short one). Before the first change only.
    void setSampleIntervalMs(int ms) { m_sampleIntervalMs = ms; }

    double quietSeconds() const { return m_quietSeconds.load(); }
    // Applies to the items already waiting too, counted from their last change. False when
    // the period was already this.
    bool setQuietSeconds(double seconds) { return m_quietSeconds.exchange(seconds) != seconds; }

    // The item changed: its quiet period starts again and any check under way for it is
    // superseded, so that it is reported once, after its last change. arrived marks an item
    // created at or moved to its path.
    void noteChange(const QString& item, bool arrived = false);
    // A writer wrote to the item (true) or closed it after writing (false).
    void noteWriting(const QString& item, bool writing);
    // True while the item waits and no write has come since a writer last closed it.
    bool closedAfterWriting(const QString& item) const;
    // Forgets the item, or everything; steps already scheduled for it are skipped.
    void drop(const QString& item);
    void clear();
    int pendingCount() const { return m_count.load(); }

    // The earliest time at which a step falls due; -1 when nothing waits.
    qint64 nextDeadlineNs() const;
    // The next step due at nowNs, or none: quiet periods that have ended first, then second
    // samples, then looks again. Steps of a superseded or dropped change are skipped.
    std::optional<Step> takeDue(qint64 nowNs);
    // Takes the steps due and runs each, until none is due any more (true) or budgetNs has
    // passed (false: the rest is left for a later call).
    bool runDue(qint64 budgetNs, const std::function<void(const Step&)>& run);

    // What a step found. A look found the item to sample; its verification is due after
    // sampleIntervalMs.
    void sampleLater(const Step& look, qint64 sample, bool folder);
    // A look found a folder still being filled: it is looked at again after
    // busyFolderRetryDelayMs while retries remain, else dropped until its next change.
    void lookAgainLater(const Step& look);
    // A verification found the item settled (finished) or not. Unsettled, it is looked at
    // again after retryDelayMs while retries remain, else dropped until its next change.
    // True when the item is to be reported; *arrived then tells whether it arrived anew.
    bool conclude(const Step& verification, bool finished, bool* arrived);
    // The item is not to be reported (gone, or not a download): dropped until its next change.
    void giveUp(const Step& step);

private:
    struct Pending
    {
        quint64 token = 0;
        bool quiet = true;    // in its quiet period; false once checks run
        bool arrived = false; // created or moved in since the last report
        bool writing = false; // written to since a writer last closed it
        qint64 lastChangeNs = 0;
        std::list<QString>::iterator order; // its place in m_quietOrder while quiet
    };

    qint64 quietNs() const { return qint64(m_quietSeconds.load() * 1e9); }
    bool isCurrent(const Step& step) const;
    // Ends the step's change; true (with *arrived) when it was still the item's current one.
    bool settle(const Step& step, bool* arrived);
    void later(std::deque<Step>& stage, int delayMs, Step step);
    void counted() { m_count.store(int(m_pending.size())); }

    const MonotonicClock& m_clock;
    std::atomic<double> m_quietSeconds;
    int m_sampleIntervalMs = sampleIntervalMs;
    std::atomic<int> m_count = 0;
    QHash<QString, Pending> m_pending;
    quint64 m_nextToken = 1;
    // Every change of an item moves it to the back of m_quietOrder, so the list is ordered
    // by last change and, the quiet period being the same for all, by deadline. Each stage
    // has one fixed delay, so it is in deadline order by construction: the cost of a change
    // or a step does not grow with the number of items waiting.
    std::list<QString> m_quietOrder;
    std::deque<Step> m_samples;     // sampleIntervalMs after a first sample
    std::deque<Step> m_retries;     // retryDelayMs after a failed verification
    std::deque<Step> m_busyRetries; // busyFolderRetryDelayMs after a busy folder
};
