// The triage actions without a window: late results, undo queued behind an action,
// rename and undo sequences, restoring from the trash, rescans during an action, actions
// queued behind a long copy, cancelling it at every stage, a destination that stops
// answering, quit during a copy, group actions and their undo with a fault at every step,
// and "same as last".
#include "HomeOnTmpfs.h"
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/GatedEngine.h"
#include "fakes/ManualClock.h"
#include "fakes/ScriptedTrash.h"
#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/FileMover.h"
#include "platform/FreedesktopTrash.h"
#include "services/HistoryStore.h"
#include "services/QueueRescanner.h"
#include "services/TriageActionController.h"
#include "views/ActionProgressView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

namespace {

QStringList paths(const QList<TriageItem>& items)
{
    QStringList result;
    for (const TriageItem& item : items)
        result << item.url.toLocalFile();
    return result;
}

// Whether the operation running on this thread was cancelled.
bool cancelledHere()
{
    const CancelToken* token = CancelToken::current();
    return token && token->isCancelled();
}

using TestFiles::entries;

// The real trash, except that one call fails: the n-th move to the trash or the n-th restore
// (counted from 0; -1: none).
class FaultyTrash final : public TrashBackend
{
public:
    FaultyTrash(const QString& dataHome, int failTrash, int failRestore)
        : m_real(dataHome), m_failTrash(failTrash), m_failRestore(failRestore)
    {
    }
    Trashed moveToTrash(const QString& path) override
    {
        if (m_trashes++ == m_failTrash)
            throw FileOperationError::fromErrno(EIO, QStringLiteral("Could not trash the item"));
        return m_real.moveToTrash(path);
    }
    Restored restoreFromTrash(const Trashed& trashed, const QString& fallback) override
    {
        if (m_restores++ == m_failRestore)
            throw FileOperationError::fromErrno(EIO, QStringLiteral("Could not restore the item"));
        return m_real.restoreFromTrash(trashed, fallback);
    }

private:
    FreedesktopTrash m_real;
    const int m_failTrash;
    const int m_failRestore;
    std::atomic<int> m_trashes = 0;
    std::atomic<int> m_restores = 0;
};

} // namespace

class TestTriageActionController : public QObject
{
    Q_OBJECT

private:
    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<GatedEngine>> m_services;
    std::unique_ptr<TriageActionController> m_actions;
    TriageQueueManager* m_queue = nullptr;
    DestinationSlot m_documents;
    std::atomic<bool> m_holdCopy = false;
    // A held copy goes on once cancelled (a slow destination), unless it stopped answering.
    std::atomic<bool> m_ignoreCancel = false;
    std::atomic<bool> m_copyHeld = false;
    HomeOnTmpfs m_tmpfsHome;
    ManualClock m_clock;
    QStringList m_mounts;

    // A tmpfs of its own (another file system than the home's), as a slot; empty without
    // root.
    QString mountTmpfs(const QString& name, const QByteArray& size = "16m")
    {
        const QString path = m_home + "/../" + name;
        QDir().mkpath(path);
        if (::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0,
                    QByteArray("size=" + size).constData()) != 0)
            return {};
        m_mounts << path;
        return QDir::cleanPath(path);
    }

    // Every copy onto another file system waits after its first chunk while m_holdCopy is
    // set.
    void holdCopies()
    {
        m_holdCopy = true;
        m_services->engine->mover().setChunkHook([this](const QString&, qint64 copied) {
            if (copied < qint64(TreeCopier::chunkSize))
                return;
            m_copyHeld = true;
            while (m_holdCopy.load() && (m_ignoreCancel.load() || !cancelledHere()))
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
    }

    QString file(const QString& name, const QByteArray& content = "content")
    {
        TestFiles::writeFile(m_downloads + "/" + name, content);
        return m_downloads + "/" + name;
    }

    void enqueue(const QStringList& names)
    {
        for (const QString& name : names)
            m_queue->enqueue(QUrl::fromLocalFile(file(name)));
    }

    // scan_001.pdf ... in Downloads and waiting, each with its own content.
    QStringList scans(int count, qint64 size)
    {
        QStringList names;
        for (int i = 1; i <= count; ++i) {
            names << QStringLiteral("scan_%1.pdf").arg(i, 3, 10, QLatin1Char('0'));
            TestFiles::writeFile(m_downloads + "/" + names.last(), scanData(i, size));
            m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/" + names.last()));
        }
        return names;
    }
    static QByteArray scanData(int n, qint64 size) { return TestFiles::pattern(size, char(n)); }

    QList<QUuid> idsOf(const QStringList& names) const
    {
        QList<QUuid> ids;
        for (const QString& name : names) {
            for (const TriageItem& item : m_queue->items()) {
                if (item.filename == name)
                    ids << item.id;
            }
        }
        return ids;
    }

    QStringList queuedNames() const
    {
        QStringList names;
        for (const TriageItem& item : m_queue->items())
            names << item.filename;
        return names;
    }

    // Each scan is whole in exactly one place: Downloads for those in `home`, else `away`;
    // and nothing else is left in `away` (no partial copy).
    void verifyWholeOnce(int count, qint64 size, const QStringList& home, const QString& away)
    {
        QStringList expectedAway;
        for (int i = 1; i <= count; ++i) {
            const QString name = QStringLiteral("scan_%1.pdf").arg(i, 3, 10, QLatin1Char('0'));
            const bool atHome = home.contains(name);
            if (!atHome)
                expectedAway << name;
            QVERIFY2(QFile::exists(m_downloads + "/" + name) == atHome, qPrintable(name));
            QVERIFY2(QFile::exists(away + "/" + name) != atHome, qPrintable(name));
            QCOMPARE(TestFiles::readFile((atHome ? m_downloads : away) + "/" + name),
                     scanData(i, size));
        }
        QCOMPARE(entries(away), expectedAway);
    }

    // The copy of the n-th member to cross file systems (counted from 0) fails at stage:
    // while its chunks are written, once copied, before it gets its name, or before the
    // original is removed.
    void failCopyAt(const QString& stage, int member)
    {
        auto seen = std::make_shared<std::atomic<int>>(-1);
        auto lastFile = std::make_shared<QString>();
        const auto fault = [] {
            throw FileOperationError::fromErrno(EIO, QStringLiteral("Could not write the copy"));
        };
        FileMover& mover = m_services->engine->mover();
        if (stage == "chunk")
            mover.setChunkHook([=](const QString& file, qint64) {
                if (file != *lastFile) {
                    *lastFile = file;
                    ++*seen;
                }
                if (*seen == member)
                    fault();
            });
        else
            mover.setStepHook([=](FileMover::Step step, const QString&) {
                const FileMover::Step at = stage == "copied"   ? FileMover::Step::Copied
                                           : stage == "commit" ? FileMover::Step::Commit
                                                               : FileMover::Step::Remove;
                if (step == at && ++*seen == member)
                    fault();
            });
    }

    QString headName() const
    {
        const auto head = m_queue->activeItem();
        return head ? head->filename : QString();
    }

    QString statusText() const { return m_actions->statusMessage().value_or(QString()); }
    StatusLine::Kind statusKind() const { return m_actions->status().value_or(StatusLine{}).kind; }

    QString logText()
    {
        m_services->logger->waitForWritten(5000);
        return QString::fromUtf8(TestFiles::readFile(m_services->logger->logPath()));
    }

    // Moves the clock past the watchdog interval set in init().
    void passWatchdog() { m_clock.advance(std::chrono::milliseconds(50)); }

    // Returns as soon as actions says it is idle (a look every 10 ms would sleep through it).
    static bool waitIdle(TriageActionController& actions)
    {
        QSignalSpy idle(&actions, &TriageActionController::idle);
        return !actions.isBusy() || idle.wait(10000);
    }
    bool waitIdle() { return waitIdle(*m_actions); }

    // Waits for the worker to have done something on disk without running the event loop,
    // so that no result of an operation is applied meanwhile.
    static bool waitOnDisk(const std::function<bool()>& done)
    {
        const QDeadlineTimer deadline(5000);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

private slots:
    void init()
    {
        m_home = freshHome({"Downloads", "Documents"});
        m_downloads = m_home + "/Downloads";
        m_services = std::make_unique<HudTestServices<GatedEngine>>(m_home);
        m_queue = m_services->queue.get();
        TriageActionController::Dependencies deps;
        deps.queue = m_queue;
        deps.engine = m_services->engine.get();
        deps.telemetry = m_services->telemetry.get();
        deps.logger = m_services->logger.get();
        deps.clock = &m_clock;
        m_actions = std::make_unique<TriageActionController>(deps);
        // The watchdog and the status lines run on m_clock: they fire when a case moves it.
        m_actions->setWatchdogInterval(50);
        m_actions->setStatusDurations(60000, 60000);
        m_documents = DestinationSlot{1, QStringLiteral("Documents"), m_home + "/Documents"};
    }

    void cleanup()
    {
        m_services->engine->holdMoves = false;
        m_holdCopy = false;
        m_ignoreCancel = false;
        m_copyHeld = false;
        // Operations left behind still use the engine until they return.
        m_actions->waitForAbandoned(10000);
        m_actions.reset(); // waits for its worker
        m_services.reset();
        for (const QString& mount : std::as_const(m_mounts))
            ::umount2(QFile::encodeName(mount).constData(), MNT_DETACH);
        m_mounts.clear();
    }

    void lateResults_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::newRow("late success") << false;
        QTest::newRow("late failure") << true;
    }

    void lateResults()
    {
        QFETCH(bool, fails);
        enqueue({"a.txt", "b.txt"});
        m_services->engine->holdMoves = true;
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        QVERIFY(m_actions->isProcessingAction());
        QCOMPARE(headName(), QStringLiteral("b.txt"));

        m_clock.advance(std::chrono::milliseconds(49));
        QVERIFY(m_actions->isProcessingAction());
        // Past the watchdog: the keyboard is free, and the window says the move still runs.
        passWatchdog();
        QVERIFY(!m_actions->isProcessingAction());
        QVERIFY(m_actions->isBusy());
        QCOMPARE(statusText(), QStringLiteral("Still moving a.txt to Documents…"));
        QCOMPARE(statusKind(), StatusLine::Kind::Progress);
        QVERIFY(!logText().contains("WATCHDOG"));

        if (fails)
            QVERIFY(QDir(m_home + "/Documents").removeRecursively());
        QSignalSpy finished(m_actions.get(), &TriageActionController::actionFinished);
        m_services->engine->holdMoves = false;
        QVERIFY(finished.wait(5000));
        if (fails) {
            QCOMPARE(paths(m_queue->items()),
                     (QStringList{m_downloads + "/a.txt", m_downloads + "/b.txt"}));
            QCOMPARE(statusText(), QStringLiteral("Failed to move: Destination directory does "
                                                  "not exist: Documents"));
            QCOMPARE(statusKind(), StatusLine::Kind::Error);
            QVERIFY(QFile::exists(m_downloads + "/a.txt"));
            QVERIFY(logText().contains("[ERROR] Action 'Move .txt to Documents' failed | Error: "
                                       "Destination directory does not exist: Documents"));
        } else {
            QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/b.txt"});
            QCOMPARE(statusText(), QStringLiteral("Moved to Documents: a.txt"));
            QCOMPARE(statusKind(), StatusLine::Kind::Info);
            QVERIFY(QFile::exists(m_home + "/Documents/a.txt"));
        }
    }

    void errorsStayLongerThanOutcomes()
    {
        m_actions->setStatusDurations(100, 400);
        enqueue({"a.txt"});
        m_actions->showStatus(QStringLiteral("plain"));
        m_clock.advance(std::chrono::milliseconds(99));
        QCOMPARE(statusText(), QStringLiteral("plain"));
        m_clock.advance(std::chrono::milliseconds(1));
        QVERIFY(!m_actions->status());
        m_actions->showStatus(QStringLiteral("broken"), StatusLine::Kind::Error);
        m_clock.advance(std::chrono::milliseconds(399));
        QCOMPARE(statusText(), QStringLiteral("broken"));
        m_clock.advance(std::chrono::milliseconds(1));
        QVERIFY(!m_actions->status());
        m_actions->showStatus(QStringLiteral("broken"), StatusLine::Kind::Error);
        // The next action clears it at once.
        m_actions->trashCurrent(InputMethod::keyboard);
        QVERIFY(statusText() != QStringLiteral("broken"));
        QVERIFY(waitIdle());
    }

    // The trash refuses (a full disk, no permission): the item stays where it is and at the
    // head of the queue, the window says why in the error style, and the error is recorded.
    void aRefusedTrashKeepsTheItem()
    {
        auto trash = std::make_unique<ScriptedTrash>(AppError{
            QStringLiteral("NSPOSIXErrorDomain"), 13, QStringLiteral("Permission denied")});
        ScriptedTrash* refusing = trash.get();
        FileExecutionEngine engine(std::move(trash), m_services->revealer, *m_services->logger,
                                   m_services->reporter);
        TriageActionController::Dependencies deps;
        deps.queue = m_queue;
        deps.engine = &engine;
        deps.logger = m_services->logger.get();
        TriageActionController actions(deps);
        enqueue({"a.txt", "b.txt"});
        actions.trashCurrent(InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(!actions.isBusy(), 5000);
        QCOMPARE(refusing->trashed(), QStringList{m_downloads + "/a.txt"});
        QVERIFY(QFile::exists(m_downloads + "/a.txt"));
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/a.txt", m_downloads + "/b.txt"}));
        QVERIFY(actions.status());
        QCOMPARE(actions.status()->kind, StatusLine::Kind::Error);
        QVERIFY2(actions.status()->text.contains(QStringLiteral("Permission denied")),
                 qPrintable(actions.status()->text));
        QVERIFY(!m_services->reporter.errors().isEmpty());
    }

    void rescansDuringAnActionLeaveItsPathAlone()
    {
        enqueue({"a.txt"});
        m_services->engine->holdMoves = true;
        QVERIFY(QDir(m_home + "/Documents").removeRecursively()); // the move will fail
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        // What opening the window does: prune and rescan. The file is still in Downloads.
        m_queue->pruneMissingFiles();
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/a.txt"));
        QVERIFY(m_queue->items().isEmpty());
        m_services->engine->holdMoves = false;
        QVERIFY(waitIdle());
        // Back once, not twice.
        QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/a.txt"});
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/a.txt"));
        QCOMPARE(m_queue->items().size(), 1);
    }

    void undoDuringAnActionUndoesThatAction()
    {
        enqueue({"first.txt", "second.txt", "third.txt"});
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        QVERIFY(waitIdle());
        m_services->engine->holdMoves = true;
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        m_actions->undoLastAction(); // while second.txt is still on its way
        QVERIFY(m_actions->isBusy());
        m_services->engine->holdMoves = false;
        QVERIFY(waitIdle());
        QVERIFY(QFile::exists(m_home + "/Documents/first.txt"));
        QVERIFY(QFile::exists(m_downloads + "/second.txt"));
        QVERIFY(!QFile::exists(m_home + "/Documents/second.txt"));
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/second.txt", m_downloads + "/third.txt"}));
        QCOMPARE(statusText(), QStringLiteral("Undid move: second.txt restored to Downloads"));
    }

    void undoBehindAFailedActionUndoesNothingOlder_data()
    {
        QTest::addColumn<bool>("trash");
        QTest::addColumn<QString>("expected");
        QTest::newRow("failed move")
            << false
            << "Nothing to undo: the move of second.txt to Archive failed (Destination "
               "directory does not exist: Archive)";
        QTest::newRow("failed trash behind a slow move")
            << true << "Nothing to undo: the move of second.txt to the Trash failed";
    }

    // z pressed while an action is queued or running is for that action: when it fails there
    // is nothing to undo, and the action before it stays done.
    void undoBehindAFailedActionUndoesNothingOlder()
    {
        QFETCH(bool, trash);
        QFETCH(QString, expected);
        enqueue({"first.txt", "second.txt"});
        const DestinationSlot archive{2, QStringLiteral("Archive"), m_home + "/Archive"};
        QVERIFY(QDir().mkpath(archive.path));
        m_services->engine->holdMoves = true;
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        if (trash) {
            // Past the watchdog the trash queues behind the move; its file is gone by then.
            passWatchdog();
            QVERIFY(!m_actions->isProcessingAction());
            QVERIFY(QFile::remove(m_downloads + "/second.txt"));
            m_actions->trashCurrent(InputMethod::keyboard);
        } else {
            m_services->engine->holdMoves = false;
            QVERIFY(waitIdle());
            m_services->engine->holdMoves = true;
            m_actions->routeToSlot(archive, InputMethod::keyboard);
            QVERIFY(QDir(archive.path).removeRecursively());
        }
        m_actions->undoLastAction();
        m_services->engine->holdMoves = false;
        QVERIFY(waitIdle());

        QVERIFY(QFile::exists(m_home + "/Documents/first.txt"));
        QVERIFY(!QFile::exists(m_downloads + "/first.txt"));
        QVERIFY2(statusText().startsWith(expected), qPrintable(statusText()));
        QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/second.txt"});
        // The move of first.txt is still there to undo.
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QVERIFY(QFile::exists(m_downloads + "/first.txt"));
    }

    void undoRefusesWhatItDidNotPutThere_data()
    {
        QTest::addColumn<bool>("trash");
        QTest::addColumn<QString>("expected");
        QTest::newRow("move") << false
                              << "Cannot undo: the a.txt in Documents is not the file moved "
                                 "there (it was replaced or changed since); nothing was moved";
        QTest::newRow("trash") << true
                               << "Cannot undo: the a.txt in the Trash is not the one moved "
                                  "there from Downloads; nothing was restored";
    }

    void undoRefusesWhatItDidNotPutThere()
    {
        QFETCH(bool, trash);
        QFETCH(QString, expected);
        enqueue({"a.txt", "b.txt"});
        if (trash)
            m_actions->trashCurrent(InputMethod::keyboard);
        else
            m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        QVERIFY(waitIdle());
        // Another program takes it away and puts another a.txt in its place.
        const QString placed =
            trash ? m_home + "/.local/share/Trash/files/a.txt" : m_home + "/Documents/a.txt";
        QVERIFY(QFile::rename(placed, m_home + "/kept-aside"));
        QFile impostor(placed);
        QVERIFY(impostor.open(QIODevice::WriteOnly) && impostor.write("impostor") == 8);
        impostor.close();

        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), expected);
        QCOMPARE(statusKind(), StatusLine::Kind::Error);
        QVERIFY(logText().contains("[ERROR] Undo refused (.txt)"));
        QVERIFY(!logText().contains("a.txt"));
        QVERIFY(!QFile::exists(m_downloads + "/a.txt"));
        QCOMPARE(QFile(placed).size(), qint64(8));
        QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/b.txt"});
    }

    // ~/Downloads is a link to a folder on another disk: the trash there records the item
    // under the disk's own path, and the restored item must still be the one entry the
    // watcher reports under ~/Downloads.
    void undoOfTrashThroughALinkedDownloadsFolder()
    {
        const QString disk = m_home + "/../disk";
        QVERIFY(QDir().mkpath(disk));
        if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=4m") != 0)
            QSKIP("cannot mount a tmpfs here (needs root)");
        const auto unmount = qScopeGuard([&] {
            ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
            QFile::remove(m_downloads);
            QDir().mkpath(m_downloads);
        });
        QVERIFY(QDir().mkpath(disk + "/dl"));
        QVERIFY(QDir(m_downloads).removeRecursively());
        QVERIFY(QFile::link(disk + "/dl", m_downloads));

        enqueue({"junk.zip", "other.txt"});
        m_actions->trashCurrent(InputMethod::keyboard);
        QVERIFY(waitIdle());
        QVERIFY(!QFile::exists(m_downloads + "/junk.zip"));
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QVERIFY(QFile::exists(m_downloads + "/junk.zip"));
        // What the watcher does when the file appears again.
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/junk.zip"), true);
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/junk.zip", m_downloads + "/other.txt"}));
        QCOMPARE(m_queue->totalQueueDepth(), 2);
        QCOMPARE(statusText(), QStringLiteral("Restored junk.zip from the Trash to Downloads"));
    }

    void renameAndUndoSequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expectedItems");
        QTest::addColumn<QStringList>("expectedSkipped");
        QTest::newRow("rename, skip, undo, undo")
            << QStringList{"rename", "skip", "undo", "undo"}
            << QStringList{"a.txt", "b.txt", "c.txt"} << QStringList{};
        QTest::newRow("rename, trash, undo, undo")
            << QStringList{"rename", "trash", "undo", "undo"}
            << QStringList{"a.txt", "b.txt", "c.txt"} << QStringList{};
        QTest::newRow("rename onto a taken name, undo")
            << QStringList{"rename-taken", "undo"} << QStringList{"a.txt", "b.txt", "c.txt"}
            << QStringList{};
        QTest::newRow("rename, move, undo, undo")
            << QStringList{"rename", "move", "undo", "undo"}
            << QStringList{"a.txt", "b.txt", "c.txt"} << QStringList{};
    }

    void renameAndUndoSequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expectedItems);
        QFETCH(QStringList, expectedSkipped);
        enqueue({"a.txt", "b.txt", "c.txt"});
        for (const QString& step : steps) {
            if (step == "rename")
                m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("renamed.txt"));
            else if (step == "rename-taken") {
                m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("b.txt"));
                QVERIFY(waitIdle());
                QCOMPARE(statusText(), QStringLiteral("Renamed to b (1).txt (b.txt was taken)"));
                QCOMPARE(headName(), QStringLiteral("b (1).txt"));
            } else if (step == "skip")
                m_actions->skipCurrentItem(InputMethod::keyboard);
            else if (step == "trash")
                m_actions->trashCurrent(InputMethod::keyboard);
            else if (step == "move")
                m_actions->routeToSlot(m_documents, InputMethod::keyboard);
            else if (step == "undo")
                m_actions->undoLastAction();
            QVERIFY(waitIdle());
            QVERIFY2(statusKind() != StatusLine::Kind::Error, qPrintable(statusText()));
        }
        QStringList expectedPaths;
        for (const QString& name : expectedItems)
            expectedPaths << m_downloads + "/" + name;
        QCOMPARE(paths(m_queue->items()), expectedPaths);
        QStringList skipped = m_queue->skippedPaths().values();
        QStringList expectedSkippedPaths;
        for (const QString& name : expectedSkipped)
            expectedSkippedPaths << m_downloads + "/" + name;
        QCOMPARE(skipped, expectedSkippedPaths);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            QVERIFY2(QFile::exists(m_downloads + "/" + QLatin1String(name)), name);
        QVERIFY(!QFile::exists(m_downloads + "/renamed.txt"));
        QVERIFY(!QFile::exists(m_downloads + "/b (1).txt"));
    }

    void renameUndoHoldsWhateverTheWatcherReports_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("reports before the undo's result") << "first";
        QTest::newRow("reports after the undo's result") << "last";
        QTest::newRow("undo asked during the rename, reports between the two results") << "between";
    }

    // The watcher reports the undo's own rename (the new name gone, the old one arrived) as
    // it reports anyone's. Those reports reach the queue before or after the undo's result;
    // either way the item stays where it was, under its old name, once.
    void renameUndoHoldsWhateverTheWatcherReports()
    {
        QFETCH(QString, when);
        enqueue({"a.txt", "b.txt", "c.txt"});
        QueueRescanner watcher(*m_queue, m_downloads);
        QStringList expected{m_downloads + "/a.txt", m_downloads + "/b.txt",
                             m_downloads + "/c.txt"};
        if (when == "between") {
            // A slow move of a.txt ahead of both: the rename and its undo queue behind it.
            m_services->engine->holdMoves = true;
            m_actions->routeToSlot(m_documents, InputMethod::keyboard);
            passWatchdog();
            QVERIFY(!m_actions->isProcessingAction());
            expected.removeFirst();
        }
        const QString head = expected.first();
        const QString renamed = m_downloads + "/renamed.txt";
        const auto report = [&] {
            watcher.removePath(renamed);
            watcher.enqueueDiscovered(QUrl::fromLocalFile(head), true);
        };
        for (int round = 0; round < 3; ++round) {
            m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("renamed.txt"));
            if (when != "between") {
                QVERIFY(waitIdle());
                QCOMPARE(headName(), QStringLiteral("renamed.txt"));
            }
            m_actions->undoLastAction();
            if (when == "first") {
                QVERIFY(waitOnDisk([&] { return QFile::exists(head); }));
                report();
            } else if (when == "between") {
                // Right after the rename's result, the undo is already done on disk.
                int results = 0;
                QMetaObject::Connection hook =
                    connect(m_actions.get(), &TriageActionController::actionFinished, this, [&] {
                        if (++results != (round == 0 ? 2 : 1))
                            return;
                        QVERIFY(waitOnDisk(
                            [&] { return QFile::exists(head) && !QFile::exists(renamed); }));
                        report();
                    });
                m_services->engine->holdMoves = false;
                QVERIFY(waitIdle());
                disconnect(hook);
                QCOMPARE(results, round == 0 ? 3 : 2);
            }
            QVERIFY(waitIdle());
            if (when == "last")
                report();
            QCOMPARE(paths(m_queue->items()), expected);
            QCOMPARE(m_queue->totalQueueDepth(), qsizetype(expected.size()));
            QVERIFY(QFile::exists(head));
            QVERIFY(!QFile::exists(renamed));
        }
        QVERIFY(m_queue->skippedPaths().isEmpty());
    }

    // Tab is undone like any action, in the order it was taken: z brings the skipped item
    // back to the head and out of the skip list, and the z after it undoes the action before
    // the skip. A skipped file deleted since is not brought back, and the window says so.
    void skipIsUndoneInItsTurn()
    {
        enqueue({"a.txt", "b.txt", "c.txt"});
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        QVERIFY(waitIdle());
        m_actions->skipCurrentItem(InputMethod::keyboard);
        QCOMPARE(headName(), QStringLiteral("c.txt"));
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/b.txt", m_downloads + "/c.txt"}));
        QVERIFY(m_queue->skippedPaths().isEmpty());
        m_queue->waitForSaves();
        QCOMPARE(TriageQueueManager(m_home + "/.local/state/stowbird").skippedPaths().size(), 0);
        QVERIFY(QFile::exists(m_home + "/Documents/a.txt"));
        QCOMPARE(statusText(), QStringLiteral("Undid skip: b.txt is back"));

        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(
            paths(m_queue->items()),
            (QStringList{m_downloads + "/a.txt", m_downloads + "/b.txt", m_downloads + "/c.txt"}));

        m_actions->skipCurrentItem(InputMethod::keyboard);
        QVERIFY(QFile::remove(m_downloads + "/a.txt"));
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Nothing restored: a.txt is gone since it was "
                                              "skipped"));
        QCOMPARE(statusKind(), StatusLine::Kind::Error);
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/b.txt", m_downloads + "/c.txt"}));
        QVERIFY(m_queue->skippedPaths().isEmpty());
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Nothing to undo"));
    }

    void undoOfTrashRestoresIt_data()
    {
        QTest::addColumn<bool>("placeTaken");
        QTest::newRow("place free") << false;
        QTest::newRow("place taken") << true;
    }

    void undoOfTrashRestoresIt()
    {
        QFETCH(bool, placeTaken);
        enqueue({"junk.zip", "other.txt"});
        m_actions->trashCurrent(InputMethod::keyboard);
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Moved junk.zip to Trash"));
        const QString trash = m_home + "/.local/share/Trash";
        QVERIFY(QFile::exists(trash + "/info/junk.zip.trashinfo"));
        if (placeTaken)
            file("junk.zip", "a new download of the same name");

        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        const QString restored = m_downloads + (placeTaken ? "/junk (1).zip" : "/junk.zip");
        QCOMPARE(QFile(restored).size(), qint64(7)); // "content"
        QVERIFY(!QFile::exists(trash + "/info/junk.zip.trashinfo"));
        QVERIFY(!QFile::exists(trash + "/files/junk.zip"));
        QCOMPARE(m_queue->activeItem()->url.toLocalFile(), restored);
        QCOMPARE(statusText(), placeTaken ? QStringLiteral("Restored junk.zip from the Trash to "
                                                           "Downloads as junk (1).zip (junk.zip "
                                                           "was taken)")
                                          : QStringLiteral("Restored junk.zip from the Trash to "
                                                           "Downloads"));
    }

    // An item from another inbox is renamed, trashed and restored in its own folder: the
    // .trashinfo names the Desktop, and undos put it back there, never into Downloads.
    void actionsOnAnItemFromTheDesktopStayOnTheDesktop()
    {
        const QString desktop = m_home + "/Desktop";
        QVERIFY(QDir().mkpath(desktop));
        TestFiles::writeFile(desktop + "/notes.txt", "notes");
        m_queue->enqueue(QUrl::fromLocalFile(desktop + "/notes.txt"));

        m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("minutes.txt"));
        QVERIFY(waitIdle());
        QCOMPARE(m_queue->activeItem()->path(), desktop + "/minutes.txt");
        QCOMPARE(entries(desktop), QStringList{"minutes.txt"});
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(entries(desktop), QStringList{"notes.txt"});

        m_actions->trashCurrent(InputMethod::keyboard);
        QVERIFY(waitIdle());
        QVERIFY(entries(desktop).isEmpty());
        const QString info = m_home + "/.local/share/Trash/info/notes.txt.trashinfo";
        QVERIFY2(TestFiles::readFile(info).contains("\nPath=" + QFile::encodeName(desktop) +
                                                    "/notes.txt\n"),
                 TestFiles::readFile(info).constData());
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Restored notes.txt from the Trash to Desktop"));
        QCOMPARE(TestFiles::readFile(desktop + "/notes.txt"), QByteArray("notes"));
        QCOMPARE(m_queue->activeItem()->path(), desktop + "/notes.txt");
        QVERIFY(entries(m_downloads).isEmpty());
    }

    void undoOfWhatIsGone_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trash emptied") << "trash"
                                       << "Nothing restored: a.txt is no longer in the Trash";
        QTest::newRow("moved file deleted") << "move"
                                            << "Nothing restored: a.txt is no longer in Documents";
    }

    void undoOfWhatIsGone()
    {
        QFETCH(QString, action);
        QFETCH(QString, expected);
        enqueue({"a.txt", "b.txt"});
        if (action == "trash")
            m_actions->trashCurrent(InputMethod::keyboard);
        else
            m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        QVERIFY(waitIdle());
        QVERIFY(QFile::remove(action == "trash" ? m_home + "/.local/share/Trash/files/a.txt"
                                                : m_home + "/Documents/a.txt"));
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), expected);
        QCOMPARE(statusKind(), StatusLine::Kind::Error);
        QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/b.txt"});
        QVERIFY(!QFile::exists(m_downloads + "/a.txt"));
        // The record is gone: the next undo does not reach further back.
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Nothing to undo"));
    }

    void progressOfACopyToAnotherDisk()
    {
        struct stat tmp, shm;
        if (::stat(QFile::encodeName(m_home).constData(), &tmp) != 0 ||
            ::stat("/dev/shm", &shm) != 0 || tmp.st_dev == shm.st_dev)
            QSKIP("no second file system (/dev/shm) beside the temporary folder");
        QTemporaryDir disk(QStringLiteral("/dev/shm/stowbird-test-XXXXXX"));
        const DestinationSlot usb{2, QStringLiteral("USB"), disk.path()};
        file("big.bin", QByteArray(1000 * 1000, 'x'));
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/big.bin"));
        m_holdCopy = true;
        m_services->engine->mover().setChunkHook([this](const QString&, qint64 copied) {
            while (m_holdCopy.load() && copied >= qint64(TreeCopier::chunkSize))
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
        m_actions->routeToSlot(usb, InputMethod::keyboard);
        passWatchdog();
        STOWBIRD_TRY_COMPARE(
            statusText(), QStringLiteral("Still moving big.bin to USB: 262.1 kB of 1.0 MB"), 5000);
        m_holdCopy = false;
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Moved to USB: big.bin"));
        QVERIFY(QFile::exists(disk.path() + "/big.bin"));
    }
    // Keys pressed while a long copy runs are never refused: each acts on the item shown
    // then (which leaves the queue at once), waits behind the copy, and they run in the order
    // they were asked for; the undo undoes the latest of them.
    void actionsQueuedBehindAHeldCopyRunInOrder()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        file("big.bin", QByteArray(1000 * 1000, 'x'));
        enqueue({"b.txt", "c.txt", "d.txt"});
        m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(m_downloads + "/big.bin")));
        QStringList outcomes;
        connect(m_actions.get(), &TriageActionController::actionFinished, this,
                [&] { outcomes << statusText(); });
        holdCopies();

        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        m_actions->moveToFolder(m_home + "/Documents", InputMethod::keyboard);
        m_actions->trashCurrent(InputMethod::keyboard);
        m_actions->undoLastAction();
        QCOMPARE(headName(), QStringLiteral("d.txt"));
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);
        const auto running = m_actions->runningAction();
        QVERIFY(running);
        QCOMPARE(running->text, QStringLiteral("Moving big.bin to USB"));
        QCOMPARE(running->waiting,
                 (QStringList{"Move b.txt to Documents", "Move c.txt to the Trash", "Undo"}));
        QVERIFY(QFile::exists(m_downloads + "/b.txt")); // nothing ran past the copy

        m_holdCopy = false;
        QVERIFY(waitIdle());
        QCOMPARE(outcomes, (QStringList{"Moved to USB: big.bin", "Moved to Documents: b.txt",
                                        "Moved c.txt to Trash",
                                        "Restored c.txt from the Trash to Downloads"}));
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/c.txt", m_downloads + "/d.txt"}));
        QCOMPARE(QFile(usb + "/big.bin").size(), qint64(1000 * 1000));
    }

    void cancelAtEveryStageKeepsTheSourceWhole_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("stage");
        for (const bool folder : {false, true}) {
            for (const char* stage : {"chunks", "copied", "commit"})
                QTest::addRow("%s, %s", folder ? "folder" : "file", stage) << folder << stage;
        }
    }

    // c during a copy onto another file system, while the chunks are written, once the copy
    // is complete and before it gets its name: the partial copy goes, the source stays whole,
    // and the item is back at the head.
    void cancelAtEveryStageKeepsTheSourceWhole()
    {
        QFETCH(bool, folder);
        QFETCH(QString, stage);
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        const QString source = m_downloads + "/item";
        const QByteArray data = TestFiles::pattern(700 * 1024, 'a');
        if (folder) {
            TestFiles::writeFile(source + "/one.bin", data);
            TestFiles::writeFile(source + "/sub/two.bin", data);
        } else {
            TestFiles::writeFile(source, data);
        }
        enqueue({"next.txt"});
        m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(source)));
        // Waits at its stage until it is cancelled, as a slow destination would.
        const auto waitHere = [this] {
            m_copyHeld = true;
            for (int i = 0; i < 10000 && !cancelledHere(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        FileMover& mover = m_services->engine->mover();
        if (stage == "chunks")
            mover.setChunkHook([&](const QString&, qint64 copied) {
                if (copied >= qint64(TreeCopier::chunkSize))
                    waitHere();
            });
        else
            mover.setStepHook([&](FileMover::Step step, const QString&) {
                if (step == (stage == "copied" ? FileMover::Step::Copied : FileMover::Step::Commit))
                    waitHere();
            });

        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);
        QCOMPARE(headName(), QStringLiteral("next.txt"));
        m_actions->cancelRunningAction();
        QVERIFY(waitIdle());

        QCOMPARE(entries(usb), QStringList());
        if (folder) {
            QCOMPARE(TestFiles::readFile(source + "/one.bin"), data);
            QCOMPARE(TestFiles::readFile(source + "/sub/two.bin"), data);
        } else {
            QCOMPARE(TestFiles::readFile(source), data);
        }
        QCOMPARE(paths(m_queue->items()), (QStringList{source, m_downloads + "/next.txt"}));
        QCOMPARE(statusText(), QStringLiteral("Cancelled moving item to USB; it is back in the "
                                              "queue"));
        QCOMPARE(statusKind(), StatusLine::Kind::Info);
        QVERIFY(logText().contains("Action 'Move .file to USB' cancelled"));
        QVERIFY(!logText().contains("[ERROR]"));
    }

    // An action that has not started yet is taken out: its item is back at the head and it
    // never runs; an undo waiting behind it does not reach back to an older action.
    void cancelOfAWaitingActionPutsItsItemBack()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        file("big.bin", QByteArray(1000 * 1000, 'x'));
        enqueue({"b.txt", "c.txt"});
        m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(m_downloads + "/big.bin")));
        holdCopies();
        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        m_actions->undoLastAction();
        QCOMPARE(headName(), QStringLiteral("c.txt"));
        const QUuid waiting = m_actions->runningAction()->waitingIds.first();
        QVERIFY(m_actions->cancelAction(waiting));
        QCOMPARE(paths(m_queue->items()),
                 (QStringList{m_downloads + "/b.txt", m_downloads + "/c.txt"}));
        QCOMPARE(statusText(), QStringLiteral("Cancelled moving b.txt to Documents; it is back "
                                              "in the queue"));
        m_holdCopy = false;
        QVERIFY(waitIdle());
        QVERIFY(QFile::exists(m_downloads + "/b.txt"));
        QVERIFY(!QFile::exists(m_home + "/Documents/b.txt"));
        QVERIFY(QFile::exists(usb + "/big.bin")); // the move before it stays done
        QVERIFY2(statusText().startsWith("Nothing to undo: the move of b.txt to Documents"),
                 qPrintable(statusText()));
    }

    // Progress, time left at the pace so far, and a copy that makes no progress for 10 s:
    // the window says which action is stuck.
    void progressTimeLeftAndAStall()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        file("big.bin", QByteArray(1000 * 1000, 'x'));
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/big.bin"));
        holdCopies();
        // The stall is seen at the first look after the clock passed it: soon, not in 250 ms.
        m_actions->setTickInterval(5);
        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        QVERIFY(!m_actions->runningAction()); // not for a moment's action
        m_clock.advance(std::chrono::seconds(2));
        // A quarter copied in 2 s: about 6 s to go.
        STOWBIRD_TRY_COMPARE(
            m_actions->runningAction().value_or(TriageActionController::RunningAction{}).bytesDone,
            qint64(TreeCopier::chunkSize), 5000);
        auto running = *m_actions->runningAction();
        QCOMPARE(running.bytesTotal, qint64(1000 * 1000));
        QVERIFY2(running.msLeft && qAbs(*running.msLeft - 5629) < 5,
                 qPrintable(QString::number(running.msLeft.value_or(-1))));
        QVERIFY(!running.stalled);
        // Slower since: the estimate grows.
        m_clock.advance(std::chrono::seconds(6));
        QVERIFY(*m_actions->runningAction()->msLeft > 20000);
        m_clock.advance(std::chrono::seconds(4));
        STOWBIRD_TRY_COMPARE(statusText(),
                             QStringLiteral("Moving big.bin to USB is not responding — "
                                            "press C to cancel"),
                             5000);
        QCOMPARE(statusKind(), StatusLine::Kind::Error);
        QVERIFY(m_actions->runningAction()->stalled);
        m_holdCopy = false;
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Moved to USB: big.bin"));
    }

    // A destination that stops answering (the copy blocks and never looks at the cancel):
    // the cancel still gives the item back and the actions behind it run; when the blocked
    // call returns, its partial copy is removed and the source is left whole.
    void aDestinationThatStopsAnsweringCanBeCancelled()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        m_actions->setAbandonDelay(100);
        const QByteArray data = TestFiles::pattern(1000 * 1000, 'h');
        TestFiles::writeFile(m_downloads + "/big.bin", data);
        enqueue({"b.txt"});
        m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(m_downloads + "/big.bin")));
        holdCopies();
        m_ignoreCancel = true;
        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);

        m_actions->cancelRunningAction();
        m_clock.advance(std::chrono::milliseconds(100)); // the abandon delay passes
        STOWBIRD_TRY_VERIFY(QFile::exists(m_home + "/Documents/b.txt"), 5000);
        QVERIFY(waitIdle());
        QCOMPARE(paths(m_queue->items()), QStringList{m_downloads + "/big.bin"});
        QCOMPARE(m_actions->abandonedCount(), 1);
        QVERIFY(logText().contains("[ERROR] Action 'Move .bin to USB' did not stop within 100 ms"));

        m_holdCopy = false; // the blocked call returns
        QVERIFY(m_actions->waitForAbandoned(5000));
        QCOMPARE(entries(usb), QStringList());
        QCOMPARE(TestFiles::readFile(m_downloads + "/big.bin"), data);
    }

    // Quit during a copy whose destination does not answer: everything is given up within
    // 2 s, nothing waiting starts, and nothing is lost.
    void quitDuringAHeldCopyEndsWithinTwoSeconds()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        const QByteArray data = TestFiles::pattern(1000 * 1000, 'q');
        TestFiles::writeFile(m_downloads + "/big.bin", data);
        enqueue({"b.txt", "c.txt"});
        m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(m_downloads + "/big.bin")));
        holdCopies();
        m_ignoreCancel = true;
        m_actions->routeToSlot({2, QStringLiteral("USB"), usb}, InputMethod::keyboard);
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        m_actions->trashCurrent(InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);

        QSignalSpy idle(m_actions.get(), &TriageActionController::idle);
        QElapsedTimer clock;
        clock.start();
        m_actions->setQuitPending(true);
        m_actions->cancelAll();
        QCOMPARE(statusText(), QStringLiteral("Quitting: cancelling the move of big.bin to USB…"));
        QCOMPARE(idle.count(), 0); // the held copy has not been given up yet
        m_clock.advance(std::chrono::milliseconds(TriageActionController::defaultAbandonMs));
        STOWBIRD_TRY_COMPARE(idle.count(), 1, 2000);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        for (const char* name : {"b.txt", "c.txt"})
            QVERIFY2(QFile::exists(m_downloads + "/" + QLatin1String(name)), name);
        QCOMPARE(entries(m_home + "/Documents"), QStringList());

        m_holdCopy = false;
        QVERIFY(m_actions->waitForAbandoned(5000));
        QCOMPARE(entries(usb), QStringList());
        QCOMPARE(TestFiles::readFile(m_downloads + "/big.bin"), data);
    }

    void groupActionsWithAFaultAtEveryStep_data()
    {
        QTest::addColumn<QString>("action"); // "move" (to another disk) or "trash"
        QTest::addColumn<QString>("phase");  // the fault hits the action or its undo
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("failing"); // the member that fails
        for (const char* phase : {"act", "undo"}) {
            for (const int member : {0, 1, 3}) {
                for (const char* stage : {"chunk", "copied", "commit", "remove"})
                    QTest::addRow("move, %s, %s, member %d", phase, stage, member)
                        << "move" << phase << stage << member;
                QTest::addRow("trash, %s, member %d", phase, member)
                    << "trash" << phase << "" << member;
            }
        }
        // A real disk that fills up: three scans fit, the fourth does not.
        QTest::newRow("move to a full disk") << "move"
                                             << "act"
                                             << "full" << 3;
    }

    // One key for four scans: the members before a failing one stay moved, the failing one
    // is whole where it was, later ones are not tried, and those not moved are back at the
    // head in order. One undo puts back every member it moved; a member whose undo fails
    // stays whole where it was, named, and the others are restored.
    void groupActionsWithAFaultAtEveryStep()
    {
        QFETCH(QString, action);
        QFETCH(QString, phase);
        QFETCH(QString, stage);
        QFETCH(int, failing);
        constexpr int count = 4;
        constexpr qint64 size = 300 * 1024;
        const bool move = action == "move";
        const QString usb = move ? mountTmpfs("usb", stage == "full" ? "1m" : "16m") : QString();
        if (move && usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        const QString away = move ? usb : m_home + "/.local/share/Trash/files";
        std::unique_ptr<FileExecutionEngine> trashEngine;
        std::unique_ptr<TriageActionController> trashActions;
        TriageActionController* actions = m_actions.get();
        if (!move) {
            trashEngine = std::make_unique<FileExecutionEngine>(
                std::make_unique<FaultyTrash>(m_home + "/.local/share",
                                              phase == "act" ? failing : -1,
                                              phase == "undo" ? count - 1 - failing : -1),
                m_services->revealer, *m_services->logger, m_services->reporter);
            TriageActionController::Dependencies deps;
            deps.queue = m_queue;
            deps.engine = trashEngine.get();
            deps.logger = m_services->logger.get();
            trashActions = std::make_unique<TriageActionController>(deps);
            actions = trashActions.get();
        }
        const QStringList names = scans(count, size);
        enqueue({"other.txt"});
        if (move && phase == "act" && stage != "full")
            failCopyAt(stage, failing);
        const DestinationSlot slot{2, QStringLiteral("USB"), usb};
        if (move)
            actions->routeGroupToSlot(slot, idsOf(names), InputMethod::keyboard);
        else
            actions->trashGroup(idsOf(names), InputMethod::keyboard);
        QCOMPARE(queuedNames(), QStringList{"other.txt"});
        QVERIFY(waitIdle(*actions));

        const int moved = phase == "act" ? failing : count;
        const QString status = actions->statusMessage().value_or(QString());
        const QString where = move ? QStringLiteral("USB") : QStringLiteral("the Trash");
        if (moved == count)
            QCOMPARE(status, move ? QStringLiteral("Moved 4 files to USB")
                                  : QStringLiteral("Moved 4 files to Trash"));
        else if (moved == 0)
            QVERIFY2(status.startsWith("Nothing moved to " + where + ": scan_001.pdf failed: ") &&
                         status.endsWith("; all 4 are back in the queue"),
                     qPrintable(status));
        else
            QVERIFY2(
                status.startsWith(
                    QStringLiteral("Moved %1 of 4 to %2 (scan_001.pdf").arg(moved).arg(where)) &&
                    status.contains(names[moved] + " failed: ") &&
                    status.endsWith(QStringLiteral("; %1 back in the queue")
                                        .arg(count - moved == 1
                                                 ? QStringLiteral("1 is")
                                                 : QStringLiteral("%1 are").arg(count - moved))),
                qPrintable(status));
        verifyWholeOnce(count, size, names.mid(moved), away);
        QCOMPARE(queuedNames(), names.mid(moved) + QStringList{"other.txt"});

        if (move && phase == "undo")
            failCopyAt(stage, count - 1 - failing); // the last member is undone first
        actions->undoLastAction();
        QVERIFY(waitIdle(*actions));
        QStringList back = names;
        if (phase == "undo") {
            back.removeAt(failing);
            const QString undoStatus = actions->statusMessage().value_or(QString());
            QVERIFY2(undoStatus.contains("3 of 4 files") &&
                         undoStatus.contains("Not restored: " + names[failing]),
                     qPrintable(undoStatus));
        }
        verifyWholeOnce(count, size, back, away);
        QCOMPARE(queuedNames(), back + QStringList{"other.txt"});
    }

    void cancelAGroupMidway_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("the copy stops") << true;
        QTest::newRow("the destination stops answering") << false;
    }

    // c while the third of four scans is copied onto another disk: the two before stay
    // moved, the rest are back at the head, also when the copy does not stop and is left
    // behind; the progress says how far the group got, and one undo takes back the two.
    void cancelAGroupMidway()
    {
        QFETCH(bool, answers);
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        constexpr qint64 size = 300 * 1024;
        const QStringList names = scans(4, size);
        enqueue({"other.txt"});
        m_actions->setProgressDelay(0);
        m_actions->setAbandonDelay(100);
        m_holdCopy = true;
        m_ignoreCancel = !answers;
        m_services->engine->mover().setChunkHook([&](const QString& file, qint64) {
            if (!file.endsWith(names[2]))
                return;
            m_copyHeld = true;
            while (m_holdCopy.load() && (m_ignoreCancel.load() || !cancelledHere()))
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
        m_actions->routeGroupToSlot({2, QStringLiteral("USB"), usb}, idsOf(names),
                                    InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);
        const qint64 done = 2 * size + qint64(TreeCopier::chunkSize);
        STOWBIRD_TRY_COMPARE(
            m_actions->runningAction().value_or(TriageActionController::RunningAction{}).bytesDone,
            done, 5000);
        const TriageActionController::RunningAction running = *m_actions->runningAction();
        QCOMPARE(running.text, QStringLiteral("Moving 4 files to USB"));
        QCOMPARE(running.filesDone, 2);
        QCOMPARE(running.filesTotal, 4);
        QCOMPARE(running.bytesTotal, 4 * size);
        ActionProgressView strip({});
        strip.setAction(running);
        QVERIFY2(strip.detail().startsWith(QStringLiteral("2 of 4 files · %1 of %2 · ")
                                               .arg(TriageItem::formatByteCount(done),
                                                    TriageItem::formatByteCount(4 * size))),
                 qPrintable(strip.detail()));

        m_actions->cancelRunningAction();
        if (!answers)
            m_clock.advance(std::chrono::milliseconds(100)); // the abandon delay passes
        QVERIFY(waitIdle());
        QCOMPARE(statusText(),
                 answers ? QStringLiteral("Cancelled moving 4 files to USB after 2 (scan_001.pdf, "
                                          "scan_002.pdf); 2 are back in the queue")
                         : QStringLiteral("Gave up waiting: Moving 4 files to USB is not "
                                          "responding. 2 of 4 moved; 2 are back in the queue"));
        QCOMPARE(queuedNames(), names.mid(2) + QStringList{"other.txt"});
        m_holdCopy = false; // a copy left behind returns
        QVERIFY(m_actions->waitForAbandoned(5000));
        verifyWholeOnce(4, size, names.mid(2), usb);
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        verifyWholeOnce(4, size, names, usb);
        QCOMPARE(queuedNames(), names + QStringList{"other.txt"});
    }

    // c during the undo of a group: the members put back stay back, the one whose copy was
    // stopped and those before it stay filed, and the next z undoes them (not the action
    // before the group).
    void cancelAGroupUndoMidway()
    {
        const QString usb = mountTmpfs("usb");
        if (usb.isEmpty())
            QSKIP("mounting a tmpfs needs root");
        constexpr qint64 size = 300 * 1024;
        enqueue({"first.txt"});
        const QStringList names = scans(4, size);
        m_actions->routeToSlot(m_documents, InputMethod::keyboard);
        m_actions->routeGroupToSlot({2, QStringLiteral("USB"), usb}, idsOf(names),
                                    InputMethod::keyboard);
        QVERIFY(waitIdle());
        m_services->engine->mover().setChunkHook([&](const QString& file, qint64) {
            if (!file.endsWith(names[1]))
                return;
            m_copyHeld = true;
            for (int i = 0; i < 10000 && !cancelledHere(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        m_actions->undoLastAction();
        STOWBIRD_TRY_VERIFY(m_copyHeld.load(), 5000);
        m_actions->cancelRunningAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Cancelled the undo after 2 of 4 files (back in "
                                              "Downloads); the other 2 can still be undone"));
        verifyWholeOnce(4, size, names.mid(2), usb);
        QCOMPARE(queuedNames(), names.mid(2));
        m_services->engine->mover().setChunkHook({});
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        verifyWholeOnce(4, size, names, usb);
        QCOMPARE(queuedNames(), names);
        QVERIFY(QFile::exists(m_home + "/Documents/first.txt"));
    }

    // One undo of a group: the last member first, each checked as a single undo is. One
    // replaced since is named and left alone; the others are back at the head in order. The
    // history holds one entry for the group, with every member, and one for its undo.
    void undoOfAGroupLeavesAReplacedMemberAndRecordsOneEntry()
    {
        HistoryStore history(m_home + "/history.sqlite3",
                             std::make_unique<FreedesktopTrash>(m_home + "/.local/share"),
                             *m_services->logger);
        QList<HistoryEntry> recorded;
        connect(&history, &HistoryStore::recorded, this,
                [&](const HistoryEntry& entry) { recorded << entry; });
        TriageActionController::Dependencies deps;
        deps.queue = m_queue;
        deps.engine = m_services->engine.get();
        deps.logger = m_services->logger.get();
        deps.history = &history;
        TriageActionController actions(deps);
        const QStringList names = scans(4, 100);
        enqueue({"other.txt"});
        actions.routeGroupToSlot(m_documents, idsOf(names), InputMethod::keyboard);
        STOWBIRD_TRY_VERIFY(!actions.isBusy(), 5000);
        const QString replaced = m_home + "/Documents/" + names[1];
        QVERIFY(QFile::rename(replaced, m_home + "/kept-aside"));
        TestFiles::writeFile(replaced, "impostor");

        actions.undoLastAction();
        STOWBIRD_TRY_VERIFY(!actions.isBusy(), 5000);
        QCOMPARE(queuedNames(), (QStringList{names[0], names[2], names[3], "other.txt"}));
        QCOMPARE(TestFiles::readFile(replaced), QByteArray("impostor"));
        QVERIFY(!QFile::exists(m_downloads + "/" + names[1]));
        QCOMPARE(actions.statusMessage().value_or(QString()),
                 QStringLiteral("Undid move of 3 of 4 files: restored to Downloads. Not "
                                "restored: the scan_002.pdf in Documents is not the file moved "
                                "there (it was replaced or changed since)"));

        history.waitForWrites();
        STOWBIRD_TRY_COMPARE(recorded.size(), 2, 5000);
        const HistoryEntry& group = recorded[0];
        QCOMPARE(group.action, HistoryEntry::Action::MovedToSlot);
        QCOMPARE(group.slot, 1);
        QCOMPARE(group.itemName, QStringLiteral("4 files"));
        QCOMPARE(group.members.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(group.members[i].itemName, names[i]);
            QCOMPARE(group.members[i].fromPath, m_downloads + "/" + names[i]);
            QCOMPARE(group.members[i].toPath, m_home + "/Documents/" + names[i]);
        }
        const HistoryEntry& undo = recorded[1];
        QCOMPARE(undo.action, HistoryEntry::Action::Undone);
        QCOMPARE(undo.undoOf, group.id);
        QStringList undone;
        for (const HistoryEntry& member : undo.members)
            undone << member.itemName;
        QCOMPARE(undone, (QStringList{names[3], names[2], names[0]})); // the last first
        QCOMPARE(undo.members[0].undoOf, group.members[3].id);
    }

    // Sixty look-alikes are one action: the undo history (fifty actions) keeps all of them.
    void aGroupOfSixtyStaysUndoable()
    {
        QStringList names;
        for (int i = 60; i >= 1; --i) {
            names.prepend(QStringLiteral("IMG_%1.jpg").arg(4500 + i));
            m_queue->pushToFront(TriageItem(QUrl::fromLocalFile(file(names.first()))));
        }
        m_actions->routeGroupToSlot(m_documents, idsOf(names), InputMethod::keyboard);
        QVERIFY(waitIdle());
        QCOMPARE(entries(m_home + "/Documents").size(), 60);
        QCOMPARE(m_services->engine->actionCount(), 1);
        m_actions->undoLastAction();
        QVERIFY(waitIdle());
        QCOMPARE(statusText(), QStringLiteral("Undid move of 60 files: restored to Downloads"));
        QCOMPARE(queuedNames(), names);
        QCOMPARE(entries(m_home + "/Documents"), QStringList());
    }

    void sameAsLast_data()
    {
        QTest::addColumn<QStringList>("before"); // the keys before "."
        QTest::addColumn<QString>("expected");   // where "." files its item ("": nowhere)
        QTest::newRow("after a slot") << QStringList{"slot"} << "Documents";
        QTest::newRow("after a folder chosen by hand") << QStringList{"folder"} << "Archive";
        QTest::newRow("nothing filed yet") << QStringList{} << "";
        QTest::newRow("only a trash before") << QStringList{"trash"} << "";
        QTest::newRow("a trash after the filing") << QStringList{"folder", "trash"} << "Archive";
        QTest::newRow("while the move still runs") << QStringList{"held slot"} << "Documents";
    }

    // "." files the current item where the previous filing went, from the moment that
    // filing is asked for; a trash is not a filing.
    void sameAsLast()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(m_home + "/Archive"));
        enqueue({"a.txt", "b.txt", "c.txt"});
        QSignalSpy changed(m_actions.get(), &TriageActionController::lastDestinationChanged);
        for (const QString& key : before) {
            m_services->engine->holdMoves = key == "held slot";
            if (key.endsWith("slot"))
                m_actions->routeToSlot(m_documents, InputMethod::keyboard);
            else if (key == "folder")
                m_actions->moveToFolder(m_home + "/Archive", InputMethod::keyboard);
            else
                m_actions->trashCurrent(InputMethod::keyboard);
        }
        if (!m_services->engine->holdMoves)
            QVERIFY(waitIdle());
        const QString current = headName();
        m_actions->fileLikeLast(InputMethod::keyboard);
        m_services->engine->holdMoves = false;
        QVERIFY(waitIdle());
        if (expected.isEmpty()) {
            QCOMPARE(statusText(), QStringLiteral("Nothing filed yet: file one item first"));
            QCOMPARE(headName(), current);
            QVERIFY(!m_actions->lastDestination());
            QCOMPARE(changed.size(), 0);
            return;
        }
        QVERIFY(QFile::exists(m_home + "/" + expected + "/" + current));
        QVERIFY(!QFile::exists(m_downloads + "/" + current));
        QCOMPARE(m_actions->lastDestination()->name, expected);
        QCOMPARE(m_actions->lastDestination()->slot.has_value(), expected == "Documents");
        QVERIFY(!changed.isEmpty());
    }
};

STOWBIRD_TEST_MAIN(TestTriageActionController)
#include "TestTriageActionController.moc"
