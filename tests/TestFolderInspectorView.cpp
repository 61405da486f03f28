#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "fakes/TestLogger.h"
#include "models/FolderListing.h"
#include "views/ElidedLabel.h"
#include "views/FolderInspectorView.h"
#include "views/QuickLookHostView.h"
#include "views/ThumbnailStrip.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace PreviewTestFiles;
using TestFiles::writeFile;

class TestFolderInspectorView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TestLogger m_log;
    int m_folderCounter = 0;

    // A fresh folder holding the given entries; names ending in "/" are folders.
    QString makeFolder(const QStringList& entries)
    {
        const QString folder = m_dir.filePath(QStringLiteral("f%1").arg(++m_folderCounter));
        QDir().mkpath(folder);
        for (const QString& entry : entries) {
            const QString path = folder + QLatin1Char('/') + entry;
            if (entry.endsWith(QLatin1Char('/')))
                QDir().mkpath(path);
            else if (entry.endsWith(QLatin1String(".png")) || entry.endsWith(QLatin1String(".jpg")))
                writeImage(path, QSize(360, 240));
            else
                writeFile(path, "data");
        }
        return folder;
    }

    static QStringList names(const QList<FolderChildItem>& items)
    {
        QStringList result;
        for (const FolderChildItem& item : items)
            result << item.name;
        return result;
    }

    static bool waitForListing(FolderInspectorView& view)
    {
        return view.isListingReady() ||
               QSignalSpy(&view, &FolderInspectorView::listingReady).wait(10000);
    }

    static QString labelText(const FolderInspectorView& view, const char* name)
    {
        if (auto* label = view.findChild<QLabel*>(QLatin1String(name)))
            return label->isVisibleTo(&view) ? label->text() : QString();
        if (auto* label = view.findChild<ElidedLabel*>(QLatin1String(name)))
            return label->isVisibleTo(&view) ? label->text() : QString();
        return QStringLiteral("<missing>");
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void ordering()
    {
        const QString folder = makeFolder({"file10.txt", "file2.txt", "File3.txt", "zeta/",
                                           "Alpha/", ".hidden", ".config/", "b.txt"});
        const QList<FolderChildItem> items = FolderListing::list(QUrl::fromLocalFile(folder));
        QCOMPARE(names(items),
                 QStringList({"Alpha", "zeta", "b.txt", "file2.txt", "File3.txt", "file10.txt"}));
    }

    void entryFields()
    {
        const QString folder =
            makeFolder({"sub/one.txt", "sub/.hidden", "sub/inner/", "Photo.PNG"});
        writeFile(folder + "/notes.txt", QByteArray(1500, 'x'));

        const FolderChildItem sub(QUrl::fromLocalFile(folder + "/sub"));
        QVERIFY(sub.isDirectory);
        QCOMPARE(sub.childCount, std::optional<int>(2));
        QVERIFY(!sub.isImage);

        const FolderChildItem notes(QUrl::fromLocalFile(folder + "/notes.txt"));
        QCOMPARE(notes.id, folder + "/notes.txt");
        QCOMPARE(notes.name, QStringLiteral("notes.txt"));
        QCOMPARE(notes.sizeBytes, 1500);
        QCOMPARE(notes.formattedSize, QStringLiteral("1.5 kB"));
        QCOMPARE(notes.childCount, std::nullopt);

        QVERIFY(FolderChildItem(QUrl::fromLocalFile(folder + "/Photo.PNG")).isImage);

        const FolderChildItem missing(QUrl::fromLocalFile(folder + "/gone.png"));
        QVERIFY(!missing.isDirectory);
        QVERIFY(!missing.isImage);
        QCOMPARE(missing.sizeBytes, 0);
    }

    void typeSummary_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("summary");
        QTest::newRow("pdf and image") << QStringList{"a.pdf", "b.png"} << "1 PDF, 1 Image";
        QTest::newRow("folders hide files")
            << QStringList{"x/", "y/", "1.txt", "2.txt", "3.txt", "4.txt"} << "2 Folders";
        QTest::newRow("files only") << QStringList{"1.zip", "2.zip", "3.zip"} << "3 Files";
        QTest::newRow("one file") << QStringList{"1.zip"} << "1 File";
        QTest::newRow("pdfs hide archives")
            << QStringList{"a.pdf", "b.pdf", "1.zip", "2.zip", "3.zip",
                           "4.zip", "5.zip", "6.zip", "7.zip"}
            << "2 PDFs";
        QTest::newRow("upper-case extension") << QStringList{"REPORT.PDF"} << "1 PDF";
        QTest::newRow("mixed") << QStringList{"a.pdf", "b.pdf", "c.png", "d.jpg",
                                              "e.png", "f/",    "g.txt"}
                               << "2 PDFs, 3 Images, 1 Folder";
        QTest::newRow("empty") << QStringList{} << "";
        QTest::newRow("hidden only") << QStringList{".DS_Store"} << "";
    }

    void typeSummary()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, summary);
        const QString folder = makeFolder(entries);
        QCOMPARE(FolderListing::typeSummary(FolderListing::list(QUrl::fromLocalFile(folder))),
                 summary);
    }

    void header_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<qint64>("totalSize");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<bool>("empty");
        QTest::newRow("only hidden") << QStringList{".DS_Store"} << qint64(0) << "0 items"
                                     << ""
                                     << "" << true;
        QTest::newRow("one entry") << QStringList{"a.pdf"} << qint64(2500000) << "1 item"
                                   << "2.5 MB"
                                   << "1 PDF" << false;
        QTest::newRow("no size, with summary")
            << QStringList{"a.zip", "b.zip"} << qint64(0) << "2 items"
            << ""
            << "2 Files" << false;
    }

    void header()
    {
        QFETCH(QStringList, entries);
        QFETCH(qint64, totalSize);
        FolderInspectorView view(QUrl::fromLocalFile(makeFolder(entries)), totalSize, m_log.logger);
        QVERIFY(waitForListing(view));
        QTEST(labelText(view, "countLabel"), "count");
        QTEST(labelText(view, "sizeLabel"), "size");
        QTEST(labelText(view, "summaryLabel"), "summary");
        QTEST(view.findChild<QWidget*>("emptyFolder") != nullptr, "empty");
        QCOMPARE(view.findChild<QListView*>("contentsList") != nullptr,
                 !entries.isEmpty() && !view.items().isEmpty());
    }

    void unreadableFolderListsNothing()
    {
        FolderInspectorView view(QUrl::fromLocalFile(m_dir.filePath("does-not-exist")), 10,
                                 m_log.logger);
        QVERIFY(waitForListing(view));
        QVERIFY(view.items().isEmpty());
        QCOMPARE(view.countText(), QStringLiteral("0 items"));
        QVERIFY(view.findChild<QWidget*>("emptyFolder"));
    }

    void atMostSixteenThumbnails()
    {
        QStringList entries;
        for (int i = 1; i <= 20; ++i)
            entries << QStringLiteral("img%1.png").arg(i);
        entries << "readme.txt";
        FolderInspectorView view(QUrl::fromLocalFile(makeFolder(entries)), 0, m_log.logger);
        QSignalSpy ready(&view, &FolderInspectorView::thumbnailsReady);
        QVERIFY(waitForListing(view));
        QCOMPARE(view.images().size(), 20);
        QCOMPARE(view.findChild<ThumbnailStrip*>()->entryCount(), 20);
        QVERIFY(ready.wait(20000));

        QCOMPARE(view.thumbnails().size(), 16);
        for (int i = 0; i < view.images().size(); ++i) {
            const FolderChildItem& image = view.images().at(i);
            QCOMPARE(view.thumbnails().contains(image.id), i < 16);
        }
        // img1..img16 in numeric order got them; each fits in 180 pixels.
        QVERIFY(view.thumbnails().contains(view.images().at(15).id));
        QCOMPARE(view.images().at(15).name, QStringLiteral("img16.png"));
        for (const QImage& thumbnail : view.thumbnails())
            QCOMPARE(thumbnail.size(), QSize(180, 120));
    }

    // FIFOs, a socket and a link to /dev/zero with image names beside a real image: the
    // thumbnails finish (none opened them) and only the real image has one.
    void specialFilesGetNoThumbnail()
    {
        const QString folder = makeFolder({QStringLiteral("real.png")});
        makeSpecialFiles(folder);
        FolderInspectorView view(QUrl::fromLocalFile(folder), 0, m_log.logger);
        QSignalSpy ready(&view, &FolderInspectorView::thumbnailsReady);
        QVERIFY(waitForListing(view));
        QCOMPARE(view.items().size(), 5);
        QVERIFY(ready.wait(10000));
        QCOMPARE(view.thumbnails().size(), 1);
        QCOMPARE(view.thumbnails().begin().key(), folder + QStringLiteral("/real.png"));
    }

    void childPreviewAndBack()
    {
        const QString folder = makeFolder({"b.png", "a.png", "notes.txt", "sub/"});
        FolderInspectorView view(QUrl::fromLocalFile(folder), 0, m_log.logger);
        QList<QUrl> revealed;
        view.setRevealFunction([&](const QUrl& url) { revealed << url; });
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(waitForListing(view));

        // Clicking the second tile previews b.png in place.
        auto* strip = view.findChild<ThumbnailStrip*>();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tileRect(1).center());
        QCOMPARE(view.selectedChildURL(),
                 std::optional<QUrl>(QUrl::fromLocalFile(folder + "/b.png")));
        QVERIFY(view.childPreview());
        QCOMPARE(view.childPreview()->fileURL(), view.selectedChildURL());
        QTRY_COMPARE_WITH_TIMEOUT(view.childPreview()->previewKind(),
                                  QuickLookHostView::PreviewKind::Image, 10000);

        auto* reveal = view.findChild<QToolButton*>("revealChildButton");
        QVERIFY(reveal);
        reveal->click();
        QCOMPARE(revealed, QList<QUrl>{QUrl::fromLocalFile(folder + "/b.png")});

        auto* back = view.findChild<QPushButton*>("backToFolderButton");
        QVERIFY(back);
        QCOMPARE(back->text(), QStringLiteral("Back to Folder"));
        back->click();
        QCOMPARE(view.selectedChildURL(), std::nullopt);
        QVERIFY(!view.childPreview());

        // Rows: the sub-folder is revealed, not entered; a file opens the child preview; the
        // reveal button of a row reveals that entry.
        auto* list = view.findChild<QListView*>("contentsList");
        QVERIFY(list);
        QCOMPARE(view.items().first().name, QStringLiteral("sub"));
        const QRect folderRow = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, folderRow.center());
        QCOMPARE(view.selectedChildURL(), std::nullopt);
        QCOMPARE(revealed.last(), QUrl::fromLocalFile(folder + "/sub"));

        const QRect notesRow = list->visualRect(list->model()->index(3, 0));
        QCOMPARE(view.items().at(3).name, QStringLiteral("notes.txt"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(notesRow.right() - 16, notesRow.center().y()));
        QCOMPARE(revealed.last(), QUrl::fromLocalFile(folder + "/notes.txt"));
        QCOMPARE(view.selectedChildURL(), std::nullopt);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, notesRow.center());
        QCOMPARE(view.selectedChildURL(),
                 std::optional<QUrl>(QUrl::fromLocalFile(folder + "/notes.txt")));

        view.backToFolder();
        auto* revealFolder = view.findChild<QPushButton*>("revealFolderButton");
        revealFolder->click();
        QCOMPARE(revealed.last(), QUrl::fromLocalFile(folder));
        QCOMPARE(revealFolder->toolTip(), QStringLiteral("Reveal folder in File Manager (Ctrl+O)"));
    }
};

STOWBIRD_TEST_MAIN(TestFolderInspectorView)
#include "TestFolderInspectorView.moc"
