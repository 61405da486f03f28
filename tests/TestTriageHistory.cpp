// What the triage actions leave in the lasting history: each kind of action with its fields,
// and undos that mark the action they took back.
#include "CrossThreadSpy.h"
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/AppDelegate.h"
#include "platform/FileSystemEntry.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "services/HistoryStore.h"
#include "services/TriageActionController.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <sys/xattr.h>

using Action = HistoryEntry::Action;

class TestTriageHistory : public QObject
{
    Q_OBJECT

    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<TriageActionController> m_actions;
    TriageQueueManager* m_queue = nullptr;

    QString file(const QString& name, const QByteArray& content = "content")
    {
        const QString path = m_downloads + "/" + name;
        TestFiles::writeFile(path, content);
        return path;
    }

    void enqueue(const QString& path) { m_queue->enqueue(QUrl::fromLocalFile(path)); }

    bool settle()
    {
        if (!QTest::qWaitFor([this] { return !m_actions->isBusy(); }, 10000))
            return false;
        m_history->waitForWrites();
        return true;
    }

    // Every stored entry, newest first.
    QList<HistoryEntry> entries()
    {
        CrossThreadSpy done(m_history.get(), &HistoryStore::queryFinished);
        m_history->query({});
        // Emitted on the store's reader thread: recorded through this thread's event loop.
        if (!QTest::qWaitFor([&done] { return !done.isEmpty(); }, 5000))
            return {};
        const QList<QVariant> answer = done.takeFirst();
        if (!answer.at(4).toString().isEmpty())
            qWarning("history query failed: %s", qPrintable(answer.at(4).toString()));
        return answer.at(2).value<QList<HistoryEntry>>();
    }

private slots:
    void init()
    {
        m_home = freshHome({"Downloads", "Prints", "Chosen"});
        m_downloads = m_home + "/Downloads";
        m_services = std::make_unique<HudTestServices<>>(m_home);
        m_queue = m_services->queue.get();
        m_history = std::make_unique<HistoryStore>(
            HistoryStore::defaultDatabasePath(),
            std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), *m_services->logger);
        TriageActionController::Dependencies deps;
        deps.queue = m_queue;
        deps.engine = m_services->engine.get();
        deps.logger = m_services->logger.get();
        deps.history = m_history.get();
        m_actions = std::make_unique<TriageActionController>(deps);
    }

    void cleanup()
    {
        m_actions.reset();
        m_history.reset();
        m_services.reset();
    }

    // A move to a slot, a move to a chosen folder, the trash, a rename and a skip, each
    // recorded once it happened, with where the item was and went, what it is, the slot
    // number of a slot move, and the host a download came from.
    void everyActionIsRecordedWithItsFields()
    {
        const QString model = file("bracket.stl", "solid bracket");
        const QByteArray origin = "https://files.example.org/bracket.stl?token=SECRET";
        QCOMPARE(::setxattr(QFile::encodeName(model).constData(), "user.xdg.origin.url",
                            origin.constData(), size_t(origin.size()), 0),
                 0);
        enqueue(model);
        enqueue(file("invoice.pdf", "%PDF-1.4\n"));
        enqueue(file("junk.txt"));
        enqueue(file("draft.txt"));
        // A host found later (a browser's metadata) for an item without one of its own.
        m_actions->noteOriginHost(m_queue->items().at(1).id, QStringLiteral("shop.example.com"));

        m_actions->routeToSlot({3, QStringLiteral("Prints"), m_home + "/Prints"},
                               InputMethod::keyboard);
        m_actions->moveToFolder(m_home + "/Chosen", InputMethod::keyboard);
        m_actions->trashCurrent(InputMethod::keyboard);
        QVERIFY(settle());
        m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("final.txt"));
        QVERIFY(settle());
        m_actions->skipCurrentItem(InputMethod::keyboard);
        QVERIFY(settle());

        const QList<HistoryEntry> stored = entries();
        QList<Action> actions;
        for (const HistoryEntry& entry : stored)
            actions << entry.action;
        QCOMPARE(actions, (QList<Action>{Action::Skipped, Action::Renamed, Action::Trashed,
                                         Action::MovedToFolder, Action::MovedToSlot}));

        // The renamed item stays at the head: it is the one skipped.
        const HistoryEntry& skip = stored[0];
        QCOMPARE(skip.itemName, QStringLiteral("final.txt"));
        QCOMPARE(skip.fromPath, m_downloads + "/final.txt");
        QVERIFY(skip.toPath.isEmpty());

        const HistoryEntry& rename = stored[1];
        QCOMPARE(rename.fromPath, m_downloads + "/draft.txt");
        QCOMPARE(rename.toPath, m_downloads + "/final.txt");
        QVERIFY(rename.placed.isSameEntry(FileSystemEntry::identityAt(rename.toPath)));

        const HistoryEntry& trash = stored[2];
        QCOMPARE(trash.fromPath, m_downloads + "/junk.txt");
        QCOMPARE(trash.toPath, StoragePaths::dataHome() + "/Trash/files/junk.txt");
        QVERIFY(!trash.trashRecord.isEmpty());

        const HistoryEntry& chosen = stored[3];
        QCOMPARE(chosen.toPath, m_home + "/Chosen/invoice.pdf");
        QCOMPARE(chosen.slot, 0);
        QCOMPARE(chosen.originHost, QStringLiteral("shop.example.com"));
        QCOMPARE(chosen.kind, QStringLiteral("application/pdf"));

        const HistoryEntry& slot = stored[4];
        QCOMPARE(slot.itemName, QStringLiteral("bracket.stl"));
        QCOMPARE(slot.fromPath, m_downloads + "/bracket.stl");
        QCOMPARE(slot.toPath, m_home + "/Prints/bracket.stl");
        QCOMPARE(slot.slot, 3);
        QCOMPARE(slot.size, qint64(13));
        QCOMPARE(slot.originHost, QStringLiteral("files.example.org"));
        QVERIFY(slot.placed.isValid());
        QVERIFY(slot.placed.isSameEntry(FileSystemEntry::identityAt(slot.toPath)));

        // The address itself, with its token, is kept nowhere.
        QFile database(m_history->databasePath());
        QVERIFY(database.open(QIODevice::ReadOnly));
        QVERIFY(!database.readAll().contains("SECRET"));
    }

    // An undo is recorded as an undo of exactly the entry of the action it took back, which
    // the history then shows as undone; also for an undo queued while its action still runs.
    void undoMarksTheEntryUndone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("move") << int(Action::MovedToSlot);
        QTest::newRow("trash") << int(Action::Trashed);
        QTest::newRow("rename") << int(Action::Renamed);
        QTest::newRow("skip") << int(Action::Skipped);
    }

    void undoMarksTheEntryUndone()
    {
        QFETCH(int, kind);
        // An earlier action that stays done.
        enqueue(file("kept.stl"));
        m_actions->routeToSlot({1, QStringLiteral("Prints"), m_home + "/Prints"},
                               InputMethod::keyboard);
        QVERIFY(settle());
        const QString path = file("item.txt");
        enqueue(path);
        switch (Action(kind)) {
        case Action::MovedToSlot:
            m_actions->routeToSlot({1, QStringLiteral("Prints"), m_home + "/Prints"},
                                   InputMethod::keyboard);
            break;
        case Action::Trashed:
            m_actions->trashCurrent(InputMethod::keyboard);
            break;
        case Action::Renamed:
            m_actions->renameItem(*m_queue->activeItem(), QStringLiteral("renamed.txt"));
            break;
        default:
            m_actions->skipCurrentItem(InputMethod::keyboard);
            break;
        }
        // Asked for at once: the undo waits behind the action.
        m_actions->undoLastAction();
        QVERIFY(settle());
        QVERIFY(QFile::exists(path));

        const QList<HistoryEntry> stored = entries();
        QCOMPARE(stored.size(), 3);
        const HistoryEntry& undo = stored[0];
        const HistoryEntry& action = stored[1];
        QCOMPARE(int(action.action), kind);
        QCOMPARE(undo.action, Action::Undone);
        QCOMPARE(undo.undoOf, action.id);
        QCOMPARE(action.undoneBy, undo.id);
        QCOMPARE(undo.toPath, path);
        QVERIFY(stored[2].undoneBy.isNull());
    }

    // The program with a history it cannot use: a damaged file is kept aside and a new one
    // started, an unwritable one leaves the history unavailable; either way the window says
    // so on its status line, and triage goes on.
    void programWithAnUnusableHistoryTellsAndGoesOn_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("said");
        QTest::newRow("damaged") << true << QStringLiteral("The history could not be read");
        QTest::newRow("unwritable") << false << QStringLiteral("History is unavailable: ");
    }

    void programWithAnUnusableHistoryTellsAndGoesOn()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, said);
        m_actions.reset();
        m_history.reset();
        const QString folder = m_home + "/history";
        QString path = folder + "/history.sqlite3";
        if (damaged) {
            QVERIFY(QDir().mkpath(folder));
            QFile garbage(path);
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(8192, 'x'));
        } else {
            // Its folder is a file: nothing can be made there.
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        AppConfig config = m_services->config->config();
        config.destinationSlots = {{1, QStringLiteral("Prints"), m_home + "/Prints"}};
        QVERIFY(m_services->config->saveConfig(config));
        enqueue(file("part.stl"));
        AppServices services = m_services->appServices();
        services.history = std::make_shared<HistoryStore>(
            path, std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), services.logger);
        AppDelegate::Options options;
        options.downloadsDirectory = m_downloads;
        options.bindGlobalShortcut = false;
        AppDelegate delegate(services, options);
        delegate.applicationDidFinishLaunching();
        const auto status = [&delegate] {
            return delegate.actions()->statusMessage().value_or(QString());
        };
        QTRY_VERIFY2_WITH_TIMEOUT(status().startsWith(said), qPrintable(status()), 5000);
        QVERIFY(delegate.actions()->status()->kind == StatusLine::Kind::Error);

        delegate.actions()->routeToSlot(config.destinationSlots[0], InputMethod::keyboard);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home + "/Prints/part.stl"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!delegate.actions()->isBusy(), 5000);
        services.history->waitForWrites();
        // A new history holds the action; an unwritable one is still said to be unavailable.
        QCOMPARE(services.history->available(), damaged);
        delegate.applicationWillTerminate();
    }
};

STOWBIRD_TEST_MAIN(TestTriageHistory)
#include "TestTriageHistory.moc"
