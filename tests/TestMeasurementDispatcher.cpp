#include "LogRecorder.h"
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "fakes/FakeCrashReporter.h"
#include "services/MeasurementDispatcher.h"
#include "services/TelemetryService.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

const QString appID = QStringLiteral("1:123456789012:ios:0123456789abcdef012345");

// An options file with the given entries (a null string leaves the key out).
QByteArray optionsPlist(const QString& googleAppID, const QString& secret)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                     "<key>PROJECT_ID</key><string>demo</string>\n";
    if (!googleAppID.isNull())
        xml += "<key>GOOGLE_APP_ID</key><string>" + googleAppID.toUtf8() + "</string>\n";
    if (!secret.isNull())
        xml += "<key>MEASUREMENT_PROTOCOL_SECRET</key><string>" + secret.toUtf8() + "</string>\n";
    return xml + "</dict>\n</plist>\n";
}

TriageSessionStats sampleStats()
{
    TriageSessionStats stats = TriageSessionStats::begin(14, QDateTime::currentDateTimeUtc());
    stats.filesTriaged = 12;
    stats.actionCounts = {{"slot_route", 8}, {"trash", 2}, {"skip", 1}, {"rename", 1}};
    stats.inputMethodCounts = {{"keyboard", 11}, {"mouse", 1}};
    stats.categoryCounts = {{"document", 12}};
    stats.undoCount = 2;
    stats.quicklookCount = 3;
    return stats;
}

} // namespace

class TestMeasurementDispatcher : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
    LogRecorder m_log;

    QString writeOptions(const QByteArray& contents)
    {
        const QString path = m_dir->filePath(QStringLiteral("GoogleService-Info.plist"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(contents);
        return path;
    }

    std::unique_ptr<MeasurementDispatcher>
    makeDispatcher(const QString& base, const QByteArray& options, const QString& buildSecret = {})
    {
        QVariantMap info;
        if (!buildSecret.isNull())
            info.insert(QStringLiteral("MEASUREMENT_PROTOCOL_SECRET"), buildSecret);
        auto dispatcher =
            std::make_unique<MeasurementDispatcher>(base, writeOptions(options), info);
        dispatcher->setLogRecorder(m_log.sink());
        return dispatcher;
    }

    // A request sent on this thread is under way from the call that sends it until its
    // answer has been handled, so a request that should not exist is seen at once.
    static qsizetype requestsInFlight(const MeasurementDispatcher& dispatcher)
    {
        return dispatcher.findChildren<QNetworkReply*>().size();
    }

    QJsonObject onlyRequestParams(QByteArray* rawBody = nullptr)
    {
        if (m_server->requests().size() != 1)
            return {};
        const QByteArray body = m_server->requests().first().body;
        if (rawBody)
            *rawBody = body;
        return QJsonDocument::fromJson(body)
            .object()["events"]
            .toArray()
            .first()
            .toObject()["params"]
            .toObject();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->listen());
        m_log.clear();
    }

    void requestCarriesTheSessionCounts()
    {
        m_server->respond("/mp/collect", {204, "text/plain", {}});
        auto dispatcher = makeDispatcher(m_server->baseUrl(), optionsPlist(appID, "plist-secret"),
                                         "build-secret");
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        dispatcher->send(sampleStats(), 2, 95.5, QStringLiteral("INSTALL-ID"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toInt(), 204);

        QCOMPARE(m_server->requests().size(), 1);
        const LoopbackHttpServer::Request request = m_server->requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        // The options file's secret wins over the build value.
        QCOMPARE(request.target,
                 "/mp/collect?firebase_app_id=" + appID.toUtf8() + "&api_secret=plist-secret");
        QCOMPARE(request.headers.value("content-type"), QByteArray("application/json"));
        QVERIFY(!request.body.contains('\n') && !request.body.contains(": "));

        const QJsonObject root = QJsonDocument::fromJson(request.body).object();
        QCOMPARE(root.keys(), (QStringList{"app_instance_id", "events"}));
        QCOMPARE(root["app_instance_id"].toString(), QStringLiteral("INSTALL-ID"));
        QCOMPARE(root["events"].toArray().size(), 1);
        QCOMPARE(root["events"][0]["name"].toString(), QStringLiteral("triage_session_completed"));

        QByteArray raw;
        const QJsonObject params = onlyRequestParams(&raw);
        const QMap<QString, int> expected{{"files_triaged", 12}, {"duration_seconds", 95},
                                          {"initial_queue", 14}, {"remaining_queue", 2},
                                          {"undo_count", 2},     {"quicklook_count", 3},
                                          {"action_slots", 8},   {"action_trash", 2},
                                          {"action_custom", 0},  {"action_skip", 1},
                                          {"action_rename", 1},  {"input_keyboard", 11},
                                          {"input_mouse", 1},    {"engagement_time_msec", 95500}};
        QCOMPARE(params.keys(), QStringList(expected.keys()));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(params[it.key()].toInteger(-1), it.value());
        // Integers, never "95.0" or exponent forms.
        QVERIFY(!QRegularExpression(QStringLiteral("[0-9][.eE]")).match(raw).hasMatch());

        QCOMPARE(
            m_log.lines(),
            QStringList{"DEBUG [TELEMETRY] Measurement event dispatched successfully (HTTP 204)."});
    }

    void durations_data()
    {
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("0.4 s is raised to 1 s") << 0.4 << 1 << 1000;
        QTest::newRow("95.5 s") << 95.5 << 95 << 95500;
        QTest::newRow("binary fraction 2.3 s") << 2.3 << 2 << 2300;
        QTest::newRow("not a number") << std::nan("") << 1 << 1000;
    }

    void durations()
    {
        QFETCH(double, duration);
        QFETCH(int, seconds);
        QFETCH(int, milliseconds);
        TriageSessionStats stats = TriageSessionStats::begin(1, QDateTime::currentDateTimeUtc());
        stats.filesTriaged = 1;
        const QJsonObject params =
            QJsonDocument::fromJson(MeasurementDispatcher::eventBody(stats, 0, duration, "ID"))
                .object()["events"][0]["params"]
                .toObject();
        QCOMPARE(params["duration_seconds"].toInteger(), seconds);
        QCOMPARE(params["engagement_time_msec"].toInteger(), milliseconds);
        // Missing map entries are sent as 0.
        QCOMPARE(params["input_mouse"].toInteger(-1), 0);
        QCOMPARE(params["action_slots"].toInteger(-1), 0);
    }

    void credentialSources_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("buildSecret");
        QTest::addColumn<QString>("expectedAppID");
        QTest::addColumn<QString>("expectedSecret");
        const QString none;
        QTest::newRow("options file first") << optionsPlist(appID, "a") << "b" << appID << "a";
        QTest::newRow("build value when the file has none")
            << optionsPlist(appID, none) << "b" << appID << "b";
        QTest::newRow("empty counts as missing") << optionsPlist(appID, "") << "b" << appID << "b";
        QTest::newRow("nothing configured") << optionsPlist(appID, "") << none << appID << "";
        QTest::newRow("unreadable file: fallback app id")
            << QByteArray("not a plist") << "b" << MeasurementDispatcher::fallbackAppID << "b";
        QTest::newRow("app id of the wrong type")
            << QByteArray("<plist><dict><key>GOOGLE_APP_ID</key><integer>4</integer></dict>"
                          "</plist>")
            << none << MeasurementDispatcher::fallbackAppID << "";
    }

    void credentialSources()
    {
        QFETCH(QByteArray, options);
        QFETCH(QString, buildSecret);
        QFETCH(QString, expectedAppID);
        QFETCH(QString, expectedSecret);
        const auto credentials =
            makeDispatcher(m_server->baseUrl(), options, buildSecret)->readCredentials();
        QCOMPARE(credentials.appID, expectedAppID);
        QCOMPARE(credentials.secret, expectedSecret);
    }

    void missingSecretSendsNothing()
    {
        auto dispatcher = makeDispatcher(m_server->baseUrl(), optionsPlist(appID, ""));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        dispatcher->send(sampleStats(), 0, 5.0, "ID");
        QCOMPARE(m_log.lines(),
                 QStringList{"DEBUG [TELEMETRY] Measurement Protocol API secret not configured; "
                             "local diagnostics and crash reports kept on this computer."});
        QCOMPARE(requestsInFlight(*dispatcher), 0);
        QVERIFY(m_server->requests().isEmpty());
    }

    void failedStatusLogsNothing()
    {
        m_server->respond("/mp/collect", {400, "application/json", "{\"error\":1}"});
        auto dispatcher = makeDispatcher(m_server->baseUrl(), optionsPlist(appID, "s"));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        dispatcher->send(sampleStats(), 0, 5.0, "ID");
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toInt(), 400);
        QCOMPARE(m_server->requests().size(), 1);
        QVERIFY(m_log.lines().isEmpty());
    }

    void refusedConnectionLogsTheError()
    {
        const QString base =
            QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::closedPort());
        auto dispatcher = makeDispatcher(base, optionsPlist(appID, "s"));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        dispatcher->send(sampleStats(), 0, 5.0, "ID");
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toInt(), -1);
        QCOMPARE(m_log.lines().size(), 1);
        QVERIFY2(m_log.lines().first().startsWith(
                     "DEBUG [TELEMETRY] Measurement dispatch error: Connection refused"),
                 qPrintable(m_log.lines().first()));
    }

    void invalidUrlStopsSilently()
    {
        // A secret that would need encoding is not altered into something else.
        auto dispatcher = makeDispatcher(m_server->baseUrl(), optionsPlist(appID, "with space"));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        dispatcher->send(sampleStats(), 0, 5.0, "ID");
        auto noHost = makeDispatcher(QStringLiteral("not a url"), optionsPlist(appID, "s"));
        QSignalSpy noHostFinished(noHost.get(), &MeasurementDispatcher::dispatchFinished);
        noHost->send(sampleStats(), 0, 5.0, "ID");
        QCOMPARE(requestsInFlight(*dispatcher), 0);
        QCOMPARE(requestsInFlight(*noHost), 0);
        QCOMPARE(finished.count() + noHostFinished.count(), 0);
        QVERIFY(m_server->requests().isEmpty());
        QVERIFY(m_log.lines().isEmpty());
    }

    void sendFromAWorkerThread()
    {
        m_server->respond("/mp/collect", {200, "text/plain", "ok"});
        auto dispatcher = makeDispatcher(m_server->baseUrl() + "/", optionsPlist(appID, "s"));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        std::unique_ptr<QThread> worker(
            QThread::create([&dispatcher] { dispatcher->send(sampleStats(), 1, 3.0, "ID"); }));
        worker->start();
        QVERIFY(worker->wait(10000));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toInt(), 200);
        QVERIFY(m_server->requests().first().target.startsWith("/mp/collect?")); // one slash
    }

    void completedSessionPostsOneEvent()
    {
        m_server->respond("/mp/collect", {204, "text/plain", {}});
        auto dispatcher = makeDispatcher(m_server->baseUrl(), optionsPlist(appID, "s"));
        QSignalSpy finished(dispatcher.get(), &MeasurementDispatcher::dispatchFinished);
        FakeCrashReporter reporter;
        TelemetryService telemetry(
            std::make_unique<QSettings>(m_dir->filePath("defaults.conf"), QSettings::IniFormat),
            reporter, dispatcher.get());
        telemetry.setLogRecorder(m_log.sink());
        QDateTime now = QDateTime::currentDateTimeUtc();
        telemetry.setClock([&now] { return now; });

        telemetry.startSession(3);
        telemetry.recordAction(ActionType::trash, InputMethod::mouse,
                               TriageItem(QUrl::fromLocalFile("/nonexistent/a.zip")));
        now = now.addMSecs(400);
        telemetry.endSession(2);
        QCOMPARE(requestsInFlight(*dispatcher), 1);
        QVERIFY(finished.wait(10000));
        QCOMPARE(m_server->requests().size(), 1);

        const QJsonObject root =
            QJsonDocument::fromJson(m_server->requests().first().body).object();
        QCOMPARE(root["app_instance_id"].toString(), telemetry.installationID());
        const QJsonObject params = root["events"][0]["params"].toObject();
        QCOMPARE(params["duration_seconds"].toInteger(), 1);
        QCOMPARE(params["engagement_time_msec"].toInteger(), 1000);
        QCOMPARE(params["remaining_queue"].toInteger(), 2);
        QCOMPARE(params["input_mouse"].toInteger(), 1);
        QCOMPARE(params["input_keyboard"].toInteger(-1), 0);

        // A session without actions sends nothing.
        telemetry.startSession(2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the first reply
        QCOMPARE(requestsInFlight(*dispatcher), 0);
        telemetry.endSession(2);
        QCOMPARE(requestsInFlight(*dispatcher), 0);
        QCOMPARE(m_server->requests().size(), 1);
    }
};

STOWBIRD_TEST_MAIN(TestMeasurementDispatcher)
#include "TestMeasurementDispatcher.moc"
