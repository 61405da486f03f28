// Renders the HUD in its main states to PNG files, from the real widgets on the offscreen
// platform, in the light and the dark palette.
// Usage: RenderHudScreenshots OUTPUT_FOLDER [NAME_PREFIX] [LANGUAGE], the prefix choosing some
// of them; with a language (de, fr, ru) the window speaks it and the names end in -LANGUAGE.
#include "HudTestServices.h"
#include "ScreenshotPalettes.h"
#include "TestEnvironment.h"
#include "app/TriageHUDPanel.h"
#include "crashreporting/CrashReporter.h"
#include "fakes/ScriptedShortcutBackend.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "platform/UiTranslations.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/ActionProgressView.h"
#include "views/HistoryView.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

void writeImage(const QString& path, int w, int h, const QColor& a, const QColor& b)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(image.rect(), g);
    p.setPen(QPen(Qt::white, w / 60));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QPoint(w * 2 / 3, h / 3), w / 7, w / 7);
    p.end();
    QDir().mkpath(QFileInfo(path).absolutePath());
    image.save(path);
}

// A week of triage as the history window lists it: filings into slots and folders, with the
// sites they came from, a rename, a trash, a skip, and a filing taken back.
void recordHistory(HistoryStore& store, const QString& home)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString downloads = home + "/Downloads";
    const auto entry = [&](HistoryEntry::Action action, const QString& name, const QString& to,
                           qint64 minutesAgo, int slot = 0, const QString& host = {}) {
        HistoryEntry e;
        e.action = action;
        e.itemName = name;
        e.fromPath = downloads + "/" + name;
        e.toPath = to.isEmpty() ? QString() : to + "/" + name;
        e.time = now.addSecs(-minutesAgo * 60);
        e.slot = slot;
        e.originHost = host;
        return e;
    };
    using Action = HistoryEntry::Action;
    const QList<HistoryEntry> older = {
        entry(Action::MovedToFolder, "benchy-v2.stl", home + "/3D Prints", 9 * 24 * 60, 0,
              "www.printables.com"),
        entry(Action::MovedToSlot, "ubuntu-24.04-desktop-amd64.iso", home + "/Software/Installers",
              2 * 24 * 60 + 40, 8, "releases.ubuntu.com"),
        entry(Action::Skipped, "IMG_0007.jpg", {}, 26 * 60),
        entry(Action::MovedToSlot, "Holiday photos", home + "/Pictures", 25 * 60, 2),
        entry(Action::Trashed, "setup (1).exe", home + "/.local/share/Trash/files", 3 * 60 + 5),
    };
    HistoryEntry renamed = entry(Action::Renamed, "notes.md", downloads, 2 * 60 + 30);
    renamed.toPath = downloads + "/Trip notes.md";
    const HistoryEntry invoice = entry(Action::MovedToSlot, "Invoice 2026-03.pdf",
                                       home + "/Documents/Finance", 58, 3, "billing.example.com");
    HistoryEntry putBack = entry(Action::Undone, "Invoice 2026-03.pdf", downloads, 41);
    putBack.undoOf = invoice.id;
    putBack.fromPath = invoice.toPath;
    const QList<HistoryEntry> newer = {
        entry(Action::MovedToSlot, "Quarterly report.pdf", home + "/Documents", 12, 1,
              "files.example.org"),
        entry(Action::MovedToSlot, "Sunset at the pier.jpg", home + "/Pictures/Screenshots", 2, 4,
              "images.example.net"),
    };
    for (const HistoryEntry& e : older)
        store.record(e);
    for (const HistoryEntry& e : {renamed, invoice, putBack})
        store.record(e);
    for (const HistoryEntry& e : newer)
        store.record(e);
    store.waitForWrites();
}

// The same week with two group actions on top: a scanner session of fourteen pages filed
// with one key, and three old installers trashed with one key.
void recordGroups(HistoryStore& store, const QString& home)
{
    recordHistory(store, home);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto member = [&](HistoryEntry::Action action, const QString& name, const QString& to,
                            qint64 secondsAgo) {
        HistoryEntry e;
        e.action = action;
        e.itemName = name;
        e.kind = QStringLiteral("application/pdf");
        e.size = 180'000;
        e.fromPath = home + "/Downloads/" + name;
        e.toPath = to + "/" + name;
        e.time = now.addSecs(-secondsAgo);
        e.slot = action == HistoryEntry::Action::MovedToSlot ? 1 : 0;
        return e;
    };
    QList<HistoryEntry> installers;
    for (const char* name : {"setup (2).exe", "setup (3).exe", "setup (4).exe"})
        installers << member(HistoryEntry::Action::Trashed, name,
                             home + "/.local/share/Trash/files", 70);
    QList<HistoryEntry> scans;
    for (int i = 1; i <= 14; ++i)
        scans << member(HistoryEntry::Action::MovedToSlot,
                        QStringLiteral("scan_%1.pdf").arg(i, 3, 10, QLatin1Char('0')),
                        home + "/Documents", 30);
    store.record(HistoryEntry::group(installers));
    store.record(HistoryEntry::group(scans));
    store.waitForWrites();
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString language = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QString suffix =
        language.isEmpty() ? QString() : u'-' + UiTranslations::install(QLocale(language));

    const QString home = QDir::homePath();
    const QString downloads = home + "/Downloads";
    // As on a first run: ~/Developer/Projects and ~/Documents/Finance do not exist yet.
    for (const char* folder : {"Documents", "Pictures/Screenshots"})
        QDir().mkpath(home + "/" + folder);

    writeImage(downloads + "/Sunset at the pier.jpg", 1600, 1067, QColor(0xff, 0x7e, 0x5f),
               QColor(0x6a, 0x3d, 0x9a));
    {
        QPdfWriter pdf(downloads + "/Quarterly report.pdf");
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(96);
        QPainter painter(&pdf);
        QFont title;
        title.setPixelSize(34);
        title.setBold(true);
        painter.setFont(title);
        painter.drawText(QRect(60, 60, 680, 60), QStringLiteral("Quarterly report"));
        QFont body;
        body.setPixelSize(16);
        painter.setFont(body);
        painter.drawText(QRect(60, 140, 680, 400), Qt::TextWordWrap,
                         QStringLiteral("Revenue grew 12% over the quarter, led by the new "
                                        "subscription plans. Costs stayed flat."));
        for (int i = 0; i < 6; ++i)
            painter.fillRect(QRect(80 + i * 100, 560 - i * 40, 60, 200 + i * 40),
                             QColor::fromHsv(210, 120 + i * 20, 220));
    }
    writeFile(downloads + "/notes.md", "# Trip notes\n\n- Pack the charger\n- Book the ferry\n");
    for (int i = 1; i <= 6; ++i)
        writeImage(QStringLiteral("%1/Holiday photos/IMG_%2.jpg")
                       .arg(downloads)
                       .arg(i, 4, 10, QLatin1Char('0')),
                   640, 480, QColor::fromHsv(i * 50, 160, 230),
                   QColor::fromHsv(i * 50 + 90, 200, 120));
    {
        QFile big(downloads + "/ubuntu-24.04-desktop-amd64.iso");
        if (big.open(QIODevice::WriteOnly))
            big.resize(qint64(5'900'000'000)); // sparse: takes no room
    }

    // Fourteen pages of one scanner session, and a lease agreement downloaded again three
    // days after the first copy was filed into Documents.
    for (int i = 1; i <= 14; ++i) {
        const QString scan =
            QStringLiteral("%1/scan_%2.pdf").arg(downloads).arg(i, 3, 10, QLatin1Char('0'));
        QFile::copy(downloads + "/Quarterly report.pdf", scan);
        QFile page(scan);
        if (page.open(QIODevice::Append))
            page.write(QStringLiteral("%% page %1\n").arg(i).toLatin1());
    }
    QFile::copy(downloads + "/Quarterly report.pdf", home + "/Documents/Lease agreement.pdf");
    QFile::copy(downloads + "/Quarterly report.pdf", downloads + "/Lease agreement (1).pdf");

    HudTestServices<> hud(home);
    TriageQueueManager& queue = *hud.queue;
    HistoryStore history(HistoryStore::defaultDatabasePath(),
                         std::make_unique<FreedesktopTrash>(home + "/.local/share"), *hud.logger);
    recordHistory(history, home);
    {
        HistoryEntry lease;
        lease.action = HistoryEntry::Action::MovedToSlot;
        lease.slot = 1;
        lease.itemName = QStringLiteral("Lease agreement.pdf");
        lease.size = QFileInfo(home + "/Documents/Lease agreement.pdf").size();
        lease.fromPath = downloads + "/Lease agreement.pdf";
        lease.toPath = home + "/Documents/Lease agreement.pdf";
        lease.time = QDateTime::currentDateTimeUtc().addDays(-3);
        history.record(lease);
        history.waitForWrites();
    }
    HistoryStore groupHistory(home + "/group-history/history.sqlite3",
                              std::make_unique<FreedesktopTrash>(home + "/.local/share"),
                              *hud.logger);
    recordGroups(groupHistory, home);

    // The desktop-wide shortcut as an X11 session binds it (the settings sheet shows it).
    hud.globalShortcut->start(QStringLiteral("Alt+Shift+D"),
                              std::make_unique<ScriptedShortcutBackend>());
    const QList<DestinationSlot> fourSlots = hud.config->config().destinationSlots;
    QList<DestinationSlot> fiveSlots = fourSlots;
    fiveSlots.append({5, QStringLiteral("Music"), QStringLiteral("~/Music")});
    QDir().mkpath(home + "/Music");
    // Nine slots, the most there are keys for; one folder missing.
    QList<DestinationSlot> nineSlots = fiveSlots;
    nineSlots.append({6, QStringLiteral("Videos"), QStringLiteral("~/Videos")});
    nineSlots.append({7, QStringLiteral("Books"), QStringLiteral("~/Documents/Books")});
    nineSlots.append({8, QStringLiteral("Installers"), QStringLiteral("~/Software/Installers")});
    nineSlots.append({9, QStringLiteral("Family Archive"), QStringLiteral("/srv/archive/family")});
    for (const char* folder : {"Videos", "Documents/Books", "Software/Installers"})
        QDir().mkpath(home + "/" + folder);

    struct Shot
    {
        QString name;
        QString file; // head item in Downloads, or empty for the empty state
        std::function<void(TriageContainerView*)> prepare;
        QSize size = QSize(840, 540);
        QList<DestinationSlot> slotList = {};
        HistoryStore* history = nullptr; // the week's history unless set
    };
    const QList<Shot> shots{
        {"hud-image", "Sunset at the pier.jpg", {}},
        {"hud-pdf", "Quarterly report.pdf", {}},
        {"hud-text", "notes.md", {}},
        {"hud-folder", "Holiday photos", {}},
        {"hud-large-file", "ubuntu-24.04-desktop-amd64.iso", {}},
        {"hud-rename", "Sunset at the pier.jpg", [](TriageContainerView* v) { v->startRename(); }},
        {"hud-cheat-sheet", "notes.md",
         [](TriageContainerView* v) { v->setShowingCheatSheet(true); }},
        {"hud-settings", "notes.md", [](TriageContainerView* v) { v->setShowingSettings(true); }},
        // The history window (h) over the default window; and at the smallest window, with a
        // filter typed, and z on a filing that was already taken back.
        {"hud-history", "notes.md", [](TriageContainerView* v) { v->setShowingHistory(true); }},
        {"hud-history-filter", "notes.md",
         [](TriageContainerView* v) {
             v->setShowingHistory(true);
             auto* window = v->findChild<HistoryView*>();
             window->filterField()->setText(QStringLiteral("pdf"));
             QTimer::singleShot(700, window, [window] {
                 window->moveSelection(2);
                 window->undoSelected();
             });
         },
         QSize(760, 480)},
        // Group actions, each one row: fourteen scans filed and three installers trashed.
        {"hud-history-group",
         "notes.md",
         [](TriageContainerView* v) { v->setShowingHistory(true); },
         QSize(840, 540),
         {},
         &groupHistory},
        // The status line of a move still running past the watchdog, and of a failure.
        {"hud-status-progress", "notes.md",
         [](TriageContainerView* v) {
             v->actions()->showStatus(
                 QStringLiteral("Still moving Holiday photos to Backup: 1.2 GB of 3.4 GB"),
                 StatusLine::Kind::Progress);
         }},
        {"hud-status-error", "Quarterly report.pdf",
         [](TriageContainerView* v) {
             v->actions()->showStatus(QStringLiteral("Failed to move: Could not write the copy: "
                                                     "No space left on device"),
                                      StatusLine::Kind::Error);
         }},
        {"hud-empty", {}, {}},
        // Fourteen scans at the head: the note under the card, and the third one looked at
        // with the arrow key.
        {"hud-group", "scan_001.pdf",
         [&queue, downloads](TriageContainerView* v) {
             for (int i = 2; i <= 14; ++i)
                 queue.enqueue(QUrl::fromLocalFile(QStringLiteral("%1/scan_%2.pdf")
                                                       .arg(downloads)
                                                       .arg(i, 3, 10, QLatin1Char('0'))));
             QTimer::singleShot(600, v, [v] {
                 v->stepGroup(true);
                 v->stepGroup(true);
             });
         }},
        // A second download of a file already filed: the note, and the button that trashes it.
        {"hud-duplicate", "Lease agreement (1).pdf", {}},
        // The default window with the four default slots and with nine: every slot and the
        // custom row in view, no scrolling.
        {"hud-four-slots", "Quarterly report.pdf", {}, QSize(840, 540), fourSlots},
        {"hud-nine-slots", "Quarterly report.pdf", {}, QSize(840, 540), nineSlots},
        // A long move onto another disk with two more actions waiting behind it: the strip
        // along the bottom, with every slot still in view above it. (The strip is given its
        // state directly, just before the picture, as a running copy would give it.)
        {"hud-nine-slots-moving", "Quarterly report.pdf",
         [](TriageContainerView* v) {
             QTimer::singleShot(1100, v, [v] {
                 auto* strip = v->findChild<ActionProgressView*>();
                 TriageActionController::RunningAction running;
                 running.text = QStringLiteral("Moving Holiday photos to Family Archive");
                 running.bytesDone = 1'240'000'000;
                 running.bytesTotal = 3'400'000'000;
                 running.msLeft = 104'000;
                 running.waiting = {QStringLiteral("Move notes.md to Documents"),
                                    QStringLiteral("Trash setup.exe")};
                 strip->setAction(running);
                 strip->show();
             });
         },
         QSize(840, 540), nineSlots},
        // The preferences with nine slots: all rows in view, Add Slot turned off.
        {"hud-settings-nine-slots", "notes.md",
         [](TriageContainerView* v) { v->setShowingSettings(true); }, QSize(840, 540), nineSlots},
        // Key 3 with ~/Documents/Finance missing: the offer to create it.
        {"hud-create-folder", "Quarterly report.pdf",
         [&fourSlots](TriageContainerView* v) {
             v->offerToCreateSlotFolder(fourSlots.at(2), InputMethod::keyboard);
         }},
        // The smallest window with five slots, two to a line, just after filing an item:
        // the status line has its own room below them.
        {"hud-five-slots-status", "Invoice 2026-03.pdf",
         [&fiveSlots](TriageContainerView* v) {
             v->routeToSlot(fiveSlots.first(), InputMethod::keyboard);
         },
         QSize(760, 480), fiveSlots},
    };

    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? ScreenshotPalettes::dark() : ScreenshotPalettes::light());
        for (const Shot& shot : shots) {
            if (!shot.name.startsWith(only))
                continue;
            while (queue.dequeue()) {
            }
            queue.clearSkipCache();
            if (shot.file.isEmpty()) {
                // Three skipped files wait behind the empty state's button.
                for (const char* name : {"a.zip", "b.zip", "c.zip"}) {
                    writeFile(downloads + "/" + name, "zip");
                    queue.enqueue(QUrl::fromLocalFile(downloads + "/" + name));
                    queue.skipCurrent();
                }
            } else {
                // A file that a shot files away is written again for the next one.
                if (!QFileInfo::exists(downloads + "/" + shot.file))
                    writeFile(downloads + "/" + shot.file, "%PDF-1.4\n");
                queue.enqueue(QUrl::fromLocalFile(downloads + "/" + shot.file));
                for (const char* other : {"notes.md", "Quarterly report.pdf", "Holiday photos"})
                    queue.enqueue(QUrl::fromLocalFile(downloads + "/" + other));
            }
            AppConfig config = hud.config->config();
            config.destinationSlots = shot.slotList.isEmpty() ? fourSlots : shot.slotList;
            hud.config->saveConfig(config);
            TriageHUDPanel panel;
            TriageContainerView::Services services = hud.services();
            services.history = shot.history ? shot.history : &history;
            auto* view = new TriageContainerView(
                services, [] {}, [] {});
            panel.setContentView(view);
            panel.resize(shot.size);
            panel.show();
            if (shot.prepare)
                shot.prepare(view);
            // Let previews and thumbnails made off the GUI thread arrive.
            QTest::qWait(1200);
            const QString path = QStringLiteral("%1/%2-%3%4.png")
                                     .arg(out, shot.name, dark ? "dark" : "light", suffix);
            panel.grab().save(path);
            std::printf("%s\n", qPrintable(path));
        }
    }
    return 0;
}
