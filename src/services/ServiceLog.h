#pragma once

#include "models/AppError.h"

#include <QString>

#include <functional>
#include <optional>

// Where a service sends its log lines: the shared logger, or, in tests, a recorder that
// receives the level and the complete message.
class ServiceLog
{
public:
    using Recorder = std::function<void(const QString& level, const QString& message)>;

    // Set before the service is used from several threads; a null recorder restores the
    // shared logger.
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

    void info(const QString& message) const;
    void debug(const QString& message) const;
    void error(const QString& message, const std::optional<AppError>& error = std::nullopt) const;

private:
    Recorder m_recorder;
};
