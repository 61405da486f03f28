// Stands in for the desktop's session services on a private bus, for tests: a notification
// server (org.freedesktop.Notifications) and a minimal StatusNotifierItem watcher with one
// host registered (org.kde.StatusNotifierWatcher). What the program under test asks of
// them is printed on standard output, one line each:
//   NOTIFY <summary>|<body>
//   ITEM <service> <object path> <Id property of the item>
// Usage: FakeDesktopServices [--notifications] [--watcher]  (bus: $DBUS_SESSION_BUS_ADDRESS)
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int)
    {
        say(QStringLiteral("NOTIFY %1|%2").arg(summary, body));
        return ++m_lastId;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    uint m_lastId = 0;
};

class FakeWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    explicit FakeWatcher(QDBusConnection bus) : m_bus(bus) {}
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return m_items; }

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& message)
    {
        // An item names its bus name, or only its object path (then the sender is the name).
        const bool isPath = serviceOrPath.startsWith(QLatin1Char('/'));
        const QString service = isPath ? message.service() : serviceOrPath;
        const QString path = isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem");
        m_items.append(service + path);
        QDBusMessage get = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Id");
        auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this,
                [service, path](QDBusPendingCallWatcher* call) {
                    call->deleteLater();
                    const QDBusPendingReply<QDBusVariant> reply = *call;
                    say(QStringLiteral("ITEM %1 %2 %3")
                            .arg(service, path,
                                 reply.isError()
                                     ? QStringLiteral("<no Id: %1>").arg(reply.error().message())
                                     : reply.value().variant().toString()));
                });
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QDBusConnection m_bus;
    QStringList m_items;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no session bus\n");
        return 2;
    }
    FakeNotifications notifications;
    FakeWatcher watcher(bus);
    if (arguments.contains(QStringLiteral("--notifications"))) {
        bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                           QDBusConnection::ExportAllSlots);
        if (!bus.registerService(QStringLiteral("org.freedesktop.Notifications")))
            return 3;
    }
    if (arguments.contains(QStringLiteral("--watcher"))) {
        bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                               QDBusConnection::ExportAllProperties);
        if (!bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")))
            return 3;
        emit watcher.StatusNotifierHostRegistered();
    }
    say(QStringLiteral("READY"));
    return app.exec();
}

#include "FakeDesktopServices.moc"
