#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Desktop notifications through org.freedesktop.Notifications on the session bus (every
// desktop has a notification server, also those without a tray). Sending is
// asynchronous; the outcome comes back through delivered() or failed().
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void notify(const QString& summary, const QString& body);

signals:
    void delivered(uint id);
    void failed(const QString& reason);

private:
    QDBusConnection m_bus;
};
