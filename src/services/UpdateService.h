#pragma once

#include "services/ServiceLog.h"

#include <QObject>
#include <QSettings>
#include <QUrl>

#include <memory>

class AppcastUpdater;
class LoggerService;

// Update checks on demand. Wraps the updater controller: it is created (and started) with
// the service, its canCheckForUpdates flag is mirrored here, and checkForUpdates() starts a
// user-initiated check. A build without a feed URL has no controller: checks do nothing.
class UpdateService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
public:
    UpdateService(const QUrl& feedUrl, const QString& currentVersion,
                  std::unique_ptr<QSettings> settings, QObject* parent = nullptr);
    ~UpdateService() override;

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    // True when there is no controller.
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool enabled);
    void checkForUpdates();

    // Null when the build has no update feed.
    AppcastUpdater* updaterController() const { return m_updaterController; }

    // Its lines and its updater's go to logger (a feed refused at construction is reported
    // here, once a logger is given).
    void setLogger(LoggerService& logger);

signals:
    void canCheckForUpdatesChanged(bool canCheck);

private:
    void setCanCheckForUpdates(bool canCheck);

    ServiceLog m_log;
    bool m_feedRefused = false;

    bool m_canCheckForUpdates = false;
    AppcastUpdater* m_updaterController = nullptr;
};
