#include "services/TelemetryService.h"

#include "crashreporting/CrashReporter.h"
#include "services/MeasurementDispatcher.h"

#include <QSet>

#include <algorithm>

namespace {

using Lock = std::lock_guard<std::mutex>;

const QSet<QString>& extensions(FileCategory category)
{
    static const QSet<QString> image{"png",  "jpg",  "jpeg", "webp", "gif",
                                     "heic", "tiff", "bmp",  "svg"};
    static const QSet<QString> document{"pdf",      "doc", "docx", "pages", "txt", "rtf",  "md",
                                        "markdown", "xls", "xlsx", "csv",   "ppt", "pptx", "key"};
    static const QSet<QString> archive{"zip", "tar", "gz", "tgz", "dmg",
                                       "pkg", "app", "7z", "rar", "iso"};
    static const QSet<QString> code{"swift", "js", "ts", "py", "json", "html", "css", "c",
                                    "cpp",   "h",  "go", "rs", "sh",   "yaml", "yml", "xml"};
    static const QSet<QString> media{"mp4", "mov", "avi",  "mkv", "mp3",
                                     "wav", "m4a", "flac", "aac"};
    static const QSet<QString> none;
    switch (category) {
    case FileCategory::image:
        return image;
    case FileCategory::document:
        return document;
    case FileCategory::archiveOrInstaller:
        return archive;
    case FileCategory::code:
        return code;
    case FileCategory::media:
        return media;
    default:
        return none;
    }
}

void increment(QMap<QString, qint64>& counts, const QString& key)
{
    counts[key] = saturatingAdd(counts.value(key, 0), 1);
}

} // namespace

TelemetryService::TelemetryService(std::unique_ptr<QSettings> settings, CrashReporter& reporter,
                                   MeasurementDispatcher* dispatcher, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_reporter(&reporter),
      m_dispatcher(dispatcher)
{
}

TelemetryService::~TelemetryService() = default;

void TelemetryService::setLogger(LoggerService& logger)
{
    m_log.setLogger(&logger);
    if (m_dispatcher)
        m_dispatcher->setLogger(logger);
}

bool TelemetryService::enabledLocked() const
{
    return m_settings->value(enabledKey, true).toBool();
}

bool TelemetryService::sendsUsageData() const
{
    return m_dispatcher && m_dispatcher->isConfiguredToSend();
}

bool TelemetryService::isEnabled() const
{
    Lock lock(m_lock);
    return enabledLocked();
}

void TelemetryService::setIsEnabled(bool enabled)
{
    bool changed = false;
    {
        Lock lock(m_lock);
        changed = enabledLocked() != enabled;
        m_settings->setValue(enabledKey, enabled);
        m_settings->sync();
        m_reporter->setCollectionEnabled(enabled);
        if (!enabled)
            m_activeSession.reset();
    }
    if (changed)
        emit enabledChanged(enabled);
}

QString TelemetryService::installationID()
{
    Lock lock(m_lock);
    const QVariant stored = m_settings->value(installationIDKey);
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty())
        return stored.toString();
    const QString created = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    m_settings->setValue(installationIDKey, created);
    m_settings->sync();
    return created;
}

qint64 TelemetryService::storedInteger(const QString& key) const
{
    // QSettings is not safe for concurrent use, so even these plain reads take the lock.
    Lock lock(m_lock);
    return storedIntegerLocked(key);
}

qint64 TelemetryService::storedIntegerLocked(const QString& key) const
{
    bool ok = false;
    const qint64 value = m_settings->value(key, 0).toLongLong(&ok);
    return ok ? value : 0;
}

qint64 TelemetryService::lifetimeFilesTriaged() const
{
    return storedInteger(lifetimeTriagedKey);
}

qint64 TelemetryService::lifetimeSessionsCount() const
{
    return storedInteger(lifetimeSessionsKey);
}

std::optional<TriageSessionStats> TelemetryService::currentStats() const
{
    Lock lock(m_lock);
    return m_activeSession;
}

void TelemetryService::startSession(qint64 initialCount)
{
    std::optional<TriageSessionStats> previous;
    {
        Lock lock(m_lock);
        if (!enabledLocked())
            return;
        previous = std::exchange(m_activeSession, TriageSessionStats::begin(initialCount, now()));
    }
    // A session with actions is completed with the new queue depth as what it left behind;
    // an idle one is dropped.
    if (previous && previous->filesTriaged > 0)
        complete(*previous, initialCount);
    m_reporter->setCustomValue(QStringLiteral("session_initial_queue_count"), initialCount);
}

void TelemetryService::recordAction(ActionType type, InputMethod input, const TriageItem& item)
{
    Lock lock(m_lock);
    if (!enabledLocked())
        return;
    if (!m_activeSession)
        m_activeSession = TriageSessionStats::begin(1, now());
    TriageSessionStats& session = *m_activeSession;
    session.filesTriaged = saturatingAdd(session.filesTriaged, 1);
    increment(session.actionCounts, rawValue(type));
    increment(session.inputMethodCounts, rawValue(input));
    increment(session.categoryCounts, rawValue(categorize(item.filename, item.fileExtension)));
    m_reporter->setCustomValue(QStringLiteral("session_triaged_count"), session.filesTriaged);
}

void TelemetryService::recordUndo()
{
    Lock lock(m_lock);
    if (!enabledLocked() || !m_activeSession)
        return;
    m_activeSession->undoCount = saturatingAdd(m_activeSession->undoCount, 1);
    m_reporter->setCustomValue(QStringLiteral("session_undo_count"), m_activeSession->undoCount);
}

void TelemetryService::recordQuickLook()
{
    Lock lock(m_lock);
    if (!enabledLocked() || !m_activeSession)
        return;
    m_activeSession->quicklookCount = saturatingAdd(m_activeSession->quicklookCount, 1);
}

void TelemetryService::endSession(qint64 remainingCount)
{
    std::optional<TriageSessionStats> ended;
    {
        Lock lock(m_lock);
        if (!enabledLocked())
            return;
        ended = std::exchange(m_activeSession, std::nullopt);
    }
    if (ended)
        complete(*ended, remainingCount);
}

void TelemetryService::complete(const TriageSessionStats& stats, qint64 remainingCount)
{
    double duration = stats.startTime.msecsTo(now()) / 1000.0;
    if (stats.filesTriaged <= 0)
        return;
    duration = std::max(duration, 1.0);

    qint64 lifetimeTriaged = 0;
    qint64 lifetimeSessions = 0;
    {
        Lock lock(m_lock);
        lifetimeTriaged =
            saturatingAdd(storedIntegerLocked(lifetimeTriagedKey), stats.filesTriaged);
        lifetimeSessions = saturatingAdd(storedIntegerLocked(lifetimeSessionsKey), 1);
        m_settings->setValue(lifetimeTriagedKey, lifetimeTriaged);
        m_settings->setValue(lifetimeSessionsKey, lifetimeSessions);
        m_settings->sync();
    }

    const qint64 seconds = static_cast<qint64>(duration);
    m_reporter->setCustomValue(QStringLiteral("last_session_triaged"), stats.filesTriaged);
    m_reporter->setCustomValue(QStringLiteral("last_session_undos"), stats.undoCount);
    m_reporter->setCustomValue(QStringLiteral("last_session_duration_s"), seconds);
    m_reporter->setCustomValue(QStringLiteral("lifetime_triaged"), lifetimeTriaged);
    m_reporter->setCustomValue(QStringLiteral("lifetime_sessions"), lifetimeSessions);

    const auto inputs = [&](InputMethod method) {
        return TriageSessionStats::count(stats.inputMethodCounts, rawValue(method));
    };
    m_log.info(QStringLiteral("[TELEMETRY] Triage session completed: %1 files in %2s | Inputs: "
                              "[K:%3, M:%4] | Undos: %5 | Queue: %6 -> %7")
                   .arg(stats.filesTriaged)
                   .arg(seconds)
                   .arg(inputs(InputMethod::keyboard))
                   .arg(inputs(InputMethod::mouse))
                   .arg(stats.undoCount)
                   .arg(stats.initialItemCount)
                   .arg(remainingCount));

    sendMeasurementEvent(stats, remainingCount, duration);
}

void TelemetryService::sendMeasurementEvent(const TriageSessionStats& stats, qint64 remainingCount,
                                            double durationSeconds)
{
    if (m_dispatcher)
        m_dispatcher->send(stats, remainingCount, durationSeconds, installationID());
}

FileCategory TelemetryService::categorize(const QString& filename, const QString& ext)
{
    const QString name = filename.toLower();
    const QString extension = ext.toLower();
    if (name.contains(QLatin1String("screen shot")) || name.contains(QLatin1String("screenshot")))
        return FileCategory::screenshot;
    for (FileCategory category :
         {FileCategory::image, FileCategory::document, FileCategory::archiveOrInstaller,
          FileCategory::code, FileCategory::media}) {
        if (extensions(category).contains(extension))
            return category;
    }
    return FileCategory::other;
}
