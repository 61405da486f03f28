#include "services/ServiceLog.h"

#include "services/LoggerService.h"

#include <cstdio>

void ServiceLog::write(const QString& level, const QString& message) const
{
    if (m_recorder) {
        m_recorder(level, message);
        return;
    }
    std::fprintf(stderr, "[%s] %s\n", qPrintable(level),
                 qPrintable(LoggerService::escapeControlCharacters(message)));
}

void ServiceLog::info(const QString& message) const
{
    if (m_logger && !m_recorder)
        m_logger->info(message);
    else
        write(QStringLiteral("INFO"), message);
}

void ServiceLog::debug(const QString& message) const
{
    if (m_logger && !m_recorder)
        m_logger->debug(message);
    else
        write(QStringLiteral("DEBUG"), message);
}

void ServiceLog::error(const QString& message, const std::optional<AppError>& error) const
{
    if (m_logger && !m_recorder)
        m_logger->error(message, error);
    else
        write(QStringLiteral("ERROR"),
              error ? message + QStringLiteral(" | Error: ") + error->localizedDescription
                    : message);
}
