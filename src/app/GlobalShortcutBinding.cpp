#include "app/GlobalShortcutBinding.h"

#include "models/AppConfig.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "services/LoggerService.h"

GlobalShortcutBinding::GlobalShortcutBinding(GlobalShortcutService& shortcut,
                                             ConfigurationService& config, LoggerService& logger,
                                             QObject* parent)
    : QObject(parent), m_shortcut(shortcut), m_logger(logger)
{
    connect(&shortcut, &GlobalShortcutService::stateChanged, this,
            &GlobalShortcutBinding::logState);
    shortcut.start(config.config().general.globalHotkey);
    // A chord changed or turned off in the settings takes effect when they are saved.
    connect(&config, &ConfigurationService::configChanged, this, [this](const AppConfig& saved) {
        if (saved.general.globalHotkey != m_shortcut.configuredHotkey())
            m_shortcut.start(saved.general.globalHotkey);
    });
}

void GlobalShortcutBinding::logState()
{
    switch (m_shortcut.state()) {
    case GlobalShortcutService::State::Bound:
        m_logger.info(QStringLiteral("Global shortcut %1 bound (%2).")
                          .arg(m_shortcut.shortcutText(), m_shortcut.mechanism()));
        break;
    case GlobalShortcutService::State::Failed:
        m_logger.error(QStringLiteral("Global shortcut %1 not bound: %2")
                           .arg(m_shortcut.shortcutText(), m_shortcut.failureReason()));
        break;
    case GlobalShortcutService::State::Off:
        m_logger.info(QStringLiteral("Global shortcut turned off."));
        break;
    case GlobalShortcutService::State::Unbound:
    case GlobalShortcutService::State::Binding:
        break;
    }
}
