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
    static constexpr double quiet = 1.0;

    // Every step due now, in the order the schedule hands them out.
    QList<Step> due(Schedule& schedule)
    {
        QList<Step> steps;
        while (const std::optional<Step> step = schedule.takeDue(m_clock.nowNs()))
            steps.append(*step);
        return steps;
    }
    static QString items(const QList<Step>& steps)
    {
        QStringList names;
        for (const Step& step : steps)
            names.append(step.item);
        return names.join(QLatin1Char(','));
    }

private slots:
    // Each change restarts the item's quiet period; the items come due in the order of their
    // last change, and one deadline, the earliest, is all the owner has to wake up for.
    void quietPeriodRestartsAndOneDeadlineServesAll()
    {
        Schedule schedule(m_clock, quiet);
        const qint64 start = m_clock.nowNs();
        schedule.noteChange("a", true);
        m_clock.advance(100ms);
        schedule.noteChange("b");
        m_clock.advance(800ms);
        schedule.noteChange("a"); // a waits again from here, now after b
        QCOMPARE(schedule.nextDeadlineNs(), start + qint64(1.1e9));
        m_clock.advance(250ms);
        QCOMPARE(items(due(schedule)), QString("b"));
        QCOMPARE(schedule.nextDeadlineNs(), start + qint64(1.9e9));
        m_clock.advance(749ms);
        QVERIFY(due(schedule).isEmpty());
        m_clock.advance(1ms);
        const QList<Step> steps = due(schedule);
        QCOMPARE(items(steps), QString("a"));
        QCOMPARE(steps[0].kind, Step::Kind::Look);
        QCOMPARE(steps[0].retriesLeft, Schedule::completionRetries);
        QCOMPARE(schedule.pendingCount(), 2); // under check until concluded
        // The first change's arrival is kept through the later ones.
        bool arrived = false;
        QVERIFY(schedule.conclude(steps[0], true, &arrived));
        QVERIFY(arrived);
        QCOMPARE(schedule.pendingCount(), 1);
    }

    // A check that keeps finding the item unsettled samples it again after the sample
    // interval, looks again after the retry delay, and gives up when retries run out; a folder
    // still being filled is looked at again after its longer delay.
    void retriesWaitTheirDelaysAndRunOut()
    {
        Schedule schedule(m_clock, 0.0);
        schedule.noteChange("f");
        std::optional<Step> step = schedule.takeDue(m_clock.nowNs());
        QVERIFY(step);
        int verifications = 0;
        while (step) {
            QCOMPARE(step->kind, Step::Kind::Look);
            schedule.sampleLater(*step, 42, false);
            QCOMPARE(schedule.nextDeadlineNs(),
                     m_clock.nowNs() + qint64(Schedule::sampleIntervalMs) * 1000000);
            m_clock.advance(std::chrono::milliseconds(Schedule::sampleIntervalMs));
            const QList<Step> verify = due(schedule);
            QCOMPARE(verify.size(), 1);
            QCOMPARE(verify[0].kind, Step::Kind::Verify);
            QCOMPARE(verify[0].sample, qint64(42));
            ++verifications;
            bool arrived = false;
            QVERIFY(!schedule.conclude(verify[0], false, &arrived));
            if (schedule.pendingCount() == 0)
                break;
            m_clock.advance(std::chrono::milliseconds(Schedule::retryDelayMs - 1));
            QVERIFY(due(schedule).isEmpty());
            m_clock.advance(1ms);
            step = schedule.takeDue(m_clock.nowNs());
        }
        QCOMPARE(verifications, Schedule::completionRetries + 1);
        QCOMPARE(schedule.nextDeadlineNs(), qint64(-1));

        schedule.noteChange("dir");
        step = schedule.takeDue(m_clock.nowNs());
        int looks = 0;
        for (; step; ++looks) {
            schedule.lookAgainLater(*step);
            m_clock.advance(std::chrono::milliseconds(Schedule::busyFolderRetryDelayMs - 1));
            QVERIFY(due(schedule).isEmpty());
            m_clock.advance(1ms);
            step = schedule.takeDue(m_clock.nowNs());
        }
        QCOMPARE(looks, Schedule::completionRetries + 1);
        QCOMPARE(schedule.pendingCount(), 0);
    }

    // A change during a check supersedes it: the old check's steps are skipped and it can
    // report nothing; the item is checked afresh after its new quiet period.
    void changeSupersedesCheckUnderWay()
    {
        Schedule schedule(m_clock, quiet);
        schedule.noteChange("a");
        m_clock.advance(1s);
        const QList<Step> look = due(schedule);
        QCOMPARE(look.size(), 1);
        schedule.sampleLater(look[0], 7, false);
        schedule.noteChange("a");
        m_clock.advance(std::chrono::milliseconds(Schedule::sampleIntervalMs));
        QVERIFY(due(schedule).isEmpty());
        bool arrived = false;
        QVERIFY(!schedule.conclude(look[0], true, &arrived));
        QCOMPARE(schedule.pendingCount(), 1);
        m_clock.advance(1s);
        QCOMPARE(items(due(schedule)), QString("a"));
    }

    // Dropping an item, clearing the schedule and changing the quiet period take effect on
    // the items already waiting.
    void cancelAndQuietPeriodChange()
    {
        Schedule schedule(m_clock, quiet);
        for (const char* name : {"a", "b", "c"})
            schedule.noteChange(name);
        schedule.drop("b");
        QVERIFY(schedule.setQuietSeconds(0.5));
        QVERIFY(!schedule.setQuietSeconds(0.5));
        m_clock.advance(500ms);
        QCOMPARE(items(due(schedule)), QString("a,c"));
        schedule.sampleLater(Step{Step::Kind::Look, "a", 0, 1, 0, false, 0}, 1, false);
        schedule.noteChange("d");
        schedule.clear();
        QCOMPARE(schedule.pendingCount(), 0);
        QCOMPARE(schedule.nextDeadlineNs(), qint64(-1));
        m_clock.advance(10s);
        QVERIFY(due(schedule).isEmpty());
    }

    // Running what is due stops once the time budget is spent and leaves the rest due.
    void runDueKeepsToItsBudget()
    {
        Schedule schedule(m_clock, 0.0);
        for (int i = 0; i < 10; ++i)
            schedule.noteChange(QString::number(i));
        int ran = 0;
        const auto run = [&](const Step& step) {
            ++ran;
            schedule.giveUp(step);
            m_clock.advance(10ms);
        };
        QVERIFY(!schedule.runDue(qint64(25e6), run));
        QCOMPARE(ran, 3);
        QCOMPARE(schedule.pendingCount(), 7);
        QVERIFY(schedule.runDue(qint64(1e9), run));
        QCOMPARE(ran, 10);
        QCOMPARE(schedule.pendingCount(), 0);
    }
};

STOWBIRD_TEST_MAIN(TestDownloadWatchSchedule)
#include "TestDownloadWatchSchedule.moc"
