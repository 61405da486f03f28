#pragma once

#include <QObject>

class StatusNotifierHostWatcher;
class X11TraySelectionWatcher;

// Whether the desktop has a tray to show an icon in, at any moment: a StatusNotifierItem
// host on the session bus, or (on X11) a tray host owning the system tray selection. Both
// are followed through notifications (D-Bus signals, X events), never by asking again
// later, so a tray that appears long after login is seen at once and an idle program
// stays asleep.
class TrayHostWatcher : public QObject
{
    Q_OBJECT
public:
    struct Sources
    {
        bool statusNotifier = true;
        bool x11Selection = true;
    };

    explicit TrayHostWatcher(Sources sources, QObject* parent = nullptr);
    TrayHostWatcher() : TrayHostWatcher(Sources{}) {}

    bool isAvailable() const;
    bool hasStatusNotifierHost() const;
    bool hasX11Tray() const;

signals:
    // A tray host appeared or was replaced (an icon must be (re)placed in it).
    void trayHostAppeared();
    void availabilityChanged(bool available);

private:
    void sourceChanged(bool appeared);

    StatusNotifierHostWatcher* m_statusNotifier = nullptr;
    X11TraySelectionWatcher* m_x11 = nullptr;
    bool m_available = false;
};
