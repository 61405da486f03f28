// The triage screen as drawn around the container's state: header count, palette rows,
// rename field, large-file notice, previews and the empty state.
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/TriageHUDPanel.h"
#include "crashreporting/CrashReporter.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "platform/UserDefaults.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "views/ActionPaletteView.h"
#include "views/CheatSheetOverlay.h"
#include "views/FileNameLabel.h"
#include "views/FolderInspectorView.h"
#include "views/QuickLookHostView.h"
#include "views/RelativeTimeFormatter.h"
#include "views/SettingsSheet.h"
#include "views/TriageContainerView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

namespace {

// The columns from..to of image, for comparing what two renderings drew there.
QImage columns(const QImage& image, int from, int to)
{
    return image.copy(from, 0, to - from + 1, image.height());
}

// The first and last column where image differs from its top-left pixel (the background).
std::pair<int, int> inkColumns(const QImage& image)
{
    const QRgb background = image.pixel(0, 0);
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

} // namespace

class TestTriageScreen : public QObject
{
    Q_OBJECT

private:
    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    TriageQueueManager* m_queue = nullptr;
    ConfigurationService* m_config = nullptr;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;

    QString file(const QString& name, qint64 size = 5)
    {
        const QString path = m_downloads + "/" + name;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.resize(size); // sparse for the large ones
        return path;
    }

    ActionPaletteView* palette() const { return m_view->findChild<ActionPaletteView*>(); }
    QString countLabel() const
    {
        return m_view->findChild<QLabel*>(QStringLiteral("countLabel"))->text();
    }

private slots:
    void init()
    {
        // A case that draws one widget on its own needs no window around it.
        const QStringList bare = {"relativeTimeTexts", "addedTimeFollowsTheClockWhileShown",
                                  "longFileNameKeepsBothEndsOnTwoLines",
                                  "longStatusIsCutWithAnEllipsis",
                                  "statusStartingWithAnArabicNameKeepsItsOrder"};
        if (bare.contains(QLatin1String(QTest::currentTestFunction())))
            return;
        m_home = freshHome({"Downloads", "Documents"});
        m_downloads = m_home + "/Downloads";
        m_services = std::make_unique<HudTestServices<>>(m_home);
        m_queue = m_services->queue.get();
        m_config = m_services->config.get();
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            m_services->services(), [] {}, [] {});
        m_panel->setContentView(m_view);
        m_panel->presentCentered();
    }

    void cleanup()
    {
        // File actions still running on the pool use the engine and the logger.
        QThreadPool::globalInstance()->waitForDone(10000);
        m_panel.reset();
        m_services.reset();
    }

    void headerCountText()
    {
        QCOMPARE(countLabel(), QStringLiteral("Inbox Zero"));
        m_queue->enqueue(QUrl::fromLocalFile(file("a.txt")));
        STOWBIRD_TRY_COMPARE(countLabel(), QStringLiteral("1 item remaining"), 5000);
        m_queue->enqueue(QUrl::fromLocalFile(file("b.txt")));
        STOWBIRD_TRY_COMPARE(countLabel(), QStringLiteral("2 items remaining"), 5000);
    }

    void queueBurstsAreDrawnOncePerFrame()
    {
        // Three hundred changes in one turn of the event loop: one redraw shows them all.
        STOWBIRD_TRY_VERIFY(m_view->isVisible(), 5000);
        QTest::qWait(20);
        const int before = m_view->refreshCount();
        // Names and sizes that make no look-alike group and no copy: only the queue changes.
        const auto name = [](int i) {
            QString letters;
            for (int n = i + 26; n > 0; n /= 26)
                letters.prepend(QChar(char16_t(u'a' + n % 26)));
            return QStringLiteral("burst %1.txt").arg(letters);
        };
        for (int i = 0; i < 300; ++i)
            m_queue->enqueue(QUrl::fromLocalFile(file(name(i), 5 + i)));
        QCOMPARE(m_view->refreshCount(), before);
        STOWBIRD_TRY_COMPARE(countLabel(), QStringLiteral("300 items remaining"), 5000);
        QCOMPARE(m_view->refreshCount(), before + 1);
        // A later change is drawn by one more redraw.
        m_queue->enqueue(QUrl::fromLocalFile(file(QStringLiteral("late.txt"), 4)));
        STOWBIRD_TRY_COMPARE(countLabel(), QStringLiteral("301 items remaining"), 5000);
        QCOMPARE(m_view->refreshCount(), before + 2);
    }

    void slotRowsFollowAvailabilityAndStopAtNine()
    {
        m_queue->enqueue(QUrl::fromLocalFile(file("a.txt")));
        ActionPaletteView* rows = palette();
        QVERIFY(rows);
        STOWBIRD_TRY_COMPARE(rows->slotRows().size(), 4, 5000);
        QAbstractButton* documents = rows->slotRows().at(0);
        QVERIFY(documents->toolTip().isEmpty());
        // ~/Developer/Projects is missing: dimmed, but clickable to create it.
        QVERIFY(rows->slotRows().at(1)->toolTip().startsWith("Volume unmounted or path missing"));

        // The folder goes away while shown: a click made before the next redraw is checked
        // again, moves nothing and offers to create the folder instead.
        QVERIFY(QDir(m_home + "/Documents").removeRecursively());
        QTest::mouseClick(documents, Qt::LeftButton);
        QVERIFY(!m_view->isProcessingAction());
        QVERIFY(QFile::exists(m_downloads + "/a.txt"));
        QCOMPARE(documents->toolTip(),
                 QStringLiteral("Volume unmounted or path missing: click to create the folder"));
        QVERIFY(m_view->showingCreateFolderOffer());
        QTest::keyClick(m_view->findChild<QWidget*>(QStringLiteral("createFolderOffer")),
                        Qt::Key_Escape);
        STOWBIRD_TRY_VERIFY(!m_view->showingCreateFolderOffer(), 5000);

        // Twelve slots: the first nine list entries are shown, then the custom row.
        AppConfig config = m_config->config();
        config.destinationSlots.clear();
        for (int i = 12; i >= 1; --i)
            config.destinationSlots.append({i, QStringLiteral("Slot %1").arg(i), m_home});
        m_config->saveConfig(config);
        STOWBIRD_TRY_COMPARE(rows->slotRows().size(), 9, 5000);
        QCOMPARE(rows->slotRows().first()->objectName(), QStringLiteral("slotRow12"));
        QVERIFY(rows->customRow()->isEnabled());
    }

    // The smallest window, nine slots, a two-line name and a status message: the column
    // stays inside the window beside the full preview, the status line has its own room
    // below the slots, and every slot and the custom row can be scrolled into view.
    void paletteFitsAndScrollsAtTheMinimumSize()
    {
        AppConfig config = m_config->config();
        config.destinationSlots.clear();
        for (int i = 1; i <= 9; ++i)
            config.destinationSlots.append({i, QStringLiteral("Slot %1").arg(i), m_home});
        m_config->saveConfig(config);
        m_queue->enqueue(QUrl::fromLocalFile(
            file("A rather long file name that takes two lines in the card, surely.pdf")));
        m_panel->resize(TriageHUDPanel::minimumWidth, TriageHUDPanel::minimumHeight);
        STOWBIRD_TRY_COMPARE(m_panel->size(), QSize(760, 480), 5000);
        ActionPaletteView* column = palette();
        // The window has drawn the new slots before the message is put in.
        STOWBIRD_TRY_COMPARE(column->slotRows().size(), 9, 5000);
        column->setStatusMessage(QStringLiteral("Moved to Slot 1: a file with a name long enough "
                                                "to need a second line.pdf"));
        QApplication::processEvents();

        const QRect inWindow(column->mapTo(m_panel.get(), QPoint(0, 0)), column->size());
        QVERIFY2(m_panel->rect().contains(inWindow), "the column runs off the window");
        QVERIFY(m_view->findChild<QWidget*>(QStringLiteral("previewArea"))->width() >= 420);

        auto* scroll = column->findChild<QScrollArea*>(QStringLiteral("slotScroll"));
        auto* status = column->findChild<QLabel*>(QStringLiteral("statusLine"));
        QVERIFY(scroll && status);
        QVERIFY(status->isVisible());
        const QRect slotsRect(scroll->mapTo(column, QPoint(0, 0)), scroll->size());
        const QRect statusRect(status->mapTo(column, QPoint(0, 0)), status->size());
        QVERIFY2(!slotsRect.intersects(statusRect), "the status line covers the slots");
        QVERIFY(scroll->height() >= 60);

        QList<QAbstractButton*> rows = column->slotRows();
        rows.append(column->customRow());
        for (QAbstractButton* row : rows) {
            scroll->ensureWidgetVisible(row, 0, 0);
            const QRect rowInViewport(row->mapTo(scroll->viewport(), QPoint(0, 0)), row->size());
            QVERIFY2(scroll->viewport()->rect().contains(rowInViewport),
                     qPrintable(row->objectName()));
        }
    }

    // The default window with four or nine slots, a two-line name, a status message and,
    // below the body, a 40-pixel strip (where a running action's progress shows): every
    // slot and the custom row lie whole inside the window and inside the list's view, so
    // nothing needs scrolling.
    void everySlotInViewAtTheDefaultSize_data()
    {
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<bool>("strip");
        QTest::newRow("four") << 4 << false;
        QTest::newRow("four, strip below") << 4 << true;
        QTest::newRow("nine") << 9 << false;
        QTest::newRow("nine, strip below") << 9 << true;
    }

    void everySlotInViewAtTheDefaultSize()
    {
        QFETCH(int, slotCount);
        QFETCH(bool, strip);
        AppConfig config = m_config->config();
        config.destinationSlots.clear();
        for (int i = 1; i <= slotCount; ++i)
            config.destinationSlots.append(
                {i, QStringLiteral("Destination number %1").arg(i), m_home + "/Documents"});
        m_config->saveConfig(config);
        m_queue->enqueue(QUrl::fromLocalFile(
            file("A rather long file name that takes two lines in the card, surely.pdf")));
        if (strip) {
            auto* placeholder = new QWidget(m_view);
            placeholder->setFixedHeight(40);
            qobject_cast<QBoxLayout*>(m_view->layout())->addWidget(placeholder);
        }
        m_panel->resize(TriageHUDPanel::defaultWidth, TriageHUDPanel::defaultHeight);
        STOWBIRD_TRY_COMPARE(m_panel->size(), QSize(840, 540), 5000);
        ActionPaletteView* column = palette();
        STOWBIRD_TRY_COMPARE(column->slotRows().size(), slotCount, 5000);
        column->setStatusMessage(QStringLiteral("Moved to Destination number 1: a file with a "
                                                "name long enough to need a second line.pdf"));
        QApplication::processEvents();

        auto* scroll = column->findChild<QScrollArea*>(QStringLiteral("slotScroll"));
        const QRect view(scroll->viewport()->mapTo(m_panel.get(), QPoint(0, 0)),
                         scroll->viewport()->size());
        QList<QAbstractButton*> rows = column->slotRows();
        rows.append(column->customRow());
        // Each row at its full height, none over another (new rows are placed by the layouts
        // a moment after they are made).
        const auto placed = [&rows] {
            for (qsizetype i = 0; i < rows.size(); ++i) {
                if (rows[i]->height() < rows[i]->sizeHint().height())
                    return false;
                for (qsizetype j = i + 1; j < rows.size(); ++j)
                    if (rows[i]->geometry().intersects(rows[j]->geometry()))
                        return false;
            }
            return true;
        };
        STOWBIRD_TRY_VERIFY(placed(), 5000);
        for (QAbstractButton* row : rows) {
            const QRect shown(row->mapTo(m_panel.get(), QPoint(0, 0)), row->size());
            const QByteArray where =
                row->objectName().toLatin1() + " at " + QByteArray::number(shown.y()) + ".." +
                QByteArray::number(shown.bottom()) + ", list view " + QByteArray::number(view.y()) +
                ".." + QByteArray::number(view.bottom());
            QVERIFY2(row->isVisible() && m_panel->rect().contains(shown), where);
            QVERIFY2(view.contains(shown), where);
        }
        QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
        // The card and the preview keep a useful size.
        QVERIFY(m_view->findChild<QWidget*>(QStringLiteral("previewArea"))->width() >= 420);
        QVERIFY(column->findChild<QWidget*>(QStringLiteral("itemCard"))->height() >= 60);
    }

    // The window reopens where the user left it, after a hide and in a new panel (the next
    // run); a kept place off every screen gives way to the centre of the screen.
    void windowReopensWhereItWasLeft()
    {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const QPoint left = area.topLeft() + QPoint(12, 34);
        m_panel->resize(780, 500);
        m_panel->move(left);
        STOWBIRD_TRY_COMPARE(m_panel->pos(), left, 5000);
        m_panel->hide();
        m_panel->present();
        QCOMPARE(m_panel->pos(), left);
        QCOMPARE(m_panel->size(), QSize(780, 500));

        {
            TriageHUDPanel next;
            next.present();
            QCOMPARE(next.pos(), left);
            QCOMPARE(next.size(), QSize(780, 500));
        }

        UserDefaults::open()->setValue(TriageHUDPanel::placeSettingsKey(screen),
                                       QRect(area.right() + 4000, area.bottom() + 4000, 770, 490));
        TriageHUDPanel moved;
        moved.present();
        QCOMPARE(moved.size(), QSize(770, 490));
        QCOMPARE(moved.pos(),
                 area.topLeft() + QPoint((area.width() - 770) / 2, (area.height() - 490) / 2));
    }

    void relativeTimeTexts_data()
    {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << qint64(5) << "5 seconds ago";
        QTest::newRow("one minute") << qint64(61) << "1 minute ago";
        QTest::newRow("hours") << qint64(3 * 3600 + 10) << "3 hours ago";
        QTest::newRow("one day") << qint64(26 * 3600) << "1 day ago";
        QTest::newRow("weeks") << qint64(15 * 24 * 3600) << "2 weeks ago";
        QTest::newRow("future") << qint64(-120) << "in 2 minutes";
    }

    void relativeTimeTexts()
    {
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, text);
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(RelativeTimeFormatter::format(now.addSecs(-secondsAgo), now), text);
    }

    // "Added 59 seconds ago" becomes "1 minute ago" on its own while the palette is shown;
    // then it waits for the next minute, and a hidden palette keeps no timer.
    void addedTimeFollowsTheClockWhileShown()
    {
        ActionPaletteView palette({});
        TriageItem item;
        item.id = QUuid::createUuid();
        item.url = QUrl(QStringLiteral("https://example.org/a.txt"));
        item.filename = QStringLiteral("a.txt");
        // A quarter of a second before the text changes: showing takes a few milliseconds.
        item.creationDate = QDateTime::currentDateTimeUtc().addMSecs(-59'750);
        palette.setItem(item);
        palette.show();
        auto* added = palette.findChild<QLabel*>(QStringLiteral("itemAdded"));
        QCOMPARE(added->text(), QStringLiteral("Added 59 seconds ago"));
        QVERIFY(QTest::qWaitForWindowExposed(&palette));
        STOWBIRD_TRY_COMPARE(added->text(), QStringLiteral("Added 1 minute ago"), 3000);
        auto* timer = palette.findChild<QTimer*>(QStringLiteral("addedTimeTimer"));
        QVERIFY(timer && timer->isActive());
        QVERIFY2(timer->remainingTime() > 55'000, "one wake-up a minute, not one a second");
        palette.hide();
        QVERIFY(!timer->isActive());
    }

    // A name too long for the card's two lines is cut in the middle: its start and its
    // extension both stay in view, it takes two lines, and the whole name is the tooltip.
    void longFileNameKeepsBothEndsOnTwoLines()
    {
        FileNameLabel label;
        const int width = 260;
        const int line = label.fontMetrics().lineSpacing();
        label.setText(QStringLiteral("report.pdf"));
        QCOMPARE(label.displayText(width), QStringLiteral("report.pdf"));
        QCOMPARE(label.heightForWidth(width), line);

        const QString name =
            QStringLiteral("quarterly-report-%1-final.pdf").arg(QString(200, QLatin1Char('x')));
        label.setText(name);
        const QString shown = label.displayText(width);
        QVERIFY2(shown.startsWith(QStringLiteral("quarterly-")), qPrintable(shown));
        QVERIFY2(shown.endsWith(QStringLiteral("-final.pdf")), qPrintable(shown));
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QCOMPARE(label.heightForWidth(width), 2 * line);
        QCOMPARE(label.toolTip(), name);
    }

    // A status longer than its two lines is cut with an ellipsis; the whole text stays in
    // the tooltip and the accessible name.
    void longStatusIsCutWithAnEllipsis()
    {
        ActionPaletteView palette({});
        palette.show();
        QVERIFY(QTest::qWaitForWindowExposed(&palette));
        auto* line = palette.findChild<QLabel*>(QStringLiteral("statusLine"));
        const QString message =
            QStringLiteral("Not moved: the folder /media/backup/Documents/Invoices/2024 "
                           "could not be written (Read-only file system); the file stayed "
                           "in Downloads and nothing was changed in the destination folder, "
                           "which you can check in the file manager");
        palette.setStatus(StatusLine{message, StatusLine::Kind::Error});
        const QStringList lines = line->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), ActionPaletteView::statusLines);
        QVERIFY2(lines.last().endsWith(QStringLiteral("\u2026")), qPrintable(line->text()));
        for (const QString& shown : lines)
            QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
        QCOMPARE(line->toolTip(), message);
        QCOMPARE(line->accessibleName(), message);

        // Narrower, it is cut again for the new width.
        palette.resize(ActionPaletteView::minimumColumnWidth, palette.height());
        STOWBIRD_TRY_VERIFY(line->width() < palette.maximumWidth() - 20, 5000);
        for (const QString& shown : line->text().split(QLatin1Char('\n')))
            QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
        QVERIFY(line->text().endsWith(QStringLiteral("\u2026")));
    }

    // A status that begins with a name in Arabic is still an English sentence: the name is
    // drawn first, from the left, and its extension stays with it rather than landing in the
    // middle of a line turned around.
    void statusStartingWithAnArabicNameKeepsItsOrder()
    {
        ActionPaletteView palette({});
        palette.show();
        QVERIFY(QTest::qWaitForWindowExposed(&palette));
        auto* line = palette.findChild<QLabel*>(QStringLiteral("statusLine"));
        const QString name = QStringLiteral("\u062a\u0642\u0631\u064a\u0631");
        palette.setStatus(StatusLine{name, StatusLine::Kind::Info});
        const QImage alone = line->grab().toImage();
        palette.setStatus(
            StatusLine{name + QStringLiteral(".pdf is back in Downloads"), StatusLine::Kind::Info});
        const QImage sentence = line->grab().toImage();
        const auto [first, last] = inkColumns(alone);
        QVERIFY(last > first);
        QCOMPARE(columns(sentence, first, last - 2), columns(alone, first, last - 2));
    }

    void renameFieldTakesFocusAndBindsBothWays()
    {
        m_queue->enqueue(QUrl::fromLocalFile(file("draft.txt")));
        QApplication::setActiveWindow(m_panel.get());
        QTest::keyClick(m_view, Qt::Key_R);
        auto* field = m_view->findChild<QLineEdit*>(QStringLiteral("renameField"));
        QVERIFY(field);
        STOWBIRD_TRY_VERIFY(field->hasFocus(), 5000);
        QCOMPARE(field->text(), QStringLiteral("draft.txt"));
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, "2");
        QCOMPARE(m_view->renameText(), QStringLiteral("draft.txt2"));
        // The palette is replaced by the rename panel while renaming.
        QVERIFY(!palette()->isVisible());
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!m_view->isRenaming());
        QVERIFY(palette()->isVisible());
    }

    void largeFileWaitsForLoadPreview()
    {
        m_queue->enqueue(QUrl::fromLocalFile(file("exactly.bin", 1000000000)));
        m_queue->enqueue(QUrl::fromLocalFile(file("huge.iso", 1000000001)));
        // 10^9 bytes exactly previews at once.
        STOWBIRD_TRY_VERIFY(m_view->findChild<QuickLookHostView*>(), 5000);
        QVERIFY(!m_view->findChild<QWidget*>(QStringLiteral("largeFileNotice")));

        m_queue->skipCurrent();
        STOWBIRD_TRY_VERIFY(m_view->findChild<QWidget*>(QStringLiteral("largeFileNotice")), 5000);
        QWidget* notice = m_view->findChild<QWidget*>(QStringLiteral("largeFileNotice"));
        QVERIFY(notice);
        STOWBIRD_TRY_VERIFY(!m_view->findChild<QuickLookHostView*>(), 5000);
        auto* load = notice->findChild<QPushButton*>(QStringLiteral("loadPreviewButton"));
        QVERIFY(load);
        QTest::mouseClick(load, Qt::LeftButton);
        QVERIFY(m_view->allowLargePreview());
        STOWBIRD_TRY_VERIFY(m_view->findChild<QuickLookHostView*>(), 5000);
        QuickLookHostView* host = m_view->findChild<QuickLookHostView*>();
        QVERIFY(host->allowLargePreview());
        QCOMPARE(host->fileURL().value(), QUrl::fromLocalFile(m_downloads + "/huge.iso"));
    }

    void foldersShowTheInspector()
    {
        QVERIFY(QDir().mkpath(m_downloads + "/Album"));
        QFile photo(m_downloads + "/Album/a.png");
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.close();
        m_queue->enqueue(QUrl::fromLocalFile(m_downloads + "/Album"));
        STOWBIRD_TRY_VERIFY(m_view->findChild<FolderInspectorView*>(), 5000);
        auto* inspector = m_view->findChild<FolderInspectorView*>();
        QCOMPARE(inspector->folderURL(), QUrl::fromLocalFile(m_downloads + "/Album"));
    }

    // The empty state names the folder actually watched, as xdg-user-dirs calls it.
    void emptyStateNamesTheWatchedFolder()
    {
        QVERIFY(m_view->findChild<QWidget*>(QStringLiteral("emptyState"))->isVisible());
        auto text = [](QWidget* view) {
            QStringList texts;
            for (QLabel* label : view->findChildren<QLabel*>())
                texts << label->text();
            return texts.join(QLatin1Char('\n'));
        };
        QVERIFY(text(m_view).contains(QStringLiteral("monitoring ~/Downloads for new files")));

        auto services = m_services->services();
        services.downloadsDirectory = m_home + QStringLiteral("/Téléchargements");
        TriageContainerView french(
            services, [] {}, [] {});
        QVERIFY(
            text(&french).contains(QStringLiteral("monitoring ~/Téléchargements for new files")));
        QVERIFY(!text(&french).contains(QStringLiteral("~/Downloads")));
    }

    void emptyStateReviewsSkippedFiles()
    {
        for (const char* name : {"x.zip", "y.zip", "z.zip"}) {
            m_queue->enqueue(QUrl::fromLocalFile(file(name)));
            m_queue->skipCurrent();
        }
        auto* button = m_view->findChild<QPushButton*>(QStringLiteral("reviewSkippedButton"));
        QVERIFY(button);
        STOWBIRD_TRY_VERIFY(button->isVisible(), 5000);
        QCOMPARE(button->text(), QStringLiteral("Review 3 Skipped Files"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_queue->skippedPaths().isEmpty());
        STOWBIRD_TRY_VERIFY(!button->isVisible(), 5000);
    }

    void overlaysFollowTheState()
    {
        m_queue->enqueue(QUrl::fromLocalFile(file("a.txt")));
        m_view->setShowingCheatSheet(true);
        STOWBIRD_TRY_VERIFY(m_view->findChild<CheatSheetOverlay*>(), 5000);
        m_view->setShowingCheatSheet(false);
        STOWBIRD_TRY_VERIFY(!m_view->findChild<CheatSheetOverlay*>(), 5000);

        auto* gear = m_view->findChild<QAbstractButton*>(QStringLiteral("settingsButton"));
        QTest::mouseClick(gear, Qt::LeftButton);
        QVERIFY(m_view->showingSettings());
        STOWBIRD_TRY_VERIFY(m_view->findChild<SettingsSheet*>(), 5000);
        // While the sheet is open its fields own the keyboard: digits do not route.
        QTest::keyClick(m_view, Qt::Key_1);
        QVERIFY(!m_view->isProcessingAction());
        QCOMPARE(m_queue->items().size(), 1);
        m_view->setShowingSettings(false);
        STOWBIRD_TRY_VERIFY(!m_view->findChild<SettingsSheet*>(), 5000);
    }
};

STOWBIRD_TEST_MAIN(TestTriageScreen)
#include "TestTriageScreen.moc"
