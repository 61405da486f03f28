#pragma once

#include <QDBusConnection>
#include <QObject>

class QDBusServiceWatcher;

// Whether a StatusNotifierItem host (a KDE or LXQt panel, GNOME's AppIndicator extension,
// waybar, ...) is there to show tray icons on the session bus. It follows the owner of
// org.kde.StatusNotifierWatcher and the watcher's own "a host registered / unregistered"
// signals; every answer arrives as a D-Bus message, so nothing is polled and no call
// blocks the GUI thread.
class StatusNotifierHostWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr char watcherService[] = "org.kde.StatusNotifierWatcher";
    static constexpr char watcherPath[] = "/StatusNotifierWatcher";

    explicit StatusNotifierHostWatcher(const QDBusConnection& bus, QObject* parent = nullptr);

    // True once the watcher runs and says a host registered with it.
    bool isHostRegistered() const { return m_hostRegistered; }

signals:
    void hostRegisteredChanged(bool registered);

private slots:
    // Targets of the watcher's D-Bus signals (QDBusConnection::connect takes slot names).
    void watcherHostsChanged();

private:
    void watcherAppeared();
    void queryHostRegistered();
    void setHostRegistered(bool registered);

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    bool m_hostRegistered = false;
};
