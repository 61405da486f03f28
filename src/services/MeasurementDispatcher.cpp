#include "services/MeasurementDispatcher.h"

#include "platform/BundleResources.h"
#include "platform/PropertyListReader.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>

#include <cmath>

namespace {

const QString secretKey = QStringLiteral("MEASUREMENT_PROTOCOL_SECRET");

// A non-empty string stored under key, else nothing.
std::optional<QString> nonEmptyString(const QVariantMap& map, const QString& key)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd() || it->typeId() != QMetaType::QString || it->toString().isEmpty())
        return std::nullopt;
    return it->toString();
}

// Whole seconds and milliseconds of a duration, at least 1 s. The tiny epsilon keeps
// binary fractions such as 2.3 * 1000 = 2299.999... from losing a millisecond.
qint64 wholeUnits(double seconds, double factor)
{
    constexpr double ceiling = 1e15; // far beyond any session, safely inside qint64
    const double clamped = std::isfinite(seconds) ? std::clamp(seconds, 1.0, ceiling) : 1.0;
    return static_cast<qint64>(std::floor(clamped * factor + 1e-6));
}

} // namespace

MeasurementDispatcher::MeasurementDispatcher(const QString& endpointBase,
                                             const QString& optionsFilePath,
                                             const QVariantMap& infoDictionary, QObject* parent)
    : QObject(parent), m_endpointBase(endpointBase), m_optionsFilePath(optionsFilePath),
      m_infoDictionary(infoDictionary), m_network(new QNetworkAccessManager(this))
{
    // Requests run where an event loop is sure to exist, whichever thread first asked for
    // the telemetry service.
    if (!parent && QCoreApplication::instance() &&
        thread() != QCoreApplication::instance()->thread())
        moveToThread(QCoreApplication::instance()->thread());
}

MeasurementDispatcher::~MeasurementDispatcher() = default;

MeasurementDispatcher::Credentials MeasurementDispatcher::readCredentials() const
{
    return credentialsFrom(m_optionsFilePath, m_infoDictionary);
}

MeasurementDispatcher::Credentials
MeasurementDispatcher::credentialsFrom(const QString& optionsFilePath,
                                       const QVariantMap& infoDictionary)
{
    const QVariantMap options =
        PropertyListReader::readDictionary(optionsFilePath).value_or(QVariantMap());
    Credentials credentials;
    credentials.appID = nonEmptyString(options, QStringLiteral("GOOGLE_APP_ID"))
                            .value_or(QString::fromLatin1(fallbackAppID));
    credentials.secret =
        nonEmptyString(options, secretKey)
            .value_or(nonEmptyString(infoDictionary, secretKey).value_or(QString()));
    return credentials;
}

bool MeasurementDispatcher::buildSends()
{
    return !credentialsFrom(BundleResources::optionsFilePath(), BundleResources::infoDictionary())
                .secret.isEmpty();
}

QByteArray MeasurementDispatcher::eventBody(const TriageSessionStats& stats, qint64 remainingCount,
                                            double durationSeconds, const QString& installationID)
{
    const auto action = [&](ActionType type) {
        return TriageSessionStats::count(stats.actionCounts, rawValue(type));
    };
    const auto input = [&](InputMethod method) {
        return TriageSessionStats::count(stats.inputMethodCounts, rawValue(method));
    };

    QJsonObject params;
    params.insert(QStringLiteral("files_triaged"), stats.filesTriaged);
    params.insert(QStringLiteral("duration_seconds"), wholeUnits(durationSeconds, 1.0));
    params.insert(QStringLiteral("initial_queue"), stats.initialItemCount);
    params.insert(QStringLiteral("remaining_queue"), remainingCount);
    params.insert(QStringLiteral("undo_count"), stats.undoCount);
    params.insert(QStringLiteral("quicklook_count"), stats.quicklookCount);
    params.insert(QStringLiteral("action_slots"), action(ActionType::slotRoute));
    params.insert(QStringLiteral("action_trash"), action(ActionType::trash));
    params.insert(QStringLiteral("action_custom"), action(ActionType::customFolder));
    params.insert(QStringLiteral("action_skip"), action(ActionType::skip));
    params.insert(QStringLiteral("action_rename"), action(ActionType::rename));
    params.insert(QStringLiteral("input_keyboard"), input(InputMethod::keyboard));
    params.insert(QStringLiteral("input_mouse"), input(InputMethod::mouse));
    params.insert(QStringLiteral("engagement_time_msec"), wholeUnits(durationSeconds, 1000.0));

    QJsonObject event;
    event.insert(QStringLiteral("name"), QStringLiteral("triage_session_completed"));
    event.insert(QStringLiteral("params"), params);

    QJsonObject root;
    root.insert(QStringLiteral("app_instance_id"), installationID);
    root.insert(QStringLiteral("events"), QJsonArray{event});
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

void MeasurementDispatcher::send(const TriageSessionStats& stats, qint64 remainingCount,
                                 double durationSeconds, const QString& installationID)
{
    const Credentials credentials = readCredentials();
    if (credentials.secret.isEmpty()) {
        m_log.debug(QStringLiteral("[TELEMETRY] Measurement Protocol API secret not configured; "
                                   "local diagnostics and crash reports kept on this computer."));
        return;
    }

    QString base = m_endpointBase;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    // The identifiers go in as they are; strict parsing refuses anything that would need
    // encoding instead of silently altering it.
    const QUrl url(base + QStringLiteral("/mp/collect?firebase_app_id=") + credentials.appID +
                       QStringLiteral("&api_secret=") + credentials.secret,
                   QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return;

    const QByteArray body = eventBody(stats, remainingCount, durationSeconds, installationID);
    if (body.isEmpty())
        return;

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(timeoutMilliseconds);

    // Hop to this object's thread; a direct call when already there.
    QMetaObject::invokeMethod(this, [this, request, body] { startRequest(request, body); });
}

void MeasurementDispatcher::startRequest(const QNetworkRequest& request, const QByteArray& body)
{
    QNetworkReply* reply = m_network->post(request, body);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { handleReply(reply); });
}

void MeasurementDispatcher::handleReply(QNetworkReply* reply)
{
    reply->deleteLater();
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    // Qt reports HTTP error statuses as reply errors too; only failures below HTTP (no
    // connection, time-out, dropped transfer) count as dispatch errors.
    const bool transportError =
        error != QNetworkReply::NoError &&
        (!statusAttribute.isValid() || error < QNetworkReply::ContentAccessDenied);
    if (transportError) {
        m_log.debug(
            QStringLiteral("[TELEMETRY] Measurement dispatch error: %1").arg(reply->errorString()));
        emit dispatchFinished(statusAttribute.isValid() ? statusAttribute.toInt() : -1);
        return;
    }
    if (!statusAttribute.isValid()) {
        emit dispatchFinished(-1);
        return;
    }
    const int status = statusAttribute.toInt();
    if (status >= 200 && status <= 299)
        m_log.debug(
            QStringLiteral("[TELEMETRY] Measurement event dispatched successfully (HTTP %1).")
                .arg(status));
    emit dispatchFinished(status);
}
