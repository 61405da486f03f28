#include "services/AppcastUpdater.h"

#include "services/UpdatePresenter.h"

#include <QNetworkRequest>

AppcastUpdater::AppcastUpdater(const QUrl& feedUrl, const QString& currentVersion,
                               std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), m_feedUrl(feedUrl), m_currentVersion(currentVersion),
      m_settings(std::move(settings)), m_fetch(new BoundedHttpGet(Appcast::maximumFeedSize, this))
{
    m_schedule.setInterval(checkIntervalMilliseconds);
    connect(&m_schedule, &QTimer::timeout, this, &AppcastUpdater::checkInBackground);
    if (automaticallyChecksForUpdates())
        m_schedule.start();
    connect(m_fetch, &BoundedHttpGet::finished, this, &AppcastUpdater::finishCheck);
    m_canCheck = true;
}

AppcastUpdater::~AppcastUpdater()
{
    delete m_fetch; // cancels a check still running
    delete m_presenter;
}

bool AppcastUpdater::automaticallyChecksForUpdates() const
{
    return m_settings->value(automaticChecksKey, true).toBool();
}

void AppcastUpdater::setAutomaticallyChecksForUpdates(bool enabled)
{
    m_settings->setValue(automaticChecksKey, enabled);
    m_settings->sync();
    if (enabled && !m_schedule.isActive())
        m_schedule.start();
    else if (!enabled)
        m_schedule.stop();
}

void AppcastUpdater::checkForUpdates()
{
    if (m_fetch->isRunning()) {
        // A check is already running: let the user see it instead of starting another.
        m_userInitiated = true;
        if (UpdatePresenter* presenter = ensureWindow())
            presenter->showChecking();
        return;
    }
    startCheck(true);
}

void AppcastUpdater::checkInBackground()
{
    if (!m_fetch->isRunning())
        startCheck(false);
}

void AppcastUpdater::startCheck(bool userInitiated)
{
    m_userInitiated = userInitiated;
    setCanCheck(false);
    if (UpdatePresenter* presenter = userInitiated ? ensureWindow() : nullptr)
        presenter->showChecking();

    QNetworkRequest request(m_feedUrl);
    request.setTransferTimeout(timeoutMilliseconds);
    // Each redirect is checked before it is followed: never to plain http elsewhere.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Stowbird/%1").arg(m_currentVersion));
    // A huge answer is cut off rather than held in memory.
    m_fetch->start(request);
}

void AppcastUpdater::finishCheck(const BoundedHttpGet::Result& fetched)
{
    CheckResult result;
    const int status = fetched.httpStatus;
    if (fetched.tooLarge) {
        result.errorText = tr("The update feed is too large.");
    } else if (fetched.insecureRedirect || !Appcast::isSecureWebUrl(fetched.finalUrl)) {
        result.errorText = tr("The update feed was redirected to an address that is not https.");
    } else if (status != 0 && (status < 200 || status > 299)) {
        result.errorText = tr("The update feed answered HTTP %1.").arg(status);
    } else if (fetched.error != QNetworkReply::NoError) {
        result.errorText = tr("The update feed could not be fetched: %1.").arg(fetched.errorString);
    } else {
        QString parseError;
        const std::optional<QList<AppcastItem>> items = Appcast::parse(fetched.body, &parseError);
        if (!items) {
            result.errorText = tr("The update feed could not be read: %1.").arg(parseError);
        } else if (const std::optional<AppcastItem> newer =
                       Appcast::newestNewerThan(*items, m_currentVersion)) {
            result.outcome = CheckResult::Outcome::updateAvailable;
            result.item = *newer;
        } else {
            result.outcome = CheckResult::Outcome::upToDate;
        }
    }
    report(result);
    setCanCheck(true);
    emit checkFinished(result);
}

void AppcastUpdater::report(const CheckResult& result)
{
    switch (result.outcome) {
    case CheckResult::Outcome::updateAvailable:
        m_log.info(QStringLiteral("[UPDATES] Stowbird %1 is available (running %2).")
                       .arg(result.item.displayVersion, m_currentVersion));
        if (UpdatePresenter* presenter = ensureWindow())
            presenter->showUpdateAvailable(result.item.displayVersion, m_currentVersion,
                                           result.item.notes, result.item.downloadUrl);
        break;
    case CheckResult::Outcome::upToDate:
        m_log.info(QStringLiteral("[UPDATES] Stowbird %1 is up to date.").arg(m_currentVersion));
        if (UpdatePresenter* presenter = m_userInitiated ? ensureWindow() : nullptr)
            presenter->showUpToDate(m_currentVersion);
        break;
    case CheckResult::Outcome::failed:
        m_log.error(QStringLiteral("[UPDATES] Update check failed: %1").arg(result.errorText));
        if (UpdatePresenter* presenter = m_userInitiated ? ensureWindow() : nullptr)
            presenter->showError(result.errorText);
        break;
    }
}

void AppcastUpdater::setCanCheck(bool canCheck)
{
    if (m_canCheck == canCheck)
        return;
    m_canCheck = canCheck;
    emit canCheckForUpdatesChanged(canCheck);
}

UpdatePresenter* AppcastUpdater::ensureWindow()
{
    if (!m_presenter && m_presenterFactory)
        m_presenter = m_presenterFactory();
    return m_presenter;
}
