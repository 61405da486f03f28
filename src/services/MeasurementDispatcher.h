#pragma once

#include "models/TriageSessionStats.h"
#include "services/ServiceLog.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// Sends one summary event per completed triage session to the analytics collection
// endpoint (Measurement Protocol for app streams). Only counts leave the machine. One
// attempt, no retry, no queue: a failure is a DEBUG line and nothing else.
class MeasurementDispatcher : public QObject
{
    Q_OBJECT
public:
    // Used when the options file names no app.
    static constexpr const char* fallbackAppID = "1:000000000000:ios:0000000000000000000000";
    static constexpr int timeoutMilliseconds = 60 * 1000;

    // endpointBase is the collection endpoint without a path ("https://host"); the
    // options file and the info dictionary are read afresh at every dispatch.
    MeasurementDispatcher(const QString& endpointBase, const QString& optionsFilePath,
                          const QVariantMap& infoDictionary, QObject* parent = nullptr);
    ~MeasurementDispatcher() override;

    struct Credentials
    {
        QString appID;
        QString secret; // empty when none is configured
    };
    Credentials readCredentials() const;
    // Whether send() would post anything: a secret is configured (the build's, or the
    // options file's).
    bool isConfiguredToSend() const { return !readCredentials().secret.isEmpty(); }
    // The same for the build's own endpoint, options file and info dictionary, before any
    // dispatcher exists (the defaults of a first run ask for consent to send).
    static bool buildSends();

    // Starts the request and returns at once; callable from any thread. The exchange runs
    // on the thread this object lives in (the application's main thread).
    void send(const TriageSessionStats& stats, qint64 remainingCount, double durationSeconds,
              const QString& installationID);

    // The compact JSON body of the event.
    static QByteArray eventBody(const TriageSessionStats& stats, qint64 remainingCount,
                                double durationSeconds, const QString& installationID);

    void setLogRecorder(ServiceLog::Recorder recorder) { m_log.setRecorder(std::move(recorder)); }
    void setLogger(LoggerService& logger) { m_log.setLogger(&logger); }

signals:
    // After a request has completed and its outcome was logged: the HTTP status, or -1
    // when no HTTP response arrived.
    void dispatchFinished(int httpStatus);

private:
    static Credentials credentialsFrom(const QString& optionsFilePath,
                                       const QVariantMap& infoDictionary);
    void startRequest(const QNetworkRequest& request, const QByteArray& body);
    void handleReply(QNetworkReply* reply);

    const QString m_endpointBase;
    const QString m_optionsFilePath;
    const QVariantMap m_infoDictionary;
    QNetworkAccessManager* m_network;
    ServiceLog m_log;
};
