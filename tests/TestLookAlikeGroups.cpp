#include "TestEnvironment.h"
#include "TestFiles.h"
#include "models/LookAlikeGrouper.h"
#include "services/LookAlikeService.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using Candidate = LookAlikeGrouper::Candidate;

class TestLookAlikeGroups : public QObject
{
    Q_OBJECT

private:
    static Candidate candidate(const QString& name, const QString& host = {},
                               const QString& kind = {}, const QDateTime& arrived = {})
    {
        return Candidate{QUuid::createUuid(), name, host, kind, arrived};
    }

    // The groups found among candidates, as their names.
    static QList<QStringList> namedGroups(const QList<Candidate>& candidates)
    {
        QHash<QUuid, QString> names;
        for (const Candidate& c : candidates)
            names.insert(c.id, c.filename);
        QList<QStringList> result;
        for (const QList<QUuid>& group : LookAlikeGrouper::group(candidates)) {
            QStringList members;
            for (const QUuid& id : group)
                members.append(names.value(id));
            result.append(members);
        }
        return result;
    }

    static QStringList numbered(const QString& pattern, int from, int to, int width)
    {
        QStringList names;
        for (int n = from; n <= to; ++n)
            names.append(pattern.arg(n, width, 10, QLatin1Char('0')));
        return names;
    }

private slots:
    void groupsByName_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QStringList>>("expected");

        const QStringList scans = numbered(QStringLiteral("scan_%1.pdf"), 1, 14, 3);
        QStringList mixed = scans;
        mixed.insert(3, QStringLiteral("a.pdf"));
        mixed.insert(7, QStringLiteral("scan.jpg"));
        mixed.append({QStringLiteral("b.pdf"), QStringLiteral("scan_001.jpg")});
        QTest::newRow("scanner session among strays") << mixed << QList<QStringList>{scans};

        QTest::newRow("cameras and phones")
            << QStringList{"IMG_4512.JPG",
                           "DSC_0001.JPG",
                           "IMG_4513.JPG",
                           "img_4530.jpg",
                           "IMG_4514.HEIC",
                           "DSC_0002.JPG",
                           "PXL_20261201_101533123.jpg",
                           "PXL_20261201_094502007.jpg",
                           "PXL_20261201_101533123.mp4"}
            << QList<QStringList>{{"IMG_4512.JPG", "IMG_4513.JPG", "img_4530.jpg"},
                                  {"DSC_0001.JPG", "DSC_0002.JPG"},
                                  {"PXL_20261201_101533123.jpg", "PXL_20261201_094502007.jpg"}};

        // Times with and without a leading zero are one series; another tool's form is not.
        QTest::newRow("screenshots")
            << QStringList{"Screenshot 2026-12-01 at 10.15.33.png",
                           "Screenshot from 2026-12-01 10-15-33.png",
                           "Screenshot 2026-12-02 at 09.05.07.png",
                           "Screenshot from 2026-12-01 10-16-40.png"}
            << QList<QStringList>{{"Screenshot 2026-12-01 at 10.15.33.png",
                                   "Screenshot 2026-12-02 at 09.05.07.png"},
                                  {"Screenshot from 2026-12-01 10-15-33.png",
                                   "Screenshot from 2026-12-01 10-16-40.png"}};

        // Zero-padded numbers keep their width; numbers never padded may grow.
        QTest::newRow("padding") << QStringList{"scan_007.pdf", "scan_7.pdf",   "scan_008.pdf",
                                                "scan_9.pdf",   "scan_099.pdf", "scan_10.pdf",
                                                "scan_100.pdf"}
                                 << QList<QStringList>{{"scan_007.pdf", "scan_008.pdf",
                                                        "scan_099.pdf", "scan_100.pdf"},
                                                       {"scan_7.pdf", "scan_9.pdf", "scan_10.pdf"}};

        QTest::newRow("copies of one name")
            << QStringList{"foo.pdf",
                           "food.pdf",
                           "foo (1).pdf",
                           "foo.docx",
                           "foo(2).pdf",
                           "foo-1.pdf",
                           "foo copy.pdf",
                           "foo copy 2.pdf",
                           "foo (copy 2).pdf",
                           "foo - Copy (2).pdf",
                           "foo (3rd copy).pdf",
                           "foo.pdf.1",
                           "foobar (1).pdf",
                           "Report (2023).pdf",
                           "Report.pdf"}
            << QList<QStringList>{{"foo.pdf", "foo (1).pdf", "foo(2).pdf", "foo-1.pdf",
                                   "foo copy.pdf", "foo copy 2.pdf", "foo (copy 2).pdf",
                                   "foo - Copy (2).pdf", "foo (3rd copy).pdf", "foo.pdf.1"}};

        QTest::newRow("unrelated stay apart")
            << QStringList{"a.pdf",          "b.pdf",          "report.pdf", "resume.pdf",
                           "2312.01234.pdf", "2401.00012.pdf", "notes.txt",  "notes.md",
                           "Résumé.pdf",     ".bashrc"}
            << QList<QStringList>{};

        const QString cafeNfc = QStringLiteral("Caf\u00e9.pdf");
        const QString cafeNfd = QStringLiteral("Cafe\u0301 (1).pdf");
        QTest::newRow("unicode") << QStringList{cafeNfc,    "скан_001.pdf", "写真 (1).jpg",
                                                cafeNfd,    "скан_002.pdf", "写真.jpg",
                                                "скан.pdf", "写真 (2).JPG", "Cafe.pdf"}
                                 << QList<QStringList>{
                                        {cafeNfc, cafeNfd},
                                        {"скан_001.pdf", "скан_002.pdf"},
                                        {"写真 (1).jpg", "写真.jpg", "写真 (2).JPG"}};
    }

    void groupsByName()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, expected);
        QList<Candidate> candidates;
        for (const QString& name : names)
            candidates.append(candidate(name));
        QCOMPARE(namedGroups(candidates), expected);
    }

    void groupsBySameOriginWithinTheWindow()
    {
        const QDateTime t0 = QDateTime(QDate(2026, 12, 1), QTime(10, 0), QTimeZone::utc());
        const QString pdf = QStringLiteral("application/pdf");
        const QString host = QStringLiteral("mail.example.org");
        const QList<Candidate> candidates{
            candidate("invoice.pdf", host, pdf, t0),
            candidate("scan_001.pdf", host, pdf, t0.addSecs(120)),
            candidate("contract.pdf", host, pdf, t0.addSecs(240)),
            // 4:59 after the one before: the chain goes on.
            candidate("terms.pdf", "MAIL.example.org", pdf, t0.addSecs(539)),
            // 5:01 after it: a new chain, alone.
            candidate("later.pdf", host, pdf, t0.addSecs(840)),
            candidate("other-host.pdf", "files.example.com", pdf, t0.addSecs(60)),
            candidate("photo.png", host, "image/png", t0.addSecs(60)),
            candidate("no-host.pdf", {}, pdf, t0.addSecs(60)),
            candidate("undated.pdf", host, pdf),
            candidate("scan_002.pdf", host, pdf, t0.addSecs(121)),
        };
        // The scans are a series by name and are not swept into the host's group.
        const QList<QStringList> expected{{"invoice.pdf", "contract.pdf", "terms.pdf"},
                                          {"scan_001.pdf", "scan_002.pdf"}};
        QCOMPARE(namedGroups(candidates), expected);
        QCOMPARE(LookAlikeGrouper::summary(expected.at(0)),
                 QStringLiteral("3 alike: invoice.pdf … terms.pdf"));
    }

    void serviceFollowsTheQueue()
    {
        QTemporaryDir downloads;
        QTemporaryDir state;
        TriageQueueManager queue(state.path());
        LookAlikeService service(&queue);
        QSignalSpy changed(&service, &LookAlikeService::changed);
        auto file = [&](const QString& name) {
            const QString path = downloads.path() + QLatin1Char('/') + name;
            TestFiles::writeFile(path, name.toUtf8());
            return QUrl::fromLocalFile(path);
        };
        const QList<QUrl> scans{file("scan_001.pdf"), file("scan_002.pdf"), file("scan_003.pdf")};
        queue.enqueueBatch({scans[0], file("a.pdf"), scans[1], file("notes.txt"), scans[2]});
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 5000);
        service.waitForIdle();
        QCOMPARE(changed.count(), 1);
        const QUuid first = queue.items().at(0).id;
        const QList<QUuid> ids{first, queue.items().at(2).id, queue.items().at(4).id};
        QCOMPARE(service.groupOf(ids[1]), ids);
        QCOMPARE(service.groupItems(first).size(), 3);
        QVERIFY(service.groupOf(queue.items().at(1).id).isEmpty());

        // A file that joins nothing changes no group.
        queue.enqueue(file("b.txt"));
        service.waitForIdle();
        QCOMPARE(changed.count(), 1);

        // A member that left is skipped at once, before the regrouping is in.
        QVERIFY(queue.removeURL(scans[1]));
        QCOMPARE(service.groupItems(first).size(), 2);
        service.waitForIdle();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(service.groupOf(first), (QList<QUuid>{ids[0], ids[2]}));
        QVERIFY(queue.removeURL(scans[2]));
        QVERIFY(service.groupItems(first).isEmpty());
        service.waitForIdle();
        QCOMPARE(changed.count(), 3);
        QVERIFY(service.groupOf(first).isEmpty());

        // Hosts learned later group two unrelated names that came from one place.
        const QUuid a = queue.items().at(1).id;
        const QUuid b = queue.items().at(3).id;
        QCOMPARE(queue.items().at(3).filename, QStringLiteral("b.txt"));
        const QUuid notes = queue.items().at(2).id;
        service.noteOriginHost(notes, QStringLiteral("files.example.org"));
        service.noteOriginHost(b, QStringLiteral("Files.example.org"));
        service.waitForIdle();
        QCOMPARE(service.groupOf(b), (QList<QUuid>{notes, b}));
        QVERIFY(service.groupOf(a).isEmpty());
        QCOMPARE(changed.count(), 4);
    }

    void staleResultsAreDropped()
    {
        LookAlikeService service(nullptr);
        QSignalSpy changed(&service, &LookAlikeService::changed);
        auto items = [](const QStringList& names) {
            QList<TriageItem> list;
            for (const QString& name : names) {
                TriageItem item;
                item.id = QUuid::createUuid();
                item.filename = name;
                list.append(item);
            }
            return list;
        };
        const QList<TriageItem> older = items({"x (1).pdf", "x.pdf"});
        const QList<TriageItem> newer = items({"y_01.png", "y_02.png", "z.png"});
        service.regroup(older);
        service.regroup(newer);
        service.waitForIdle();
        QCOMPARE(changed.count(), 1);
        QVERIFY(service.groupOf(older[0].id).isEmpty());
        QCOMPARE(service.groupOf(newer[1].id), (QList<QUuid>{newer[0].id, newer[1].id}));
    }
};

STOWBIRD_TEST_MAIN(TestLookAlikeGroups)
#include "TestLookAlikeGroups.moc"
