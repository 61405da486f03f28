#include "services/AppcastUpdater.h"

#include "services/UpdatePresenter.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

AppcastUpdater::AppcastUpdater(const QUrl& feedUrl, const QString& currentVersion,
                               std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), m_feedUrl(feedUrl), m_currentVersion(currentVersion),
      m_settings(std::move(settings)), m_network(new QNetworkAccessManager(this))
{
    m_schedule.setInterval(checkIntervalMilliseconds);
    connect(&m_schedule, &QTimer::timeout, this, &AppcastUpdater::checkInBackground);
    if (automaticallyChecksForUpdates())
        m_schedule.start();
    m_canCheck = true;
}

AppcastUpdater::~AppcastUpdater()
{
    if (m_reply)
        m_reply->abort();
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
    if (m_reply) {
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
    if (!m_reply)
        startCheck(false);
}

void AppcastUpdater::startCheck(bool userInitiated)
{
    m_userInitiated = userInitiated;
    m_tooLarge = false;
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
    m_reply = m_network->get(request);
    QNetworkReply* reply = m_reply;
    // A feed is small; a huge answer is cut off rather than held in memory.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > Appcast::maximumFeedSize && !m_tooLarge) {
            m_tooLarge = true;
            reply->abort();
        }
    });
    m_insecureRedirect = false;
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& target) {
        if (Appcast::isSecureWebUrl(target)) {
            emit reply->redirectAllowed();
        } else {
            m_insecureRedirect = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finishCheck(reply); });
}

void AppcastUpdater::finishCheck(QNetworkReply* reply)
{
    reply->deleteLater();
    m_reply.clear();

    CheckResult result;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_tooLarge) {
        result.errorText = tr("The update feed is too large.");
    } else if (m_insecureRedirect || !Appcast::isSecureWebUrl(reply->url())) {
        result.errorText = tr("The update feed was redirected to an address that is not https.");
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        result.errorText = tr("The update feed answered HTTP %1.").arg(status.toInt());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.errorText =
            tr("The update feed could not be fetched: %1.").arg(reply->errorString());
    } else {
        QString parseError;
        const std::optional<QList<AppcastItem>> items =
            Appcast::parse(reply->readAll(), &parseError);
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
