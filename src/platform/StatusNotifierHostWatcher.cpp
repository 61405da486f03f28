#include "platform/StatusNotifierHostWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

StatusNotifierHostWatcher::StatusNotifierHostWatcher(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    const QString service = QLatin1String(watcherService);
    m_serviceWatcher = new QDBusServiceWatcher(service, m_bus,
                                               QDBusServiceWatcher::WatchForRegistration |
                                                   QDBusServiceWatcher::WatchForUnregistration,
                                               this);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierHostWatcher::watcherAppeared);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { setHostRegistered(false); });

    // The watcher's signals reach us whoever owns the name, now or later. D-Bus signals
    // can only be connected by slot name.
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.connect(service, QLatin1String(watcherPath), watcherInterface, QLatin1String(signal),
                      this, SLOT(watcherHostsChanged()));

    // A watcher that runs already: ask whether it has a host.
    queryHostRegistered();
}

void StatusNotifierHostWatcher::watcherAppeared()
{
    queryHostRegistered();
}

void StatusNotifierHostWatcher::watcherHostsChanged()
{
    queryHostRegistered();
}

void StatusNotifierHostWatcher::queryHostRegistered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(watcherService), QLatin1String(watcherPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                // No watcher (or a broken one) means no host.
                setHostRegistered(!reply.isError() && reply.value().variant().toBool());
            });
}

void StatusNotifierHostWatcher::setHostRegistered(bool registered)
{
    if (registered == m_hostRegistered)
        return;
    m_hostRegistered = registered;
    emit hostRegisteredChanged(registered);
}
