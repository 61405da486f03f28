#include "app/LaunchGate.h"
#include "fakes/ManualClock.h"

#include <QSignalSpy>
#include <QTest>

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
        LaunchGate gate(clock);
        QSignalSpy listing(&gate, &LaunchGate::listingMayStart);
        QSignalSpy rest(&gate, &LaunchGate::restMayFollow);
        gate.noteFirstLook(true);
        gate.noteFirstFrame();
        gate.noteListingDone(false);
        QCOMPARE(listing.count(), 0);
        QCOMPARE(rest.count(), 0);
        // After the window's repaint, which waits as a posted event.
        gate.noteFirstPreview();
        QCOMPARE(listing.count(), 0);
        QCoreApplication::sendPostedEvents(&gate);
        QCOMPARE(listing.count(), 1);
        QCOMPARE(rest.count(), 1);
        // Once each, whatever follows.
        gate.noteFirstPreview();
        QCoreApplication::sendPostedEvents(&gate);
        gate.noteWindowClosed();
        clock.advance(std::chrono::milliseconds(LaunchGate::restWaitMs));
        QCOMPARE(listing.count(), 1);
        QCOMPARE(rest.count(), 1);
    }

    // Nothing to preview: the listing starts with the first frame, the rest once the listing
    // finds nothing either, or after restWaitMs on the clock at the latest.
    void nothingToPreviewHoldsNothingBack()
    {
        ManualClock clock;
        LaunchGate gate(clock);
        QSignalSpy listing(&gate, &LaunchGate::listingMayStart);
        QSignalSpy rest(&gate, &LaunchGate::restMayFollow);
        gate.noteFirstLook(false);
        QCOMPARE(listing.count(), 0); // the frame first
        gate.noteFirstFrame();
        QCOMPARE(listing.count(), 1);
        gate.noteListingDone(true);
        QCOMPARE(rest.count(), 1);

        LaunchGate late(clock);
        QSignalSpy lateRest(&late, &LaunchGate::restMayFollow);
        clock.advance(std::chrono::milliseconds(LaunchGate::restWaitMs - 1));
        QCOMPARE(lateRest.count(), 0);
        clock.advance(std::chrono::milliseconds(1));
        QCOMPARE(lateRest.count(), 1);
    }

    // A window closed before its first item, or one that never draws: nothing waits for it.
    void aClosedOrSilentWindowHoldsNothingBack()
    {
        ManualClock clock;
        LaunchGate closed(clock);
        QSignalSpy closedListing(&closed, &LaunchGate::listingMayStart);
        QSignalSpy closedRest(&closed, &LaunchGate::restMayFollow);
        closed.noteWindowClosed();
        QCOMPARE(closedListing.count(), 1);
        QCOMPARE(closedRest.count(), 1);

        // The clock stands still: the listing's wait runs on real time.
        LaunchGate silent(clock, 20);
        QSignalSpy silentListing(&silent, &LaunchGate::listingMayStart);
        silent.noteFirstLook(true);
        QVERIFY(silentListing.wait(2000));
    }
};

QTEST_GUILESS_MAIN(TestLaunchGate)
#include "TestLaunchGate.moc"
