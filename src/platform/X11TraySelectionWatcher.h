#pragma once

#include <QByteArray>
#include <QObject>

#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// Watches the owner of the X11 system tray selection (_NET_SYSTEM_TRAY_S<screen>), which a
// tray host (trayer, stalonetray, a panel's notification area) takes when it starts and
// loses when it ends. The X server announces every change through XFixes selection events
// on a connection of this watcher's own, read when its socket becomes readable: the
// watcher has no timer and costs nothing while nothing changes.
class X11TraySelectionWatcher : public QObject
{
    Q_OBJECT
public:
    // display: an X display name; empty means $DISPLAY.
    explicit X11TraySelectionWatcher(const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11TraySelectionWatcher() override;

    // False when there is no X server or it lacks XFixes: then nothing is ever reported.
    bool isWatching() const { return m_notifier != nullptr; }
    // Whether a tray host owns the selection now.
    bool hasOwner() const { return m_owner != 0; }

signals:
    // The selection changed hands: a tray host took it (true; also when a new host
    // replaced an old one) or the host went away (false).
    void ownerChanged(bool hasOwner);

private:
    void readEvents();
    void setOwner(std::uint32_t owner);

    xcb_connection_t* m_connection = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::uint32_t m_selection = 0;
    std::uint32_t m_owner = 0;
    std::uint8_t m_xfixesFirstEvent = 0;
};
