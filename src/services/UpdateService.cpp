#include "services/UpdateService.h"

#include "platform/Appcast.h"
#include "services/AppcastUpdater.h"

namespace {

QString refusedFeedMessage()
{
    return QStringLiteral(
        "[UPDATES] The update feed is not an https address; update checks are off.");
}

} // namespace

void UpdateService::setLogger(LoggerService& logger)
{
    m_log.setLogger(&logger);
    if (m_updaterController)
        m_updaterController->setLogger(logger);
    if (m_feedRefused)
        m_log.error(refusedFeedMessage());
}

UpdateService::UpdateService(const QUrl& feedUrl, const QString& currentVersion,
                             std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent)
{
    // Only a feed that cannot be changed on the way is read (https; plain http only on
    // this machine, for tests). With any other there is no controller, as with none.
    if (!Appcast::isSecureWebUrl(feedUrl)) {
        if (!feedUrl.isEmpty()) {
            m_feedRefused = true;
            m_log.error(refusedFeedMessage());
        }
        return;
    }
    m_updaterController = new AppcastUpdater(feedUrl, currentVersion, std::move(settings), this);
    connect(m_updaterController, &AppcastUpdater::canCheckForUpdatesChanged, this,
            &UpdateService::setCanCheckForUpdates);
    // The controller's value from the start, not only after its first change.
    setCanCheckForUpdates(m_updaterController->canCheckForUpdates());
}

UpdateService::~UpdateService() = default;

bool UpdateService::automaticallyChecksForUpdates() const
{
    return m_updaterController ? m_updaterController->automaticallyChecksForUpdates() : true;
}

void UpdateService::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (m_updaterController)
        m_updaterController->setAutomaticallyChecksForUpdates(enabled);
}

void UpdateService::checkForUpdates()
{
    if (m_updaterController)
        m_updaterController->checkForUpdates();
}

void UpdateService::setCanCheckForUpdates(bool canCheck)
{
    if (m_canCheckForUpdates == canCheck)
        return;
    m_canCheckForUpdates = canCheck;
    emit canCheckForUpdatesChanged(canCheck);
}
