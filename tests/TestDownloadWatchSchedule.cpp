#include "TestEnvironment.h"
#include "fakes/ManualClock.h"
#include "services/DownloadWatchSchedule.h"

#include <QTest>

#include <chrono>

using namespace std::chrono_literals;
using Schedule = DownloadWatchSchedule;
using Step = DownloadWatchSchedule::Step;

// The schedule alone, on a clock the test moves: no folder, no thread, no timer.
class TestDownloadWatchSchedule : public QObject
{
    Q_OBJECT

    ManualClock m_clock;

    // The items of the steps due now, in the order the schedule hands them out.
    QStringList due(Schedule& schedule, QList<Step>* steps = nullptr)
    {
        QStringList items;
        while (const std::optional<Step> step = schedule.takeDue(m_clock.nowNs())) {
            items.append(step->item);
            if (steps)
                steps->append(*step);
        }
        return items;
    }
    void advanceMs(int ms) { m_clock.advance(std::chrono::milliseconds(ms)); }

private slots:
    // Each change restarts the item's quiet period; items come due in the order of their last
    // change, and the earliest deadline is the one the owner has to wake up for.
    void quietPeriodRestartsAndOneDeadlineServesAll()
    {
        Schedule schedule(m_clock, 1.0);
        const qint64 start = m_clock.nowNs();
        schedule.noteChange("a", true);
        advanceMs(100);
        schedule.noteChange("b");
        advanceMs(800);
        schedule.noteChange("a"); // waits again from here, now after b
        QCOMPARE(schedule.nextDeadlineNs(), start + qint64(1.1e9));
        advanceMs(250);
        QCOMPARE(due(schedule), QStringList{"b"});
        QCOMPARE(schedule.nextDeadlineNs(), start + qint64(1.9e9));
        advanceMs(749);
        QVERIFY(due(schedule).isEmpty());
        advanceMs(1);
        QList<Step> steps;
        QCOMPARE(due(schedule, &steps), QStringList{"a"});
        QCOMPARE(steps[0].retriesLeft, Schedule::completionRetries);
        bool arrived = false; // the first change's arrival outlives the later changes
        QVERIFY(schedule.conclude(steps[0], true, &arrived) && arrived);
        QCOMPARE(schedule.pendingCount(), 1);
    }

    // An item that stays unsettled is sampled again after the sample interval and looked at
    // again after the retry delay (a busy folder after its own), until retries run out.
    void retriesWaitTheirDelaysAndRunOut()
    {
        Schedule schedule(m_clock, 0.0);
        schedule.noteChange("f");
        QList<Step> steps;
        int checks = 0;
        for (due(schedule, &steps); !steps.isEmpty(); ++checks) {
            schedule.sampleLater(steps.takeFirst(), 42, false);
            advanceMs(Schedule::sampleIntervalMs);
            QCOMPARE(due(schedule, &steps), QStringList{"f"});
            const Step verification = steps.takeFirst();
            QCOMPARE(verification.sample, qint64(42));
            bool arrived = false;
            QVERIFY(!schedule.conclude(verification, false, &arrived));
            advanceMs(Schedule::retryDelayMs - 1);
            QVERIFY(due(schedule).isEmpty());
            advanceMs(1);
            due(schedule, &steps);
        }
        QCOMPARE(checks, Schedule::completionRetries + 1);

        schedule.noteChange("dir");
        int looks = 0;
        for (due(schedule, &steps); !steps.isEmpty(); ++looks) {
            schedule.lookAgainLater(steps.takeFirst());
            advanceMs(Schedule::busyFolderRetryDelayMs - 1);
            QVERIFY(due(schedule).isEmpty());
            advanceMs(1);
            due(schedule, &steps);
        }
        QCOMPARE(looks, Schedule::completionRetries + 1);
        QCOMPARE(schedule.pendingCount(), 0);
        QCOMPARE(schedule.nextDeadlineNs(), qint64(-1));
    }

    // A change during a check supersedes it: its steps are skipped and it can report nothing.
    void changeSupersedesCheckUnderWay()
    {
        Schedule schedule(m_clock, 1.0);
        schedule.noteChange("a");
        advanceMs(1000);
        QList<Step> look;
        due(schedule, &look);
        schedule.sampleLater(look.value(0), 7, false);
        schedule.noteChange("a");
        advanceMs(Schedule::sampleIntervalMs);
        QVERIFY(due(schedule).isEmpty());
        bool arrived = false;
        QVERIFY(!schedule.conclude(look.value(0), true, &arrived));
        advanceMs(1000);
        QCOMPARE(due(schedule), QStringList{"a"});
    }

    // Dropping, clearing and a new quiet period apply to the items already waiting.
    void cancelAndQuietPeriodChange()
    {
        Schedule schedule(m_clock, 1.0);
        for (const char* name : {"a", "b", "c"})
            schedule.noteChange(name);
        schedule.drop("b");
        QVERIFY(schedule.setQuietSeconds(0.5));
        advanceMs(500);
        QList<Step> looks;
        QCOMPARE(due(schedule, &looks), (QStringList{"a", "c"}));
        schedule.sampleLater(looks[0], 1, false);
        schedule.noteChange("d");
        schedule.clear();
        QCOMPARE(schedule.pendingCount(), 0);
        QCOMPARE(schedule.nextDeadlineNs(), qint64(-1));
    }

    // Running what is due stops once the time budget is spent and leaves the rest due.
    void runDueKeepsToItsBudget()
    {
        Schedule schedule(m_clock, 0.0);
        for (int i = 0; i < 10; ++i)
            schedule.noteChange(QString::number(i));
        const auto run = [&](const Step& step) {
            schedule.giveUp(step);
            advanceMs(10);
        };
        QVERIFY(!schedule.runDue(qint64(25e6), run));
        QCOMPARE(schedule.pendingCount(), 7);
        QVERIFY(schedule.runDue(qint64(1e9), run));
        QCOMPARE(schedule.pendingCount(), 0);
    }
};

STOWBIRD_TEST_MAIN(TestDownloadWatchSchedule)
#include "TestDownloadWatchSchedule.moc"
