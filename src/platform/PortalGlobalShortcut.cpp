#include "platform/PortalGlobalShortcut.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// One entry of BindShortcuts' a(sa{sv}).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)registered;
}

} // namespace

PortalGlobalShortcut::PortalGlobalShortcut(const QDBusConnection& bus, QObject* parent)
    : GlobalShortcutBackend(parent), m_bus(bus)
{
    registerTypes();
    // The whole message: (o session, s id, t timestamp, a{sv} options).
    m_bus.connect(QLatin1String(portalService), QLatin1String(portalPath),
                  QLatin1String(shortcutsInterface), QStringLiteral("Activated"), this,
                  SLOT(shortcutActivated(QDBusMessage)));
}

void PortalGlobalShortcut::probe(const QDBusConnection& bus, QObject* context,
                                 std::function<void(bool)> answer)
{
    if (!bus.isConnected()) {
        answer(false);
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(portalService), QLatin1String(portalPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QLatin1String(shortcutsInterface) << QStringLiteral("version");
    // A session without a portal may take the bus's activation timeout to say so.
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(get, 5000), context);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, context,
                     [answer = std::move(answer)](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         const QDBusPendingReply<QDBusVariant> reply = *call;
                         answer(!reply.isError() && reply.value().variant().toUInt() >= 1);
                     });
}

void PortalGlobalShortcut::bind(const GlobalHotkey& hotkey)
{
    unbind();
    m_hotkey = hotkey;
    m_step = Step::CreatingSession;
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"),
                   QStringLiteral("stowbird%1").arg(++m_tokenCounter));
    sendRequest(QStringLiteral("CreateSession"), {}, options);
}

void PortalGlobalShortcut::unbind()
{
    stopListening();
    if (!m_sessionPath.isEmpty()) {
        // Closing the session releases the chord.
        m_bus.asyncCall(QDBusMessage::createMethodCall(
            QLatin1String(portalService), m_sessionPath,
            QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
        m_sessionPath.clear();
    }
    m_step = Step::Idle;
}

void PortalGlobalShortcut::sendRequest(const QString& method, QList<QVariant> arguments,
                                       QVariantMap options)
{
    // The request object's path is known in advance from our unique name and the token;
    // listening before the call means a quick Response cannot be missed.
    const QString token = QStringLiteral("stowbird_request%1").arg(++m_tokenCounter);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    stopListening();
    m_requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    m_bus.connect(QLatin1String(portalService), m_requestPath, requestInterface,
                  QStringLiteral("Response"), this, SLOT(requestResponse(uint, QVariantMap)));

    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(portalService), QLatin1String(portalPath),
                                       QLatin1String(shortcutsInterface), method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* reply) {
                reply->deleteLater();
                if (reply->isError())
                    fail(QStringLiteral("the desktop portal refused %1: %2")
                             .arg(method, reply->error().message()));
            });
}

void PortalGlobalShortcut::requestResponse(uint response, const QVariantMap& results)
{
    stopListening();
    if (response != 0) {
        // 1: the user cancelled the portal's dialog; 2: any other failure.
        fail(response == 1 ? QStringLiteral("the shortcut was declined in the desktop's dialog")
                           : QStringLiteral("the desktop portal could not set up the shortcut"));
        return;
    }
    if (m_step == Step::CreatingSession) {
        m_sessionPath = results.value(QStringLiteral("session_handle")).toString();
        if (m_sessionPath.isEmpty()) {
            fail(QStringLiteral("the desktop portal gave no session"));
            return;
        }
        m_step = Step::Binding;
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), QStringLiteral("Open Stowbird"));
        properties.insert(QStringLiteral("preferred_trigger"), m_hotkey.portalTrigger());
        const QList<PortalShortcut> shortcuts{{QLatin1String(shortcutId), properties}};
        sendRequest(QStringLiteral("BindShortcuts"),
                    {QVariant::fromValue(QDBusObjectPath(m_sessionPath)),
                     QVariant::fromValue(shortcuts), QString()},
                    {});
        return;
    }
    if (m_step == Step::Binding) {
        // The portal says what the desktop bound, which the user may have changed.
        QString description = m_hotkey.displayText();
        const QVariant boundList = results.value(QStringLiteral("shortcuts"));
        QList<PortalShortcut> shortcuts;
        if (boundList.canConvert<QDBusArgument>())
            boundList.value<QDBusArgument>() >> shortcuts;
        bool found = false;
        for (const PortalShortcut& shortcut : std::as_const(shortcuts)) {
            if (shortcut.id != QLatin1String(shortcutId))
                continue;
            found = true;
            const QString trigger =
                shortcut.properties.value(QStringLiteral("trigger_description")).toString();
            if (!trigger.isEmpty())
                description = trigger;
        }
        if (!found) {
            fail(QStringLiteral("the desktop did not bind %1").arg(m_hotkey.displayText()));
            return;
        }
        m_step = Step::Bound;
        emit bound(description);
    }
}

void PortalGlobalShortcut::shortcutActivated(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_step != Step::Bound || arguments.size() < 2)
        return;
    const QString session = arguments.at(0).value<QDBusObjectPath>().path();
    if (session == m_sessionPath && arguments.at(1).toString() == QLatin1String(shortcutId))
        emit activated();
}

void PortalGlobalShortcut::fail(const QString& reason)
{
    if (m_step == Step::Idle)
        return;
    unbind();
    emit failed(reason);
}

void PortalGlobalShortcut::stopListening()
{
    if (m_requestPath.isEmpty())
        return;
    m_bus.disconnect(QLatin1String(portalService), m_requestPath, requestInterface,
                     QStringLiteral("Response"), this, SLOT(requestResponse(uint, QVariantMap)));
    m_requestPath.clear();
}
