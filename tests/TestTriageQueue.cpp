#include "TestEnvironment.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>

class TestTriageQueue : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_downloads;
    QTemporaryDir m_state;

    QUrl makeFile(const QString& name)
    {
        const QString path = m_downloads.path() + QLatin1Char('/') + name;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
        f.write("data");
        return QUrl::fromLocalFile(path);
    }

    QList<QUrl> makeFiles(int count, const QString& prefix)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls.append(
                makeFile(QStringLiteral("%1-%2.bin").arg(prefix).arg(i, 4, 10, QLatin1Char('0'))));
        return urls;
    }

    QString cachePath() const { return m_state.path() + "/skipped_items.json"; }
    QString identityPath() const { return m_state.path() + "/skipped_items_identity.json"; }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static bool writeAll(const QString& path, const QByteArray& data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    // Appends to the file and moves its modification time, as a program writing to it does.
    static bool changeInPlace(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::Append) && f.write("more") == 4 &&
               f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600),
                             QFileDevice::FileModificationTime);
    }

    // A new download of the same name, as browsers save one: written beside it, then renamed
    // over it.
    static bool replaceByRename(const QString& path)
    {
        const QString part = path + QStringLiteral(".part");
        return writeAll(part, "new") && std::rename(QFile::encodeName(part).constData(),
                                                    QFile::encodeName(path).constData()) == 0;
    }

private slots:
    void init()
    {
        QFile::remove(cachePath());
        QFile::remove(identityPath());
        QDir(m_downloads.path()).removeRecursively();
        QDir().mkpath(m_downloads.path());
    }

    void duplicatesAreRefusedOnceWithOneNotification()
    {
        TriageQueueManager queue(m_state.path());
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        const QUrl url = makeFile("report.pdf");
        const QUrl dotted = QUrl::fromLocalFile(m_downloads.path() + "/./report.pdf");
        queue.enqueue(url);
        queue.enqueue(url);
        queue.enqueue(dotted);
        QCOMPARE(queue.items().size(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(queue.activeItem()->filename, QStringLiteral("report.pdf"));

        // An empty batch still announces itself once; a batch of repeats only at the end.
        queue.enqueueBatch({});
        QCOMPARE(changed.count(), 2);
        queue.enqueueBatch({url, dotted});
        QCOMPARE(changed.count(), 3);
    }

    void workingListAndBacklog()
    {
        TriageQueueManager queue(m_state.path());
        const QList<QUrl> urls = makeFiles(53, "f");
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        queue.enqueueBatch(urls);
        QCOMPARE(changed.count(), 54); // one per accepted URL plus one at the end
        QCOMPARE(queue.items().size(), 50);
        QCOMPARE(queue.pendingBacklog().size(), 3);
        QCOMPARE(queue.totalQueueDepth(), 53);
        QVERIFY(!queue.isEmpty());

        // A URL already waiting in the backlog is a duplicate too.
        queue.enqueue(urls.last());
        QCOMPARE(queue.totalQueueDepth(), 53);

        // Dequeue refills from the oldest backlog URL.
        const auto head = queue.dequeue();
        QVERIFY(head);
        QCOMPARE(head->url, urls.first());
        QCOMPARE(queue.items().size(), 50);
        QCOMPARE(queue.pendingBacklog().size(), 2);
        QCOMPARE(queue.items().last().url, urls.at(50));

        // A backlog URL whose file vanished is dropped by the refill, never becoming an item.
        QVERIFY(QFile::remove(urls.at(51).toLocalFile()));
        queue.dequeue();
        QCOMPARE(queue.items().last().url, urls.at(52));
        QVERIFY(queue.pendingBacklog().isEmpty());

        // A dequeued path may be queued again (it is no longer in either list).
        queue.enqueue(urls.first());
        QCOMPARE(queue.items().size(), 50);
        QCOMPARE(queue.pendingBacklog().size(), 1);
    }

    void emptyQueueOperationsPostNothing()
    {
        TriageQueueManager queue(m_state.path());
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        QVERIFY(!queue.dequeue());
        queue.skipCurrent();
        QCOMPARE(changed.count(), 0);
        QVERIFY(!queue.activeItem());
        QVERIFY(queue.isEmpty());
    }

    void skipPersistsAcrossInstances()
    {
        const QUrl url = makeFile("setup.deb");
        {
            TriageQueueManager queue(m_state.path());
            queue.enqueue(url);
            QSignalSpy skipped(&queue, &TriageQueueManager::skippedPathsChanged);
            queue.skipCurrent();
            QCOMPARE(skipped.count(), 1);
            QVERIFY(queue.items().isEmpty());
            queue.enqueue(url);
            QVERIFY(queue.items().isEmpty());
        }
        // The cache is compact JSON with escaped slashes: an array of path strings.
        QFile cache(cachePath());
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray text = cache.readAll();
        QVERIFY2(text.startsWith("[\"\\/") && text.endsWith("setup.deb\"]"), text.constData());
        QVERIFY(!text.contains('\n'));

        TriageQueueManager reopened(m_state.path());
        QVERIFY(reopened.skippedPaths().contains(url.toLocalFile()));
        reopened.enqueue(url);
        QVERIFY(reopened.items().isEmpty());

        reopened.clearSkipCache();
        QVERIFY(!QFile::exists(cachePath()));
        reopened.enqueue(url);
        QCOMPARE(reopened.items().size(), 1);
    }

    void pushToFrontUnskipsAndAllowsFiftyOne()
    {
        TriageQueueManager queue(m_state.path());
        const QList<QUrl> urls = makeFiles(51, "p");
        queue.enqueueBatch(urls);
        queue.skipCurrent(); // skips p-0000, refills p-0050
        const TriageItem skipped(urls.first());
        QVERIFY(queue.skippedPaths().contains(urls.first().toLocalFile()));
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        queue.pushToFront(skipped);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(queue.items().size(), 51);
        QCOMPARE(queue.activeItem()->id, skipped.id);
        QVERIFY(queue.skippedPaths().isEmpty());
        queue.waitForSaves();
        TriageQueueManager reopened(m_state.path());
        QVERIFY(reopened.skippedPaths().isEmpty());
    }

    void corruptOrForeignCacheIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("invalid json") << QByteArray("[\"/a\", ");
        QTest::newRow("object") << QByteArray("{\"a\":1}");
        QTest::newRow("numbers") << QByteArray("[1,2]");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe", 3);
    }

    void corruptOrForeignCacheIsIgnored()
    {
        QFETCH(QByteArray, content);
        QFile f(cachePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        TriageQueueManager queue(m_state.path());
        QVERIFY(queue.skippedPaths().isEmpty());
        // The next save replaces it with a valid cache.
        queue.enqueue(makeFile("a.txt"));
        queue.skipCurrent();
        queue.waitForSaves();
        TriageQueueManager reopened(m_state.path());
        QCOMPARE(reopened.skippedPaths().size(), 1);
    }

    void pruneKeepsOrderAndDropsStaleSkips()
    {
        TriageQueueManager queue(m_state.path());
        const QList<QUrl> urls = makeFiles(5, "k");
        queue.enqueueBatch(urls);
        queue.skipCurrent(); // k-0000 skipped
        QVERIFY(QFile::remove(urls.at(0).toLocalFile()));
        QVERIFY(QFile::remove(urls.at(2).toLocalFile()));
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        queue.pruneMissingFiles();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(queue.items().size(), 3);
        QCOMPARE(queue.items().at(0).url, urls.at(1));
        QCOMPARE(queue.items().at(1).url, urls.at(3));
        QCOMPARE(queue.items().at(2).url, urls.at(4));
        QVERIFY(queue.skippedPaths().isEmpty());

        // Nothing missing: no observable field changes, the notification still posts.
        QSignalSpy items(&queue, &TriageQueueManager::itemsChanged);
        queue.pruneMissingFiles();
        QCOMPARE(items.count(), 0);
        QCOMPARE(changed.count(), 2);
    }

    void removedPathsLeaveTheQueue()
    {
        TriageQueueManager queue(m_state.path());
        const QList<QUrl> urls = makeFiles(53, "r");
        queue.enqueueBatch(urls);
        queue.skipCurrent(); // r-0000 skipped, r-0050 refilled
        QCOMPARE(queue.totalQueueDepth(), 52);
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        QSignalSpy items(&queue, &TriageQueueManager::itemsChanged);
        QSignalSpy backlog(&queue, &TriageQueueManager::pendingBacklogChanged);

        // An item: dropped at once, the oldest backlog entry refills the working list.
        queue.removePath(urls.at(3).toLocalFile());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(items.count(), 1);
        QCOMPARE(queue.totalQueueDepth(), 51);
        QCOMPARE(queue.items().size(), 50);
        QCOMPARE(queue.items().last().url, urls.at(51));
        // A backlog entry.
        queue.removePath(urls.at(52).toLocalFile());
        QCOMPARE(queue.totalQueueDepth(), 50);
        QVERIFY(queue.pendingBacklog().isEmpty());
        // Unknown paths and a sibling that shares a prefix change nothing, and post nothing.
        changed.clear();
        queue.removePath(m_downloads.path() + "/nothing-here");
        queue.removePath(urls.at(4).toLocalFile().chopped(1));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(queue.totalQueueDepth(), 50);
        // A skipped path that goes is forgotten.
        QVERIFY(queue.skippedPaths().contains(urls.at(0).toLocalFile()));
        queue.removePath(urls.at(0).toLocalFile());
        QVERIFY(queue.skippedPaths().isEmpty());
        QCOMPARE(changed.count(), 1);
        // The whole folder gone: everything in it leaves, in one notification.
        changed.clear();
        backlog.clear();
        queue.removePath(m_downloads.path());
        QVERIFY(queue.isEmpty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(backlog.count(), 0);
    }

    void freshListingDropsWhatIsGone()
    {
        TriageQueueManager queue(m_state.path());
        const QList<QUrl> urls = makeFiles(53, "l");
        queue.enqueueBatch(urls);
        // Another folder's entry is not judged by this folder's listing.
        QTemporaryDir other;
        const QString elsewhere = other.path() + "/kept.txt";
        queue.enqueue(QUrl::fromLocalFile(elsewhere));
        QSet<QString> present;
        for (int i = 0; i < 53; ++i) {
            if (i != 0 && i != 52)
                present.insert(urls.at(i).toLocalFile());
        }
        QSignalSpy changed(&queue, &TriageQueueManager::triageQueueDidChange);
        queue.retainPresent(m_downloads.path(), present);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(queue.totalQueueDepth(), 52);
        QCOMPARE(queue.activeItem()->url, urls.at(1));
        QVERIFY(!queue.pendingBacklog().contains(urls.at(52).toLocalFile()));
        QVERIFY(queue.pendingBacklog().contains(elsewhere));
        // Nothing gone: nothing posted.
        queue.retainPresent(m_downloads.path(), present);
        QCOMPARE(changed.count(), 1);
    }

    void skipHoldsForTheSkippedFileOnly()
    {
        const QString path = m_downloads.path() + "/report.pdf";
        const QUrl url = makeFile("report.pdf");
        {
            TriageQueueManager queue(m_state.path());
            queue.enqueue(url);
            queue.skipCurrent();
            // The same file, rescanned or touched by metadata only, stays skipped.
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            queue.enqueue(url);
            QVERIFY(queue.isEmpty());
        }
        {
            // After a restart too.
            TriageQueueManager queue(m_state.path());
            queue.enqueue(url);
            QVERIFY(queue.isEmpty());
            // Deleted while not watched, and a new download of the same name arrives.
            QVERIFY(QFile::remove(path));
            makeFile("report.pdf");
        }
        {
            TriageQueueManager queue(m_state.path());
            QSignalSpy skipped(&queue, &TriageQueueManager::skippedPathsChanged);
            queue.enqueue(url);
            QCOMPARE(queue.items().size(), 1);
            QVERIFY(queue.skippedPaths().isEmpty());
            QCOMPARE(skipped.count(), 1);
            // The skipped file itself moved back in (same inode and times, as an undone
            // rename does) stays skipped; a different file arriving there is queued.
            queue.skipCurrent();
            queue.enqueue(url);
            QVERIFY(queue.isEmpty());
            queue.enqueue(url, true);
            QVERIFY(queue.isEmpty());
            QVERIFY(QFile::rename(path, path + ".old"));
            makeFile("report.pdf");
            QVERIFY(QFile::remove(path + ".old"));
            queue.enqueue(url, true);
            QCOMPARE(queue.items().size(), 1);
        }
        TriageQueueManager reopened(m_state.path());
        QVERIFY(reopened.skippedPaths().isEmpty());
    }

    void skipListWithoutIdentitiesIsStillRead()
    {
        // A list written by an earlier version: paths only. The files there now are the
        // skipped ones; a path whose file is missing takes the next download.
        const QUrl kept = makeFile("kept.iso");
        const QString missing = m_downloads.path() + "/missing.iso";
        QFile cache(cachePath());
        QVERIFY(cache.open(QIODevice::WriteOnly));
        cache.write(QJsonDocument(QJsonArray{kept.toLocalFile(), missing}).toJson());
        cache.close();
        TriageQueueManager queue(m_state.path());
        QCOMPARE(queue.skippedPaths().size(), 2);
        queue.enqueue(kept);
        QVERIFY(queue.isEmpty());
        queue.enqueue(makeFile("missing.iso"));
        QCOMPARE(queue.items().size(), 1);
        QCOMPARE(queue.skippedPaths(), QSet<QString>{kept.toLocalFile()});
    }

    // A skip is for the file, not for its bytes or times: written to and touched it stays
    // skipped, after a restart too. A different file at its path (a new download of the same
    // name renamed over it, or the old one deleted and a new one written while nobody
    // watched) is offered again.
    void skipHoldsForTheFileWhateverIsWrittenToIt()
    {
        const QString path = m_downloads.path() + "/report.pdf";
        const QUrl url = makeFile("report.pdf");
        TriageQueueManager queue(m_state.path());
        queue.enqueue(url);
        queue.skipCurrent();
        QVERIFY(changeInPlace(path));
        queue.enqueue(url);
        QVERIFY(queue.isEmpty());
        queue.waitForSaves();
        {
            TriageQueueManager reopened(m_state.path());
            QVERIFY(changeInPlace(path));
            reopened.enqueue(url);
            reopened.enqueuePaths({path});
            QVERIFY(reopened.isEmpty());
            QCOMPARE(reopened.skippedPaths(), QSet<QString>{path});
        }
        QVERIFY(replaceByRename(path));
        queue.enqueue(url, true);
        QCOMPARE(queue.items().size(), 1);
        QVERIFY(queue.skippedPaths().isEmpty());

        queue.skipCurrent();
        {
            // Held open, the old file keeps its inode: the new one cannot reuse it.
            QFile old(path);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QVERIFY(QFile::remove(path));
            makeFile("report.pdf");
        }
        TriageQueueManager reopened(m_state.path());
        reopened.enqueue(url);
        QCOMPARE(reopened.items().size(), 1);
        QVERIFY(reopened.skippedPaths().isEmpty());
    }

    // skipped_items.json stays what older versions read, a compact array of path strings;
    // which file each skip is for is kept in a file beside it. The previous version's list of
    // objects is read without losing a skip and rewritten as paths at once. A list of paths
    // alone (an older version wrote it last) holds each skip for the file there now, which is
    // recorded then.
    void skipListIsAnArrayOfPathsWithTheFilesBesideIt()
    {
        const QUrl kept = makeFile("kept.iso");
        const QUrl other = makeFile("other.iso");
        const QString keptPath = kept.toLocalFile();
        const QJsonArray both{keptPath, other.toLocalFile()};
        {
            TriageQueueManager queue(m_state.path());
            queue.enqueueBatch({kept, other});
            queue.skipCurrent();
            queue.skipCurrent();
        }
        QCOMPARE(QJsonDocument::fromJson(readAll(cachePath())).array(), both);
        QVERIFY(readAll(cachePath()).startsWith("[\"\\/"));
        QVERIFY(readAll(identityPath()).contains("\"inode\":"));

        // The previous version's list; other.iso is no longer the file whose inode it kept.
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(keptPath).constData(), &st), 0);
        QVERIFY(QFile::remove(identityPath()));
        QVERIFY(writeAll(cachePath(), QStringLiteral(R"([{"inode":%1,"mtime":5,"path":"%2"},)"
                                                     R"({"inode":1,"mtime":6,"path":"%3"}])")
                                          .arg(quint64(st.st_ino))
                                          .arg(keptPath, other.toLocalFile())
                                          .toUtf8()));
        {
            TriageQueueManager queue(m_state.path());
            QCOMPARE(queue.skippedPaths().size(), 2);
            queue.waitForSaves();
            QCOMPARE(QJsonDocument::fromJson(readAll(cachePath())).array(), both);
            QVERIFY(changeInPlace(keptPath));
            queue.enqueueBatch({kept, other});
            QCOMPARE(queue.items().size(), 1);
            QCOMPARE(queue.activeItem()->url, other);
        }

        // A list of paths alone, nothing beside it.
        QVERIFY(writeAll(cachePath(), QJsonDocument(QJsonArray{keptPath}).toJson()));
        QVERIFY(QFile::remove(identityPath()));
        {
            TriageQueueManager queue(m_state.path());
            QVERIFY(changeInPlace(keptPath));
            queue.enqueue(kept);
            QVERIFY(queue.isEmpty());
        }
        QVERIFY(readAll(identityPath()).contains("kept.iso"));
        QVERIFY(replaceByRename(keptPath));
        TriageQueueManager reopened(m_state.path());
        reopened.enqueue(kept);
        QCOMPARE(reopened.items().size(), 1);
    }

    void unwritableCacheFolderKeepsSkipInMemory()
    {
        // A regular file where the state folder should be: the save fails, the skip holds.
        const QString blocker = m_state.path() + "/blocked";
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        TriageQueueManager queue(blocker + "/stowbird");
        const QUrl url = makeFile("x.iso");
        queue.enqueue(url);
        queue.skipCurrent();
        QVERIFY(queue.skippedPaths().contains(url.toLocalFile()));
        queue.enqueue(url);
        QVERIFY(queue.items().isEmpty());
    }

    // The compact backlog against a plain list doing the same random operations: order,
    // duplicates, removals, renames and folder lookups must agree after every step, across
    // table growth, deleted slots, pool compaction and emptying.
    void compactPathListBehavesLikeAPlainList()
    {
        QStringList universe;
        for (const QString& folder : {QStringLiteral("/d"), QStringLiteral("/d/sub"),
                                      QStringLiteral("/e/Ünï ☃"), QString()}) {
            for (int i = 0; i < 40; ++i)
                universe.append(folder + QStringLiteral("/f%1%2").arg(i).arg(QString(i % 7, 'x')));
        }
        universe.append(QStringLiteral("no-slash"));
        universe.append(QStringLiteral("/d/"));

        QRandomGenerator random(20261207);
        CompactPathList list;
        QStringList model;
        for (int step = 0; step < 30000; ++step) {
            const QString path = universe.at(random.bounded(universe.size()));
            const QString other = universe.at(random.bounded(universe.size()));
            switch (random.bounded(8)) {
            case 0:
            case 1:
            case 2:
                list.append(path);
                model.append(path);
                break;
            case 3:
                if (!model.isEmpty())
                    QCOMPARE(list.takeFirst(), model.takeFirst());
                break;
            case 4:
                QCOMPARE(list.removeAll(path), model.removeAll(path));
                break;
            case 5: {
                const QString folder = path.left(path.lastIndexOf('/'));
                const auto inside = [&](const QString& p) { return p.startsWith(folder + '/'); };
                QCOMPARE(list.removeIf(inside), model.removeIf(inside));
                break;
            }
            case 6: {
                const qsizetype at = model.indexOf(path);
                QCOMPARE(list.replaceFirst(path, other), at >= 0);
                if (at >= 0)
                    model[at] = other;
                break;
            }
            case 7:
                if (random.bounded(50) == 0) {
                    list.clear();
                    model.clear();
                }
                break;
            }
            QCOMPARE(list.size(), model.size());
            QCOMPARE(list.contains(other), model.contains(other));
            QCOMPARE(list.count(path), model.count(path));
            // Folder lookups are for absolute paths, as the queue keeps them.
            const QString folder = other.left(other.lastIndexOf('/'));
            const auto inFolder = [&](const QString& p) {
                return p.contains('/') && p.left(p.lastIndexOf('/')) == folder;
            };
            if (other.contains('/'))
                QCOMPARE(list.hasEntriesIn(folder),
                         std::any_of(model.cbegin(), model.cend(), inFolder));
            if (step % 97 == 0)
                QCOMPARE(list.toList(), model);
        }
        QCOMPARE(list.toList(), model);
    }

    void compactPathListCopiesAreIndependent()
    {
        CompactPathList original{QStringLiteral("/d/a"), QStringLiteral("/d/b")};
        const CompactPathList copy = original;
        original.takeFirst();
        original.append(QStringLiteral("/d/c"));
        QCOMPARE(copy.toList(), QStringList({"/d/a", "/d/b"}));
        QCOMPARE(original.toList(), QStringList({"/d/b", "/d/c"}));
        QVERIFY(!copy.contains(QStringLiteral("/d/c")));
    }

    // A waiting file costs tens of bytes, not a string, a list slot and a hash node each.
    void compactPathListStaysSmall()
    {
        CompactPathList list;
        for (int i = 0; i < 100000; ++i)
            list.append(
                QStringLiteral("/home/someone/Downloads/report-%1.pdf").arg(i, 6, 10, QChar('0')));
        QCOMPARE(list.size(), 100000);
        QVERIFY2(list.bytesUsed() < 100000 * 100, qPrintable(QString::number(list.bytesUsed())));
        while (list.size() > 1)
            list.takeFirst();
        QCOMPARE(list.first(), QStringLiteral("/home/someone/Downloads/report-099999.pdf"));
        list.takeFirst();
        QVERIFY(list.isEmpty());
        QVERIFY2(list.bytesUsed() < 1024, qPrintable(QString::number(list.bytesUsed())));
    }
};

STOWBIRD_TEST_MAIN(TestTriageQueue)
#include "TestTriageQueue.moc"
