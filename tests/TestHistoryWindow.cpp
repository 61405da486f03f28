#include "HistoryByHand.h"
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/AccessibleRoles.h"
#include "app/TriageHUDPanel.h"
#include "fakes/TestLogger.h"
#include "models/ActionRecord.h"
#include "models/HistoryEntry.h"
#include "platform/FileSystemEntry.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "services/HistoryStore.h"
#include "views/HistoryListModel.h"
#include "views/HistoryView.h"
#include "views/TriageContainerView.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

std::unique_ptr<HistoryStore> openStore(LoggerService& logger,
                                        const QString& path = HistoryStore::defaultDatabasePath())
{
    return std::make_unique<HistoryStore>(
        path, std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), logger);
}

QStringList rowNames(const HistoryView* view)
{
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        names << view->model()->entry(row).itemName;
    return names;
}

// The name of the dialog the focus is in, as a screen reader reads it.
QString focusedDialog()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (iface && iface->role() == QAccessible::Dialog)
            return iface->text(QAccessible::Name);
    }
    return {};
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private:
    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    // The stores' logger, which outlives every store (each case makes new services).
    TestLogger m_log;
    std::unique_ptr<HistoryStore> m_store;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;
    HistoryEntry m_report;
    HistoryEntry m_invoice;
    HistoryEntry m_notes;

    // The window over the given store (none: no history kept), with an item on its card.
    void openWindow(HistoryStore* store)
    {
        writeFile(m_downloads + QStringLiteral("/waiting.txt"), "waiting");
        m_services->queue->enqueue(
            QUrl::fromLocalFile(m_downloads + QStringLiteral("/waiting.txt")));
        TriageContainerView::Services services = m_services->services();
        services.history = store;
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            services, [] {}, [] {});
        m_panel->setContentView(m_view);
        m_panel->presentCentered();
        m_panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_panel.get()));
    }

    HistoryView* pressH()
    {
        QTest::keyClick(m_view, Qt::Key_H);
        auto* history = m_view->findChild<HistoryView*>();
        if (!history || !m_view->showingHistory())
            return nullptr;
        // The pause after typing is the shortest there is: the filter still waits for the
        // event loop, after the last key of a burst.
        history->findChild<QTimer*>(QStringLiteral("filterDelay"))->setInterval(0);
        return waitLoaded(history) ? history : nullptr;
    }

    // The first page and each filter are read off the GUI thread.
    static bool waitLoaded(HistoryView* view)
    {
        return QTest::qWaitFor([&] { return !view->isLoading(); }, 10000);
    }

    QLineEdit* field(HistoryView* view) { return view->filterField(); }

    void typeFilter(HistoryView* view, const QString& text)
    {
        field(view)->selectAll();
        QTest::keyClick(field(view), Qt::Key_Backspace);
        QTest::keyClicks(field(view), text);
        QVERIFY(waitLoaded(view));
    }

private slots:
    void initTestCase() { AccessibleRoles::install(); }

    void init()
    {
        m_home = StoragePaths::homeDirectory();
        m_downloads = m_home + QStringLiteral("/Downloads");
        QDir(m_home).removeRecursively();
        QDir().mkpath(m_downloads);
        m_services = std::make_unique<HudTestServices<>>(m_home);

        // Three filings, recorded by one run of the program...
        writeFile(m_downloads + QStringLiteral("/report.pdf"), "quarterly numbers");
        writeFile(m_downloads + QStringLiteral("/invoice-0042.pdf"), "amount due");
        writeFile(m_downloads + QStringLiteral("/notes.txt"), "first draft");
        m_report = fileByHand(m_downloads + QStringLiteral("/report.pdf"),
                              m_home + QStringLiteral("/Documents"), 1,
                              QStringLiteral("files.example.org"));
        m_invoice = fileByHand(m_downloads + QStringLiteral("/invoice-0042.pdf"),
                               m_home + QStringLiteral("/Documents/Finance"), 0,
                               QStringLiteral("billing.example.com"));
        m_notes = fileByHand(m_downloads + QStringLiteral("/notes.txt"),
                             m_home + QStringLiteral("/Notes"), 2);
        {
            auto first = openStore(m_log.logger);
            for (const HistoryEntry& entry : {m_report, m_invoice, m_notes})
                first->record(entry);
        }
        // ...and read by the next one.
        m_store = openStore(m_log.logger);
    }

    void cleanup()
    {
        m_panel.reset();
        m_view = nullptr;
        if (m_store)
            m_store->waitForWrites();
        m_store.reset();
        QThreadPool::globalInstance()->waitForDone(10000);
        m_services.reset();
    }

    // h opens the window as a dialog named History, the newest action first; typing filters
    // by name, folder and website; Return shows the selected file in the file manager;
    // Escape closes and puts the focus back on the item card.
    void opensFiltersRevealsAndCloses()
    {
        openWindow(m_store.get());
        auto* card = m_view->findChild<QWidget*>(QStringLiteral("itemCard"));
        QVERIFY(card);
        HistoryView* history = pressH();
        QVERIFY(history);
        QTRY_VERIFY(field(history)->hasFocus());
        QCOMPARE(focusedDialog(), QStringLiteral("History"));
        QCOMPARE(rowNames(history), QStringList({"notes.txt", "invoice-0042.pdf", "report.pdf"}));
        QCOMPARE(history->selectedRow(), 0);
        QCOMPARE(history->model()->actionText(1), QStringLiteral("Moved to Finance"));

        // The main window's keys are letters here: r and 1 filter, they do not act.
        typeFilter(history, QStringLiteral("r 1"));
        QVERIFY(!m_view->isRenaming());
        QVERIFY(QFile::exists(m_downloads + QStringLiteral("/waiting.txt")));

        const QList<std::pair<QString, QStringList>> filters = {
            {QStringLiteral("INVO"), {"invoice-0042.pdf"}},
            {QStringLiteral("files.example"), {"report.pdf"}},
            {QStringLiteral("Notes"), {"notes.txt"}},
            {QStringLiteral("Documents"), {"invoice-0042.pdf", "report.pdf"}},
        };
        for (const auto& [filter, expected] : filters) {
            typeFilter(history, filter);
            QCOMPARE(rowNames(history), expected);
        }
        QTest::keyClick(field(history), Qt::Key_Down);
        QCOMPARE(history->selectedRow(), 1);
        QTest::keyClick(field(history), Qt::Key_Return);
        QCOMPARE(m_services->revealer->revealed,
                 QList<QUrl>{QUrl::fromLocalFile(m_home + "/Documents/report.pdf")});

        typeFilter(history, QStringLiteral("nothing like it"));
        QCOMPARE(history->emptyText(),
                 QStringLiteral("Nothing in the history matches \u201Cnothing like it\u201D"));

        QTest::keyClick(field(history), Qt::Key_Escape);
        QVERIFY(!m_view->showingHistory());
        QTRY_VERIFY(!m_view->findChild<HistoryView*>());
        QTRY_COMPARE(QApplication::focusWidget(), card);
    }

    // z on a filed item still where it was put brings it back to Downloads and marks its
    // row; Ctrl+Z does so while a filter is typed. On an item changed since, the undo is
    // refused with the reason and nothing moves.
    void undoesWhatIsSafeAndRefusesTheRest()
    {
        writeFile(m_home + QStringLiteral("/Notes/notes.txt"), "second draft, longer");
        openWindow(m_store.get());
        HistoryView* history = pressH();
        QVERIFY(history);

        // Row 0 is notes.txt, changed since it was filed.
        QTest::keyClick(field(history), Qt::Key_Z);
        QTRY_COMPARE_WITH_TIMEOUT(history->statusText(),
                                  QStringLiteral("notes.txt was changed since it was filed"), 5000);
        QCOMPARE(history->status()->kind, StatusLine::Kind::Error);
        QCOMPARE(readFile(m_home + QStringLiteral("/Notes/notes.txt")),
                 QByteArray("second draft, longer"));
        QVERIFY(!QFile::exists(m_downloads + QStringLiteral("/notes.txt")));
        QVERIFY(!history->model()->isUndone(0));

        // Down to report.pdf, which is untouched.
        QTest::keyClick(field(history), Qt::Key_Down);
        QTest::keyClick(field(history), Qt::Key_Down);
        QCOMPARE(history->model()->entry(history->selectedRow()).id, m_report.id);
        QTest::keyClick(field(history), Qt::Key_Z);
        QTRY_COMPARE_WITH_TIMEOUT(history->statusText(),
                                  QStringLiteral("report.pdf is back in Downloads"), 5000);
        QCOMPARE(readFile(m_downloads + QStringLiteral("/report.pdf")),
                 QByteArray("quarterly numbers"));
        QVERIFY(!QFile::exists(m_home + QStringLiteral("/Documents/report.pdf")));
        // The rows are read again: the undo on top, the row it undid marked and still
        // selected.
        QTRY_COMPARE_WITH_TIMEOUT(history->model()->rowCount(), 4, 5000);
        QCOMPARE(history->model()->entry(0).action, HistoryEntry::Action::Undone);
        QCOMPARE(history->model()->entry(0).undoOf, m_report.id);
        const int reportRow = history->model()->rowOf(m_report.id);
        QVERIFY(history->model()->isUndone(reportRow));
        QCOMPARE(history->selectedRow(), reportRow);
        // Return now shows where it went back to.
        QTest::keyClick(field(history), Qt::Key_Return);
        QCOMPARE(m_services->revealer->revealed.value(0),
                 QUrl::fromLocalFile(m_downloads + QStringLiteral("/report.pdf")));

        // With a filter typed, z is a letter and Ctrl+Z undoes.
        typeFilter(history, QStringLiteral("invoicez"));
        QCOMPARE(field(history)->text(), QStringLiteral("invoicez"));
        QCOMPARE(history->statusText(), QStringLiteral("report.pdf is back in Downloads"));
        typeFilter(history, QStringLiteral("invoice"));
        QCOMPARE(rowNames(history), QStringList{"invoice-0042.pdf"});
        QTest::keyClick(field(history), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(history->statusText(),
                                  QStringLiteral("invoice-0042.pdf is back in Downloads"), 5000);
        QVERIFY(QFile::exists(m_downloads + QStringLiteral("/invoice-0042.pdf")));
    }

    // A group action is one row that names its members to a screen reader; a member's name
    // finds it; one undo puts every member back and marks the row.
    void groupIsOneRowUndoneAtOnce()
    {
        QList<HistoryEntry> scans;
        for (const char* name : {"scan_001.pdf", "scan_002.pdf", "scan_003.pdf"}) {
            const QString path = m_downloads + QLatin1Char('/') + QLatin1String(name);
            writeFile(path, name);
            scans << fileByHand(path, m_home + QStringLiteral("/Documents"), 1);
        }
        const HistoryEntry group = HistoryEntry::group(scans);
        m_store->record(group);
        openWindow(m_store.get());
        HistoryView* history = pressH();
        QVERIFY(history);
        QCOMPARE(rowNames(history),
                 QStringList({"3 files", "notes.txt", "invoice-0042.pdf", "report.pdf"}));
        QCOMPARE(history->model()->actionText(0), QStringLiteral("Moved to Documents"));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(history->list());
        QVERIFY(list && list->childCount() > 0);
        const QString spoken = list->child(0)->text(QAccessible::Name);
        QVERIFY2(spoken.startsWith(QStringLiteral("3 files, moved to Documents, ")) &&
                     spoken.endsWith(QStringLiteral(": scan_001.pdf, scan_002.pdf, scan_003.pdf")),
                 qPrintable(spoken));

        typeFilter(history, QStringLiteral("scan_002"));
        QCOMPARE(rowNames(history), QStringList{"3 files"});
        QTest::keyClick(field(history), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(history->statusText(),
                                  QStringLiteral("3 files are back in Downloads"), 5000);
        for (const HistoryEntry& scan : scans)
            QCOMPARE(readFile(scan.fromPath), scan.itemName.toUtf8());
        // The undo is one row too, found by the same name; the group's row is marked.
        QTRY_COMPARE_WITH_TIMEOUT(history->model()->rowCount(), 2, 5000);
        QCOMPARE(history->model()->actionText(0), QStringLiteral("Put back in Downloads"));
        QVERIFY(history->model()->isUndone(history->model()->rowOf(group.id)));
        QTest::keyClick(field(history), Qt::Key_Return);
        QCOMPARE(m_services->revealer->revealed.value(0), QUrl::fromLocalFile(scans[0].fromPath));
    }

    // A history that cannot be kept says so instead of showing an empty list; an empty one
    // says nothing was filed; a long one is read a page at a time as the list scrolls.
    void emptyUnavailableAndPaged()
    {
        {
            // A file where the history's folder should be: the history cannot be opened.
            writeFile(m_home + QStringLiteral("/blocked"), "not a folder");
            auto blocked =
                openStore(m_log.logger, m_home + QStringLiteral("/blocked/history.sqlite3"));
            QTRY_VERIFY_WITH_TIMEOUT(!blocked->available(), 5000);
            openWindow(blocked.get());
            HistoryView* history = pressH();
            QVERIFY(history);
            QTRY_VERIFY(
                history->emptyText().startsWith(QStringLiteral("History is unavailable: ")));
            QVERIFY(history->emptyText().size() > 30);
            m_panel.reset();
            blocked->waitForWrites();
        }
        {
            openWindow(nullptr);
            HistoryView* history = pressH();
            QVERIFY(history);
            QVERIFY(history->emptyText().startsWith(QStringLiteral("History is unavailable: ")));
            m_panel.reset();
        }
        {
            auto empty = openStore(m_log.logger, m_home + QStringLiteral("/empty/history.sqlite3"));
            openWindow(empty.get());
            HistoryView* history = pressH();
            QVERIFY(history);
            QTRY_COMPARE(history->emptyText(), QStringLiteral("Nothing filed yet"));
            m_panel.reset();
            empty->waitForWrites();
        }
        for (int i = 0; i < HistoryView::pageSize + 30; ++i) {
            HistoryEntry skipped;
            skipped.itemName = QStringLiteral("file-%1.bin").arg(i);
            skipped.fromPath = m_downloads + QLatin1Char('/') + skipped.itemName;
            m_store->record(skipped);
        }
        m_store->waitForWrites();
        openWindow(m_store.get());
        HistoryView* history = pressH();
        QVERIFY(history);
        QCOMPARE(history->model()->rowCount(), HistoryView::pageSize);
        QScrollBar* bar = history->list()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QTRY_COMPARE_WITH_TIMEOUT(history->model()->rowCount(), HistoryView::pageSize + 33, 5000);
        QCOMPARE(history->model()->entry(HistoryView::pageSize + 32).id, m_report.id);
    }
};

STOWBIRD_TEST_MAIN(TestHistoryWindow)
#include "TestHistoryWindow.moc"
