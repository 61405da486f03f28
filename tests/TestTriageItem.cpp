#include "TestEnvironment.h"
#include "TestFiles.h"
#include "models/ActionRecord.h"
#include "models/TriageItem.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

class TestTriageItem : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString& relative, qint64 size)
    {
        const QString path = m_dir.path() + QLatin1Char('/') + relative;
        TestFiles::writeFile(path, QByteArray(size, 'x'));
        return path;
    }

private slots:
    // Files without an extension are typed by their content, but one that is not regular
    // (a FIFO would block the open, /dev/zero never ends) is typed by what it is, unopened.
    void specialFilesAreTypedWithoutOpening_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mime");
        QTest::newRow("fifo") << "pipe"
                              << "inode/fifo";
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "inode/chardevice";
    }

    void specialFilesAreTypedWithoutOpening()
    {
        QFETCH(QString, name);
        QFETCH(QString, mime);
        const QString path = m_dir.path() + QStringLiteral("/special/") + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (name == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        const TriageItem item(QUrl::fromLocalFile(path));
        QCOMPARE(item.uti.name(), mime);
        QCOMPARE(item.isDirectory, false);
    }

    void namesAndTypes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filename");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("mime");

        QTest::newRow("upper-case extension") << "Report.PDF"
                                              << "Report.PDF"
                                              << "pdf"
                                              << "application/pdf";
        QTest::newRow("double extension") << "archive.tar.gz"
                                          << "archive.tar.gz"
                                          << "gz"
                                          << "application/gzip";
        QTest::newRow("hidden, no extension") << ".bashrc"
                                              << ".bashrc"
                                              << ""
                                              << "text/plain";
        QTest::newRow("trailing dot") << "name."
                                      << "name."
                                      << ""
                                      << "";
    }

    void namesAndTypes()
    {
        QFETCH(QString, name);
        QFETCH(QString, filename);
        QFETCH(QString, extension);
        QFETCH(QString, mime);
        const QString path = writeFile(name, 10);
        const TriageItem item(QUrl::fromLocalFile(path));
        QCOMPARE(item.filename, filename);
        QCOMPARE(item.fileExtension, extension);
        QVERIFY(item.uti.isValid());
        if (!mime.isEmpty())
            QVERIFY2(item.uti.inherits(mime), qPrintable(item.uti.name()));
        QVERIFY(!item.isDirectory);
        QCOMPARE(item.sizeBytes, 10);
    }

    void kindFallbacks()
    {
        // Unknown extension: the upper-cased extension stands for the kind.
        const TriageItem xyz(QUrl::fromLocalFile(writeFile("thing.xyzzyq", 3)));
        QCOMPARE(xyz.localizedKind(), QStringLiteral("XYZZYQ"));

        // No extension and binary content: the generic data type has no description.
        const QString binPath = m_dir.path() + "/blob";
        QFile bin(binPath);
        QVERIFY(bin.open(QIODevice::WriteOnly));
        bin.write(QByteArray("\x00\x01\x02\xff\xfe\x00\x13", 7));
        bin.close();
        const TriageItem blob(QUrl::fromLocalFile(binPath));
        QCOMPARE(blob.uti.name(), QStringLiteral("application/octet-stream"));
        QCOMPARE(blob.localizedKind(), QStringLiteral("File"));

        // A known type shows its description, not the extension.
        const TriageItem pdf(QUrl::fromLocalFile(writeFile("doc.pdf", 3)));
        QVERIFY(!pdf.localizedKind().isEmpty());
        QVERIFY(pdf.localizedKind() != QStringLiteral("PDF") || pdf.uti.comment() == "PDF");
    }

    void missingPathGivesNeutralValues()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const TriageItem item(QUrl::fromLocalFile(m_dir.path() + "/gone.zip"));
        QCOMPARE(item.sizeBytes, 0);
        QVERIFY(!item.isDirectory);
        QVERIFY(item.creationDate >= before);
        QVERIFY(item.uti.inherits("application/zip"));
    }

    void folderSizeCountsFirstThousandVisibleEntries()
    {
        const QString folder = m_dir.path() + "/Big";
        QDir().mkpath(folder + "/sub");
        writeFile("Big/.hidden", 5000);
        QDir().mkpath(folder + "/.git");
        writeFile("Big/.git/object", 7000);
        writeFile("Big/sub/inner.bin", 11);
        writeFile("Big/top.bin", 13);
        const TriageItem small(QUrl::fromLocalFile(folder));
        QVERIFY(small.isDirectory);
        QCOMPARE(small.sizeBytes, 24);
        QCOMPARE(small.localizedKind(), QStringLiteral("Folder"));
        QCOMPARE(small.uti.name(), QStringLiteral("inode/directory"));

        // 1500 one-byte files: only the first 1000 enumerated entries count.
        const QString many = m_dir.path() + "/Many";
        QDir().mkpath(many);
        for (int i = 0; i < 1500; ++i)
            writeFile(QStringLiteral("Many/f%1").arg(i), 1);
        QCOMPARE(TriageItem(QUrl::fromLocalFile(many)).sizeBytes, 1000);

        // Sub-folders count towards the limit and add nothing themselves.
        QCOMPARE(TriageItem::folderSize(folder, 1) + TriageItem::folderSize(folder, 2) <= 24, true);
    }

    void largeFileThreshold()
    {
        TriageItem item(QUrl::fromLocalFile(m_dir.path() + "/x"));
        item.sizeBytes = 1000000000;
        QVERIFY(!item.isLargeFile());
        item.sizeBytes = 1000000001;
        QVERIFY(item.isLargeFile());
    }

    void identityAndEquality()
    {
        const QUrl url = QUrl::fromLocalFile(writeFile("same.txt", 1));
        const TriageItem a(url);
        const TriageItem b(url);
        QVERIFY(a.id != b.id);
        QVERIFY(!(a == b));
        TriageItem copy = a;
        QVERIFY(copy == a);
        copy.suggestedFilename = QString();
        QVERIFY2(!(copy == a), "an empty optional differs from an empty string");
    }

    void actionTypeEquality()
    {
        const QUrl a = QUrl::fromLocalFile("/tmp/a");
        const QUrl b = QUrl::fromLocalFile("/tmp/b");
        using T = ActionRecord::ActionType;
        QVERIFY(T::moved(a, b) == T::moved(a, b));
        QVERIFY(!(T::moved(a, b) == T::renamed(a, b)));
        QVERIFY(!(T::moved(a, b) == T::moved(b, a)));
        QVERIFY(T::trashed(a) == T::trashed(a));
    }

    void standardizedPathResolvesDotSegments()
    {
        QCOMPARE(TriageItem::standardizedPath(QUrl::fromLocalFile("/home/u/Downloads/./a.pdf")),
                 QStringLiteral("/home/u/Downloads/a.pdf"));
        QCOMPARE(TriageItem::standardizedPath(QUrl::fromLocalFile("/home/u/x/../Downloads/a.pdf")),
                 QStringLiteral("/home/u/Downloads/a.pdf"));
    }
};

STOWBIRD_TEST_MAIN(TestTriageItem)
#include "TestTriageItem.moc"
