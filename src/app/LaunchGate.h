#pragma once

#include <QObject>

class MonotonicClock;

// The order of a launch straight to the window: what the first item on screen needs comes
// first. The first listing of the folders (a hundred thousand files keep both cores busy)
// waits for the window's first frame and for the first item's preview, or for the first look
// to find nothing. The rest of the launch (tray, notifications, crash reporting's settings,
// login item, the window's icon) waits for that preview too, or for the first listing to find
// nothing. Neither waits for long: the listing at most listingWaitMs of real time, the rest
// at most restWaitMs on the clock.
class LaunchGate : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultListingWaitMs = 500;
    static constexpr int restWaitMs = 1000;

    explicit LaunchGate(const MonotonicClock& clock, int listingWaitMs = defaultListingWaitMs,
                        QObject* parent = nullptr);

    void noteFirstFrame();
    // The first item's preview is ready: what waits for it follows once the window has
    // repainted with it.
    void noteFirstPreview();
    // The quick first look at the folders is done; found tells whether it queued an item.
    void noteFirstLook(bool found);
    // The first listing is done, with nothing waiting (nothing to preview) or not.
    void noteListingDone(bool nothingWaiting);
    // The window was closed: nothing is held back for it any longer.
    void noteWindowClosed();

signals:
    // Each fires once.
    void listingMayStart();
    void restMayFollow();

protected:
    bool event(QEvent* event) override;

private:
    void releaseListing();
    void releaseRest();

    bool m_frameDrawn = false;
    bool m_itemSettled = false;
    bool m_listingReleased = false;
    bool m_restReleased = false;
};
