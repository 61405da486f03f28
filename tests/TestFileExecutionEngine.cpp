#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "crashreporting/CrashReporter.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "fakes/RecordingRevealer.h"
#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/FileMover.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "platform/TrashInfo.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <latch>
#include <mutex>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using TestFiles::pattern;
using TestFiles::readFile;
using TestFiles::snapshot;
using TestFiles::writeFile;

QUrl url(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

// A folder on another file system than the temporary folder, or none.
QString otherFileSystemRoot()
{
    struct stat tmp, shm;
    if (::stat(QFile::encodeName(QDir::tempPath()).constData(), &tmp) != 0 ||
        ::stat("/dev/shm", &shm) != 0 || tmp.st_dev == shm.st_dev || ::access("/dev/shm", W_OK))
        return {};
    return QStringLiteral("/dev/shm");
}

} // namespace

class TestFileExecutionEngine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeCrashReporter> m_reporter;
    RecordingJournal m_journal{false};
    std::unique_ptr<LoggerService> m_logger;
    std::shared_ptr<RecordingRevealer> m_revealer;
    std::unique_ptr<FileExecutionEngine> m_engine;

    QString path(const QString& relative) const { return m_dir->path() + u'/' + relative; }
    QString dataHome() const { return path(QStringLiteral("data")); }

    std::unique_ptr<FileExecutionEngine> makeEngine(const QString& dataHomePath)
    {
        return std::make_unique<FileExecutionEngine>(
            std::make_unique<FreedesktopTrash>(dataHomePath), m_revealer, *m_logger, *m_reporter);
    }

    TriageItem itemAt(const QString& relative, const QByteArray& content = "data")
    {
        writeFile(path(relative), content);
        return TriageItem(url(path(relative)));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_reporter = std::make_unique<FakeCrashReporter>();
        m_logger =
            std::make_unique<LoggerService>(path(QStringLiteral("logs")), *m_reporter, m_journal);
        m_revealer = std::make_shared<RecordingRevealer>();
        m_engine = makeEngine(dataHome());
        QDir().mkpath(path(QStringLiteral("slot")));
    }

    void cleanup()
    {
        m_engine.reset();
        m_logger.reset();
        m_dir.reset();
    }

    void collisionNames_data()
    {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("expected");

        QTest::newRow("free") << QStringList{} << "report.pdf"
                              << "report.pdf";
        QTest::newRow("taken") << QStringList{"report.pdf"} << "report.pdf"
                               << "report (1).pdf";
        QTest::newRow("first number taken")
            << QStringList{"report.pdf", "report (1).pdf"} << "report.pdf"
            << "report (2).pdf";
        QTest::newRow("double extension") << QStringList{"archive.tar.gz"} << "archive.tar.gz"
                                          << "archive.tar (1).gz";
        QTest::newRow("no extension") << QStringList{"notes"} << "notes"
                                      << "notes (1)";
        QTest::newRow("folder with extension") << QStringList{"Photos.export/"} << "Photos.export"
                                               << "Photos (1).export";
        QTest::newRow("hidden file") << QStringList{".bashrc"} << ".bashrc"
                                     << ".bashrc (1)";
        QTest::newRow("dangling link counts as taken") << QStringList{"@link"} << "link"
                                                       << "link (1)";
    }

    void collisionNames()
    {
        QFETCH(QStringList, taken);
        QFETCH(QString, candidate);
        QFETCH(QString, expected);
        for (const QString& name : taken) {
            if (name.endsWith(u'/'))
                QDir().mkpath(path(name));
            else if (name.startsWith(u'@'))
                QVERIFY(QFile::link(path(QStringLiteral("missing")), path(name.mid(1))));
            else
                writeFile(path(name), "x");
        }
        QCOMPARE(FileExecutionEngine::resolveCollision(path(candidate)), path(expected));
    }

    void logTokens_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("token");
        QTest::newRow("upper-case kept") << "photo.JPG"
                                         << "JPG";
        QTest::newRow("no extension") << "README"
                                      << "file";
        QTest::newRow("last extension") << "archive.tar.gz"
                                        << "gz";
    }

    void logTokens()
    {
        QFETCH(QString, name);
        QFETCH(QString, token);
        QCOMPARE(FileExecutionEngine::logToken(TriageItem(url(path(name)))), token);
    }

    void moveNeverOverwrites()
    {
        writeFile(path("slot/photo.JPG"), "already there");
        const TriageItem item = itemAt(QStringLiteral("Downloads/photo.JPG"), "new photo");
        QSignalSpy canUndo(m_engine.get(), &FileExecutionEngine::canUndoChanged);

        const QUrl moved = m_engine->move(item, url(path("slot")));

        QCOMPARE(moved, url(path("slot/photo (1).JPG")));
        QCOMPARE(readFile(path("slot/photo (1).JPG")), QByteArray("new photo"));
        QCOMPARE(readFile(path("slot/photo.JPG")), QByteArray("already there"));
        QVERIFY(!QFileInfo::exists(item.path()));
        QCOMPARE(canUndo.count(), 1);
        QCOMPARE(m_engine->undoCount(), 1);
    }

    void moveUsesSuggestedFilename()
    {
        writeFile(path("Downloads/x1.pdf"), "invoice");
        const TriageItem item(url(path("Downloads/x1.pdf")), QUuid::createUuid(), std::nullopt,
                              QStringLiteral("Invoice March.pdf"));
        QCOMPARE(m_engine->move(item, url(path("slot"))), url(path("slot/Invoice March.pdf")));
        QCOMPARE(readFile(path("slot/Invoice March.pdf")), QByteArray("invoice"));
    }

    void moveToMissingDestination_data()
    {
        QTest::addColumn<bool>("regularFile");
        QTest::newRow("deleted folder") << false;
        QTest::newRow("regular file") << true;
    }

    void moveToMissingDestination()
    {
        QFETCH(bool, regularFile);
        if (regularFile)
            writeFile(path("Gone"), "not a folder");
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"));
        try {
            m_engine->move(item, url(path("Gone")));
            QFAIL("moving into a missing destination succeeded");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().domain, QStringLiteral("com.stowbird.fileengine"));
            QCOMPARE(failure.error().code, 404);
            QCOMPARE(failure.error().localizedDescription,
                     QStringLiteral("Destination directory does not exist: Gone"));
            QCOMPARE(m_reporter->errors(), QList<AppError>{failure.error()});
        }
        QVERIFY(QFileInfo::exists(item.path()));
        QVERIFY(!m_engine->canUndo());
    }

    void renameToCurrentNameAddsCounter()
    {
        const TriageItem item = itemAt(QStringLiteral("Downloads/report.pdf"));
        QCOMPARE(m_engine->rename(item, QStringLiteral("report.pdf")),
                 url(path("Downloads/report (1).pdf")));
        QVERIFY(!QFileInfo::exists(item.path()));
    }

    void refusedRenameNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("empty") << QString() << 400;
        QTest::newRow("dot") << "." << 400;
        QTest::newRow("dot dot") << ".." << 400;
        QTest::newRow("slash") << "sub/name.pdf" << 400;
        QTest::newRow("parent path") << "../escaped.pdf" << 400;
        QTest::newRow("nul") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b") << 400;
        QTest::newRow("too long") << QString(300, u'n') << int(ENAMETOOLONG);
    }

    void refusedRenameNames()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QDir().mkpath(path("Downloads/sub"));
        const TriageItem item = itemAt(QStringLiteral("Downloads/keep.pdf"), "keep");
        try {
            m_engine->rename(item, name);
            QFAIL("a refused name was accepted");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, code);
            QVERIFY(!failure.error().localizedDescription.isEmpty());
        }
        QCOMPARE(readFile(item.path()), QByteArray("keep"));
        QCOMPARE(QDir(path("Downloads/sub")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
        QVERIFY(!QFileInfo::exists(path("escaped.pdf")));
        QVERIFY(!m_engine->canUndo());
    }

    void undoPutsMovedAndRenamedItemsBack_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::newRow("move") << false;
        QTest::newRow("rename") << true;
    }

    void undoPutsMovedAndRenamedItemsBack()
    {
        QFETCH(bool, rename);
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"), "payload");
        const QUrl done = rename ? m_engine->rename(item, QStringLiteral("b.txt"))
                                 : m_engine->move(item, url(path("slot")));
        const std::optional<ActionRecord> record = m_engine->undo();
        QVERIFY(record);
        const ActionRecord::ActionType expected =
            rename ? ActionRecord::ActionType::renamed(item.url, done)
                   : ActionRecord::ActionType::moved(item.url, done);
        QVERIFY(record->type == expected);
        QCOMPARE(record->item.id, item.id);
        QCOMPARE(readFile(item.path()), QByteArray("payload"));
        QVERIFY(!QFileInfo::exists(done.toLocalFile()));
        QVERIFY(!m_engine->undo()); // the stack is empty again and nothing is touched
    }

    void undoOfTrashRestoresTheItem_data()
    {
        QTest::addColumn<bool>("placeTaken");
        QTest::addColumn<bool>("folder");
        QTest::newRow("file, place free") << false << false;
        QTest::newRow("file, place taken") << true << false;
        QTest::newRow("folder, place taken") << true << true;
    }

    void undoOfTrashRestoresTheItem()
    {
        QFETCH(bool, placeTaken);
        QFETCH(bool, folder);
        const QString original = path(QStringLiteral("Downloads/a.txt"));
        if (folder)
            writeFile(original + QStringLiteral("/inner.txt"), "inner");
        else
            writeFile(original, "trashed");
        const TriageItem item(url(original));
        const QUrl trashed = m_engine->trash(item);
        const QString info = dataHome() + QStringLiteral("/Trash/info/a.txt.trashinfo");
        QVERIFY(QFileInfo::exists(info));
        if (placeTaken)
            writeFile(original, "newcomer");

        const std::optional<FileExecutionEngine::UndoResult> result = m_engine->undoLast();
        QVERIFY(result);
        QVERIFY(result->record.type == ActionRecord::ActionType::trashed(trashed));
        const QString expected =
            placeTaken ? path(QStringLiteral("Downloads/a (1).txt")) : original;
        QCOMPARE(result->restoredURL, url(expected));
        QCOMPARE(result->intendedURL, url(original));
        QCOMPARE(readFile(folder ? expected + QStringLiteral("/inner.txt") : expected),
                 QByteArray(folder ? "inner" : "trashed"));
        if (placeTaken)
            QCOMPARE(readFile(original), QByteArray("newcomer"));
        QVERIFY(!QFileInfo::exists(trashed.toLocalFile()));
        QVERIFY(!QFileInfo::exists(info));
        QVERIFY(m_revealer->revealed.isEmpty());
    }

    void undoOfTrashWhenTheTrashWasEmptied()
    {
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"));
        const QUrl trashed = m_engine->trash(item);
        QVERIFY(QFile::remove(trashed.toLocalFile()));
        const std::optional<FileExecutionEngine::UndoResult> result = m_engine->undoLast();
        QVERIFY(result);
        QVERIFY(result->restoredURL.isEmpty());
        QVERIFY(!QFileInfo::exists(item.path()));
        QVERIFY(!m_engine->canUndo()); // the record is gone, not undone again later
    }

    void undoWhenMovedItemWasDeleted()
    {
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"));
        QFile::remove(m_engine->move(item, url(path("slot"))).toLocalFile());
        const std::optional<FileExecutionEngine::UndoResult> result = m_engine->undoLast();
        QVERIFY(result);
        QVERIFY(result->restoredURL.isEmpty()); // nothing was put back
        QVERIFY(!QFileInfo::exists(item.path()));
    }

    void undoNeverReplacesANewOccupant()
    {
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"), "moved");
        const QUrl moved = m_engine->move(item, url(path("slot")));
        writeFile(item.path(), "newcomer");
        try {
            m_engine->undo();
            QFAIL("undo replaced a file");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, EEXIST);
            QVERIFY(failure.error().localizedDescription.contains(QStringLiteral("a.txt")));
        }
        QCOMPARE(readFile(item.path()), QByteArray("newcomer"));
        QCOMPARE(readFile(moved.toLocalFile()), QByteArray("moved"));
        QVERIFY(!m_engine->canUndo()); // the record is gone
    }

    void undoActsOnlyOnWhatTheActionLeft_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("restores");
        QTest::newRow("moved file replaced") << "move"
                                             << "replace" << false;
        QTest::newRow("moved file changed in place") << "move"
                                                     << "rewrite" << false;
        QTest::newRow("renamed file replaced") << "rename"
                                               << "replace" << false;
        QTest::newRow("moved folder replaced") << "folder"
                                               << "replace" << false;
        // A folder is compared as an entry: what happens inside it is the user's.
        QTest::newRow("moved folder, entries added inside") << "folder"
                                                            << "inside" << true;
        // Another program restored it, then another a.txt from elsewhere was trashed.
        QTest::newRow("trash name taken by a later item") << "trash"
                                                          << "replace" << false;
        QTest::newRow("trash record written anew") << "trash"
                                                   << "record" << false;
    }

    // What stands at the place an action left its item is checked before the undo: anything
    // else there is left untouched and the undo says so.
    void undoActsOnlyOnWhatTheActionLeft()
    {
        QFETCH(QString, action);
        QFETCH(QString, change);
        QFETCH(bool, restores);
        const QString original = path(QStringLiteral("Downloads/a.txt"));
        if (action == QLatin1String("folder"))
            writeFile(original + QStringLiteral("/inner.txt"), "inner");
        else
            writeFile(original, "original");
        const TriageItem item(url(original));
        const QUrl done = action == QLatin1String("rename") ? m_engine->rename(item, "b.txt")
                          : action == QLatin1String("trash")
                              ? m_engine->trash(item)
                              : m_engine->move(item, url(path("slot")));
        const QString placed = done.toLocalFile();
        const QString info = dataHome() + QStringLiteral("/Trash/info/a.txt.trashinfo");

        if (change == QLatin1String("replace")) {
            // The first entry is kept aside, so that the newcomer cannot reuse its inode.
            QVERIFY(QFile::rename(placed, path(QStringLiteral("aside"))));
            if (action == QLatin1String("folder"))
                writeFile(placed + QStringLiteral("/inner.txt"), "impostor");
            else
                writeFile(placed, "impostor");
            if (action == QLatin1String("trash")) {
                QVERIFY(QFile::remove(info));
                writeFile(info, "[Trash Info]\nPath=" + QFile::encodeName(path("Elsewhere/a.txt")) +
                                    "\nDeletionDate=2024-01-01T00:00:00\n");
            }
        } else if (change == QLatin1String("rewrite")) {
            writeFile(placed, "edited where it was moved to");
        } else if (change == QLatin1String("inside")) {
            writeFile(placed + QStringLiteral("/added.txt"), "added");
        } else if (change == QLatin1String("record")) {
            // Byte for byte the same, but another file.
            writeFile(info + QStringLiteral(".new"), readFile(info));
            QCOMPARE(::rename(QFile::encodeName(info + ".new").constData(),
                              QFile::encodeName(info).constData()),
                     0);
        }
        const QStringList roots{path("Downloads"), path("slot"), dataHome()};
        QStringList before;
        for (const QString& root : roots)
            before << snapshot(root);

        const std::optional<FileExecutionEngine::UndoResult> result = m_engine->undoLast();
        QVERIFY(result);
        QVERIFY(!m_engine->canUndo());
        if (restores) {
            QCOMPARE(result->outcome, FileExecutionEngine::UndoResult::Outcome::Restored);
            QCOMPARE(result->restoredURL, url(original));
            QCOMPARE(readFile(original + QStringLiteral("/added.txt")), QByteArray("added"));
            return;
        }
        QCOMPARE(result->outcome, FileExecutionEngine::UndoResult::Outcome::Replaced);
        QVERIFY(result->restoredURL.isEmpty());
        QVERIFY(!result->refusal.isEmpty());
        QStringList after;
        for (const QString& root : roots)
            after << snapshot(root);
        QCOMPARE(after, before);
        QVERIFY(!QFileInfo::exists(path("Elsewhere")));
    }

    void undoHistoryKeepsFiftyRecords()
    {
        QString current = itemAt(QStringLiteral("Downloads/n0")).path();
        QSignalSpy canUndo(m_engine.get(), &FileExecutionEngine::canUndoChanged);
        for (int i = 1; i <= 51; ++i)
            current = m_engine->rename(TriageItem(url(current)), QStringLiteral("n%1").arg(i))
                          .toLocalFile();
        QCOMPARE(m_engine->undoCount(), FileExecutionEngine::maxUndoHistory);
        int undone = 0;
        while (m_engine->undo())
            ++undone;
        QCOMPARE(undone, 50);
        // The first rename fell off the stack: the file keeps the name it gave.
        QVERIFY(QFileInfo::exists(path("Downloads/n1")));
        QVERIFY(!QFileInfo::exists(path("Downloads/n0")));
        QCOMPARE(canUndo.count(), 2); // became possible once, impossible once
        m_engine->clearUndoHistory();
        QCOMPARE(canUndo.count(), 2);
    }

    // The records of a group action (made under one GroupScope) count as one action of the
    // fifty kept, and the oldest action goes whole: a group is never left half undoable.
    void aGroupIsOneActionOfTheUndoHistory()
    {
        const QUrl slot = url(path(QStringLiteral("slot")));
        const QUuid group = QUuid::createUuid();
        {
            const FileExecutionEngine::GroupScope scope(group);
            for (int i = 0; i < 60; ++i)
                m_engine->move(itemAt(QStringLiteral("Downloads/g%1").arg(i)), slot);
        }
        const QList<ActionRecord> latest = m_engine->latestAction();
        QCOMPARE(latest.size(), 60);
        QCOMPARE(latest.first().item.filename, QStringLiteral("g0"));
        QCOMPARE(latest.last().group, group);
        for (int i = 0; i < 49; ++i)
            m_engine->move(itemAt(QStringLiteral("Downloads/s%1").arg(i)), slot);
        QCOMPARE(m_engine->actionCount(), FileExecutionEngine::maxUndoHistory);
        QCOMPARE(m_engine->undoCount(), 60 + 49);
        m_engine->move(itemAt(QStringLiteral("Downloads/s49")), slot);
        QCOMPARE(m_engine->actionCount(), FileExecutionEngine::maxUndoHistory);
        QCOMPARE(m_engine->undoCount(), FileExecutionEngine::maxUndoHistory);
        QCOMPARE(m_engine->latestAction().size(), 1);
    }

    void concurrentMovesNeverLoseAFile()
    {
        STOWBIRD_STRESS_CASE();
        constexpr int rounds = 1000;
        for (int round = 0; round < rounds; ++round) {
            const QString target = path(QStringLiteral("race/%1").arg(round));
            QDir().mkpath(target);
            const TriageItem a = itemAt(QStringLiteral("a/%1/report.pdf").arg(round), "from a");
            const TriageItem b = itemAt(QStringLiteral("b/%1/report.pdf").arg(round), "from b");
            std::latch start(2);
            std::atomic<int> failures = 0;
            auto run = [&](const TriageItem& item) {
                start.arrive_and_wait();
                try {
                    m_engine->move(item, url(target));
                } catch (const FileOperationError&) {
                    ++failures;
                }
            };
            std::thread first(run, std::cref(a));
            std::thread second(run, std::cref(b));
            first.join();
            second.join();
            QCOMPARE(failures.load(), 0);
            QStringList contents;
            for (const QString& name : QDir(target).entryList(QDir::Files))
                contents << QString::fromLatin1(readFile(target + u'/' + name));
            contents.sort();
            QCOMPARE(contents, (QStringList{"from a", "from b"}));
            QVERIFY(QFileInfo::exists(target + QStringLiteral("/report (1).pdf")));
        }
        QCOMPARE(m_engine->undoCount(), FileExecutionEngine::maxUndoHistory);
    }

    void crossFileSystemMove_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("nested folder") << true;
    }

    void crossFileSystemMove()
    {
        QFETCH(bool, folder);
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        QVERIFY(target.isValid());

        const QString source = path(folder ? "Downloads/Album" : "Downloads/big.bin");
        if (folder) {
            writeFile(source + "/a.jpg", pattern(3 * 1024 * 1024 + 17, 'a'));
            writeFile(source + "/deep/er/b.txt", "b");
            writeFile(source + "/.hidden", "h");
            QDir().mkpath(source + "/empty");
            QVERIFY(QFile::link(QStringLiteral("a.jpg"), source + "/link"));
            QVERIFY(QFile::link(QStringLiteral("/nowhere"), source + "/dangling"));
            QVERIFY(::chmod(QFile::encodeName(source + "/deep/er/b.txt"), 0640) == 0);
            QVERIFY(::chmod(QFile::encodeName(source + "/deep/er"), 0555) == 0);
        } else {
            writeFile(source, pattern(5 * 1024 * 1024 + 3, 'z'));
            QVERIFY(::chmod(QFile::encodeName(source), 0604) == 0);
        }
        const struct timespec past[2] = {{1000000000, 0}, {1000000000, 123456789}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(source), past, AT_SYMLINK_NOFOLLOW) == 0);
        const QStringList before = snapshot(source);

        const TriageItem item(url(source));
        const QUrl moved = m_engine->move(item, url(target.path()));
        QCOMPARE(moved, url(target.path() + u'/' + item.filename));
        QVERIFY(!QFileInfo::exists(source) && !QFileInfo(source).isSymLink());
        QCOMPARE(snapshot(moved.toLocalFile()), before);
        QCOMPARE(
            QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{item.filename});

        // Undo carries it back across the file systems just as whole.
        QVERIFY(m_engine->undo());
        QCOMPARE(snapshot(source), before);
        QVERIFY(!QFileInfo::exists(moved.toLocalFile()));
    }

    // An undo that copies back across file systems can be cancelled half-way: nothing moves,
    // no partial copy is left, and the action can still be undone afterwards.
    void aCancelledUndoKeepsItsRecord()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const QString source = path("Downloads/big.bin");
        const QByteArray data = pattern(1024 * 1024, 'u');
        writeFile(source, data);
        const QUrl moved = m_engine->move(TriageItem(url(source)), url(target.path()));

        CancelToken token;
        m_engine->mover().setChunkHook([&token](const QString&, qint64) { token.cancel(); });
        {
            CancelToken::Scope scope(&token);
            try {
                m_engine->undoLast();
                QFAIL("the undo was not cancelled");
            } catch (const FileOperationError& error) {
                QCOMPARE(error.error().code, CancelToken::cancelledCode);
            }
        }
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(readFile(moved.toLocalFile()), data);
        QCOMPARE(QDir(path("Downloads"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(m_engine->canUndo());

        m_engine->mover().setChunkHook({});
        QVERIFY(m_engine->undo());
        QCOMPARE(readFile(source), data);
    }

    void crossFileSystemFailureLeavesSourceAlone_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file, half-way through its data") << false;
        QTest::newRow("folder, at its second file") << true;
    }

    void crossFileSystemFailureLeavesSourceAlone()
    {
        QFETCH(bool, folder);
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));

        const QString source = path(folder ? "Downloads/Set" : "Downloads/big.bin");
        if (folder) {
            writeFile(source + "/1.bin", pattern(100, '1'));
            writeFile(source + "/sub/2.bin", pattern(2 * 1024 * 1024, '2'));
            writeFile(source + "/sub/3.bin", pattern(100, '3'));
        } else {
            writeFile(source, pattern(4 * 1024 * 1024, 'q'));
        }
        const QStringList before = snapshot(source);
        int filesSeen = 0;
        QString lastFile;
        m_engine->mover().setChunkHook([&](const QString& file, qint64 copied) {
            if (file != lastFile) {
                lastFile = file;
                ++filesSeen;
            }
            if (folder ? filesSeen == 2 : copied >= 2 * 1024 * 1024)
                throw FileOperationError::fromErrno(ENOSPC, QStringLiteral("Could not write"));
        });

        try {
            m_engine->move(TriageItem(url(source)), url(target.path()));
            QFAIL("the failing copy reported success");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, ENOSPC);
        }
        QCOMPARE(snapshot(source), before);
        QCOMPARE(
            QDir(target.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList());
        QVERIFY(!m_engine->canUndo());
    }

    void crossFileSystemMoveOfAVanishingSource()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const TriageItem item = itemAt(QStringLiteral("Downloads/gone.bin"), pattern(1 << 20, 'g'));
        m_engine->mover().setChunkHook([&](const QString&, qint64) { QFile::remove(item.path()); });
        try {
            m_engine->move(item, url(target.path()));
            QFAIL("a move whose source vanished reported success");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, ENOENT);
        }
        QCOMPARE(
            QDir(target.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList());
        QVERIFY(!m_engine->canUndo());
    }

    void crossFileSystemMoveKeepsWhatChangedDuringTheCopy()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const QString source = path(QStringLiteral("Downloads/Set"));
        writeFile(source + "/1.bin", pattern(100, '1'));
        writeFile(source + "/sub/2.bin", pattern(600 * 1024, '2'));
        writeFile(source + "/sub/3.bin", pattern(100, '3'));
        // Once every entry is copied, before the source is removed (the widest window): a
        // new file arrives in a sub-folder and a file already copied grows.
        bool written = false;
        const QString firstCopied = source + "/1.bin";
        m_engine->mover().setStepHook([&](FileMover::Step step, const QString&) {
            if (step != FileMover::Step::Copied)
                return;
            written = true;
            writeFile(source + "/sub/late.txt", "arrived during the copy");
            QFile grown(firstCopied);
            if (grown.open(QIODevice::Append))
                grown.write("more");
        });
        try {
            m_engine->move(TriageItem(url(source)), url(target.path()));
            QFAIL("a move that left entries behind reported full success");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, FileMover::partialMoveCode);
            QVERIFY2(failure.error().localizedDescription.contains("sub/late.txt"),
                     qPrintable(failure.error().localizedDescription));
        }
        QVERIFY(written);
        const QString grownName = QDir(source).relativeFilePath(firstCopied);
        // Nothing written during the copy was removed; everything else moved.
        QCOMPARE(readFile(source + "/sub/late.txt"), QByteArray("arrived during the copy"));
        QCOMPARE(readFile(firstCopied), readFile(target.path() + "/Set/" + grownName) + "more");
        QStringList left;
        QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            left << QDir(source).relativeFilePath(it.next());
        left.sort();
        QStringList expectedLeft{grownName, QStringLiteral("sub/late.txt")};
        expectedLeft.sort();
        QCOMPARE(left, expectedLeft);
        for (const char* name : {"1.bin", "sub/2.bin", "sub/3.bin"})
            QVERIFY2(QFileInfo::exists(target.path() + "/Set/" + QLatin1String(name)), name);
    }

    void crossFileSystemFaultAtEveryStep_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<bool>("folder");
        for (const bool folder : {false, true}) {
            const char* kind = folder ? "folder" : "file";
            QTest::addRow("%s: copied", kind) << int(FileMover::Step::Copied) << 1 << folder;
            QTest::addRow("%s: commit", kind) << int(FileMover::Step::Commit) << 1 << folder;
            QTest::addRow("%s: first removal", kind) << int(FileMover::Step::Remove) << 1 << folder;
        }
        QTest::addRow("folder: third removal") << int(FileMover::Step::Remove) << 3 << true;
    }

    void crossFileSystemFaultAtEveryStep()
    {
        QFETCH(int, step);
        QFETCH(int, occurrence);
        QFETCH(bool, folder);
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const QString source = path(folder ? "Downloads/Set" : "Downloads/one.bin");
        if (folder) {
            writeFile(source + "/a.bin", pattern(300 * 1024, 'a'));
            writeFile(source + "/sub/b.bin", pattern(100, 'b'));
            writeFile(source + "/sub/c.bin", pattern(100, 'c'));
        } else {
            writeFile(source, pattern(300 * 1024, 'o'));
        }
        const QStringList before = snapshot(source);
        int seen = 0;
        m_engine->mover().setStepHook([&](FileMover::Step at, const QString&) {
            if (int(at) == step && ++seen == occurrence)
                throw FileOperationError::fromErrno(EIO, QStringLiteral("Injected fault"));
        });
        bool failed = false;
        try {
            m_engine->move(TriageItem(url(source)), url(target.path()));
        } catch (const FileOperationError&) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(!m_engine->canUndo());
        const QStringList inTarget =
            QDir(target.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (occurrence == 1) {
            // Before anything of the source is removed: the source is whole, no copy left.
            QCOMPARE(snapshot(source), before);
            QCOMPARE(inTarget, QStringList());
        } else {
            // Half-way through the removal: the copy is whole and every file is still in
            // one place or the other.
            QCOMPARE(snapshot(target.path() + "/Set").mid(1), before.mid(1));
            for (const QString& line : before) {
                const QString name = line.section(u' ', 0, 0);
                QVERIFY(QFileInfo::exists(target.path() + "/Set/" + name));
            }
        }
    }

    void stalePartialCopiesAreRemovedOnNextUse()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        // What a killed move leaves: a hidden partial file and a partial folder.
        writeFile(target.path() + "/.stowbird-0123.partial", pattern(1000, 'p'));
        writeFile(target.path() + "/.stowbird-4567.partial/inside.bin", "x");
        QVERIFY(::chmod(QFile::encodeName(target.path() + "/.stowbird-4567.partial"), 0500) == 0);
        // One that a running copy holds locked stays.
        const QString busy = target.path() + "/.stowbird-89ab.partial";
        writeFile(busy, "in progress");
        const int lock = ::open(QFile::encodeName(busy).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(lock >= 0);
        QVERIFY(::flock(lock, LOCK_EX) == 0);
        writeFile(target.path() + "/.stowbird-notes.txt", "not a partial copy");

        m_engine->move(itemAt(QStringLiteral("Downloads/next.bin")), url(target.path()));
        QStringList left =
            QDir(target.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, (QStringList{".stowbird-89ab.partial", ".stowbird-notes.txt", "next.bin"}));
        ::close(lock);
        QCOMPARE(FileMover::removeStalePartials(target.path()), 1);
    }

    void crossFileSystemProgress()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir target(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const QString source = path(QStringLiteral("Downloads/Set"));
        writeFile(source + "/a.bin", pattern(700 * 1024, 'a'));
        writeFile(source + "/b.bin", pattern(500 * 1024, 'b'));
        QSignalSpy progress(m_engine.get(), &FileExecutionEngine::copyProgress);
        m_engine->move(TriageItem(url(source)), url(target.path()));
        QVERIFY(!progress.isEmpty());
        const QList<QVariant> last = progress.last();
        QCOMPARE(last.at(0).toLongLong(), 1200 * 1024);
        QCOMPARE(last.at(1).toLongLong(), 1200 * 1024);
    }

    void trashKeepsAnInfoFile_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }

    void trashKeepsAnInfoFile()
    {
        QFETCH(bool, folder);
        const QString name = QStringLiteral("My Report #1.pdf");
        QList<QUrl> trashed;
        for (const QString& parent : {QStringLiteral("Downloads"), QStringLiteral("Other")}) {
            const QString original = path(parent + u'/' + name);
            if (folder)
                writeFile(original + QStringLiteral("/inside.txt"), "x");
            else
                writeFile(original, "x");
            const TriageItem item(url(original));
            const QUrl result = m_engine->trash(item);
            trashed << result;

            const QString inTrash = result.toLocalFile();
            QVERIFY(QDir::isAbsolutePath(inTrash));
            QCOMPARE(QFileInfo(inTrash).absolutePath(),
                     dataHome() + QStringLiteral("/Trash/files"));
            QVERIFY(!QFileInfo::exists(original));
            QCOMPARE(QFileInfo(inTrash).isDir(), folder);

            const QByteArray info =
                readFile(dataHome() + QStringLiteral("/Trash/info/") +
                         QFileInfo(inTrash).fileName() + QStringLiteral(".trashinfo"));
            const QList<QByteArray> lines = info.trimmed().split('\n');
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines[0], QByteArray("[Trash Info]"));
            QVERIFY(lines[1].startsWith("Path=") && lines[2].startsWith("DeletionDate="));
            // The path is percent-encoded, " " and "#" included.
            const QByteArray encodedPath = lines[1].mid(5);
            QVERIFY(!encodedPath.contains(' ') && !encodedPath.contains('#'));
            QCOMPARE(QUrl::fromPercentEncoding(encodedPath), original);
            const QDateTime deleted = QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)),
                                                            QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
            QVERIFY(deleted.isValid());
            QVERIFY(qAbs(deleted.secsTo(QDateTime::currentDateTime())) < 60);
        }
        QVERIFY(trashed[0] != trashed[1]); // the second of the same name got a unique name
        QCOMPARE(m_engine->undoCount(), 2);
    }

    void trashWithoutDataHome()
    {
        // $XDG_DATA_HOME does not exist yet: it is created, and nothing lands in the working
        // directory.
        const QString missing = path(QStringLiteral("fresh/share"));
        auto engine = makeEngine(missing);
        QTemporaryDir workingDirectory;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(workingDirectory.path());
        const TriageItem item = itemAt(QStringLiteral("Downloads/a.txt"));
        const QUrl result = engine->trash(item);
        QDir::setCurrent(previous);

        QCOMPARE(result, url(missing + QStringLiteral("/Trash/files/a.txt")));
        QVERIFY(QFileInfo::exists(missing + QStringLiteral("/Trash/info/a.txt.trashinfo")));
        QCOMPARE(QDir(workingDirectory.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void trashFailureIsReportedWithoutTheName()
    {
        const TriageItem item(url(path(QStringLiteral("Downloads/secret-name.txt"))));
        try {
            m_engine->trash(item);
            QFAIL("trashing a missing file succeeded");
        } catch (const FileOperationError& failure) {
            QCOMPARE(failure.error().code, ENOENT);
            QVERIFY(!failure.error().localizedDescription.contains(QStringLiteral("secret")));
            QCOMPARE(m_reporter->errors(), QList<AppError>{failure.error()});
        }
        QVERIFY(!m_engine->canUndo());
    }

    void trashOnAnotherMount()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        const QString trash = other + QStringLiteral("/.Trash-") + QString::number(::getuid());
        const bool trashExisted = QFileInfo::exists(trash);
        QTemporaryDir folder(other + QStringLiteral("/stowbird-test-XXXXXX"));
        writeFile(folder.path() + QStringLiteral("/usb.txt"), "on the stick");

        const QUrl result = m_engine->trash(TriageItem(url(folder.path() + "/usb.txt")));
        const QString inTrash = result.toLocalFile();
        const QString infoPath = trash + QStringLiteral("/info/") + QFileInfo(inTrash).fileName() +
                                 QStringLiteral(".trashinfo");
        const QByteArray info = readFile(infoPath);
        const QByteArray trashedContent = readFile(inTrash);
        if (trashExisted) {
            QFile::remove(inTrash);
            QFile::remove(infoPath);
        } else {
            QDir(trash).removeRecursively();
        }

        QCOMPARE(FileNaming::parentPath(inTrash), trash + QStringLiteral("/files"));
        QCOMPARE(trashedContent, QByteArray("on the stick"));
        // Relative to the mount's top folder, so it survives another mount point.
        const QString relative = QDir(other).relativeFilePath(folder.path() + "/usb.txt");
        QVERIFY2(info.contains("\nPath=" + QFile::encodeName(relative) + '\n'), info.constData());
    }

    void undoRestoresFromTheTrashOfAnotherMount()
    {
        const QString other = otherFileSystemRoot();
        if (other.isEmpty())
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        const QString trash = other + QStringLiteral("/.Trash-") + QString::number(::getuid());
        const bool trashExisted = QFileInfo::exists(trash);
        QTemporaryDir folder(other + QStringLiteral("/stowbird-test-XXXXXX"));
        const QString original = folder.path() + QStringLiteral("/usb.txt");
        writeFile(original, "on the stick");
        const QUrl trashed = m_engine->trash(TriageItem(url(original)));
        const QString infoPath =
            trash + QStringLiteral("/info/") + trashed.fileName() + QStringLiteral(".trashinfo");
        QVERIFY(QFileInfo::exists(infoPath));

        // The info file holds a path relative to the mount's top folder.
        const std::optional<FileExecutionEngine::UndoResult> result = m_engine->undoLast();
        const bool infoLeft = QFileInfo::exists(infoPath);
        if (!trashExisted)
            QDir(trash).removeRecursively();
        QVERIFY(result);
        QCOMPARE(result->restoredURL, url(original));
        QCOMPARE(readFile(original), QByteArray("on the stick"));
        QVERIFY(!infoLeft);
    }

    // A FIFO, a socket and a link to /dev/zero are filed and trashed like any item: moved
    // by rename, never opened.
    void specialFilesAreFiledAndTrashed()
    {
        const QString downloads = path(QStringLiteral("Downloads"));
        const QStringList names = PreviewTestFiles::makeSpecialFiles(downloads);
        for (const QString& name : names) {
            const QUrl moved = m_engine->move(TriageItem(url(downloads + '/' + name)),
                                              url(path(QStringLiteral("slot"))));
            QCOMPARE(moved, url(path(QStringLiteral("slot/")) + name));
            QVERIFY(!QFileInfo::exists(downloads + '/' + name));
            const QString trashed = m_engine->trash(TriageItem(moved)).toLocalFile();
            QCOMPARE(FileNaming::lastPathComponent(trashed), name);
            QVERIFY(QFileInfo(trashed).isSymLink() || QFileInfo::exists(trashed));
        }
    }

    void trashOnAMountReachedThroughALink_data()
    {
        QTest::addColumn<QString>("downloadsOnDisk");
        QTest::addColumn<QString>("sharedTrash");
        QTest::addColumn<QString>("expectedTrash");

        const QString uid = QString::number(::getuid());
        QTest::newRow("link to a folder on the disk") << "dl"
                                                      << ""
                                                      << ".Trash-" + uid;
        QTest::newRow("link to the disk's top folder") << ""
                                                       << ""
                                                       << ".Trash-" + uid;
        QTest::newRow("Downloads is where the disk is mounted") << "@"
                                                                << ""
                                                                << ".Trash-" + uid;
        QTest::newRow("administrator's sticky .Trash") << "dl"
                                                       << "sticky"
                                                       << ".Trash/" + uid;
        QTest::newRow(".Trash without the sticky bit") << "dl"
                                                       << "plain"
                                                       << ".Trash-" + uid;
        QTest::newRow(".Trash that is a link") << "dl"
                                               << "link"
                                               << ".Trash-" + uid;
    }

    // ~/Downloads is a link to a folder on another disk: the trash and the info file's path
    // belong to that disk's top folder, and the info file leads a restore back.
    void trashOnAMountReachedThroughALink()
    {
        QFETCH(QString, downloadsOnDisk);
        QFETCH(QString, sharedTrash);
        QFETCH(QString, expectedTrash);

        // "@": the disk is mounted on ~/Downloads itself, no link.
        const bool mountedOnDownloads = downloadsOnDisk == QLatin1String("@");
        if (mountedOnDownloads)
            downloadsOnDisk.clear();
        const QString downloads = path(QStringLiteral("home/Downloads"));
        const QString disk = mountedOnDownloads ? downloads : path(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=4m") != 0)
            QSKIP("cannot mount a tmpfs here (needs root)");
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });

        const QString target = downloadsOnDisk.isEmpty() ? disk : disk + u'/' + downloadsOnDisk;
        QVERIFY(QDir().mkpath(target));
        if (sharedTrash == QLatin1String("sticky") || sharedTrash == QLatin1String("plain")) {
            QVERIFY(QDir().mkpath(disk + "/.Trash"));
            QCOMPARE(::chmod(QFile::encodeName(disk + "/.Trash").constData(),
                             sharedTrash == QLatin1String("sticky") ? 01777 : 0777),
                     0);
        } else if (sharedTrash == QLatin1String("link")) {
            QVERIFY(QDir().mkpath(disk + "/elsewhere"));
            QCOMPARE(::chmod(QFile::encodeName(disk + "/elsewhere").constData(), 01777), 0);
            QVERIFY(QFile::link(disk + "/elsewhere", disk + "/.Trash"));
        }
        QVERIFY(QDir().mkpath(path(QStringLiteral("home"))));
        QVERIFY(mountedOnDownloads || QFile::link(target, downloads));

        const QString item = downloads + QStringLiteral("/a b%.txt");
        writeFile(item, "on the other disk");
        const QString inTrash = m_engine->trash(TriageItem(url(item))).toLocalFile();

        const QString trash = disk + u'/' + expectedTrash;
        QCOMPARE(FileNaming::parentPath(inTrash), trash + QStringLiteral("/files"));
        QCOMPARE(readFile(inTrash), QByteArray("on the other disk"));
        const QByteArray info = readFile(trash + QStringLiteral("/info/a b%.txt.trashinfo"));
        const QByteArray relative =
            downloadsOnDisk.isEmpty() ? QByteArray("a%20b%25.txt") : "dl/a%20b%25.txt";
        QVERIFY2(info.contains("\nPath=" + relative + '\n'), info.constData());
        QVERIFY(!QFileInfo::exists(downloads + "/.Trash-" + QString::number(::getuid())) ||
                downloadsOnDisk.isEmpty());

        // Restoring reads the same rules back: the path names the item's place on the disk.
        const QString original = TrashInfo::originalPathOf(inTrash);
        QCOMPARE(original, target + QStringLiteral("/a b%.txt"));
        QVERIFY(QFile::rename(inTrash, original));
        QCOMPARE(readFile(item), QByteArray("on the other disk"));
    }

    void trashInfoReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("trash");
        QTest::addColumn<QString>("expected");

        const QByteArray head = "[Trash Info]\n";
        QTest::newRow("home trash, absolute")
            << head + "Path=/home/u/Downloads/a%20b.txt\nDeletionDate=2026-01-02T03:04:05\n"
            << "/home/u/.local/share/Trash"
            << "/home/u/Downloads/a b.txt";
        QTest::newRow("home trash, relative to its folder") << head + "Path=x.txt\n"
                                                            << "/home/u/.local/share/Trash"
                                                            << "/home/u/.local/share/x.txt";
        QTest::newRow("topdir trash") << head + "Path=dl/x.txt\n"
                                      << "/media/usb/.Trash-1000"
                                      << "/media/usb/dl/x.txt";
        QTest::newRow("shared topdir trash") << head + "Path=dl/x.txt\n"
                                             << "/media/usb/.Trash/1000"
                                             << "/media/usb/dl/x.txt";
        QTest::newRow("first Path wins, CRLF") << head + "Path=a\r\nPath=b\r\n"
                                               << "/m/.Trash-1"
                                               << "/m/a";
        QTest::newRow("absolute path on another disk refused") << head + "Path=/etc/passwd\n"
                                                               << "/media/usb/.Trash-1000"
                                                               << "";
        QTest::newRow("parent step refused") << head + "Path=dl/../../etc/x\n"
                                             << "/media/usb/.Trash-1000"
                                             << "";
        QTest::newRow("encoded parent step refused") << head + "Path=%2E%2E/x\n"
                                                     << "/media/usb/.Trash-1000"
                                                     << "";
        QTest::newRow("no header") << QByteArray("Path=/a\n") << "/h/Trash"
                                   << "";
        QTest::newRow("Path in a later group") << head + "[Other]\nPath=/a\n"
                                               << "/h/Trash"
                                               << "";
        QTest::newRow("the disk's top folder itself refused") << head + "Path=./\n"
                                                              << "/media/usb/.Trash-1000"
                                                              << "";
        QTest::newRow("NUL in path") << head + "Path=/a%00b\n"
                                     << "/h/Trash"
                                     << "";
        QTest::newRow("not a trash folder") << head + "Path=/a\n"
                                            << "/h/Bin"
                                            << "";
    }

    void trashInfoReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, trash);
        QFETCH(QString, expected);

        const std::optional<TrashInfo> info = TrashInfo::parse(content);
        const QString original = info ? TrashInfo::originalPath(trash, info->path) : QString();
        QCOMPARE(original, expected);
        if (content.contains("DeletionDate="))
            QCOMPARE(info->deletionDate, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    }
};

STOWBIRD_TEST_MAIN(TestFileExecutionEngine)
#include "TestFileExecutionEngine.moc"
