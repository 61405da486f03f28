// The triage window with a history behind it: the destination it suggests (highlighted, with
// its reason, and filed by Return), nothing when the history is not sure, the setting and
// "Forget History" that turn it off, and the host a download came from on the item card.
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/TriageHUDPanel.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "services/HistoryStore.h"
#include "services/TriageActionController.h"
#include "views/ActionPaletteView.h"
#include "views/CreateFolderOffer.h"
#include "views/TriageContainerView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <sys/xattr.h>

class TestSuggestions : public QObject
{
    Q_OBJECT

    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;
    ActionPaletteView* m_palette = nullptr;

    QString file(const QString& name, const QByteArray& content = "content")
    {
        const QString path = m_downloads + "/" + name;
        TestFiles::writeFile(path, content);
        return path;
    }

    // Files each name with key, one at a time, as a person does.
    void fileWithKey(const QStringList& names, Qt::Key key)
    {
        for (const QString& name : names) {
            m_services->queue->enqueue(QUrl::fromLocalFile(file(name)));
            QTest::keyClick(m_view, key);
            QTRY_VERIFY_WITH_TIMEOUT(!m_view->actions()->isBusy(), 5000);
        }
    }

    // The slot rows the palette says are suggested.
    QStringList suggestedRows() const
    {
        QStringList rows;
        for (QAbstractButton* row : m_palette->slotRows()) {
            if (row->accessibleDescription().startsWith(QStringLiteral("Suggested")))
                rows << row->accessibleName();
        }
        return rows;
    }

    QString status() const { return m_view->statusMessage().value_or(QString()); }

private slots:
    void init()
    {
        m_home = freshHome({"Downloads", "Documents", "Prints", "Invoices"});
        m_downloads = m_home + "/Downloads";
        m_services = std::make_unique<HudTestServices<>>(m_home);
        AppConfig config = m_services->config->config();
        config.destinationSlots = {{1, QStringLiteral("Documents"), QStringLiteral("~/Documents")},
                                   {2, QStringLiteral("3D Prints"), m_home + "/Prints/"}};
        QVERIFY(m_services->config->saveConfig(config));
        m_history = std::make_unique<HistoryStore>(
            HistoryStore::defaultDatabasePath(),
            std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), *m_services->logger);
        TriageContainerView::Services services = m_services->services();
        // The window records into the history and learns from what it recorded.
        services.history = m_history.get();
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            services, [] {}, [] {});
        m_view->setFolderChooser([this](QWidget*) { return m_home + "/Invoices"; });
        m_view->setStatusDuration(60000);
        m_panel->setContentView(m_view);
        m_panel->presentCentered();
        m_palette = m_view->findChild<ActionPaletteView*>();
        QVERIFY(m_palette);
    }

    void cleanup()
    {
        m_panel.reset();
        m_view = nullptr;
        m_history.reset();
        m_services.reset();
    }

    // Six filings of one kind into one slot: the seventh item has that slot highlighted
    // (matched by its folder, written differently in the settings), the reason under the
    // list, and Return files it there. Off in the settings, nothing shows; back on, it does.
    void confidentSuggestionIsHighlightedAndReturnFilesIt()
    {
        fileWithKey({"bracket.stl", "gear.stl", "hinge.stl", "mount.stl", "clip.stl", "knob.stl"},
                    Qt::Key_2);
        const QString next = file("spacer.stl");
        m_services->queue->enqueue(QUrl::fromLocalFile(next));
        QTRY_COMPARE_WITH_TIMEOUT(m_palette->item().filename, QStringLiteral("spacer.stl"), 5000);
        QCOMPARE(suggestedRows(), QStringList{QStringLiteral("Slot 2: 3D Prints")});
        QVERIFY(m_palette->suggestionRow()->isVisible());
        QVERIFY2(m_palette->suggestionRow()->accessibleName().contains(
                     QStringLiteral("of the last 5 .stl files went to 3D Prints")),
                 qPrintable(m_palette->suggestionRow()->accessibleName()));

        AppConfig config = m_services->config->config();
        config.general.suggestDestinations = false;
        QVERIFY(m_services->config->saveConfig(config));
        QTRY_VERIFY_WITH_TIMEOUT(suggestedRows().isEmpty(), 5000);
        QVERIFY(!m_palette->suggestionRow()->isVisible());
        config.general.suggestDestinations = true;
        QVERIFY(m_services->config->saveConfig(config));
        QTRY_VERIFY_WITH_TIMEOUT(!suggestedRows().isEmpty(), 5000);

        QTest::keyClick(m_view, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home + "/Prints/spacer.stl"), 5000);
        QVERIFY(!QFile::exists(next));
    }

    // Items of one kind that went to two places in turn: nothing is highlighted, and Return
    // says so and leaves the item where it is.
    void undecidedHistorySuggestsNothing()
    {
        for (int i = 1; i <= 8; ++i)
            fileWithKey({QStringLiteral("scan-%1.tif").arg(i, 2, 10, QLatin1Char('0'))},
                        i % 2 ? Qt::Key_1 : Qt::Key_2);
        const QString next = file("scan-09.tif");
        m_services->queue->enqueue(QUrl::fromLocalFile(next));
        QTRY_COMPARE_WITH_TIMEOUT(m_palette->item().filename, QStringLiteral("scan-09.tif"), 5000);
        QVERIFY(suggestedRows().isEmpty());
        QVERIFY(!m_palette->suggestionRow()->isVisible());

        QTest::keyClick(m_view, Qt::Key_Return);
        QCOMPARE(status(), QStringLiteral("No suggestion for this item"));
        QVERIFY(!m_view->actions()->isBusy());
        QVERIFY(QFile::exists(next));
    }

    // A folder chosen by hand before, which no slot has: the suggestion names the folder and
    // Return moves there. Forget History in the settings deletes what it was learned from.
    void chosenFolderIsSuggestedUntilTheHistoryIsForgotten()
    {
        fileWithKey({"invoice-2024-01.pdf", "invoice-2024-02.pdf", "invoice-2024-03.pdf",
                     "invoice-2024-04.pdf"},
                    Qt::Key_0);
        m_services->queue->enqueue(QUrl::fromLocalFile(file("invoice-2024-05.pdf")));
        QTRY_COMPARE_WITH_TIMEOUT(m_palette->item().filename, QStringLiteral("invoice-2024-05.pdf"),
                                  5000);
        QVERIFY(m_palette->suggestionRow()->isVisible());
        QVERIFY(suggestedRows().isEmpty());
        QVERIFY2(
            m_palette->suggestionRow()->accessibleName().contains(QStringLiteral("~/Invoices")),
            qPrintable(m_palette->suggestionRow()->accessibleName()));
        QTest::keyClick(m_view, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home + "/Invoices/invoice-2024-05.pdf"), 5000);

        m_services->queue->enqueue(QUrl::fromLocalFile(file("invoice-2024-06.pdf")));
        QTRY_VERIFY_WITH_TIMEOUT(m_palette->suggestionRow()->isVisible(), 5000);
        m_view->setShowingSettings(true);
        auto* forget = m_view->findChild<QPushButton*>(QStringLiteral("forgetHistoryButton"));
        QVERIFY(forget && forget->isEnabled());
        forget->click();
        auto* offer = m_view->findChild<CreateFolderOffer*>(QStringLiteral("forgetHistoryOffer"));
        QVERIFY(offer);
        offer->accept();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("History deleted"), 5000);
        m_view->setShowingSettings(false);
        QTRY_VERIFY_WITH_TIMEOUT(!m_palette->suggestionRow()->isVisible(), 5000);
        QTest::keyClick(m_view, Qt::Key_Return);
        QCOMPARE(status(), QStringLiteral("No suggestion for this item"));
    }

    // The card says where a download came from, by its host: never the address, whose
    // query holds a token.
    void cardShowsTheHostADownloadCameFrom()
    {
        const QString path = file("manual.pdf", "%PDF-1.4\n");
        const QByteArray url = "https://files.example.org/manual.pdf?token=SECRET";
        QCOMPARE(::setxattr(QFile::encodeName(path).constData(), "user.xdg.origin.url",
                            url.constData(), size_t(url.size()), 0),
                 0);
        m_services->queue->enqueue(QUrl::fromLocalFile(path));
        auto* origin = m_palette->findChild<QLabel*>(QStringLiteral("itemOrigin"));
        QVERIFY(origin);
        QTRY_VERIFY_WITH_TIMEOUT(origin->isVisible(), 5000);
        QCOMPARE(origin->text(), QStringLiteral("from files.example.org"));
        auto* card = m_palette->findChild<QWidget*>(QStringLiteral("itemCard"));
        QVERIFY(card->accessibleDescription().endsWith(QStringLiteral("from files.example.org")));
        for (QWidget* widget : m_panel->findChildren<QWidget*>()) {
            QStringList texts{widget->accessibleName(), widget->accessibleDescription(),
                              widget->toolTip()};
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts << label->text();
            QVERIFY2(!texts.join(u' ').contains(QStringLiteral("SECRET")),
                     qPrintable(widget->objectName()));
        }

        // A file without an origin shows none.
        m_services->queue->enqueue(QUrl::fromLocalFile(file("plain.txt")));
        QTest::keyClick(m_view, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(m_palette->item().filename, QStringLiteral("plain.txt"), 5000);
        QVERIFY(!origin->isVisible());
    }

    // An item from another inbox says which, beside its host and to a screen reader; one
    // from Downloads says nothing of its folder.
    void cardSaysWhichInboxAnItemIsIn()
    {
        QVERIFY(QDir().mkpath(m_home + "/Desktop"));
        const QString shot = m_home + "/Desktop/shot.png";
        TestFiles::writeFile(shot, "png");
        const QByteArray url = "https://img.example.net/shot.png";
        QCOMPARE(::setxattr(QFile::encodeName(shot).constData(), "user.xdg.origin.url",
                            url.constData(), size_t(url.size()), 0),
                 0);
        m_services->queue->enqueue(QUrl::fromLocalFile(shot));
        auto* origin = m_palette->findChild<QLabel*>(QStringLiteral("itemOrigin"));
        auto* card = m_palette->findChild<QWidget*>(QStringLiteral("itemCard"));
        QTRY_COMPARE_WITH_TIMEOUT(origin->text(),
                                  QStringLiteral("from img.example.net \u00b7 in Desktop"), 5000);
        QVERIFY(origin->isVisible());
        QVERIFY2(card->accessibleDescription().endsWith(
                     QStringLiteral("from img.example.net, in Desktop")),
                 qPrintable(card->accessibleDescription()));

        m_services->queue->enqueue(QUrl::fromLocalFile(file("plain.txt")));
        QTest::keyClick(m_view, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(m_palette->item().filename, QStringLiteral("plain.txt"), 5000);
        QVERIFY(!origin->isVisible());
        QVERIFY(!card->accessibleDescription().contains(QStringLiteral(" in ")));
    }
};

STOWBIRD_TEST_MAIN(TestSuggestions)
#include "TestSuggestions.moc"
