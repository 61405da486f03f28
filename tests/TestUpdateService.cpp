#include "LogRecorder.h"
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "models/ReleaseNotesHtml.h"
#include "services/AppcastUpdater.h"
#include "services/UpdateService.h"
#include "views/ReleaseNotesView.h"
#include "views/UpdateWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// The process's peak resident memory so far, in KiB.
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Serves one endless chunked answer from its own thread, as fast as the client takes it,
// until the client hangs up or `limit` bytes have gone.
class EndlessFeedServer
{
public:
    explicit EndlessFeedServer(qint64 limit) : m_limit(limit)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (::bind(m_listener, generic, length) != 0 || ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, generic, &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~EndlessFeedServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }
    qint64 sent() const { return m_sent; }

private:
    void serve()
    {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        char request[4096];
        [[maybe_unused]] const ssize_t ignored = ::recv(client, request, sizeof request, 0);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n";
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n";
        bool open = ::send(client, head.constData(), size_t(head.size()), MSG_NOSIGNAL) > 0;
        while (open && m_sent < m_limit) {
            open = ::send(client, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL) ==
                   ssize_t(chunk.size());
            m_sent += chunk.size();
        }
        ::close(client);
    }

    qint64 m_limit;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::thread m_thread;
};

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

    // Notes come from whoever serves the feed: nothing they name is loaded, and no shape of
    // them holds up the window.
    void hostileReleaseNotesStayInert()
    {
        const QString picture = m_dir->filePath("secret.png");
        QImage(8, 8, QImage::Format_RGB32).save(picture);
        const QByteArray deep =
            QByteArray("<div>").repeated(100000) + "deep" + QByteArray("</div>").repeated(100000);
        const QByteArray notes = "<p>Intro</p><img src=\"file:///dev/zero\"><img src=\"" +
                                 QUrl::fromLocalFile(picture).toEncoded() +
                                 "\"><style>p{background:url(file:///dev/zero)}</style>" + deep +
                                 "<script>steal()</script><p>End</p>";
        m_server->respond("/appcast.xml", {200, "application/rss+xml",
                                           appcast(item("2.0", "<description><![CDATA[" + notes +
                                                                   "]]></description>"))});
        auto service = makeService(m_server->url("/appcast.xml"));
        const qint64 peakBefore = peakResidentKiB();
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(check(*service).outcome, Outcome::updateAvailable);
        auto* window = dynamic_cast<UpdateWindow*>(service->updaterController()->window());
        QVERIFY(window && window->isVisible());
        const QString shown = window->notes();
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(peakResidentKiB() - peakBefore < 300 * 1024,
                 qPrintable(QString::number(peakResidentKiB() - peakBefore)));
        QVERIFY(shown.contains("Intro") && shown.contains("deep") && shown.contains("End"));
        QVERIFY(!shown.contains("steal") && !shown.contains("background"));
        QCOMPARE(window->notesView()->refusedResources(), 0); // nothing even asked for

        // Markup that asks for files anyway (the cleaning step bypassed) gets nothing.
        ReleaseNotesView view;
        view.setHtml("<p>x</p><img src=\"" + QUrl::fromLocalFile(picture).toString() +
                     "\"><img src=\"file:///dev/zero\">");
        view.resize(300, 200);
        view.grab(); // lays the document out and paints it, which asks for its images
        QCOMPARE(view.refusedResources(), 2);
    }

    void releaseNotesCleaning_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("clean");
        QTest::newRow("attributes dropped") << "<p style=\"x\" onclick=\"y\">a</p>"
                                            << "<p>a</p>";
        QTest::newRow("https link kept, others bare")
            << "<a href=\"https://example.org/n\">n</a><a href='javascript:x()'>j</a>"
               "<a href=file:///etc/passwd>f</a>"
            << "<a href=\"https://example.org/n\">n</a><a>j</a><a>f</a>";
        QTest::newRow("references in an address undone once")
            << "<a href=\"https://example.org/?a=1&amp;b=2\">q</a>"
            << "<a href=\"https://example.org/?a=1&amp;b=2\">q</a>";
        QTest::newRow("content of scripts and styles dropped")
            << "a<script>if (1 < 2) x()</script><STYLE>p{}</STYLE>b"
            << "ab";
        QTest::newRow("unknown tags dropped, their text kept")
            << "<table><tr><td>cell</td></tr></table><img src=x>"
            << "cell";
        QTest::newRow("stray markup escaped, references kept")
            << "1 < 2 & 3 &gt; 2 &amp; <!-- c --> <b>bold"
            << "1 &lt; 2 &amp; 3 &gt; 2 &amp;  <b>bold</b>";
        QTest::newRow("crossed tags closed in order") << "<b><i>x</b>y</i>"
                                                      << "<b><i>x</i></b>y";
        const QString deep = QStringLiteral("<ul>").repeated(40) + "x" +
                             QStringLiteral("</ul>").repeated(40) + "after";
        QTest::newRow("depth capped")
            << deep
            << QStringLiteral("<ul>").repeated(ReleaseNotesHtml::maximumDepth) + "x" +
                   QStringLiteral("</ul>").repeated(ReleaseNotesHtml::maximumDepth) + "after";
    }

    void releaseNotesCleaning()
    {
        QFETCH(QString, html);
        QFETCH(QString, clean);
        QCOMPARE(ReleaseNotesHtml::sanitize(html), clean);
    }

    void releaseNotesLengthIsBounded()
    {
        const QString huge = QStringLiteral("<p>") + QString(4 * 1024 * 1024, u'a');
        const QString clean = ReleaseNotesHtml::sanitize(huge);
        QVERIFY(clean.size() <= ReleaseNotesHtml::maximumLength + 16);
        QVERIFY(clean.endsWith("</p>"));
    }

    // An answer with no end, as fast as the loopback carries it: cut off once it passes the
    // feed limit, with the memory it held bounded.
    void endlessAnswerIsCutOffEarly()
    {
        EndlessFeedServer server(200LL * 1024 * 1024);
        QVERIFY(server.port() != 0);
        auto service =
            makeService(QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(server.port())));
        const qint64 peakBefore = peakResidentKiB();
        QSignalSpy finished(service->updaterController(), &AppcastUpdater::checkFinished);
        service->checkForUpdates();
        // The window's thread is busy for a while (a large preview being decoded): the
        // network keeps arriving meanwhile, and must not pile up in memory. Busy until the
        // server has been held up for a while (nothing more is read), at most 1.5 s.
        QElapsedTimer busy, heldUp;
        busy.start();
        heldUp.start();
        for (qint64 seen = 0; busy.elapsed() < 1500 && heldUp.elapsed() < 200;
             QThread::msleep(10)) {
            if (server.sent() != seen || seen == 0) {
                seen = server.sent();
                heldUp.restart();
            }
        }
        QVERIFY(finished.wait(20000));
        const auto result = finished.first().first().value<AppcastUpdater::CheckResult>();
        QCOMPARE(result.outcome, Outcome::failed);
        QVERIFY2(result.errorText.contains("too large"), qPrintable(result.errorText));
        const qint64 grown = peakResidentKiB() - peakBefore;
        QVERIFY2(grown < 48 * 1024, qPrintable(QStringLiteral("%1 KiB").arg(grown)));
        QVERIFY2(server.sent() < 64LL * 1024 * 1024, qPrintable(QString::number(server.sent())));
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
