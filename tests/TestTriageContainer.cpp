#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/TriageHUDPanel.h"
#include "crashreporting/CrashReporter.h"
#include "fakes/GatedEngine.h"
#include "fakes/ManualClock.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/ActionPaletteView.h"
#include "views/ActionProgressView.h"
#include "views/CreateFolderOffer.h"
#include "views/InlineRenameView.h"
#include "views/TriageContainerView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <sys/stat.h>
#include <thread>

class TestTriageContainer : public QObject
{
    Q_OBJECT

private:
    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<GatedEngine>> m_services;
    TriageQueueManager* m_queue = nullptr;
    GatedEngine* m_engine = nullptr;
    RecordingRevealer* m_revealer = nullptr;
    TelemetryService* m_telemetry = nullptr;
    LoggerService* m_logger = nullptr;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;
    int m_dismissals = 0;
    QList<QUrl> m_opened;
    // The window's delays (watchdog, status lines, progress) run on it: a test moves it.
    std::unique_ptr<ManualClock> m_clock;

    void advance(int ms) { m_clock->advance(std::chrono::milliseconds(ms)); }

    QString downloadsFile(const QString& name, const QByteArray& content = "content")
    {
        TestFiles::writeFile(m_downloads + "/" + name, content);
        return m_downloads + "/" + name;
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_view, Qt::Key(key), modifiers);
    }

    QString logText()
    {
        m_logger->waitForWritten(5000);
        return QString::fromUtf8(TestFiles::readFile(m_logger->logPath()));
    }

    QString headName() const
    {
        const auto head = m_queue->activeItem();
        return head ? head->filename : QString();
    }

private slots:
    void init()
    {
        m_home = freshHome({"Downloads", "Documents"});
        m_downloads = m_home + "/Downloads";
        m_services = std::make_unique<HudTestServices<GatedEngine>>(m_home);
        m_queue = m_services->queue.get();
        m_engine = m_services->engine.get();
        m_revealer = m_services->revealer.get();
        m_telemetry = m_services->telemetry.get();
        m_logger = m_services->logger.get();
        m_dismissals = 0;
        m_opened.clear();
        m_panel = std::make_unique<TriageHUDPanel>();
        m_clock = std::make_unique<ManualClock>();
        TriageContainerView::Services services = m_services->services();
        services.clock = m_clock.get();
        m_view = new TriageContainerView(
            services, [this] { ++m_dismissals; }, [] {});
        m_view->setFileOpener([this](const QUrl& url) { m_opened.append(url); });
        m_panel->setContentView(m_view);
    }

    void cleanup()
    {
        // File actions still running on the pool use the engine and the logger.
        m_engine->holdMoves = false;
        QThreadPool::globalInstance()->waitForDone(10000);
        m_panel.reset();
        m_view = nullptr;
        m_services.reset();
    }

    void digitMovesHeadIntoSlot()
    {
        const QString path = downloadsFile("report.pdf");
        downloadsFile("second.txt");
        m_queue->enqueue(QUrl::fromLocalFile(path));
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/second.txt"));
        m_panel->presentCentered();
        QCOMPARE(headName(), QStringLiteral("report.pdf"));

        press(Qt::Key_1);
        // The next item shows at once, before the move has finished.
        QCOMPARE(headName(), QStringLiteral("second.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home + "/Documents/report.pdf"), 5000);
        QVERIFY(!QFile::exists(path));
        QTRY_COMPARE_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()),
                                  QStringLiteral("Moved to Documents: report.pdf"), 5000);
        QVERIFY(!m_view->isProcessingAction());
        // The palette shows the status line too.
        auto* palette = m_view->findChild<ActionPaletteView*>();
        QVERIFY(palette);
        QCOMPARE(palette->statusMessage().value_or(QString()),
                 QStringLiteral("Moved to Documents: report.pdf"));
    }

    void digitOfAnUnconfiguredSlotIsPassedOn()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("a.txt")));
        m_panel->presentCentered();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QVERIFY(!m_view->handleKeyEvent(&event));
        QCOMPARE(headName(), QStringLiteral("a.txt"));
        QVERIFY(!m_view->isProcessingAction());
        QVERIFY(!m_view->showingCreateFolderOffer());
    }

    // Slot 2's folder (~/Developer/Projects) does not exist: its key offers to create it.
    // Escape leaves everything as it was; Return creates the folder and files the item.
    void digitOfAMissingFolderOffersToCreateIt()
    {
        const QString folder = m_home + "/Developer/Projects";
        QDir(m_home + "/Developer").removeRecursively();
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("plan.txt")));
        m_panel->presentCentered();

        press(Qt::Key_2);
        QVERIFY(m_view->showingCreateFolderOffer());
        auto* offer = m_view->findChild<CreateFolderOffer*>();
        QVERIFY(offer);
        QCOMPARE(offer->question(),
                 QStringLiteral("Create ~/Developer/Projects and move the item there?"));
        // While the offer is open the triage keys do nothing.
        press(Qt::Key_D);
        QCOMPARE(headName(), QStringLiteral("plan.txt"));
        QTest::keyClick(offer, Qt::Key_Escape);
        QTRY_VERIFY(!m_view->findChild<CreateFolderOffer*>()); // answered and gone
        QVERIFY(!m_view->showingCreateFolderOffer());
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(headName(), QStringLiteral("plan.txt"));

        press(Qt::Key_2);
        offer = m_view->findChild<CreateFolderOffer*>();
        QVERIFY(offer);
        QTest::keyClick(offer, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder + "/plan.txt").isFile(), 5000);
        QVERIFY(!QFileInfo::exists(m_downloads + "/plan.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()),
                                  QStringLiteral("Moved to Work Projects: plan.txt"), 5000);
    }

    // A key no one takes travels up from the widget it was sent to, through the filter at
    // every parent: it is handled (and logged) once.
    void aKeyIsHandledOnce()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("a.txt")));
        m_panel->presentCentered();
        QWidget* deep = m_view->findChild<QWidget*>(QStringLiteral("itemName"));
        QVERIFY(deep);
        int depth = 0;
        for (QWidget* w = deep; w && w != m_panel.get(); w = w->parentWidget())
            ++depth;
        QVERIFY(depth >= 4);
        QTest::keyClick(deep, Qt::Key_X);
        QTest::keyClick(deep, Qt::Key_X);
        QCOMPARE(logText().count(QStringLiteral("Key event: 'x'")), 2);
        // Ctrl chords belong to the menu: Ctrl+D does not trash.
        press(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(headName(), QStringLiteral("a.txt"));
        QVERIFY(!m_view->isProcessingAction());
    }

    // With the queue empty, Return is the "Review N Skipped Files" button: the skipped
    // files come back into the queue.
    void reviewSkippedBringsTheFilesBack()
    {
        int rescans = 0;
        m_panel.reset();
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            m_services->services(), [] {},
            [this, &rescans] {
                ++rescans;
                const QStringList names = QDir(m_downloads).entryList(QDir::Files);
                for (const QString& name : names)
                    m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/" + name));
            });
        m_panel->setContentView(m_view);
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("one.bin")));
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("two.bin")));
        m_panel->presentCentered();
        press(Qt::Key_Tab);
        QTRY_COMPARE(m_queue->skippedPaths().size(), 1);
        press(Qt::Key_Tab);
        QTRY_COMPARE(m_queue->skippedPaths().size(), 2);
        QTRY_VERIFY(!m_queue->activeItem());
        auto* button = m_view->findChild<QPushButton*>(QStringLiteral("reviewSkippedButton"));
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), QStringLiteral("Review 2 Skipped Files"));

        press(Qt::Key_Return);
        QCOMPARE(rescans, 1);
        QVERIFY(m_queue->skippedPaths().isEmpty());
        QCOMPARE(m_queue->totalQueueDepth(), 2);
        QVERIFY(m_queue->activeItem());
    }

    void customFolderDialogStartsAtTheLastFolder()
    {
        QCOMPARE(TriageContainerView::customFolderStart(), QDir::homePath());
        const QString chosen = m_home + "/Projects/Chosen";
        QVERIFY(QDir().mkpath(chosen));
        m_view->setFolderChooser([&chosen](QWidget*) { return std::optional<QString>(chosen); });
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("c.txt")));
        m_panel->presentCentered();
        press(Qt::Key_0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(chosen + "/c.txt").isFile(), 5000);
        QCOMPARE(TriageContainerView::customFolderStart(), chosen);
        // A folder that went away is not a place to start: home again.
        QTRY_VERIFY(!m_view->isProcessingAction());
        QVERIFY(QDir(m_home + "/Projects").removeRecursively());
        QCOMPARE(TriageContainerView::customFolderStart(), QDir::homePath());
    }

    void tabSkipsAndTheSkipSurvives()
    {
        const QString path = downloadsFile("setup.iso");
        m_queue->enqueue(QUrl::fromLocalFile(path));
        m_panel->presentCentered();
        press(Qt::Key_Tab);
        QVERIFY(m_queue->items().isEmpty());
        QCOMPARE(m_view->statusMessage().value_or(QString()), QStringLiteral("Skipped setup.iso"));
        m_queue->waitForSaves();
        TriageQueueManager reopened(m_home + "/.local/state/stowbird");
        reopened.enqueue(QUrl::fromLocalFile(path));
        QVERIFY(reopened.items().isEmpty());
        QVERIFY(QFile::exists(path));
    }

    // Saves that fail (here: files the user made read-only) are told on the status line and
    // logged; the files keep their bytes.
    void failedSavesAreShownAndLogged()
    {
        m_queue->setLogger(*m_logger);
        m_services->config->setLogger(*m_logger);
        const QString skipFile = m_queue->skipCacheFilePath();
        const QString configFile = m_services->config->configFilePath();
        QFile(skipFile).remove();
        QVERIFY(QFile(skipFile).open(QIODevice::WriteOnly));
        QCOMPARE(::chmod(QFile::encodeName(skipFile).constData(), 0400), 0);
        QCOMPARE(::chmod(QFile::encodeName(configFile).constData(), 0400), 0);
        const QByteArray config = [&] {
            QFile f(configFile);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("setup.iso")));
        m_panel->presentCentered();

        press(Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()).startsWith(
                                     QStringLiteral("Skip list not saved.")),
                                 5000);
        QVERIFY(m_view->statusMessage()->contains(skipFile));
        QCOMPARE(QFileInfo(skipFile).size(), 0);

        AppConfig changed = m_services->config->config();
        changed.general.debounceSeconds = 3;
        m_services->config->saveConfig(changed);
        QTRY_VERIFY_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()).startsWith(
                                     QStringLiteral("Settings not saved.")),
                                 5000);
        QFile f(configFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), config);
        const QString log = logText();
        QVERIFY(log.contains(QStringLiteral("Failed to save skip cache: Could not save")));
        QVERIFY(log.contains(QStringLiteral("Failed to save config: Could not save")));
    }

    void dTrashesWithTrashInfo()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("junk.zip")));
        m_panel->presentCentered();
        press(Qt::Key_D);
        QTRY_COMPARE_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()),
                                  QStringLiteral("Moved junk.zip to Trash"), 5000);
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/info/junk.zip.trashinfo"));
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/files/junk.zip"));
        QVERIFY(!QFile::exists(m_downloads + "/junk.zip"));

        // Undo of a trash takes the item out of the trash and queues it again.
        press(Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()),
                                  QStringLiteral("Restored junk.zip from the Trash to Downloads"),
                                  5000);
        QVERIFY(QFile::exists(m_downloads + "/junk.zip"));
        QVERIFY(!QFile::exists(m_home + "/.local/share/Trash/info/junk.zip.trashinfo"));
        QCOMPARE(headName(), QStringLiteral("junk.zip"));
        QVERIFY(m_revealer->revealed.isEmpty());
    }

    void renameThroughTheField()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("IMG_0001.jpg")));
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("other.txt")));
        m_panel->presentCentered();
        press(Qt::Key_R);
        QVERIFY(m_view->isRenaming());
        QCOMPARE(m_view->renameText(), QStringLiteral("IMG_0001.jpg"));
        auto* field = m_view->findChild<QLineEdit*>(QStringLiteral("renameField"));
        QVERIFY(field);
        QTRY_VERIFY(field->hasFocus() || !QApplication::focusWidget());
        field->selectAll();
        QTest::keyClicks(field, "beach.jpg");
        // Every keystroke reaches the owner's text at once.
        QCOMPARE(m_view->renameText(), QStringLiteral("beach.jpg"));
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_downloads + "/beach.jpg"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(headName(), QStringLiteral("beach.jpg"), 5000);
        QCOMPARE(m_view->statusMessage().value_or(QString()),
                 QStringLiteral("Renamed to beach.jpg"));
        QCOMPARE(m_queue->items().size(), 2);

        // Escape while renaming closes the field only; the HUD stays.
        press(Qt::Key_R);
        QVERIFY(m_view->isRenaming());
        press(Qt::Key_Escape);
        QVERIFY(!m_view->isRenaming());
        QCOMPARE(m_dismissals, 0);

        // Blank and unchanged names rename nothing.
        m_view->startRename();
        m_view->commitRename(QStringLiteral("   "));
        QVERIFY(!m_view->isRenaming());
        QVERIFY(!m_view->isProcessingAction());
        QVERIFY(QFile::exists(m_downloads + "/beach.jpg"));
    }

    void undoMoveWithCtrlZAndZ()
    {
        for (const int modifiers : {int(Qt::ControlModifier), int(Qt::NoModifier)}) {
            const QString path = downloadsFile("notes.md");
            m_queue->enqueue(QUrl::fromLocalFile(path));
            m_panel->presentCentered();
            press(Qt::Key_1);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home + "/Documents/notes.md"), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(!m_view->isProcessingAction(), 5000);
            press(Qt::Key_Z, Qt::KeyboardModifiers(modifiers));
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 5000);
            QTRY_COMPARE_WITH_TIMEOUT(headName(), QStringLiteral("notes.md"), 5000);
            QCOMPARE(m_view->statusMessage().value_or(QString()),
                     QStringLiteral("Undid move: notes.md restored to Downloads"));
            QVERIFY(!QFile::exists(m_home + "/Documents/notes.md"));
            m_queue->dequeue();
        }
        // Nothing left to undo.
        press(Qt::Key_Z);
        QTRY_COMPARE_WITH_TIMEOUT(m_view->statusMessage().value_or(QString()),
                                  QStringLiteral("Nothing to undo"), 5000);
    }

    // A key pressed while a move runs is never dropped: it acts on the item shown, which
    // leaves the queue at once, and its action runs after the move. The strip along the
    // bottom shows the move and what waits behind it.
    void keysWhileInFlightWaitBehindIt()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("slow.bin")));
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("next.bin")));
        m_panel->presentCentered();
        auto* strip = m_view->findChild<ActionProgressView*>();
        QVERIFY(strip);
        QVERIFY(!strip->isVisible());
        m_engine->holdMoves = true;
        press(Qt::Key_1);
        press(Qt::Key_D);
        QVERIFY(m_queue->items().isEmpty()); // next.bin waits for the Trash
        QVERIFY(!logText().contains("Drop key"));
        QTRY_VERIFY(strip->isVisible());
        QCOMPARE(strip->title(), QStringLiteral("Moving slow.bin to Documents — 1 more waiting"));
        QVERIFY(strip->height() <= 40);
        QCOMPARE(strip->geometry().bottom(), m_view->rect().bottom());
        // The watchdog speaks once its time has passed, not before.
        advance(TriageActionController::defaultWatchdogMs - 1);
        QVERIFY(!m_view->statusMessage().value_or(QString()).startsWith("Still moving"));
        advance(1);
        QCOMPARE(m_view->statusMessage().value_or(QString()),
                 QStringLiteral("Still moving slow.bin to Documents… — 1 more waiting"));
        QVERIFY(QFile::exists(m_downloads + "/next.bin"));

        m_engine->holdMoves = false;
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->actions()->isBusy(), 5000);
        QVERIFY(QFile::exists(m_home + "/Documents/slow.bin"));
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/files/next.bin"));
        QCOMPARE(m_view->statusMessage().value_or(QString()),
                 QStringLiteral("Moved next.bin to Trash"));
        QTRY_VERIFY(!strip->isVisible());
        QVERIFY(!logText().contains("WATCHDOG"));
    }

    // The strip's Cancel button gives back a move that does not answer: the item is at the
    // head again at once and the window is free; the stuck call, once it returns, changes
    // nothing. With nothing running, c says so.
    void cancelButtonGivesBackAMoveThatDoesNotAnswer()
    {
        m_view->actions()->setAbandonDelay(100);
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("slow.bin")));
        m_panel->presentCentered();
        auto* strip = m_view->findChild<ActionProgressView*>();
        m_engine->holdMoves = true;
        press(Qt::Key_1);
        // A lone action shows its progress once it has run a while.
        advance(TriageActionController::defaultProgressDelayMs);
        QTRY_VERIFY(strip->isVisible());
        QTest::mouseClick(strip->cancelButton(), Qt::LeftButton);
        advance(100); // the abandon delay passes
        QTRY_COMPARE_WITH_TIMEOUT(headName(), QStringLiteral("slow.bin"), 5000);
        QVERIFY(m_view->statusMessage().value_or(QString()).startsWith(
            QStringLiteral("Cancelled moving slow.bin to Documents")));
        QVERIFY(!m_view->actions()->isBusy());
        QTRY_VERIFY(!strip->isVisible());

        m_engine->holdMoves = false;
        QVERIFY(m_view->actions()->waitForAbandoned(5000));
        QVERIFY(QFile::exists(m_downloads + "/slow.bin"));
        QVERIFY(!QFile::exists(m_home + "/Documents/slow.bin"));
        press(Qt::Key_C);
        QCOMPARE(m_view->statusMessage().value_or(QString()), QStringLiteral("Nothing to cancel"));
        QCOMPARE(headName(), QStringLiteral("slow.bin"));
    }

    void undoKeyWaitsForTheActionInFlight()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("notes.md")));
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("other.txt")));
        m_panel->presentCentered();
        m_engine->holdMoves = true;
        press(Qt::Key_1);
        QVERIFY(m_view->isProcessingAction());
        // Not dropped: it runs once the move is done and undoes that move.
        press(Qt::Key_Z, Qt::ControlModifier);
        m_engine->holdMoves = false;
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->actions()->isBusy(), 5000);
        QVERIFY(!logText().contains("Drop key 'z'"));
        QVERIFY(QFile::exists(m_downloads + "/notes.md"));
        QVERIFY(!QFile::exists(m_home + "/Documents/notes.md"));
        QCOMPARE(headName(), QStringLiteral("notes.md"));
        QCOMPARE(m_view->statusMessage().value_or(QString()),
                 QStringLiteral("Undid move: notes.md restored to Downloads"));
    }

    void routingTheLastItemEndsTheSession()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("last.pdf")));
        m_panel->presentCentered();
        QVERIFY(m_telemetry->currentStats().has_value());
        const qint64 sessionsBefore = m_telemetry->lifetimeSessionsCount();
        press(Qt::Key_1);
        // Ended at once, before the move completes.
        QVERIFY(!m_telemetry->currentStats().has_value());
        QCOMPARE(m_telemetry->lifetimeSessionsCount(), sessionsBefore + 1);
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->isProcessingAction(), 5000);
        QCOMPARE(m_view->countText(m_queue->totalQueueDepth()), QStringLiteral("Inbox Zero"));
    }

    void inboxZeroOnlyOnceNothingIsInFlight_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::newRow("last move succeeds") << false;
        QTest::newRow("last move fails") << true;
    }

    // The last item's move still running (or about to fail and bring the item back) is not
    // Inbox Zero yet, neither in the header nor on the empty page.
    void inboxZeroOnlyOnceNothingIsInFlight()
    {
        QFETCH(bool, fails);
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("last.pdf")));
        m_panel->presentCentered();
        auto* title = m_view->findChild<QLabel*>(QStringLiteral("emptyTitle"));
        auto* count = m_view->findChild<QLabel*>(QStringLiteral("countLabel"));
        QVERIFY(title && count);
        m_engine->holdMoves = true;
        press(Qt::Key_1);
        QVERIFY(m_queue->items().isEmpty());
        // Also once the watchdog has given the keyboard back and the move is only late.
        advance(TriageActionController::defaultWatchdogMs);
        QVERIFY(!m_view->isProcessingAction());
        QApplication::processEvents();
        QVERIFY(title->isVisible());
        QCOMPARE(title->text(), QStringLiteral("Finishing…"));
        QCOMPARE(count->text(), QStringLiteral("Finishing…"));

        if (fails)
            QVERIFY(QDir(m_home + "/Documents").removeRecursively());
        m_engine->holdMoves = false;
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->actions()->isBusy(), 5000);
        if (fails) {
            QCOMPARE(headName(), QStringLiteral("last.pdf"));
            QTRY_COMPARE(count->text(), QStringLiteral("1 item remaining"));
            QVERIFY(!title->isVisible());
        } else {
            QTRY_COMPARE(count->text(), QStringLiteral("Inbox Zero"));
            QVERIFY(title->isVisible());
            QCOMPARE(title->text(), QStringLiteral("Downloads Inbox Zero"));
        }
    }

    void cheatSheetSwallowsKeysAndEscapeCloses()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("keep.txt")));
        m_panel->presentCentered();
        press(Qt::Key_Question, Qt::ShiftModifier);
        QVERIFY(m_view->showingCheatSheet());
        press(Qt::Key_D);
        press(Qt::Key_Tab);
        QCOMPARE(headName(), QStringLiteral("keep.txt"));
        press(Qt::Key_Escape);
        QVERIFY(!m_view->showingCheatSheet());
        QCOMPARE(m_dismissals, 0);
        press(Qt::Key_Escape);
        QCOMPARE(m_dismissals, 1);
        press(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(m_dismissals, 2);
        press(Qt::Key_Space);
        QCOMPARE(m_opened.size(), 1);
        press(Qt::Key_O);
        QCOMPARE(m_revealer->revealed.size(), 1);
    }

    void failedMovePutsItemBack()
    {
        m_queue->enqueue(QUrl::fromLocalFile(downloadsFile("doc.txt")));
        m_panel->presentCentered();
        // The file vanishes before the move: the item comes back with the error.
        QVERIFY(QFile::remove(m_downloads + "/doc.txt"));
        press(Qt::Key_1);
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->actions()->isBusy(), 5000);
        QVERIFY(m_view->statusMessage().value_or(QString()).startsWith("Failed to move: "));
        QCOMPARE(headName(), QStringLiteral("doc.txt"));
        // In the error colour, with its sign, and in the log.
        auto* palette = m_view->findChild<ActionPaletteView*>();
        QCOMPARE(palette->statusKind(), StatusLine::Kind::Error);
        QVERIFY(palette->findChild<QLabel*>(QStringLiteral("statusIcon"))->isVisibleTo(palette));
        QVERIFY(logText().contains("[ERROR] Action 'Move .txt to Documents' failed"));
    }
};

STOWBIRD_TEST_MAIN(TestTriageContainer)
#include "TestTriageContainer.moc"
