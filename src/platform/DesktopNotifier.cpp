#include "platform/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

#include <utility>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Signals of the server that owns the name now, or of whichever takes it later.
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    // Another server (a desktop restarted, another daemon started) may be able to do other
    // things, and knows none of the earlier ids.
    m_serverWatcher =
        new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_capabilities.reset();
        m_ids.clear();
    });
}

void DesktopNotifier::notify(const QString& summary, const QString& body)
{
    Notification notification;
    notification.summary = summary;
    notification.body = body;
    send(notification, [this](uint id, const QString& error) {
        if (id == 0)
            emit failed(error);
        else
            emit delivered(id);
    });
}

void DesktopNotifier::send(const Notification& notification, Reply reply)
{
    if (!m_bus.isConnected()) {
        if (reply)
            reply(0, QStringLiteral("there is no session bus"));
        return;
    }
    if (m_capabilities) {
        deliver(notification, reply);
        return;
    }
    m_waiting.append({notification, std::move(reply)});
    askCapabilities();
}

void DesktopNotifier::askCapabilities()
{
    if (m_asking)
        return;
    m_asking = true;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("GetCapabilities"));
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                m_asking = false;
                const QDBusPendingReply<QStringList> reply = *watcher;
                // No answer (no server yet, one that is starting): the waiting notifications
                // go out without buttons, and the next one asks again.
                if (!reply.isError())
                    m_capabilities = reply.value();
                const QList<Pending> waiting = std::exchange(m_waiting, {});
                for (const Pending& queued : waiting)
                    deliver(queued.notification, queued.reply);
            });
}

void DesktopNotifier::deliver(const Notification& notification, const Reply& reply)
{
    const QStringList capabilities = m_capabilities.value_or(QStringList());
    QStringList actions;
    if (capabilities.contains(QStringLiteral("actions")))
        for (const Action& action : notification.actions)
            actions << action.key << action.label;
    // A server that reads markup in the body would take "a<b>.txt" or "R&D.pdf" for tags.
    const QString body = capabilities.contains(QStringLiteral("body-markup"))
                             ? notification.body.toHtmlEscaped()
                             : notification.body;
    QVariantMap hints;
    // Lets the server show the program's name and icon, and group its notifications.
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("com.stowbird.Stowbird"));
    if (!notification.category.isEmpty())
        hints.insert(QStringLiteral("category"), notification.category);
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    call << QStringLiteral("Stowbird") << notification.replacesId
         << QStringLiteral("com.stowbird.Stowbird") << notification.summary << body << actions
         << hints << int(-1);
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, reply](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> answer = *watcher;
                if (answer.isError()) {
                    if (reply)
                        reply(0, answer.error().message());
                    return;
                }
                m_ids.insert(answer.value());
                if (reply)
                    reply(answer.value(), QString());
            });
}

void DesktopNotifier::close(uint id)
{
    if (!m_bus.isConnected() || !m_ids.contains(id))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    // Nothing to do with the answer: a notification that is gone already is what was wanted.
    m_bus.asyncCall(call);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& key)
{
    if (m_ids.contains(id))
        emit actionInvoked(id, key);
}

void DesktopNotifier::onNotificationClosed(uint id, uint reason)
{
    if (m_ids.remove(id))
        emit closed(id, reason);
}
