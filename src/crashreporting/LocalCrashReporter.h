#pragma once

#include "crashreporting/CrashReporter.h"

#include <QMap>
#include <QStringList>
#include <QVariantMap>

#include <atomic>
#include <climits>
#include <mutex>

// A crash reporter that keeps everything on this machine. Once configured from the options
// file it keeps the custom values and the last breadcrumbs in memory, appends non-fatal
// errors to a file in its folder and, when the program crashes, writes a report of its own
// with the crash, the custom values and the breadcrumbs. Nothing is sent anywhere.
class LocalCrashReporter final : public CrashReporter
{
public:
    static constexpr int maximumBreadcrumbs = 64;
    static constexpr int maximumBreadcrumbLength = 1024;
    static constexpr int maximumCustomKeys = 64;

    // reportDirectory holds the files written; empty means the log folder.
    explicit LocalCrashReporter(const QString& reportDirectory = {});

    bool configure(const QString& optionsFilePath) override;
    void setCollectionEnabled(bool enabled) override;
    void setCustomValue(const QString& key, const QVariant& value) override;
    void recordError(const AppError& error) override;
    void log(const QString& breadcrumb) override;
    void writeFatalReport(const FatalReport& report) noexcept override;

    bool isConfigured() const { return m_configured.load(); }
    bool isCollectionEnabled() const { return m_collectionEnabled.load(); }
    QVariantMap options() const;
    QVariantMap customValues() const;
    QStringList breadcrumbs() const;

    // Non-fatal errors, one line each.
    QString nonFatalErrorsPath() const
    {
        return m_directory + QStringLiteral("/nonfatal-errors.log");
    }
    // The report of the last crash, replaced by each crash.
    QString crashReportPath() const { return m_directory + QStringLiteral("/crash-report.log"); }

private:
    // Renders keys and breadcrumbs into the spare crash-time buffer and publishes it.
    // Called with m_mutex held.
    void publishSnapshot();

    static constexpr int snapshotCapacity = 96 * 1024;

    QString m_directory;
    mutable std::mutex m_mutex;
    std::atomic<bool> m_configured{false};
    std::atomic<bool> m_collectionEnabled{true};
    QVariantMap m_options;
    QMap<QString, QVariant> m_customValues;
    // Kept as UTF-8 lines, ready to be copied into the crash-time snapshot.
    QByteArray m_customValuesText;
    QList<QByteArray> m_breadcrumbs;

    // Prepared while running, read by the crash handler: the report paths and two
    // snapshot buffers of which the published one is complete.
    char m_reportPath[PATH_MAX] = {};
    char m_reportTemporaryPath[PATH_MAX] = {};
    char m_snapshots[2][snapshotCapacity] = {};
    std::size_t m_snapshotLengths[2] = {0, 0};
    std::atomic<int> m_publishedSnapshot{0};
};
