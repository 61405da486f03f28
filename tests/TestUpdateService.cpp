#include "LogRecorder.h"
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "services/AppcastUpdater.h"
#include "services/UpdateService.h"
#include "views/UpdateWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Outcome = AppcastUpdater::CheckResult::Outcome;

QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           "sparkle\">\n<channel><title>Stowbird</title>\n" +
           items + "</channel></rss>\n";
}

QByteArray item(const QByteArray& version, const QByteArray& extra = {})
{
    return "<item><title>Stowbird " + version +
           "</title>"
           "<sparkle:version>" +
           version +
           "</sparkle:version>"
           "<enclosure url=\"https://example.org/Stowbird-" +
           version + ".tar.gz\" length=\"10\" type=\"application/octet-stream\"/>" + extra +
           "</item>\n";
}

} // namespace

class TestUpdateService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
    LogRecorder m_log;

    std::unique_ptr<QSettings> settings()
    {
        return std::make_unique<QSettings>(m_dir->filePath("defaults.conf"), QSettings::IniFormat);
    }

    std::unique_ptr<UpdateService> makeService(const QUrl& feed,
                                               const QString& version = QStringLiteral("1.0.0"))
    {
        auto service = std::make_unique<UpdateService>(feed, version, settings());
        if (AppcastUpdater* updater = service->updaterController()) {
            updater->setLogRecorder(m_log.sink());
            updater->setPresenterFactory([] { return new UpdateWindow; });
        }
        return service;
    }

    // Runs one user-initiated check and returns its result.
    AppcastUpdater::CheckResult check(UpdateService& service)
    {
        QSignalSpy finished(service.updaterController(), &AppcastUpdater::checkFinished);
        service.checkForUpdates();
        if (!finished.wait(10000))
            return {Outcome::failed, {}, QStringLiteral("no result")};
        return finished.first().first().value<AppcastUpdater::CheckResult>();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->listen());
        m_log.clear();
    }

    void newerVersionIsOffered()
    {
        m_server->respond("/appcast.xml",
                          {200, "application/rss+xml",
                           appcast(item("1.0.0") +
                                   item("1.2.0", "<sparkle:shortVersionString>1.2</sparkle:"
                                                 "shortVersionString><description><![CDATA[<p>"
                                                 "Faster triage</p>]]></description>") +
                                   item("1.1.0"))});
        auto service = makeService(m_server->url("/appcast.xml"));
        QVERIFY(service->canCheckForUpdates()); // started with the service
        QSignalSpy canCheck(service.get(), &UpdateService::canCheckForUpdatesChanged);

        const AppcastUpdater::CheckResult result = check(*service);
        QCOMPARE(result.outcome, Outcome::updateAvailable);
        QCOMPARE(result.item.version, QStringLiteral("1.2.0"));
        QCOMPARE(canCheck.count(), 2); // off while the check ran, then on again
        QCOMPARE(canCheck.at(0).first().toBool(), false);
        QCOMPARE(canCheck.at(1).first().toBool(), true);
        QVERIFY(service->canCheckForUpdates());
        QCOMPARE(m_server->requests().size(), 1);
        QVERIFY(m_server->requests().first().headers.value("user-agent").startsWith("Stowbird/"));

        auto* window = dynamic_cast<UpdateWindow*>(service->updaterController()->window());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->headline(), QStringLiteral("A new version of Stowbird is available!"));
        QVERIFY(window->message().contains("Stowbird 1.2 is now available (you have 1.0.0)"));
        QCOMPARE(window->notes(), QStringLiteral("Faster triage"));

        QUrl opened;
        window->setUrlOpener([&opened](const QUrl& url) {
            opened = url;
            return true;
        });
        window->downloadButton()->click();
        QCOMPARE(opened, QUrl("https://example.org/Stowbird-1.2.0.tar.gz"));
        QVERIFY(!window->isVisible());
    }

    void sameVersionIsUpToDate()
    {
        m_server->respond("/appcast.xml",
                          {200, "application/rss+xml", appcast(item("0.9") + item("1.0.0"))});
        auto service = makeService(m_server->url("/appcast.xml"));
        QSignalSpy finished(service->updaterController(), &AppcastUpdater::checkFinished);
        service->checkForUpdates();
        service->checkForUpdates(); // while one runs: no second request
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().value<AppcastUpdater::CheckResult>().outcome,
                 Outcome::upToDate);
        QCOMPARE(m_server->requests().size(), 1);
        auto* window = dynamic_cast<UpdateWindow*>(service->updaterController()->window());
        QCOMPARE(window->headline(), QStringLiteral("You're up to date!"));
        QVERIFY(!window->downloadButton()->isVisibleTo(window));
    }

    void unusableFeeds_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("malformed XML")
            << 200 << appcast(item("2.0")).left(150) << "could not be read";
        QTest::newRow("not RSS") << 200 << QByteArray("<html><body>hi</body></html>")
                                 << "not an RSS document";
        QTest::newRow("HTTP 404") << 404 << QByteArray("gone") << "HTTP 404";
    }

    void unusableFeeds()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        m_server->respond("/appcast.xml", {status, "application/rss+xml", body});
        auto service = makeService(m_server->url("/appcast.xml"));
        const AppcastUpdater::CheckResult result = check(*service);
        QCOMPARE(result.outcome, Outcome::failed);
        QVERIFY2(result.errorText.contains(reason), qPrintable(result.errorText));
        QVERIFY(service->canCheckForUpdates());

        auto* window = dynamic_cast<UpdateWindow*>(service->updaterController()->window());
        QCOMPARE(window->headline(), QStringLiteral("Update Error!"));
        QVERIFY(window->message().contains(result.errorText));
        QCOMPARE(m_log.lines(),
                 QStringList{"ERROR [UPDATES] Update check failed: " + result.errorText});
    }

    void noFeedMeansNoController()
    {
        auto service = makeService(QUrl());
        QVERIFY(!service->updaterController());
        QVERIFY(!service->canCheckForUpdates());
        QVERIFY(service->automaticallyChecksForUpdates());
        service->setAutomaticallyChecksForUpdates(false); // ignored
        QVERIFY(service->automaticallyChecksForUpdates());
        service->checkForUpdates();
        QVERIFY(m_server->requests().isEmpty());
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<UpdateWindow*>(widget));

        // Only web feeds make an updater.
        QVERIFY(!makeService(QUrl("file:///tmp/appcast.xml"))->updaterController());
    }

    // Only a feed that cannot be changed on the way makes an updater: https, or plain http
    // on this machine's loopback address.
    void feedAddresses_data()
    {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("https") << "https://updates.example.org/appcast.xml" << true;
        QTest::newRow("plain http") << "http://updates.example.org/appcast.xml" << false;
        QTest::newRow("http to loopback") << "http://127.0.0.1:8080/appcast.xml" << true;
        QTest::newRow("http to localhost") << "http://localhost/appcast.xml" << true;
        QTest::newRow("http to IPv6 loopback") << "http://[::1]/appcast.xml" << true;
        QTest::newRow("http to a LAN address") << "http://192.168.1.2/appcast.xml" << false;
        QTest::newRow("ftp") << "ftp://example.org/appcast.xml" << false;
    }

    void feedAddresses()
    {
        QFETCH(QString, feed);
        QFETCH(bool, accepted);
        auto service = makeService(QUrl(feed));
        QCOMPARE(service->updaterController() != nullptr, accepted);
        QCOMPARE(service->canCheckForUpdates(), accepted);
    }

    // A redirect is followed only to another address that may be used; plain http to
    // another machine is refused before anything is fetched from it.
    void redirectsStayOnSecureAddresses()
    {
        m_server->respond("/moved.xml", {200, "application/rss+xml", appcast(item("1.2.0"))});
        m_server->respond("/appcast.xml",
                          {302, "text/plain", "moved", m_server->url("/moved.xml").toEncoded()});
        auto service = makeService(m_server->url("/appcast.xml"));
        QCOMPARE(check(*service).outcome, Outcome::updateAvailable);

        m_server->respond("/appcast.xml",
                          {302, "text/plain", "moved", "http://192.0.2.1/appcast.xml"});
        QElapsedTimer timer;
        timer.start();
        const AppcastUpdater::CheckResult result = check(*service);
        QCOMPARE(result.outcome, Outcome::failed);
        QVERIFY2(result.errorText.contains("not https"), qPrintable(result.errorText));
        QVERIFY(timer.elapsed() < 5000); // refused, not tried
    }

    void automaticCheckPreferencePersists()
    {
        const QUrl feed = m_server->url("/appcast.xml");
        {
            auto service = makeService(feed);
            QVERIFY(service->automaticallyChecksForUpdates());
            service->setAutomaticallyChecksForUpdates(false);
        }
        QVERIFY(!makeService(feed)->automaticallyChecksForUpdates());
    }

    void compareVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("numeric, not textual") << "1.10"
                                              << "1.9" << 1;
        QTest::newRow("equal") << "2.0.1"
                               << "2.0.1" << 0;
        QTest::newRow("longer with a number") << "1.0.1"
                                              << "1.0" << 1;
        QTest::newRow("pre-release is older") << "1.0b1"
                                              << "1.0" << -1;
        QTest::newRow("number beats letters") << "1.0.1"
                                              << "1.0b2" << 1;
        QTest::newRow("beta order") << "1.0b2"
                                    << "1.0b10" << -1;
        QTest::newRow("huge numbers") << "1.99999999999999999999"
                                      << "1.99999999999999999998" << 1;
    }

    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(Appcast::compareVersions(a, b), order);
        QCOMPARE(Appcast::compareVersions(b, a), -order);
    }

    void feedItemsThatCannotBeUsed()
    {
        const QByteArray xml = appcast(
            // version given on the enclosure only: usable
            "<item><enclosure url=\"https://example.org/a\" sparkle:version=\"3.0\"/></item>"
            // for another OS
            "<item><sparkle:version>9.0</sparkle:version>"
            "<enclosure url=\"https://example.org/mac\" sparkle:os=\"macos\"/></item>"
            // a link that is not a web address
            "<item><sparkle:version>8.0</sparkle:version>"
            "<enclosure url=\"file:///bin/sh\"/></item>"
            // plain http on the open network: could be changed on the way
            "<item><sparkle:version>7.0</sparkle:version>"
            "<enclosure url=\"http://example.org/plain\"/></item>"
            // no version
            "<item><enclosure url=\"https://example.org/b\"/></item>"
            // <link> stands in when there is no enclosure
            "<item><sparkle:version>2.0</sparkle:version><link>https://example.org/c</link>"
            "</item>");
        QString error;
        const auto items = Appcast::parse(xml, &error);
        QVERIFY2(items, qPrintable(error));
        QCOMPARE(items->size(), 2);
        QCOMPARE(items->at(0).version, QStringLiteral("3.0"));
        QCOMPARE(items->at(1).downloadUrl, QUrl("https://example.org/c"));
        QCOMPARE(Appcast::newestNewerThan(*items, "2.5")->version, QStringLiteral("3.0"));
        QVERIFY(!Appcast::newestNewerThan(*items, "3.0"));
    }
};

STOWBIRD_TEST_MAIN(TestUpdateService)
#include "TestUpdateService.moc"
