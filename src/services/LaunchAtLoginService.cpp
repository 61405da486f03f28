#include "services/LaunchAtLoginService.h"

#include "models/AppError.h"
#include "platform/XdgAutostartBackend.h"

LaunchAtLoginService& LaunchAtLoginService::shared()
{
    static LaunchAtLoginService* instance = new LaunchAtLoginService(
        std::make_unique<XdgAutostartBackend>(XdgAutostartBackend::defaultAutostartDirectory(),
                                              XdgAutostartBackend::currentExecutablePath()));
    return *instance;
}

LaunchAtLoginService::LaunchAtLoginService(std::unique_ptr<LoginItemBackend> backend,
                                           QObject* parent)
    : QObject(parent), m_backend(std::move(backend))
{
}

LaunchAtLoginService::~LaunchAtLoginService() = default;

int LaunchAtLoginService::status() const
{
    return m_backend->status();
}

bool LaunchAtLoginService::isEnabled() const
{
    return status() == LoginItemBackend::enabled;
}

void LaunchAtLoginService::setEnabled(bool enabled)
{
    const int current = status();
    if (enabled) {
        if (current == LoginItemBackend::enabled)
            return;
        m_backend->registerItem();
        m_log.info(QStringLiteral("Successfully registered Stowbird for Launch at Login."));
    } else {
        // Only an enabled registration is removed; one awaiting approval is left alone.
        if (current != LoginItemBackend::enabled)
            return;
        m_backend->unregisterItem();
        m_log.info(QStringLiteral("Successfully unregistered Stowbird from Launch at Login."));
    }
    const int updated = status();
    if (updated != current)
        emit statusChanged(updated);
}

bool LaunchAtLoginService::setIsEnabled(bool enabled, QString* error)
{
    try {
        setEnabled(enabled);
        return true;
    } catch (const AppError& failure) {
        m_log.error(QStringLiteral("Failed to toggle Launch at Login to %1: %2")
                        .arg(enabled ? QStringLiteral("true") : QStringLiteral("false"),
                             failure.localizedDescription));
        if (error)
            *error = failure.localizedDescription;
        return false;
    }
}

QString LaunchAtLoginService::statusDescription() const
{
    return describe(status());
}

QString LaunchAtLoginService::describe(int status)
{
    switch (status) {
    case LoginItemBackend::notRegistered:
        return QStringLiteral("Disabled");
    case LoginItemBackend::enabled:
        return QStringLiteral("Enabled");
    case LoginItemBackend::requiresApproval:
        return QStringLiteral("Approval Required in System Settings");
    case LoginItemBackend::notFound:
        return QStringLiteral("Not Registered");
    default:
        return QStringLiteral("Unknown");
    }
}

void LaunchAtLoginService::openLoginItemsSettings()
{
    m_backend->openSettings();
}
