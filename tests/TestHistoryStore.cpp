#include "CrossThreadSpy.h"
#include "HistoryByHand.h"
#include "HomeOnTmpfs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/TestLogger.h"
#include "models/ActionRecord.h"
#include "models/DestinationPredictor.h"
#include "models/FileNaming.h"
#include "models/HistoryEntry.h"
#include "platform/FileSystemEntry.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HistoryDatabase.h"
#include "platform/StoragePaths.h"
#include "services/HistoryStore.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace {

using TestFiles::modeOf;
using TestFiles::readFile;
using TestFiles::writeFile;
using Outcome = HistoryStore::UndoOutcome;

QString home()
{
    return StoragePaths::homeDirectory();
}

QString databasePath()
{
    return HistoryStore::defaultDatabasePath();
}

std::unique_ptr<HistoryStore> openStore(LoggerService& logger, const QString& path = databasePath())
{
    return std::make_unique<HistoryStore>(
        path, std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), logger);
}

// Runs the event loop until done() holds, woken by each event that comes in (the store's
// answers are queued to this thread) where QTest::qWaitFor sleeps 10 ms between looks.
template <typename Done> bool waitFor(Done done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake; // ends the last blocking wait at the deadline
    wake.start(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

struct Page
{
    QList<HistoryEntry> entries;
    bool more = false;
    QString error;
};

// The page after every record asked for so far is stored (a query alone does not wait for
// the writer).
Page query(HistoryStore& store, const QString& filter = {}, int limit = 200, qint64 before = 0,
           bool settle = true)
{
    if (settle)
        store.waitForWrites();
    Page page;
    bool done = false;
    QObject context;
    quint64 asked = 0;
    QObject::connect(&store, &HistoryStore::queryFinished, &context,
                     [&](quint64 request, const QString&, const QList<HistoryEntry>& entries,
                         bool more, const QString& error) {
                         if (request != asked)
                             return;
                         page = Page{entries, more, error};
                         done = true;
                     });
    asked = store.query(filter, limit, before);
    if (!waitFor([&] { return done; }, 20000))
        qFatal("no query result");
    return page;
}

std::pair<Outcome, QString> undo(HistoryStore& store, const QUuid& id)
{
    std::optional<std::pair<Outcome, QString>> result;
    QObject context;
    QObject::connect(&store, &HistoryStore::undoFinished, &context,
                     [&](const QUuid& done, Outcome outcome, const QString& message) {
                         if (done == id)
                             result = std::make_pair(outcome, message);
                     });
    store.undoEntry(id);
    if (!waitFor([&] { return result.has_value(); }, 20000))
        qFatal("no undo result");
    return *result;
}

HistoryEntry trashByHand(const QString& from)
{
    const TriageItem item(QUrl::fromLocalFile(from));
    FreedesktopTrash trash(StoragePaths::dataHome());
    const TrashBackend::Trashed trashed = trash.moveToTrash(from);
    ActionRecord record(ActionRecord::ActionType::trashed(QUrl::fromLocalFile(trashed.path)), item);
    record.placed = FileSystemEntry::identityAt(trashed.path);
    record.trashRecord = trashed.record;
    record.trashRecordIdentity = trashed.recordIdentity;
    return HistoryEntry::fromActionRecord(record, HistoryEntry::Action::Trashed);
}

HistoryEntry plainEntry(const QString& name,
                        const QDateTime& time = QDateTime::currentDateTimeUtc())
{
    HistoryEntry entry;
    entry.action = HistoryEntry::Action::Skipped;
    entry.itemName = name;
    entry.fromPath = home() + QStringLiteral("/Downloads/") + name;
    entry.time = time;
    return entry;
}

// Numbered scans written to Downloads and filed into Documents one by one, as a group key
// files them: the group entry the program records.
HistoryEntry fileScans(int count)
{
    QList<HistoryEntry> members;
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("scan_%1.pdf").arg(i, 3, 10, QLatin1Char('0'));
        writeFile(home() + QStringLiteral("/Downloads/") + name, "page " + QByteArray::number(i));
        members << fileByHand(home() + QStringLiteral("/Downloads/") + name,
                              home() + QStringLiteral("/Documents"), 2, QStringLiteral("scanner"));
    }
    return HistoryEntry::group(members);
}

QList<QUuid> idsOf(const QList<HistoryEntry>& entries)
{
    QList<QUuid> ids;
    for (const HistoryEntry& entry : entries)
        ids << entry.id;
    return ids;
}

std::shared_ptr<DestinationPredictor> loadPredictor(HistoryStore& store)
{
    // Taken on this thread (a spy's wait() misses a signal sent before it starts waiting).
    std::shared_ptr<DestinationPredictor> loaded;
    QObject receiver;
    QObject::connect(&store, &HistoryStore::predictorLoaded, &receiver,
                     [&loaded](std::shared_ptr<DestinationPredictor> p) { loaded = std::move(p); });
    store.loadPredictor();
    if (!waitFor([&] { return bool(loaded); }, 20000))
        qFatal("no predictor");
    return loaded;
}

// One number from the database file, read beside the store.
qint64 sqlNumber(const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &db, SQLITE_OPEN_READONLY,
                    nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    const qint64 n =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return n;
}

} // namespace

class TestHistoryStore : public QObject
{
    Q_OBJECT
    HomeOnTmpfs m_tmpfsHome;

private slots:
    void init()
    {
        // Every case starts from an empty history and empty folders.
        for (const QString& folder :
             {StoragePaths::stateDirectory(), home() + QStringLiteral("/Downloads"),
              home() + QStringLiteral("/Documents"), StoragePaths::dataHome()})
            QDir(folder).removeRecursively();
        QDir().mkpath(home() + QStringLiteral("/Downloads"));
    }

    // Filed and trashed items come back after the store was closed and opened again; the
    // undos are recorded and mark what they undid.
    void undoAfterRestart()
    {
        const QString downloads = home() + QStringLiteral("/Downloads");
        writeFile(downloads + QStringLiteral("/report.pdf"), "quarterly numbers");
        writeFile(downloads + QStringLiteral("/old.txt"), "stale");
        const HistoryEntry filed = fileByHand(downloads + QStringLiteral("/report.pdf"),
                                              home() + QStringLiteral("/Documents"), 3,
                                              QStringLiteral("files.example.org"));
        const HistoryEntry trashed = trashByHand(downloads + QStringLiteral("/old.txt"));
        {
            auto store = openStore(m_log.logger);
            store->record(filed);
            store->record(trashed);
        }
        QCOMPARE(modeOf(databasePath()), 0600u);
        QCOMPARE(modeOf(StoragePaths::stateDirectory()), 0700u);

        auto store = openStore(m_log.logger);
        const Page before = query(*store);
        QCOMPARE(before.entries.size(), 2);
        QCOMPARE(before.entries[0].id, trashed.id); // newest first
        QCOMPARE(before.entries[1].slot, 3);
        QCOMPARE(before.entries[1].originHost, QStringLiteral("files.example.org"));
        QVERIFY(before.entries[1].placed.isSameEntry(filed.placed));
        // The predictor is rebuilt from the stored filings.
        CrossThreadSpy loaded(store.get(), &HistoryStore::predictorLoaded);
        store->loadPredictor();
        STOWBIRD_TRY_COMPARE(loaded.size(), 1, 10000);
        const auto predictor =
            loaded.first().first().value<std::shared_ptr<DestinationPredictor>>();
        QCOMPARE(predictor->learnedCount(), 1);
        QCOMPARE(predictor->bestGuess({QStringLiteral("summary.pdf"), {}, {}, 100})->slot, 3);

        QCOMPARE(
            undo(*store, filed.id),
            std::make_pair(Outcome::Restored, QStringLiteral("report.pdf is back in Downloads")));
        QCOMPARE(readFile(downloads + QStringLiteral("/report.pdf")),
                 QByteArray("quarterly numbers"));
        QCOMPARE(undo(*store, trashed.id).first, Outcome::Restored);
        QCOMPARE(readFile(downloads + QStringLiteral("/old.txt")), QByteArray("stale"));

        const Page after = query(*store);
        QCOMPARE(after.entries.size(), 4);
        QCOMPARE(after.entries[0].action, HistoryEntry::Action::Undone);
        QCOMPARE(after.entries[0].undoOf, trashed.id);
        QCOMPARE(after.entries[2].undoneBy, after.entries[0].id);
        QCOMPARE(after.entries[3].undoneBy, after.entries[1].id);
        // An action put back once is not undone again.
        QCOMPARE(
            undo(*store, filed.id),
            std::make_pair(Outcome::Refused, QStringLiteral("report.pdf was already put back")));
    }

    void undoRefusesWhatIsNotSafe_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed") << "append" << int(Outcome::Refused)
                                 << "report.pdf was changed since it was filed";
        QTest::newRow("moved") << "move" << int(Outcome::Refused)
                               << "report.pdf is no longer in Documents";
        QTest::newRow("replaced") << "replace" << int(Outcome::Refused)
                                  << "report.pdf in Documents was replaced since it was filed";
        QTest::newRow("old place taken")
            << "take" << int(Outcome::Restored)
            << "report.pdf is back in Downloads as report (1).pdf, because report.pdf is taken "
               "there";
        QTest::newRow("trash emptied")
            << "empty trash" << int(Outcome::Refused) << "report.pdf is no longer in the Trash";
    }

    // Nothing is moved over anything, and nothing that changed is moved at all.
    void undoRefusesWhatIsNotSafe()
    {
        QFETCH(QString, change);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        const QString downloads = home() + QStringLiteral("/Downloads");
        const QString original = downloads + QStringLiteral("/report.pdf");
        const QString filedPath = home() + QStringLiteral("/Documents/report.pdf");
        writeFile(original, "filed bytes");
        const bool viaTrash = change == QLatin1String("empty trash");
        const HistoryEntry entry =
            viaTrash ? trashByHand(original)
                     : fileByHand(original, home() + QStringLiteral("/Documents"), 2);
        auto store = openStore(m_log.logger);
        store->record(entry);

        if (change == QLatin1String("append")) {
            QFile f(filedPath);
            QVERIFY(f.open(QIODevice::Append));
            f.write(" and more");
        } else if (change == QLatin1String("move")) {
            QVERIFY(QFile::rename(filedPath, home() + QStringLiteral("/moved.pdf")));
        } else if (change == QLatin1String("replace")) {
            // Written beside it first, so that it cannot get the freed inode number.
            writeFile(filedPath + QStringLiteral(".new"), "other bytes");
            QVERIFY(::rename(QFile::encodeName(filedPath + QStringLiteral(".new")).constData(),
                             QFile::encodeName(filedPath).constData()) == 0);
        } else if (change == QLatin1String("take")) {
            writeFile(original, "a newer download");
        } else {
            QVERIFY(QFile::remove(entry.toPath));
        }

        QCOMPARE(undo(*store, entry.id), std::make_pair(Outcome(outcome), message));
        if (change == QLatin1String("append"))
            QCOMPARE(readFile(filedPath), QByteArray("filed bytes and more"));
        if (change == QLatin1String("replace"))
            QCOMPARE(readFile(filedPath), QByteArray("other bytes"));
        if (change == QLatin1String("take")) {
            QCOMPARE(readFile(original), QByteArray("a newer download"));
            QCOMPARE(readFile(downloads + QStringLiteral("/report (1).pdf")),
                     QByteArray("filed bytes"));
            QVERIFY(!QFile::exists(filedPath));
        }
        if (Outcome(outcome) == Outcome::Refused)
            QVERIFY(!QFile::exists(original));
    }

    void damagedFileIsKeptAside_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("truncated") << "truncate";
        QTest::newRow("pages overwritten") << "overwrite";
        QTest::newRow("not a database") << "text";
    }

    // The damaged file is kept under the settings file's naming rule, and a new history
    // takes records at once.
    void damagedFileIsKeptAside()
    {
        QFETCH(QString, damage);
        {
            auto store = openStore(m_log.logger);
            // Forty long entries: a file of many pages, as four hundred short ones make.
            for (int i = 0; i < 40; ++i)
                store->record(
                    plainEntry(QStringLiteral("file-%1-%2.bin").arg(i).arg(QString(1000, u'x'))));
        }
        QFile file(databasePath());
        QVERIFY(file.size() > 64 * 1024);
        if (damage == QLatin1String("truncate")) {
            QVERIFY(file.resize(file.size() / 2));
        } else if (damage == QLatin1String("overwrite")) {
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(4096);
            file.write(QByteArray(int(file.size() / 2), char(0xa5)));
            file.close();
        } else {
            QVERIFY(file.resize(0));
            writeFile(databasePath(), "not a history at all\n");
        }
        const QByteArray damaged = readFile(databasePath());

        auto store = openStore(m_log.logger);
        CrossThreadSpy resets(store.get(), &HistoryStore::historyReset);
        STOWBIRD_TRY_COMPARE(resets.size(), 1, 20000);
        const QStringList kept = QDir(StoragePaths::stateDirectory())
                                     .entryList({QStringLiteral("history.sqlite3.bad-*")});
        QCOMPARE(kept.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^history\\.sqlite3\\.bad-\\d{8}T\\d{6}Z$"))
                    .match(kept.first())
                    .hasMatch());
        QCOMPARE(readFile(StoragePaths::stateDirectory() + u'/' + kept.first()), damaged);
        QVERIFY(resets.first().first().toString().contains(kept.first()));

        store->record(plainEntry(QStringLiteral("after.pdf")));
        const Page page = query(*store);
        QVERIFY(store->available());
        QCOMPARE(page.entries.size(), 1);
        QCOMPARE(page.entries.first().itemName, QStringLiteral("after.pdf"));
    }

    // What a killed process leaves: the database and its write-ahead log as they were while
    // it ran. Every committed entry is read back, and nothing is taken for damage.
    void killedWriterLosesNothingCommitted()
    {
        auto running = openStore(m_log.logger);
        for (int i = 0; i < 50; ++i)
            running->record(plainEntry(QStringLiteral("kept-%1.pdf").arg(i)));
        running->waitForWrites();
        const QString copy = home() + QStringLiteral("/after-kill/history.sqlite3");
        QDir().mkpath(FileNaming::parentPath(copy));
        QVERIFY(QFile::exists(databasePath() + QStringLiteral("-wal")));
        for (const QString& suffix : {QString(), QStringLiteral("-wal")})
            QVERIFY(QFile::copy(databasePath() + suffix, copy + suffix));

        auto restarted = openStore(m_log.logger, copy);
        CrossThreadSpy resets(restarted.get(), &HistoryStore::historyReset);
        const Page page = query(*restarted, QStringLiteral("kept"), 200);
        QCOMPARE(page.entries.size(), 50);
        QVERIFY(resets.isEmpty());
        QVERIFY(restarted->available());
    }

    // A full disk makes the history unavailable with the reason; the entries wait and are
    // written once there is room again.
    void fullDiskReportsUnavailable()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        const QString disk = QDir(home()).filePath(QStringLiteral("small-disk"));
        QVERIFY(QDir().mkpath(disk));
        if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=192k") != 0)
            QSKIP("cannot mount a tmpfs here");
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });

        auto store = openStore(m_log.logger, disk + QStringLiteral("/stowbird/history.sqlite3"));
        CrossThreadSpy changes(store.get(), &HistoryStore::availabilityChanged);
        const QString padding(1500, u'p');
        int recorded = 0;
        while (store->available() && recorded < 600) {
            store->record(plainEntry(QStringLiteral("%1-%2.bin").arg(recorded++).arg(padding)));
            if (recorded % 20 == 0)
                store->waitForWrites();
        }
        store->waitForWrites();
        QVERIFY(!store->available());
        QVERIFY2(store->unavailableReason().contains(QStringLiteral("the disk is full")),
                 qPrintable(store->unavailableReason()));
        STOWBIRD_TRY_VERIFY(!changes.isEmpty(), 5000);
        QCOMPARE(changes.last().at(0).toBool(), false);

        QCOMPARE(
            ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", MS_REMOUNT, "size=16m"),
            0);
        store->record(plainEntry(QStringLiteral("last.bin")));
        store->waitForWrites();
        QVERIFY(store->available());
        QCOMPARE(query(*store, {}, 1000).entries.size(), recorded + 1);
        store.reset();
    }

    // The writer thread commits while a reader on another thread holds a snapshot: neither
    // waits for the other, and the reader sees the new entries once it reads again.
    void writerAndReadersRunTogether()
    {
        auto store = openStore(m_log.logger);
        store->record(plainEntry(QStringLiteral("first.bin")));
        store->waitForWrites();

        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &db,
                                 SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        const auto closeDb = qScopeGuard([&] { sqlite3_close(db); });
        auto count = [&] {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db, "SELECT count(*) FROM history", -1, &statement, nullptr);
            const int n =
                sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
            sqlite3_finalize(statement);
            return n;
        };
        QCOMPARE(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(count(), 1); // the snapshot starts here

        CrossThreadSpy stored(store.get(), &HistoryStore::recorded);
        for (int i = 0; i < 500; ++i) {
            store->record(plainEntry(QStringLiteral("entry-%1.bin").arg(i)));
            if (i % 100 == 0) {
                // The store's own reader runs beside the writer.
                const Page page = query(*store, QStringLiteral("entry"), 200, 0, false);
                QVERIFY(page.error.isEmpty());
                for (int r = 1; r < page.entries.size(); ++r)
                    QVERIFY(page.entries[r].sequence < page.entries[r - 1].sequence);
            }
        }
        STOWBIRD_TRY_COMPARE(stored.size(), 500, 4000);
        QVERIFY(store->available());
        QCOMPARE(count(), 1);
        QCOMPARE(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(count(), 501);
    }

    // Filters match name, folders and host without regard to case; pages follow each other;
    // entries past a year or past the count limit are removed.
    void queryFiltersPagesAndPrunes()
    {
        {
            HistoryDatabase db(databasePath());
            QVERIFY(db.openForWriting().ok());
            QList<HistoryEntry> old;
            for (int i = 0; i < 10; ++i)
                old << plainEntry(QStringLiteral("ancient-%1").arg(i),
                                  QDateTime::currentDateTimeUtc().addDays(-400));
            QVERIFY(db.insert(old).ok());
        }
        auto store = openStore(m_log.logger);
        HistoryEntry report = plainEntry(QStringLiteral("Rapport-Février.PDF"));
        report.action = HistoryEntry::Action::MovedToFolder;
        report.toPath = home() + QStringLiteral("/Documents/Impôts/Rapport-Février.PDF");
        report.originHost = QStringLiteral("Files.Example.org");
        store->record(report);
        for (int i = 0; i < 450; ++i)
            store->record(plainEntry(QStringLiteral("item-%1.bin").arg(i)));

        for (const QString& filter : {QStringLiteral("rapport"), QStringLiteral("FÉVRIER pdf"),
                                      QStringLiteral("impôts"), QStringLiteral("example.org")}) {
            const Page page = query(*store, filter);
            QCOMPARE(page.entries.size(), 1);
            QCOMPARE(page.entries.first().id, report.id);
        }
        QVERIFY(query(*store, QStringLiteral("rapport march")).entries.isEmpty());

        // 451 entries: the ten of last year went when the store opened.
        const Page first = query(*store, {}, 200);
        const Page second = query(*store, {}, 200, first.entries.last().sequence);
        const Page third = query(*store, {}, 200, second.entries.last().sequence);
        QVERIFY(first.more && second.more && !third.more);
        QCOMPARE(third.entries.size(), 51);
        QCOMPARE(third.entries.last().id, report.id);
        QVERIFY(second.entries.first().sequence < first.entries.last().sequence);
        store.reset();

        HistoryDatabase db(databasePath());
        QVERIFY(db.openForWriting().ok());
        int removed = 0;
        QVERIFY(db.prune(QDateTime::currentDateTimeUtc(), 365, 100, &removed).ok());
        QCOMPARE(removed, 351);
        qint64 left = 0;
        QVERIFY(db.count(&left).ok());
        QCOMPARE(left, 100);
    }

    // A reader that opens a new history while its writer is still setting the file up waits
    // for it instead of failing at once ("database is locked").
    void aReaderWaitsForTheWriterSettingUpTheFile()
    {
        QDir().mkpath(QFileInfo(databasePath()).path());
        sqlite3* writer = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(databasePath()).constData(), &writer), SQLITE_OK);
        QCOMPARE(sqlite3_exec(writer, "BEGIN IMMEDIATE; CREATE TABLE setting_up (x)", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        std::thread commit([writer] {
            QThread::msleep(100);
            sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
        });
        HistoryDatabase reader(databasePath());
        const HistoryDatabase::Result opened = reader.openForReading();
        commit.join();
        sqlite3_close(writer);
        QVERIFY2(opened.ok(), qPrintable(opened.reason));
    }

    // A group action is one entry: it comes back whole with its members, a member's name
    // finds it, each member is a row a look-up by path sees, and the predictor learns every
    // member, from the stored history and from the recorded signal alike.
    void groupIsOneEntryWithItsMembers()
    {
        const HistoryEntry group = fileScans(3);
        QCOMPARE(group.toPath, home() + QStringLiteral("/Documents"));
        auto store = openStore(m_log.logger);
        CrossThreadSpy recorded(store.get(), &HistoryStore::recorded);
        store->record(plainEntry(QStringLiteral("before.bin")));
        store->record(group);
        store->record(plainEntry(QStringLiteral("after.bin")));

        const Page page = query(*store);
        QCOMPARE(page.entries.size(), 3);
        const HistoryEntry& stored = page.entries[1];
        QCOMPARE(stored.id, group.id);
        QCOMPARE(stored.itemName, QStringLiteral("3 files"));
        QCOMPARE(idsOf(stored.members), idsOf(group.members));
        QCOMPARE(stored.members[2].toPath, home() + QStringLiteral("/Documents/scan_003.pdf"));
        QVERIFY(stored.members[2].placed.isSameEntry(group.members[2].placed));
        QCOMPARE(stored.members[1].slot, 2);
        // The next page starts below the group, not among its members.
        const Page next = query(*store, {}, 5, stored.sequence);
        QCOMPARE(next.entries.size(), 1);
        QCOMPARE(next.entries.first().itemName, QStringLiteral("before.bin"));

        for (const QString& filter : {QStringLiteral("SCAN_002"), QStringLiteral("scan pdf")}) {
            const Page found = query(*store, filter);
            QCOMPARE(idsOf(found.entries), QList<QUuid>{group.id});
            QCOMPARE(found.entries.first().members.size(), 3);
        }
        QCOMPARE(sqlNumber("SELECT count(*) FROM history WHERE to_path LIKE '%/scan_002.pdf'"), 1);

        QCOMPARE(loadPredictor(*store)->learnedCount(), 3);
        STOWBIRD_TRY_COMPARE(recorded.size(), 3, 5000);
        const auto live = recorded.at(1).first().value<HistoryEntry>();
        QCOMPARE(live.members.size(), 3);
        DestinationPredictor predictor;
        predictor.learn(live);
        QCOMPARE(predictor.learnedCount(), 3);
        QCOMPARE(predictor.bestGuess({QStringLiteral("scan_004.pdf"), {}, {}, 10})->folder,
                 home() + QStringLiteral("/Documents"));
    }

    // A file written by the first schema (no groups) opens, keeps its entries, and takes
    // groups from then on.
    void oldSchemaFileIsMigrated()
    {
        QDir().mkpath(StoragePaths::stateDirectory());
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(databasePath()).constData(), &db), SQLITE_OK);
        const char* firstSchema = R"sql(
            CREATE TABLE history (seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE,
                time_ms INTEGER NOT NULL, action INTEGER NOT NULL, search TEXT NOT NULL,
                name TEXT NOT NULL, kind TEXT NOT NULL, size INTEGER NOT NULL,
                from_path TEXT NOT NULL, to_path TEXT NOT NULL, p_dev INTEGER, p_ino INTEGER,
                p_size INTEGER, p_mtime INTEGER, p_born INTEGER, p_folder INTEGER,
                host TEXT NOT NULL, slot INTEGER NOT NULL, trash_record BLOB, r_dev INTEGER,
                r_ino INTEGER, r_size INTEGER, r_mtime INTEGER, r_born INTEGER, undo_of TEXT,
                undone_by TEXT);
            CREATE INDEX history_time ON history(time_ms);
            CREATE INDEX history_action ON history(action, seq);
            PRAGMA application_id=1396852819; PRAGMA user_version=1; PRAGMA journal_mode=WAL;
            )sql";
        QCOMPARE(sqlite3_exec(db, firstSchema, nullptr, nullptr, nullptr), SQLITE_OK);
        const QByteArray row =
            QStringLiteral("INSERT INTO history (id, time_ms, action, search, name, kind, size, "
                           "from_path, to_path, host, slot) VALUES "
                           "('7d8e2f0a-7c1b-4f7e-9a51-1f4f1d2b6c3e', %1, 2, 'old report.pdf', "
                           "'old report.pdf', 'application/pdf', 12, '%2/Downloads/old report.pdf',"
                           " '%2/Documents/old report.pdf', '', 0)")
                .arg(QDateTime::currentMSecsSinceEpoch())
                .arg(home())
                .toUtf8();
        QCOMPARE(sqlite3_exec(db, row.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);

        auto store = openStore(m_log.logger);
        const HistoryEntry group = fileScans(2);
        store->record(group);
        const Page page = query(*store);
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        QVERIFY(store->available());
        QCOMPARE(page.entries.size(), 2);
        QCOMPARE(page.entries[0].members.size(), 2);
        QCOMPARE(page.entries[1].itemName, QStringLiteral("old report.pdf"));
        QCOMPARE(page.entries[1].toFolder(), home() + QStringLiteral("/Documents"));
        QCOMPARE(sqlNumber("PRAGMA user_version"), HistoryDatabase::schemaVersion);
        QCOMPARE(loadPredictor(*store)->learnedCount(), 3);
    }

    // Retention removes a group with all its members, by its age or by a count limit that
    // cuts through it.
    void groupsArePrunedWhole()
    {
        const auto scans = [](const QString& prefix, int count, const QDateTime& time) {
            QList<HistoryEntry> members;
            for (int i = 0; i < count; ++i) {
                HistoryEntry member = plainEntry(QStringLiteral("%1-%2").arg(prefix).arg(i), time);
                member.action = HistoryEntry::Action::Trashed;
                members << member;
            }
            return HistoryEntry::group(members);
        };
        HistoryDatabase db(databasePath());
        QVERIFY(db.openForWriting().ok());
        QList<HistoryEntry> entries{
            scans(QStringLiteral("ancient"), 3, QDateTime::currentDateTimeUtc().addDays(-400)),
            scans(QStringLiteral("recent"), 3, QDateTime::currentDateTimeUtc()),
            plainEntry(QStringLiteral("newest"))};
        QVERIFY(db.insert(entries).ok());
        qint64 rows = 0;
        QVERIFY(db.count(&rows).ok());
        QCOMPARE(rows, 9);

        int removed = 0;
        QVERIFY(db.prune(QDateTime::currentDateTimeUtc(), 365, 100, &removed).ok());
        QCOMPARE(removed, 4);
        QList<HistoryEntry> left;
        QVERIFY(db.query({}, 10, 0, &left).ok());
        QCOMPARE(idsOf(left), (QList<QUuid>{entries[2].id, entries[1].id}));
        QCOMPARE(left[1].members.size(), 3);

        // Three rows kept: the newest entry and the last two members of the recent group,
        // which go with their group's row.
        QVERIFY(db.prune(QDateTime::currentDateTimeUtc(), 365, 3, &removed).ok());
        QVERIFY(db.count(&rows).ok());
        QCOMPARE(rows, 1);
        QVERIFY(db.query(QStringLiteral("recent"), 10, 0, &left).ok());
        QVERIFY(left.isEmpty());
    }

    // An undo of a group puts back every member still where the group left it, the last
    // first, names the one that changed and leaves it, and records the undo as one group.
    // Asked again, it tries only the one left.
    void groupUndoLeavesWhatIsNotSafe()
    {
        const HistoryEntry group = fileScans(4);
        auto store = openStore(m_log.logger);
        store->record(group);
        const QString changed = home() + QStringLiteral("/Documents/scan_002.pdf");
        {
            QFile f(changed);
            QVERIFY(f.open(QIODevice::Append));
            f.write(" annotated");
        }

        QCOMPARE(undo(*store, group.id),
                 std::make_pair(Outcome::Restored,
                                QStringLiteral("3 of 4 files are back in Downloads; not restored: "
                                               "scan_002.pdf was changed since it was filed")));
        for (const char* name : {"scan_001.pdf", "scan_003.pdf", "scan_004.pdf"})
            QVERIFY(QFile::exists(home() + QStringLiteral("/Downloads/") + QLatin1String(name)));
        QCOMPARE(readFile(changed), QByteArray("page 2 annotated"));
        QVERIFY(!QFile::exists(home() + QStringLiteral("/Downloads/scan_002.pdf")));

        const Page page = query(*store);
        QCOMPARE(page.entries.size(), 2);
        const HistoryEntry& undone = page.entries[0];
        QCOMPARE(undone.action, HistoryEntry::Action::Undone);
        QCOMPARE(undone.undoOf, group.id);
        QCOMPARE(undone.toPath, home() + QStringLiteral("/Downloads"));
        QList<QUuid> putBack;
        for (const HistoryEntry& member : undone.members)
            putBack << member.undoOf;
        QCOMPARE(putBack,
                 (QList<QUuid>{group.members[3].id, group.members[2].id, group.members[0].id}));
        const HistoryEntry& filed = page.entries[1];
        QCOMPARE(filed.undoneBy, undone.id);
        QCOMPARE(filed.members[0].undoneBy, undone.members[2].id);
        QVERIFY(filed.members[1].undoneBy.isNull());
        // Only the member left behind is still learned.
        QCOMPARE(loadPredictor(*store)->learnedCount(), 1);

        QCOMPARE(undo(*store, group.id),
                 std::make_pair(Outcome::Refused,
                                QStringLiteral("scan_002.pdf was changed since it was filed")));
    }

    // "Forget history" deletes the file; the new one starts empty, private, and working.
    void forgetDeletesTheHistory()
    {
        auto store = openStore(m_log.logger);
        for (int i = 0; i < 3; ++i)
            store->record(plainEntry(QStringLiteral("secret-%1.pdf").arg(i)));
        QCOMPARE(query(*store).entries.size(), 3);
        const QString keptAside = databasePath() + QStringLiteral(".bad-20240101T000000Z");
        writeFile(keptAside, "an older damaged history");
        CrossThreadSpy forgotten(store.get(), &HistoryStore::forgetFinished);
        store->forget();
        STOWBIRD_TRY_COMPARE(forgotten.size(), 1, 10000);
        QCOMPARE(forgotten.first().first().toBool(), true);
        QVERIFY(query(*store).entries.isEmpty());
        QVERIFY(!readFile(databasePath()).contains("secret-"));
        QVERIFY(!QFile::exists(keptAside));
        QCOMPARE(modeOf(databasePath()), 0600u);
        store->record(plainEntry(QStringLiteral("after.pdf")));
        QCOMPARE(query(*store).entries.size(), 1);
    }

    // The store logs to the logger it was handed, at the line's level: a history that cannot
    // be written is an error, forgetting one an action.
    void logsToItsOwnLogger()
    {
        TestLogger log(true, home() + QStringLiteral("/own-logs"));
        writeFile(home() + QStringLiteral("/not-a-folder"), "a file");
        auto blocked =
            openStore(log.logger, home() + QStringLiteral("/not-a-folder/history.sqlite3"));
        blocked->waitForWrites();
        QVERIFY(!blocked->available());
        const auto unavailable = log.linesWith(QStringLiteral("History is unavailable: "));
        QCOMPARE(unavailable.size(), 1);
        QCOMPARE(unavailable.first().priority, int(SystemJournal::Error));

        auto store = openStore(log.logger);
        store->forget();
        store->waitForWrites();
        const auto forgotten = log.linesWith(QStringLiteral("History forgotten"));
        QCOMPARE(forgotten.size(), 1);
        QCOMPARE(forgotten.first().priority, int(SystemJournal::Notice));
    }

private:
    // Where the stores of the cases above log, away from the state folder they empty.
    TestLogger m_log{false, home() + QStringLiteral("/logs")};
};

STOWBIRD_TEST_MAIN(TestHistoryStore)
#include "TestHistoryStore.moc"
