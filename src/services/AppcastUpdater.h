#pragma once

#include "platform/Appcast.h"
#include "platform/BoundedHttpGet.h"
#include "services/ServiceLog.h"

#include <QObject>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class UpdatePresenter;

// The program's own updater: reads an appcast feed and tells the user about a newer
// version in a small window. It offers what the update service relies on: it starts when
// constructed, announces changes of canCheckForUpdates, keeps the automatic-check
// preference and runs user-initiated checks. It downloads and installs nothing itself:
// the window's button opens the release's download link.
class AppcastUpdater : public QObject
{
    Q_OBJECT
public:
    static inline const QString automaticChecksKey =
        QStringLiteral("com.stowbird.updates.automatic_checks");
    static constexpr int checkIntervalMilliseconds = 24 * 60 * 60 * 1000;
    static constexpr int timeoutMilliseconds = 30 * 1000;

    struct CheckResult
    {
        enum class Outcome { updateAvailable, upToDate, failed };
        Outcome outcome = Outcome::failed;
        AppcastItem item;  // the newer release, for updateAvailable
        QString errorText; // for failed
    };

    // The updater is started at once; settings keeps the automatic-check preference.
    AppcastUpdater(const QUrl& feedUrl, const QString& currentVersion,
                   std::unique_ptr<QSettings> settings, QObject* parent = nullptr);
    ~AppcastUpdater() override;

    bool canCheckForUpdates() const { return m_canCheck; }
    // On unless switched off.
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool enabled);

    // A check the user asked for: the window shows progress and then the outcome.
    void checkForUpdates();
    // A scheduled check: the window appears only when a newer version exists.
    void checkInBackground();

    QUrl feedUrl() const { return m_feedUrl; }
    // How the window that shows checks is made; without it checks are only logged.
    using PresenterFactory = std::function<UpdatePresenter*()>;
    void setPresenterFactory(PresenterFactory factory) { m_presenterFactory = std::move(factory); }
    // The window, once a check has shown it.
    UpdatePresenter* window() const { return m_presenter; }

    void setLogRecorder(ServiceLog::Recorder recorder) { m_log.setRecorder(std::move(recorder)); }
    void setLogger(LoggerService& logger) { m_log.setLogger(&logger); }

signals:
    void canCheckForUpdatesChanged(bool canCheck);
    void checkFinished(const AppcastUpdater::CheckResult& result);

private:
    void startCheck(bool userInitiated);
    void finishCheck(const BoundedHttpGet::Result& fetched);
    void report(const CheckResult& result);
    void setCanCheck(bool canCheck);
    UpdatePresenter* ensureWindow();

    const QUrl m_feedUrl;
    const QString m_currentVersion;
    std::unique_ptr<QSettings> m_settings;
    BoundedHttpGet* m_fetch;
    QTimer m_schedule;
    PresenterFactory m_presenterFactory;
    UpdatePresenter* m_presenter = nullptr;
    bool m_canCheck = false;
    bool m_userInitiated = false;

    ServiceLog m_log;
};

Q_DECLARE_METATYPE(AppcastUpdater::CheckResult)
