#include "app/LaunchGate.h"
#include "fakes/ManualClock.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A gate and the two releases it has made so far.
struct WatchedGate
{
    explicit WatchedGate(const MonotonicClock& clock,
                         int listingWaitMs = LaunchGate::defaultListingWaitMs)
        : gate(clock, listingWaitMs)
    {
    }
    LaunchGate gate;
    QSignalSpy listing{&gate, &LaunchGate::listingMayStart};
    QSignalSpy rest{&gate, &LaunchGate::restMayFollow};
};

} // namespace

// At a launch straight to the window, the first listing and the rest of the launch wait for
// the first item on screen, and never for long.
class TestLaunchGate : public QObject
{
    Q_OBJECT

private slots:
    // With an item found, the listing waits for its preview as well as for the first frame;
    // the rest of the launch follows the preview.
    void aFoundItemIsPreviewedBeforeTheListingAndTheRest()
    {
        ManualClock clock;
        WatchedGate g(clock);
        g.gate.noteFirstLook(true);
        g.gate.noteFirstFrame();
        g.gate.noteListingDone(false);
        QCOMPARE(g.listing.count(), 0);
        QCOMPARE(g.rest.count(), 0);
        // After the window's repaint, which waits as a posted event.
        g.gate.noteFirstPreview();
        QCOMPARE(g.listing.count(), 0);
        QCoreApplication::sendPostedEvents(&g.gate);
        QCOMPARE(g.listing.count(), 1);
        QCOMPARE(g.rest.count(), 1);
        // Once each, whatever follows.
        g.gate.noteFirstPreview();
        QCoreApplication::sendPostedEvents(&g.gate);
        g.gate.noteWindowClosed();
        clock.advance(std::chrono::milliseconds(LaunchGate::restWaitMs));
        QCOMPARE(g.listing.count(), 1);
        QCOMPARE(g.rest.count(), 1);
    }

    // Nothing to preview: the listing starts with the first frame, the rest once the listing
    // finds nothing either, or after restWaitMs on the clock at the latest.
    void nothingToPreviewHoldsNothingBack()
    {
        ManualClock clock;
        WatchedGate g(clock);
        g.gate.noteFirstLook(false);
        QCOMPARE(g.listing.count(), 0); // the frame first
        g.gate.noteFirstFrame();
        QCOMPARE(g.listing.count(), 1);
        g.gate.noteListingDone(true);
        QCOMPARE(g.rest.count(), 1);

        WatchedGate late(clock);
        clock.advance(std::chrono::milliseconds(LaunchGate::restWaitMs - 1));
        QCOMPARE(late.rest.count(), 0);
        clock.advance(std::chrono::milliseconds(1));
        QCOMPARE(late.rest.count(), 1);
    }

    // A window closed before its first item, or one that never draws: nothing waits for it.
    void aClosedOrSilentWindowHoldsNothingBack()
    {
        ManualClock clock;
        WatchedGate closed(clock);
        closed.gate.noteWindowClosed();
        QCOMPARE(closed.listing.count(), 1);
        QCOMPARE(closed.rest.count(), 1);

        // The clock stands still: the listing's wait runs on real time.
        WatchedGate silent(clock, 20);
        silent.gate.noteFirstLook(true);
        QVERIFY(silent.listing.wait(2000));
    }
};

QTEST_GUILESS_MAIN(TestLaunchGate)
#include "TestLaunchGate.moc"
