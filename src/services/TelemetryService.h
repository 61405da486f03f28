#pragma once

#include "models/TriageItem.h"
#include "models/TriageSessionStats.h"
#include "services/ServiceLog.h"

#include <QDateTime>
#include <QObject>
#include <QSettings>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class CrashReporter;
class LoggerService;
class MeasurementDispatcher;

// Counts what the user does in one triage session and, when a session with at least one
// action ends, folds it into lifetime counters, logs a summary line, sets crash-reporter
// keys and sends the measurement event. Files are reduced to a category, actions to a
// kind, input to keyboard or mouse. Every operation may be called from any thread.
class TelemetryService : public QObject
{
    Q_OBJECT
public:
    static inline const QString enabledKey = QStringLiteral("com.stowbird.telemetry.enabled");
    static inline const QString installationIDKey =
        QStringLiteral("com.stowbird.telemetry.installation_id");
    static inline const QString lifetimeTriagedKey =
        QStringLiteral("com.stowbird.telemetry.lifetime_triaged");
    static inline const QString lifetimeSessionsKey =
        QStringLiteral("com.stowbird.telemetry.lifetime_sessions");

    using Clock = std::function<QDateTime()>;

    // settings is the defaults store; reporter gets the custom keys and the collection flag;
    // dispatcher (may be null: no events) sends the measurement event. The service owns
    // the settings, not the reporter or the dispatcher.
    TelemetryService(std::unique_ptr<QSettings> settings, CrashReporter& reporter,
                     MeasurementDispatcher* dispatcher, QObject* parent = nullptr);
    ~TelemetryService() override;

    // The switch; absent means on.
    bool isEnabled() const;
    // Whether anything leaves this computer while the switch is on: true only with a
    // dispatcher that has a secret to send measurement events with. Crash reports never do
    // (the crash reporter keeps them on this computer).
    bool sendsUsageData() const;
    // Stores the switch and applies it to crash collection; turning it off discards the
    // session under way without completing it.
    void setIsEnabled(bool enabled);

    // A random UUID in upper-case canonical form, created on first need and kept.
    QString installationID();
    qint64 lifetimeFilesTriaged() const;
    qint64 lifetimeSessionsCount() const;
    std::optional<TriageSessionStats> currentStats() const;

    void startSession(qint64 initialCount);
    void recordAction(ActionType type, InputMethod input, const TriageItem& item);
    void recordUndo();
    void recordQuickLook();
    void endSession(qint64 remainingCount);

    // Hands a completed session to the measurement dispatcher (nothing without one).
    void sendMeasurementEvent(const TriageSessionStats& stats, qint64 remainingCount,
                              double durationSeconds);

    static FileCategory categorize(const QString& filename, const QString& ext);

    // Test seams: the time source and where log lines go.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setLogRecorder(ServiceLog::Recorder recorder) { m_log.setRecorder(std::move(recorder)); }
    // Its own lines and its dispatcher's go to logger.
    void setLogger(LoggerService& logger);

signals:
    void enabledChanged(bool enabled);

private:
    bool enabledLocked() const;
    qint64 storedInteger(const QString& key) const;
    qint64 storedIntegerLocked(const QString& key) const;
    QDateTime now() const { return m_clock ? m_clock() : QDateTime::currentDateTimeUtc(); }
    // Called without m_lock held.
    void complete(const TriageSessionStats& stats, qint64 remainingCount);

    mutable std::mutex m_lock;
    std::unique_ptr<QSettings> m_settings;
    CrashReporter* m_reporter;
    MeasurementDispatcher* m_dispatcher;
    std::optional<TriageSessionStats> m_activeSession;
    Clock m_clock;
    ServiceLog m_log;
};
