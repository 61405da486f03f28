// The HUD's responsiveness and footprint:
//  1. from a key press to the next head item drawn, for a queue of 50 items;
//  2. the same with a lasting history of 100,000 entries behind the window: every action
//     recorded, a predictor learned from all of them, and each new head item's suggestion
//     asked for and drawn (its slot highlighted, its reason shown);
//  3. start-up (launch sequence to the HUD drawn) with 10,000 files waiting in Downloads;
//  4. resident memory of the real program with the HUD hidden.
// Usage: BenchHud [path-to-stowbird]
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "crashreporting/CrashReporter.h"
#include "models/DestinationPredictor.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HistoryDatabase.h"
#include "platform/ItemRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/SuggestionService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "views/ActionPaletteView.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

void makeFiles(const QString& folder, int count, const QString& prefix,
               const QString& extension = QStringLiteral("pdf"))
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile f(QStringLiteral("%1/%2-%3.%4")
                    .arg(folder, prefix)
                    .arg(i, 5, 10, QLatin1Char('0'))
                    .arg(extension));
        if (f.open(QIODevice::WriteOnly))
            f.write("%PDF-1.4\n");
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void keyToNextItem()
{
    const QString home = QDir::homePath();
    const QString folder = home + "/KeyBench";
    makeFiles(folder, 120, "key");
    QDir().mkpath(home + "/Documents");
    HudTestServices<> hud(home);
    TriageQueueManager& queue = *hud.queue;
    QList<QUrl> urls;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        urls.append(QUrl::fromLocalFile(folder + "/" + name));
    queue.enqueueBatch(urls);

    TriageHUDPanel panel;
    auto* view = new TriageContainerView(
        hud.services(), [] {}, [] {});
    panel.setContentView(view);
    panel.show();
    QTest::qWait(200);

    std::vector<double> skipMs;
    std::vector<double> moveMs;
    QElapsedTimer timer;
    for (int i = 0; i < 30; ++i) {
        // Tab (skip) and 1 (move to slot 1), alternately; the time covers the key's handling,
        // the new head's layout and a full repaint of the window.
        const bool move = i % 2;
        timer.start();
        QTest::keyClick(view, move ? Qt::Key_1 : Qt::Key_Tab);
        panel.repaint();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        (move ? moveMs : skipMs).push_back(ms);
        // Let the move finish before the next key, as a person's next press would.
        QTRY_VERIFY_WITH_TIMEOUT(!view->isProcessingAction(), 5000);
        QTest::qWait(20);
    }
    std::printf("key to next item drawn (queue of 50): skip median %.2f ms (max %.2f), move median "
                "%.2f ms (max %.2f)\n",
                median(skipMs), *std::max_element(skipMs.begin(), skipMs.end()), median(moveMs),
                *std::max_element(moveMs.begin(), moveMs.end()));
}

// A year of filings: a dozen kinds of download, each with its names, hosts and sizes, going
// to the slots and to folders chosen by hand, some habits changing half-way, some noise.
QList<HistoryEntry> madeUpHistory(const QString& home, int count)
{
    struct Kind
    {
        QString prefix;
        QString extension;
        QString kind;
        QString host;
        QString folder;
        int slot;
        qint64 size;
    };
    const QString documents = home + "/Documents";
    const QList<Kind> kinds = {
        {"model", "stl", "model/stl", "files.printables.com", documents, 1, 2000000},
        {"invoice", "pdf", "application/pdf", "billing.example.com", home + "/Invoices", 0, 80000},
        {"statement", "pdf", "application/pdf", "bank.example.net", home + "/Bank", 0, 120000},
        {"paper", "pdf", "application/pdf", "arxiv.org", home + "/Papers", 0, 900000},
        {"IMG", "jpg", "image/jpeg", "", home + "/Pictures", 2, 3000000},
        {"Screenshot", "png", "image/png", "", home + "/Pictures/Screens", 0, 400000},
        {"setup", "deb", "application/vnd.debian.binary-package", "downloads.example.org",
         home + "/Software", 0, 50000000},
        {"track", "flac", "audio/flac", "music.example.com", home + "/Music", 3, 30000000},
        {"book", "epub", "application/epub+zip", "books.example.org", home + "/Books", 0, 2000000},
        {"report", "docx",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
         "intranet.example.com", home + "/Work", 4, 200000},
        {"plan", "dwg", "image/vnd.dwg", "architect.example.com", home + "/House", 0, 5000000},
        {"archive", "zip", "application/zip", "", home + "/Archives", 0, 10000000},
    };
    std::mt19937_64 rng(23);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-300);
    QList<HistoryEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Kind& kind = kinds[size_t(rng() % size_t(kinds.size()))];
        HistoryEntry entry;
        entry.time = start.addSecs(qint64(i) * 300 * 86400 / count);
        entry.itemName = QStringLiteral("%1-%2.%3").arg(kind.prefix).arg(i).arg(kind.extension);
        entry.kind = kind.kind;
        entry.size = kind.size + qint64(rng() % 1000);
        entry.originHost = kind.host;
        entry.fromPath = home + "/Downloads/" + entry.itemName;
        QString folder = kind.folder;
        int slot = kind.slot;
        // Invoices went to slot 4 until half-way; 5% go anywhere.
        if (kind.prefix == QLatin1String("invoice") && i < count / 2) {
            folder = home + "/Work";
            slot = 4;
        }
        if (rng() % 100 < 5) {
            folder = kinds[size_t(rng() % size_t(kinds.size()))].folder;
            slot = 0;
        }
        entry.action =
            slot > 0 ? HistoryEntry::Action::MovedToSlot : HistoryEntry::Action::MovedToFolder;
        entry.slot = slot;
        entry.toPath = folder + "/" + entry.itemName;
        entries.append(entry);
    }
    return entries;
}

void keyToNextItemWithHistory()
{
    const QString home = QDir::homePath();
    const QString folder = home + "/HistoryKeyBench";
    makeFiles(folder, 120, "model", QStringLiteral("stl"));
    QDir().mkpath(home + "/Documents");
    const int historySize = HistoryStore::maximumEntries;
    const QList<HistoryEntry> made = madeUpHistory(home, historySize);
    const QString databasePath = home + "/bench-history/history.sqlite3";
    {
        HistoryDatabase database(databasePath);
        if (!database.openForWriting(false).ok()) {
            std::printf("key to next item drawn with a history: skipped (no database)\n");
            return;
        }
        for (qsizetype i = 0; i < made.size(); i += 5000) {
            QList<HistoryEntry> batch = made.mid(i, 5000);
            database.insert(batch);
        }
        qint64 stored = 0;
        database.count(&stored);
        std::printf("history: %lld entries stored\n", static_cast<long long>(stored));
    }
    auto predictor = std::make_shared<DestinationPredictor>();
    QElapsedTimer learning;
    learning.start();
    predictor->learnAll(made);
    std::printf("predictor learned %d filings in %.0f ms (%d feature values)\n",
                predictor->learnedCount(), double(learning.nsecsElapsed()) / 1e6,
                predictor->featureValueCount());

    HudTestServices<> hud(home);
    HistoryStore history(databasePath, std::make_unique<FreedesktopTrash>(home + "/.local/share"),
                         *hud.logger);
    SuggestionService suggestions(&history);
    suggestions.setPredictor(predictor);
    TriageQueueManager& queue = *hud.queue;
    QList<QUrl> urls;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        urls.append(QUrl::fromLocalFile(folder + "/" + name));
    queue.enqueueBatch(urls);

    // The cost of one suggestion alone.
    const TriageItem sample(urls.first());
    const QList<DestinationSlot> configured = hud.config->config().destinationSlots;
    QElapsedTimer asking;
    asking.start();
    int confident = 0;
    for (int i = 0; i < 1000; ++i)
        confident += suggestions.suggest(sample, configured).has_value() ? 1 : 0;
    std::printf("suggestion for an item with %d filings learned: %.1f us (%s)\n",
                predictor->learnedCount(), double(asking.nsecsElapsed()) / 1e3 / 1000,
                confident == 1000 ? "confident" : "not confident");

    TriageContainerView::Services services = hud.services();
    services.history = &history;
    services.suggestions = &suggestions;
    TriageHUDPanel panel;
    auto* view = new TriageContainerView(
        services, [] {}, [] {});
    panel.setContentView(view);
    panel.show();
    // The program opens (checks and prunes) its history at launch, long before a key.
    history.waitForWrites();
    QTest::qWait(200);
    auto* palette = view->findChild<ActionPaletteView*>();

    // Tab (skip), 1 (move to slot 1) and Return (file as suggested), in turn; each new head
    // is an .stl file the history is sure about, so its suggestion is drawn every time.
    std::vector<double> skipMs;
    std::vector<double> moveMs;
    std::vector<double> acceptMs;
    int suggested = 0;
    QElapsedTimer timer;
    const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_1, Qt::Key_Return};
    std::vector<double>* times[] = {&skipMs, &moveMs, &acceptMs};
    for (int i = 0; i < 45; ++i) {
        timer.start();
        QTest::keyClick(view, keys[i % 3]);
        panel.repaint();
        times[i % 3]->push_back(double(timer.nsecsElapsed()) / 1e6);
        suggested += palette && palette->suggestion() ? 1 : 0;
        QTRY_VERIFY_WITH_TIMEOUT(!view->isProcessingAction(), 5000);
        QTest::qWait(20);
    }
    history.waitForWrites();
    const auto maximum = [](const std::vector<double>& values) {
        return *std::max_element(values.begin(), values.end());
    };
    std::printf("key to next item drawn with %d history entries (suggestion drawn for %d of 45 "
                "items): skip median %.2f ms (max %.2f), move median %.2f ms (max %.2f), "
                "Return median %.2f ms (max %.2f)\n",
                historySize, suggested, median(skipMs), maximum(skipMs), median(moveMs),
                maximum(moveMs), median(acceptMs), maximum(acceptMs));
}

void startUp()
{
    const QString downloads = QDir::homePath() + "/StartupDownloads";
    makeFiles(downloads, 10000, "waiting");
    AppDelegate::Options options;
    options.downloadsDirectory = downloads;
    QElapsedTimer timer;
    timer.start();
    AppServices::Root root;
    AppDelegate delegate(root.services(), options);
    delegate.applicationDidFinishLaunching();
    delegate.hudPanel()->repaint();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("start-up to HUD drawn with 10,000 files waiting: %.1f ms (waiting count %lld)\n",
                ms, static_cast<long long>(delegate.waitingCount()));
    delegate.applicationWillTerminate();
}

void residentMemory(const QString& binary)
{
    if (binary.isEmpty() || !QFile::exists(binary)) {
        std::printf("resident memory: skipped (no binary given)\n");
        return;
    }
    const QString home = QDir::homePath() + "/rss-home";
    makeFiles(home + "/Downloads", 10000, "rss");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_STATE_HOME", home + "/.local/state");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_RUNTIME_DIR", home + "/runtime");
    QDir().mkpath(home + "/runtime");
    QProcess app;
    app.setProcessEnvironment(env);
    app.start(binary, {QStringLiteral("--background")});
    if (!app.waitForStarted(5000))
        return;
    QTest::qWait(3000);
    QFile status(QStringLiteral("/proc/%1/status").arg(app.processId()));
    QByteArray rss = "?";
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed();
    std::printf("resident memory with the HUD hidden (10,000 files waiting, %s): %s\n",
                qPrintable(env.value("QT_QPA_PLATFORM", "default platform")), rss.constData());
    app.terminate();
    app.waitForFinished(5000);
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    keyToNextItem();
    keyToNextItemWithHistory();
    startUp();
    residentMemory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    return 0;
}
