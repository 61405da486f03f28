#include "platform/TrayHostWatcher.h"

#include "platform/StatusNotifierHostWatcher.h"
#include "platform/X11TraySelectionWatcher.h"

#include <QDBusConnection>
#include <QGuiApplication>

TrayHostWatcher::TrayHostWatcher(Sources sources, QObject* parent) : QObject(parent)
{
    if (sources.statusNotifier) {
        m_statusNotifier = new StatusNotifierHostWatcher(QDBusConnection::sessionBus(), this);
        connect(m_statusNotifier, &StatusNotifierHostWatcher::hostRegisteredChanged, this,
                &TrayHostWatcher::sourceChanged);
    }
    // An XEmbed tray only takes icons from X11 clients.
    if (sources.x11Selection && QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_x11 = new X11TraySelectionWatcher({}, this);
        connect(m_x11, &X11TraySelectionWatcher::ownerChanged, this,
                &TrayHostWatcher::sourceChanged);
    }
    m_available = isAvailable();
}

bool TrayHostWatcher::hasStatusNotifierHost() const
{
    return m_statusNotifier && m_statusNotifier->isHostRegistered();
}

bool TrayHostWatcher::hasX11Tray() const
{
    return m_x11 && m_x11->hasOwner();
}

bool TrayHostWatcher::isAvailable() const
{
    return hasStatusNotifierHost() || hasX11Tray();
}

void TrayHostWatcher::sourceChanged(bool appeared)
{
    if (appeared)
        emit trayHostAppeared();
    const bool available = isAvailable();
    if (available != m_available) {
        m_available = available;
        emit availabilityChanged(available);
    }
}
