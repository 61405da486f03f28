#include "services/GlobalShortcutService.h"

#include "models/GlobalHotkey.h"
#include "platform/GlobalShortcutBackend.h"
#include "platform/PortalGlobalShortcut.h"
#include "platform/X11GlobalShortcut.h"

#include <QDBusConnection>
#include <QGuiApplication>

GlobalShortcutService::GlobalShortcutService(QObject* parent) : QObject(parent) {}

GlobalShortcutService::~GlobalShortcutService() = default;

void GlobalShortcutService::start(const QString& configuredHotkey,
                                  std::unique_ptr<GlobalShortcutBackend> backend)
{
    const int generation = ++m_generation;
    // The chord bound so far is let go of first (its grab or portal session ends).
    m_backend.reset();
    m_mechanism.clear();
    m_configuredHotkey = configuredHotkey;
    if (configuredHotkey.trimmed().isEmpty()) {
        m_shortcutText.clear();
        setState(State::Off);
        return;
    }
    QString error;
    const std::optional<GlobalHotkey> hotkey = GlobalHotkey::parse(configuredHotkey, &error);
    m_shortcutText = hotkey ? hotkey->displayText() : configuredHotkey;
    if (!hotkey) {
        setState(State::Failed, tr("\"%1\" is not a shortcut: %2").arg(configuredHotkey, error));
        return;
    }
    setState(State::Binding);
    auto bindWith = [this, hotkey](std::unique_ptr<GlobalShortcutBackend> chosen,
                                   const QString& mechanism) {
        useBackend(std::move(chosen), mechanism);
        m_backend->bind(*hotkey);
    };
    if (backend) {
        bindWith(std::move(backend), QStringLiteral("custom"));
        return;
    }
    // The portal is the only way on Wayland and the desktop's own way on X11 (its settings
    // then list the shortcut); a plain X11 session without one gets a key grab.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    PortalGlobalShortcut::probe(bus, this, [this, generation, bus, bindWith](bool offered) {
        if (generation != m_generation)
            return; // started again meanwhile
        if (offered) {
            bindWith(std::make_unique<PortalGlobalShortcut>(bus), QStringLiteral("portal"));
            return;
        }
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            auto grab = std::make_unique<X11GlobalShortcut>();
            if (grab->isConnected()) {
                bindWith(std::move(grab), QStringLiteral("X11"));
                return;
            }
        }
        setState(State::Failed, tr("this desktop offers no global shortcuts to programs (no "
                                   "GlobalShortcuts portal, no X11 session)"));
    });
}

void GlobalShortcutService::useBackend(std::unique_ptr<GlobalShortcutBackend> backend,
                                       const QString& mechanism)
{
    m_backend = std::move(backend);
    m_mechanism = mechanism;
    connect(m_backend.get(), &GlobalShortcutBackend::bound, this, [this](const QString& text) {
        if (!text.isEmpty())
            m_shortcutText = text;
        setState(State::Bound);
    });
    connect(m_backend.get(), &GlobalShortcutBackend::failed, this,
            [this](const QString& reason) { setState(State::Failed, reason); });
    connect(m_backend.get(), &GlobalShortcutBackend::activated, this,
            &GlobalShortcutService::activated);
}

void GlobalShortcutService::setState(State state, const QString& reason)
{
    if (state == m_state && reason == m_failureReason)
        return;
    m_state = state;
    m_failureReason = state == State::Failed ? reason : QString();
    emit stateChanged();
}
