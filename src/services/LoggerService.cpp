#include "services/LoggerService.h"

#include "crashreporting/CrashReporter.h"
#include "platform/StoragePaths.h"

#include <QDateTime>
#include <cstdio>

// Interim logger: prints lines to standard error until the file logger exists.

LoggerService& LoggerService::shared()
{
    static LoggerService* instance = new LoggerService(StoragePaths::stateDirectory());
    return *instance;
}

LoggerService::LoggerService(const QString& logDirectory, CrashReporter* reporter, QObject* parent)
    : QObject(parent), m_logDirectory(logDirectory),
      m_reporter(reporter ? reporter : &CrashReporter::shared())
{
}

LoggerService::~LoggerService() = default;

void LoggerService::info(const QString& message) { log(QStringLiteral("INFO"), message); }
void LoggerService::debug(const QString& message) { log(QStringLiteral("DEBUG"), message); }
void LoggerService::action(const QString& message) { log(QStringLiteral("ACTION"), message); }

void LoggerService::error(const QString& message, const std::optional<AppError>& error)
{
    QString text = message;
    if (error)
        text += QStringLiteral(" | Error: ") + error->localizedDescription;
    log(QStringLiteral("ERROR"), text);
    if (error)
        m_reporter->recordError(*error);
}

void LoggerService::log(const QString& level, const QString& message)
{
    const QString line = QStringLiteral("[%1] [%2] %3")
                             .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate), level,
                                  message);
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

QString LoggerService::logPath() const { return m_logDirectory + QStringLiteral("/stowbird.log"); }
QString LoggerService::crashPath() const { return m_logDirectory + QStringLiteral("/crash.log"); }

void LoggerService::installCrashHandler() {}
