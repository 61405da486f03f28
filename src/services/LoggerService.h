#pragma once

#include "models/AppError.h"

#include <QObject>
#include <QString>

#include <optional>

class CrashReporter;

// The program's one diagnostic channel: masked lines to the log file, the journal and,
// for ACTION and ERROR, the crash reporter's breadcrumbs.
class LoggerService : public QObject
{
    Q_OBJECT
public:
    static LoggerService& shared();

    // logDirectory holds stowbird.log and crash.log; reporter receives breadcrumbs and
    // non-fatal errors (the shared reporter when null).
    explicit LoggerService(const QString& logDirectory, CrashReporter* reporter = nullptr,
                           QObject* parent = nullptr);
    ~LoggerService() override;

    void info(const QString& message);
    void debug(const QString& message);
    void action(const QString& message);
    void error(const QString& message, const std::optional<AppError>& error = std::nullopt);
    void log(const QString& level, const QString& message);

    QString logPath() const;
    QString crashPath() const;

    static void installCrashHandler();

private:
    QString m_logDirectory;
    CrashReporter* m_reporter;
};
