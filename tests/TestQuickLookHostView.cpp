#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "fakes/TestLogger.h"
#include "views/PreviewLoader.h"
#include "views/QuickLookHostView.h"

#include <QApplication>
#include <QBuffer>
#include <QMimeDatabase>
#include <QPdfDocument>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using Kind = QuickLookHostView::PreviewKind;
using namespace PreviewTestFiles;
using TestFiles::writeFile;

namespace {

QByteArray pngOf(const QColor& color)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A 40 x 40 SVG: blue, with a green embedded PNG in its lower right quarter; `upperLeft` is
// drawn over the upper left quarter.
QByteArray svgDocument(const QByteArray& upperLeft, const QByteArray& prologue = {})
{
    return prologue +
           "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"40\" height=\"40\">"
           "<rect width=\"40\" height=\"40\" fill=\"#0000ff\"/>"
           "<image x=\"20\" y=\"20\" width=\"20\" height=\"20\" "
           "xlink:href=\"data:image/png;base64," +
           pngOf(Qt::green).toBase64() + "\"/>" + upperLeft + "</svg>";
}

QByteArray imageNaming(const QByteArray& reference)
{
    return "<image x=\"0\" y=\"0\" width=\"20\" height=\"20\" xlink:href=\"" + reference + "\"/>";
}

} // namespace

class TestQuickLookHostView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TestLogger m_log;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    // Waits until the host has finished loading (any kind but Loading).
    static bool settle(QuickLookHostView& host)
    {
        return QTest::qWaitFor([&] { return host.previewKind() != Kind::Loading; }, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeImage(path("photo.png"), QSize(64, 48));
        writeImage(path("other.png"), QSize(30, 30));
        writeFile(path("notes.txt"), "first line\nsecond line\n");
    }

    void sameUrlDoesNoWork()
    {
        QuickLookHostView host(url("photo.png"), m_log.logger);
        QCOMPARE(host.currentURL(), std::optional<QUrl>(url("photo.png")));
        QCOMPARE(host.previewItemChangeCount(), 1);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Image);

        QSignalSpy kinds(&host, &QuickLookHostView::previewKindChanged);
        host.setFileURL(url("photo.png"));
        host.setFileURL(url("photo.png"));
        QCOMPARE(host.previewItemChangeCount(), 1);
        QCOMPARE(kinds.count(), 0);
        QCOMPARE(host.previewKind(), Kind::Image);

        host.setFileURL(url("notes.txt"));
        QCOMPARE(host.previewItemChangeCount(), 2);
        QCOMPARE(host.currentURL(), std::optional<QUrl>(url("notes.txt")));
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Text);

        host.setFileURL(std::nullopt);
        QCOMPARE(host.previewItemChangeCount(), 3);
        QCOMPARE(host.previewKind(), Kind::Empty);
        host.setFileURL(std::nullopt);
        QCOMPARE(host.previewItemChangeCount(), 3);
    }

    void nothingToShowLeavesTheHostEmpty_data()
    {
        QTest::addColumn<std::optional<QUrl>>("fileURL");
        QTest::newRow("absent") << std::optional<QUrl>();
        QTest::newRow("missing path") << std::optional<QUrl>(url("gone.png"));
    }

    void nothingToShowLeavesTheHostEmpty()
    {
        QFETCH(std::optional<QUrl>, fileURL);
        QuickLookHostView host(fileURL, m_log.logger);
        QCOMPARE(host.previewKind(), Kind::Empty);
        QCOMPARE(host.currentURL(), std::optional<QUrl>());
        QCOMPARE(host.previewItemChangeCount(), 0);
    }

    void largeFileWaitsUntilAllowed()
    {
        QuickLookHostView deferred(url("photo.png"), m_log.logger, true, false);
        QCOMPARE(deferred.previewKind(), Kind::Empty);
        QCOMPARE(deferred.currentURL(), std::optional<QUrl>());
        QCOMPARE(deferred.previewItemChangeCount(), 0);
        // A redraw with the URL records it but still shows nothing.
        deferred.setFileURL(url("photo.png"));
        QCOMPARE(deferred.currentURL(), std::optional<QUrl>(url("photo.png")));
        QCOMPARE(deferred.previewKind(), Kind::Empty);

        QuickLookHostView allowed(url("photo.png"), m_log.logger, true, true);
        QVERIFY(settle(allowed));
        QCOMPARE(allowed.previewKind(), Kind::Image);
    }

    void previewKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("hasNote");

        const QString dir = m_dir.path() + QStringLiteral("/kinds/");
        writeImage(dir + "picture.jpg", QSize(40, 20), "jpeg");
        writePdf(dir + "three.pdf", 3);
        writeFile(dir + "main.cpp", "int main() { return 0; }\n");
        writeFile(dir + "data.json", "{\"a\": 1}\n");
        writeFile(dir + "archive.bin", QByteArray("\x01\x02\x03\x00\xff\xfe", 6).repeated(100));
        writeFile(dir + "binary.txt", QByteArray("text\0\x01\x02more", 12).repeated(50));
        writeFile(dir + "corrupt.jpg", QByteArray("\xff\xd8\xff\xe0 this is not a jpeg", 23));
        writeFile(dir + "empty.pdf", QByteArray());
        writeFile(dir + "damaged.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog >>\ngarbage");
        writeFile(dir + "empty.txt", QByteArray());
        writeFile(dir + "latin1.txt", "caf\xe9 cr\xe8me\n");
        writeFile(dir + QString(251, QLatin1Char('n')) + ".txt", "long name\n");

        QTest::newRow("jpeg") << "picture.jpg" << int(Kind::Image) << false;
        QTest::newRow("pdf") << "three.pdf" << int(Kind::Pdf) << false;
        QTest::newRow("source code") << "main.cpp" << int(Kind::Text) << false;
        QTest::newRow("json") << "data.json" << int(Kind::Text) << false;
        QTest::newRow("empty text") << "empty.txt" << int(Kind::Text) << false;
        QTest::newRow("latin-1 text") << "latin1.txt" << int(Kind::Text) << false;
        QTest::newRow("255-byte name")
            << QString(251, QLatin1Char('n')) + ".txt" << int(Kind::Text) << false;
        QTest::newRow("unknown binary") << "archive.bin" << int(Kind::Generic) << false;
        QTest::newRow("binary named .txt") << "binary.txt" << int(Kind::Generic) << false;
        QTest::newRow("corrupt image") << "corrupt.jpg" << int(Kind::Generic) << true;
        QTest::newRow("zero-byte pdf") << "empty.pdf" << int(Kind::Generic) << true;
        QTest::newRow("damaged pdf") << "damaged.pdf" << int(Kind::Generic) << true;
    }

    void previewKinds()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(bool, hasNote);
        QuickLookHostView host(QUrl::fromLocalFile(m_dir.path() + "/kinds/" + name), m_log.logger);
        host.resize(600, 400);
        QVERIFY(settle(host));
        QCOMPARE(int(host.previewKind()), kind);
        QCOMPARE(!host.note().isEmpty(), hasNote);
    }

    // Nothing that is not a regular file is opened: each shows the generic preview at once,
    // without a note, and the pool is free again afterwards.
    void specialFilesShowTheGenericPreview()
    {
        const QString dir = m_dir.path() + QStringLiteral("/special");
        const QStringList names = makeSpecialFiles(dir);
        for (const QString& name : names) {
            QuickLookHostView host(QUrl::fromLocalFile(dir + '/' + name), m_log.logger);
            host.resize(600, 400);
            QVERIFY2(settle(host), qPrintable(name));
            QCOMPARE(int(host.previewKind()), int(Kind::Generic));
            QVERIFY2(host.note().isEmpty(), qPrintable(host.note()));
            QVERIFY(PreviewLoader::thumbnail(dir + '/' + name, 180).isNull());
        }
        QTRY_COMPARE_WITH_TIMEOUT(PreviewLoader::threadPool()->activeThreadCount(), 0, 2000);
        const PreviewContent fifo =
            PreviewLoader::load(dir + "/pipe.png", QSize(100, 100), nullptr);
        QCOMPARE(fifo.iconName, QMimeDatabase().mimeTypeForName("inode/fifo").iconName());
    }

    // An SVG may name other files: the preview opens none of them. A FIFO would block the
    // decoding thread for ever; any other file would be read and shown.
    void svgPreviewOpensNoOtherFile_data()
    {
        QTest::addColumn<QString>("name");
        const QString dir = m_dir.path() + QStringLiteral("/svg/");
        const QByteArray secret = QFile::encodeName(dir + "secret.png");
        const QByteArray pipe = QFile::encodeName(dir + "pipe.png");
        writeFile(dir + "secret.png", pngOf(Qt::red));
        writeFile(dir + "secret.css", "rect { fill: #ff0000 }");
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);

        writeFile(dir + "local.svg", svgDocument(imageNaming(secret)));
        writeFile(dir + "fifo.svg", svgDocument(imageNaming(pipe)));
        writeFile(
            dir + "stylesheet.svg",
            svgDocument("<rect width=\"20\" height=\"20\"/>",
                        "<?xml version=\"1.0\"?>\n<?xml-stylesheet type=\"text/css\" href=\"" +
                            QFile::encodeName(dir + "secret.css") + "\"?>\n"));
        writeFile(dir + "nested.svg",
                  svgDocument(imageNaming("data:image/svg+xml;base64," +
                                          svgDocument(imageNaming(pipe)).toBase64())));
        writeFile(dir + "compressed.svgz",
                  PreviewTestFiles::gzipped(svgDocument(imageNaming(secret))));
        // Named as a PNG: the content decides how it is decoded.
        writeFile(dir + "disguised.png", svgDocument(imageNaming(secret)));

        QTest::newRow("image naming a local file") << "local.svg";
        QTest::newRow("image naming a FIFO") << "fifo.svg";
        QTest::newRow("style sheet naming a local file") << "stylesheet.svg";
        QTest::newRow("embedded SVG naming a FIFO") << "nested.svg";
        QTest::newRow("compressed SVG naming a local file") << "compressed.svgz";
        QTest::newRow("SVG named .png naming a local file") << "disguised.png";
    }

    void svgPreviewOpensNoOtherFile()
    {
        QFETCH(QString, name);
        const QString dir = m_dir.path() + QStringLiteral("/svg/");
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        for (const char* other : {"secret.png", "secret.css", "pipe.png"})
            QVERIFY(::inotify_add_watch(watch, QFile::encodeName(dir + other).constData(),
                                        IN_OPEN | IN_ACCESS) >= 0);
        const auto cleanup = qScopeGuard([&] {
            ::close(watch);
            // A reader stuck opening the FIFO is let go (it reads nothing), so that a failure
            // here does not hang the rest of the run.
            const int writer =
                ::open(QFile::encodeName(dir + "pipe.png").constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        });

        QuickLookHostView host(QUrl::fromLocalFile(dir + name), m_log.logger);
        QVERIFY2(settle(host), "the preview did not finish");
        char event[4096];
        QVERIFY2(::read(watch, event, sizeof event) < 0, "the preview opened another file");
        QCOMPARE(host.previewKind(), Kind::Image);
        // The document itself is drawn, its embedded PNG too; nothing from elsewhere.
        const QImage image = host.previewImage();
        QCOMPARE(image.size(), QSize(40, 40));
        QCOMPARE(image.pixelColor(30, 30), QColor(Qt::green));
        QVERIFY(image.pixelColor(10, 10) != QColor(Qt::red));
    }

    void contentsOfEachKind()
    {
        writePdf(path("pages.pdf"), 4);
        QuickLookHostView pdf(url("pages.pdf"), m_log.logger);
        QVERIFY(settle(pdf));
        QVERIFY(pdf.pdfDocument());
        QCOMPARE(pdf.pdfDocument()->pageCount(), 4);

        QuickLookHostView text(url("notes.txt"), m_log.logger);
        QVERIFY(settle(text));
        QCOMPARE(text.previewText(), QStringLiteral("first line\nsecond line\n"));

        writeFile(path("accents.txt"), "caf\xe9\n");
        QuickLookHostView latin1(url("accents.txt"), m_log.logger);
        QVERIFY(settle(latin1));
        QCOMPARE(latin1.previewText(), QStringLiteral("caf\u00e9\n"));
    }

    void orientationIsApplied()
    {
        // Stored 40 x 20 with "rotate 90" metadata: shown 20 wide and 40 high.
        writeImage(path("rotated.jpg"), QSize(40, 20), "jpeg",
                   QImageIOHandler::TransformationRotate90);
        QuickLookHostView host(url("rotated.jpg"), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Image);
        QCOMPARE(host.previewImage().size(), QSize(20, 40));
    }

    void largeImagesAreDecodedReduced()
    {
        writeImage(path("wide.jpg"), QSize(6000, 1000), "jpeg");
        QuickLookHostView host(url("wide.jpg"), m_log.logger);
        QVERIFY(settle(host));
        const QSize shown = host.previewImage().size();
        QVERIFY2(shown.width() <= 2560 && shown.width() >= 1280,
                 qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
        QCOMPARE(shown.width() / shown.height(), 6);
    }

    void longTextIsCut()
    {
        writeFile(path("long.log"), QByteArray(700 * 1024, 'a'));
        QuickLookHostView host(url("long.log"), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Text);
        QCOMPARE(host.previewText().size(), qsizetype(512 * 1024));
    }

    void animationWaitsForAClick()
    {
        writeFile(path("loop.gif"), animatedGif());
        QuickLookHostView host(url("loop.gif"), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Animation);
        QVERIFY(!host.isPlaying());
        QCOMPARE(host.previewImage().pixelColor(0, 0), QColor(Qt::red));

        host.togglePlayback();
        QVERIFY(host.isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(host.previewImage().pixelColor(0, 0), QColor(Qt::blue), 5000);
        host.togglePlayback();
        QVERIFY(!host.isPlaying());
    }

    void lateResultIsDiscarded()
    {
        writeImage(path("big.png"), QSize(1600, 1200));
        QuickLookHostView host(url("big.png"), m_log.logger);
        host.setFileURL(url("notes.txt"));
        QVERIFY(settle(host));
        // Let the image load finish and deliver its result, then check it was dropped.
        QVERIFY(PreviewLoader::threadPool()->waitForDone(10000));
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QCOMPARE(host.previewKind(), Kind::Text);
        QCOMPARE(host.currentURL(), std::optional<QUrl>(url("notes.txt")));
        QVERIFY(host.previewImage().isNull());
    }

    void fileDeletedWhileShown()
    {
        writeImage(path("doomed.png"), QSize(20, 20));
        QuickLookHostView host(url("doomed.png"), m_log.logger);
        QVERIFY(settle(host));
        QVERIFY(QFile::remove(path("doomed.png")));
        // The shown preview stays; a redraw with the same URL does nothing.
        host.setFileURL(url("doomed.png"));
        QCOMPARE(host.previewKind(), Kind::Image);
        // Deleted before the worker gets to it: an empty preview, no message.
        writeImage(path("brief.png"), QSize(20, 20));
        host.setFileURL(url("brief.png"));
        QFile::remove(path("brief.png"));
        QVERIFY(settle(host));
        QVERIFY(host.previewKind() == Kind::Empty || host.previewKind() == Kind::Image);
    }

    void nameThatIsNotUtf8()
    {
        const QByteArray dir = QFile::encodeName(m_dir.path());
        const QByteArray raw = dir + "/bad-\xff\xfe-name.txt";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "text\n", 5), ssize_t(5));
        ::close(fd);

        QuickLookHostView host(QUrl::fromLocalFile(QFile::decodeName(raw)), m_log.logger);
        QVERIFY(settle(host));
        QVERIFY(host.previewKind() == Kind::Empty || host.previewKind() == Kind::Text);
        ::unlink(raw.constData()); // QDir cannot remove a name it cannot decode
    }

    void cutCharacterAtTheLimit()
    {
        // "é" is two bytes in UTF-8; a read that stops between them keeps the text UTF-8.
        const QByteArray text = QByteArray("r\xc3\xa9sum\xc3\xa9");
        QCOMPARE(PreviewLoader::decodeText(text.left(6), true), QStringLiteral("r\u00e9sum"));
        QCOMPARE(PreviewLoader::decodeText(text, false), QStringLiteral("r\u00e9sum\u00e9"));
        // Not UTF-8 at all: read as Latin-1, nothing dropped.
        QCOMPARE(PreviewLoader::decodeText("d\xe9j\xe0 vu", true),
                 QStringLiteral("d\u00e9j\u00e0 vu"));
    }
};

STOWBIRD_TEST_MAIN(TestQuickLookHostView)
#include "TestQuickLookHostView.moc"
