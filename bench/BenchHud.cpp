// The HUD's responsiveness and footprint:
//  1. from a key press to the next head item drawn, for a queue of 50 items;
//  2. start-up (launch sequence to the HUD drawn) with 10,000 files waiting in Downloads;
//  3. resident memory of the real program with the HUD hidden.
// Usage: BenchHud [path-to-stowbird]
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "crashreporting/CrashReporter.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

void makeFiles(const QString& folder, int count, const QString& prefix)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile f(QStringLiteral("%1/%2-%3.pdf").arg(folder, prefix).arg(i, 5, 10, QLatin1Char('0')));
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

void startUp()
{
    const QString downloads = QDir::homePath() + "/StartupDownloads";
    makeFiles(downloads, 10000, "waiting");
    AppDelegate::Options options;
    options.downloadsDirectory = downloads;
    QElapsedTimer timer;
    timer.start();
    AppDelegate delegate(AppServices::shared(), options);
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
    startUp();
    residentMemory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    return 0;
}
