#pragma once

#include "platform/GlobalShortcutBackend.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

#include <functional>

// A global shortcut through the XDG desktop portal's GlobalShortcuts interface (KDE
// Plasma, GNOME 48+, also on Wayland, where no program may grab keys itself). The portal
// works in requests: CreateSession, then BindShortcuts, each answered by a Response signal
// on a request object; presses arrive as Activated signals. Every call is asynchronous.
class PortalGlobalShortcut : public GlobalShortcutBackend
{
    Q_OBJECT
public:
    static constexpr char portalService[] = "org.freedesktop.portal.Desktop";
    static constexpr char portalPath[] = "/org/freedesktop/portal/desktop";
    static constexpr char shortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";
    // The id under which the portal keeps the chord (and the user's choice for it).
    static constexpr char shortcutId[] = "open-stowbird";

    explicit PortalGlobalShortcut(const QDBusConnection& bus, QObject* parent = nullptr);

    // Asks the bus whether the portal offers GlobalShortcuts; answer(true) when it does.
    static void probe(const QDBusConnection& bus, QObject* context,
                      std::function<void(bool offered)> answer);

    void bind(const GlobalHotkey& hotkey) override;
    void unbind() override;

private slots:
    // Targets of D-Bus signals (QDBusConnection::connect takes slot names).
    void requestResponse(uint response, const QVariantMap& results);
    void shortcutActivated(const QDBusMessage& message);

private:
    enum class Step { Idle, CreatingSession, Binding, Bound };

    // Sends method with a fresh request token, listening for its Response first.
    void sendRequest(const QString& method, QList<QVariant> arguments, QVariantMap options);
    void fail(const QString& reason);
    void stopListening();

    QDBusConnection m_bus;
    GlobalHotkey m_hotkey;
    Step m_step = Step::Idle;
    QString m_requestPath;
    QString m_sessionPath;
    int m_tokenCounter = 0;
};
