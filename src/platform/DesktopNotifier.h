#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDBusServiceWatcher;

// Desktop notifications through org.freedesktop.Notifications on the session bus (every
// desktop has a notification server, also those without a tray). Sending is asynchronous:
// the outcome of notify() comes back through delivered() or failed(), that of send() to the
// reply given with it.
//
// Before its first notification it asks the server what it can do (GetCapabilities), and
// again after the server was replaced: buttons go only to a server with "actions" (one
// without them gets the same notification without buttons), and a body is escaped only for
// a server that reads markup in it. The buttons pressed and the notifications closed come
// back through actionInvoked() and closed(), for the ids this object was given.
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    struct Action
    {
        QString key;   // what actionInvoked() reports: "trash"
        QString label; // what the button says: "Trash"
    };
    struct Notification
    {
        QString summary;
        QString body; // plain text
        // The key "default" is the click on the notification itself (most servers draw no
        // button for it, some draw one).
        QList<Action> actions;
        // The standard category hint ("transfer.complete"); empty: none.
        QString category;
        // The id of a notification of this program to replace in place (0: a new one).
        uint replacesId = 0;
    };
    // The server's id for the notification, or why it was not shown (id 0).
    using Reply = std::function<void(uint id, const QString& error)>;

    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void notify(const QString& summary, const QString& body);
    void send(const Notification& notification, Reply reply = {});
    // Takes a notification this program showed off the screen.
    void close(uint id);

    // What the server said it can do; nothing before its first answer (or after it was
    // replaced).
    std::optional<QStringList> capabilities() const { return m_capabilities; }

signals:
    void delivered(uint id);
    void failed(const QString& reason);
    // A button (key) of notification id was pressed; for this program's notifications only.
    void actionInvoked(uint id, const QString& key);
    // Notification id went away: 1 expired, 2 dismissed by the user, 3 closed by a call,
    // 4 undefined. For this program's notifications only.
    void closed(uint id, uint reason);

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Pending
    {
        Notification notification;
        Reply reply;
    };
    void askCapabilities();
    void deliver(const Notification& notification, const Reply& reply);

    QDBusConnection m_bus;
    std::optional<QStringList> m_capabilities;
    bool m_asking = false;
    QList<Pending> m_waiting; // sent while the capabilities were being asked
    QDBusServiceWatcher* m_serverWatcher = nullptr;
    // The ids the server gave this object, so that other programs' buttons are not taken for
    // its own. Forgotten as their notifications close.
    QSet<uint> m_ids;
};
