#include "services/ServiceLog.h"

#include "services/LoggerService.h"

void ServiceLog::info(const QString& message) const
{
    if (m_recorder)
        m_recorder(QStringLiteral("INFO"), message);
    else
        LoggerService::shared().info(message);
}

void ServiceLog::debug(const QString& message) const
{
    if (m_recorder)
        m_recorder(QStringLiteral("DEBUG"), message);
    else
        LoggerService::shared().debug(message);
}

void ServiceLog::error(const QString& message, const std::optional<AppError>& error) const
{
    if (m_recorder)
        m_recorder(QStringLiteral("ERROR"),
                   error ? message + QStringLiteral(" | Error: ") + error->localizedDescription
                         : message);
    else
        LoggerService::shared().error(message, error);
}
