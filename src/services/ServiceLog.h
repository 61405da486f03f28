#pragma once

#include "models/AppError.h"

#include <QString>

#include <functional>
#include <optional>

class LoggerService;

// Where a service sends its log lines: the logger start-up code gives it, or, in tests, a
// recorder that receives the level and the complete message. A service given neither
// prints its lines to standard error, so that nothing is lost unseen.
class ServiceLog
{
public:
    using Recorder = std::function<void(const QString& level, const QString& message)>;

    // Set before the service is used from several threads; the recorder goes first.
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }
    void setLogger(LoggerService* logger) { m_logger = logger; }

    void info(const QString& message) const;
    void debug(const QString& message) const;
    void error(const QString& message, const std::optional<AppError>& error = std::nullopt) const;

private:
    void write(const QString& level, const QString& message) const;

    Recorder m_recorder;
    LoggerService* m_logger = nullptr;
};
