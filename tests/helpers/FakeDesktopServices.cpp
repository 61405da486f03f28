// Stands in for the desktop's session services on a private bus, for tests: a notification
// server (org.freedesktop.Notifications) and a minimal StatusNotifierItem watcher with one
// host registered (org.kde.StatusNotifierWatcher). What the program under test asks of
// them is printed on standard output, one line each:
//   NOTIFY <summary>|<body>|id=<id>|replaces=<id>|actions=<key>=<label>;...|category=<c>
//     (a line feed in the body printed as \n)
//   CLOSED <id> <reason>
//   INVOKED <id> <action key>
//   ITEM <service> <object path> <Id property of the item>
//   BOUND <shortcut id> <preferred trigger>
//   PRESSED <session> <shortcut id>
// With --portal it is also the desktop portal's GlobalShortcuts interface: sessions and
// bindings are granted at once (the trigger described as "Shift+Alt+D (portal)"), and
// 300 ms after a binding the shortcut is reported pressed once.
// The notification server has the "actions" capability only with --actions. Its
// org.stowbird.FakeNotifications interface (object /org/stowbird/FakeNotifications) stands
// in for the user: InvokeAction(id, key) presses a button of a notification shown (the
// server then closes it, reason 2), as a click would.
// Usage: FakeDesktopServices [--notifications [--actions]] [--watcher] [--portal]
// (bus: $DBUS_SESSION_BUS_ADDRESS)
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct Shortcut
{
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(Shortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// org.freedesktop.portal.GlobalShortcuts, answered message by message.
class FakePortal : public QDBusVirtualObject
{
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
            member == QLatin1String("Get")) {
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
            return true;
        }
        if (message.interface() != QLatin1String("org.freedesktop.portal.GlobalShortcuts"))
            return false;
        const QList<QVariant> args = message.arguments();
        const QVariantMap options =
            args.isEmpty() ? QVariantMap() : qdbus_cast<QVariantMap>(args.last());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                    .arg(sender, options.value("handle_token").toString());
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            m_session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                            .arg(sender, options.value("session_handle_token").toString());
            results.insert(QStringLiteral("session_handle"), m_session);
        } else if (member == QLatin1String("BindShortcuts")) {
            QList<Shortcut> asked;
            args.at(1).value<QDBusArgument>() >> asked;
            QList<Shortcut> bound;
            for (Shortcut shortcut : asked) {
                say(QStringLiteral("BOUND %1 %2")
                        .arg(shortcut.id,
                             shortcut.properties.value("preferred_trigger").toString()));
                shortcut.properties.insert(QStringLiteral("trigger_description"),
                                           QStringLiteral("Shift+Alt+D (portal)"));
                bound.append(shortcut);
            }
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
            const QString id = bound.isEmpty() ? QString() : bound.first().id;
            QTimer::singleShot(300, [this, id] {
                QDBusMessage pressed = QDBusMessage::createSignal(
                    QStringLiteral("/org/freedesktop/portal/desktop"),
                    QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                    QStringLiteral("Activated"));
                pressed << QVariant::fromValue(QDBusObjectPath(m_session)) << id << qulonglong(0)
                        << QVariantMap();
                m_bus.send(pressed);
                say(QStringLiteral("PRESSED %1 %2").arg(m_session, id));
            });
        } else {
            return true;
        }
        // The answer comes on the request object, after the call has returned.
        QTimer::singleShot(0, [this, request, results] {
            QDBusMessage response = QDBusMessage::createSignal(
                request, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"));
            response << uint(0) << results;
            m_bus.send(response);
        });
        return true;
    }

private:
    QDBusConnection m_bus;
    QString m_session;
};

} // namespace

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    FakeNotifications(QDBusConnection bus, bool actions) : m_bus(bus), m_actions(actions) {}

    // The user closes notification id (2) or presses its button key first.
    bool finish(uint id, const QString& key = {})
    {
        if (!m_shown.contains(id))
            return false;
        if (!key.isEmpty()) {
            say(QStringLiteral("INVOKED %1 %2").arg(id).arg(key));
            QDBusMessage invoked = signal(QStringLiteral("ActionInvoked"));
            invoked << id << key;
            m_bus.send(invoked);
        }
        closeShown(id, 2);
        return true;
    }

public slots:
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int)
    {
        const uint id = m_shown.contains(replacesId) ? replacesId : ++m_lastId;
        m_shown.insert(id);
        QStringList pairs;
        for (qsizetype i = 0; i + 1 < actions.size(); i += 2)
            pairs << actions.at(i) + QLatin1Char('=') + actions.at(i + 1);
        QString shownBody = body;
        shownBody.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        say(QStringLiteral("NOTIFY %1|%2|id=%3|replaces=%4|actions=%5|category=%6")
                .arg(summary, shownBody)
                .arg(id)
                .arg(replacesId)
                .arg(pairs.join(QLatin1Char(';')), hints.value("category").toString()));
        return id;
    }
    void CloseNotification(uint id) { closeShown(id, 3); }
    QStringList GetCapabilities()
    {
        QStringList capabilities{QStringLiteral("body")};
        if (m_actions)
            capabilities << QStringLiteral("actions");
        return capabilities;
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion)
    {
        vendor = QStringLiteral("Stowbird tests");
        version = QStringLiteral("1");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("FakeDesktopServices");
    }

private:
    QDBusMessage signal(const QString& name) const
    {
        return QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), name);
    }
    void closeShown(uint id, uint reason)
    {
        if (!m_shown.remove(id))
            return;
        say(QStringLiteral("CLOSED %1 %2").arg(id).arg(reason));
        QDBusMessage closed = signal(QStringLiteral("NotificationClosed"));
        closed << id << reason;
        m_bus.send(closed);
    }

    QDBusConnection m_bus;
    bool m_actions = false;
    uint m_lastId = 0;
    QSet<uint> m_shown;
};

// What the user does to the notifications, asked for by the test over the bus.
class FakeNotificationUser : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.stowbird.FakeNotifications")
public:
    explicit FakeNotificationUser(FakeNotifications& server) : m_server(server) {}

public slots:
    bool InvokeAction(uint id, const QString& key) { return m_server.finish(id, key); }
    bool Dismiss(uint id) { return m_server.finish(id); }

private:
    FakeNotifications& m_server;
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
    FakeNotifications notifications(bus, arguments.contains(QStringLiteral("--actions")));
    FakeNotificationUser user(notifications);
    FakeWatcher watcher(bus);
    if (arguments.contains(QStringLiteral("--notifications"))) {
        bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                           QDBusConnection::ExportAllSlots);
        bus.registerObject(QStringLiteral("/org/stowbird/FakeNotifications"), &user,
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
    FakePortal portal(bus);
    if (arguments.contains(QStringLiteral("--portal"))) {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
        bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal);
        if (!bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")))
            return 3;
    }
    say(QStringLiteral("READY"));
    return app.exec();
}

#include "FakeDesktopServices.moc"
