// How Stowbird's costs grow with the number of waiting files, each figure side by side with a
// reference measured in the same run:
//   launch   launch to window mapped, the real binary with 0/10k/100k files waiting, against a
//            bare Qt window (this program in `bare` mode); needs an X server (xvfb-run -a).
//   open     the longest event-loop gap while the window opens, in-process, at N files.
//   burst    N files written into the watched folder at once: time from the last close to all
//            of them queued, CPU of the watcher thread, longest event-loop gap meanwhile.
//   rss      resident memory of the real binary started hidden with N files waiting.
//   first    in-process launch straight to the window with N files waiting: time to the
//            window shown, to its first frame, to the head item queued, to its preview drawn
//            and to all N queued, and the longest event-loop gap while the listing is fed.
//   previews `first` R times for each N, taking turns: the medians of the first preview.
// Usage: xvfb-run -a BenchScale all <path-to-stowbird>
//        BenchScale launch <stowbird>[:<another stowbird>...] <count>...
//        BenchScale rss <path-to-stowbird> <count>...
//        BenchScale open|burst|first <count>
//        BenchScale previews <runs> <count>...
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "services/TriageQueueManager.h"
#include "views/QuickLookHostView.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Creates `count` small files quickly (plain syscalls: Qt's file classes would dominate).
void makeFiles(const QString& folder, int count, const char* prefix)
{
    QDir().mkpath(folder);
    const QByteArray base = QFile::encodeName(folder);
    char path[4096];
    for (int i = 0; i < count; ++i) {
        std::snprintf(path, sizeof path, "%s/%s-%06d.pdf", base.constData(), prefix, i);
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] ssize_t written = ::write(fd, "%PDF-1.4\n", 9);
            ::close(fd);
        }
    }
}

// The longest gap between two turns of the event loop, seen by a 1 ms precise timer.
class LoopGapMonitor
{
public:
    LoopGapMonitor()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
    }
    double longestMs() const { return double(m_longest) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void spinFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// user+system CPU of one of this process's threads, by its name, in milliseconds.
double threadCpuMs(const QByteArray& name)
{
    const long ticks = sysconf(_SC_CLK_TCK);
    for (const QString& tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name)
            continue;
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray line = stat.readAll();
        // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return -1;
        return double(fields[11].toLongLong() + fields[12].toLongLong()) * 1000.0 / double(ticks);
    }
    return -1;
}

QProcessEnvironment homeEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The program under test picks its platform as a user's would (xcb under X).
    env.remove("QT_QPA_PLATFORM");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_STATE_HOME", home + "/.local/state");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    env.insert("XDG_RUNTIME_DIR", home + "/runtime");
    QDir().mkpath(home + "/runtime");
    QFile::setPermissions(home + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return env;
}

// Milliseconds from starting `program` to the first ordinary top-level window it maps on the
// X server, or -1. MapNotify on the root window is exactly the moment the window appears.
double launchToMappedMs(const QString& program, const QStringList& args,
                        const QProcessEnvironment& env)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return -1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    double result = -1;
    pollfd pfd{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (result < 0 && timer.elapsed() < 20000) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!map->override_redirect && result < 0)
                    result = double(timer.nsecsElapsed()) / 1e6;
            }
            free(event);
        }
        if (result < 0)
            ::poll(&pfd, 1, 50);
    }
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
    xcb_disconnect(connection);
    return result;
}

// The bare window and the program take turns, round by round, so that a machine busy with
// something else slows both alike; the ratio is that of the medians. `binaries` may name
// several builds separated by ':' (an older one beside the current one); they take turns too.
int runLaunch(const QString& binaries, const QList<int>& counts, int rounds)
{
    QTemporaryDir scratch;
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList programs = binaries.split(u':', Qt::SkipEmptyParts);
    for (int count : counts)
        makeFiles(scratch.path() + QStringLiteral("/home-%1/Downloads").arg(count), count,
                  "waiting");
    std::vector<double> bare;
    std::vector<std::vector<double>> runs(programs.size() * counts.size());
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(launchToMappedMs(self, {QStringLiteral("bare")},
                                        homeEnvironment(scratch.path() + "/bare")));
        for (qsizetype p = 0; p < programs.size(); ++p)
            for (qsizetype i = 0; i < counts.size(); ++i)
                runs[p * counts.size() + i].push_back(launchToMappedMs(
                    programs[p], {},
                    homeEnvironment(scratch.path() + QStringLiteral("/home-%1").arg(counts[i]))));
    }
    const double bareMs = median(bare);
    std::printf("launch to window mapped, bare Qt window: %.0f ms (median of %d)\n", bareMs,
                rounds);
    for (qsizetype p = 0; p < programs.size(); ++p)
        for (qsizetype i = 0; i < counts.size(); ++i) {
            const double ms = median(runs[p * counts.size() + i]);
            std::printf("launch to window mapped, %s with %6d waiting: %.0f ms = %.2f x bare\n",
                        qPrintable(programs[p]), counts[i], ms, bareMs > 0 ? ms / bareMs : 0.0);
        }
    return 0;
}

// Resident and peak memory of the real program started hidden with `count` files waiting.
int runRss(const QString& binary, const QList<int>& counts)
{
    QTemporaryDir scratch;
    for (int count : counts) {
        const QString home = scratch.path() + QStringLiteral("/home-%1").arg(count);
        makeFiles(home + "/Downloads", count, "rss");
        const QProcessEnvironment env = homeEnvironment(home);
        QProcess app;
        app.setProcessEnvironment(env);
        app.setStandardOutputFile(QProcess::nullDevice());
        app.start(binary, {QStringLiteral("--background")});
        if (!app.waitForStarted(5000))
            return 1;
        // Wait until the running copy reports every file waiting, then let it settle.
        const QByteArray expected = "waiting=" + QByteArray::number(count);
        QElapsedTimer t;
        t.start();
        bool counted = false;
        while (!counted && t.elapsed() < 60000) {
            QProcess status;
            status.setProcessEnvironment(env);
            status.start(binary, {QStringLiteral("--status")});
            status.waitForFinished(5000);
            counted = status.readAllStandardOutput().startsWith(expected);
            if (!counted)
                spinFor(200);
        }
        spinFor(1000);
        QByteArray rss = "?", peak = "?";
        QFile file(QStringLiteral("/proc/%1/status").arg(app.processId()));
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    rss = line.mid(6).trimmed();
                if (line.startsWith("VmHWM:"))
                    peak = line.mid(6).trimmed();
            }
        std::printf("resident memory, window hidden, %6d waiting%s: %s (peak %s)\n", count,
                    counted ? "" : " (count not reached)", rss.constData(), peak.constData());
        app.terminate();
        app.waitForFinished(5000);
    }
    return 0;
}

AppDelegate::Options delegateOptions(const QString& downloads)
{
    AppDelegate::Options options;
    options.downloadsDirectory = downloads;
    options.openHUDAtLaunch = false;
    return options;
}

// In-process: the longest event-loop gap while the window opens with `count` files waiting,
// the worst of three opens (the first one at launch included).
int runOpen(int count)
{
    const QString downloads = QDir::homePath() + "/Downloads";
    makeFiles(downloads, count, "open");
    AppServices::Root root;
    AppDelegate delegate(root.services(), delegateOptions(downloads));
    LoopGapMonitor monitor;
    monitor.start();
    delegate.applicationDidFinishLaunching();
    spinUntil([&] { return delegate.waitingCount() >= count; }, 60000);
    spinFor(300);
    double worst = 0;
    for (int i = 0; i < 3; ++i) {
        monitor.start();
        QTimer::singleShot(0, &delegate, &AppDelegate::openHUD);
        spinFor(700);
        // A long call may end after the spin's deadline: let the next tick see the gap.
        spinFor(20);
        worst = std::max(worst, monitor.longestMs());
        delegate.dismissHUD();
        spinFor(100);
    }
    std::printf("longest GUI stall while the window opens, %6d waiting: %.1f ms (waiting %lld)\n",
                count, worst, static_cast<long long>(delegate.waitingCount()));
    delegate.applicationWillTerminate();
    return 0;
}

// In-process: launch straight to the window with `count` files waiting. The clock starts
// just before the launch sequence, as main() calls it once the application object exists;
// a second one before the services are built.
int runFirst(int count)
{
    const QString downloads = QDir::homePath() + "/Downloads";
    makeFiles(downloads, count, "first");
    AppDelegate::Options options;
    options.downloadsDirectory = downloads;
    options.openHUDAtLaunch = true;
    QElapsedTimer sinceServices;
    sinceServices.start();
    AppServices::Root root;
    const AppServices services = root.services();
    AppDelegate delegate(services, options);
    QElapsedTimer clock;
    clock.start();
    delegate.applicationDidFinishLaunching();
    const double launchReturnedMs = double(clock.nsecsElapsed()) / 1e6;
    double frameMs = -1;
    QObject::connect(delegate.hudPanel(), &TriageHUDPanel::firstFramePainted, [&] {
        if (frameMs < 0)
            frameMs = double(clock.nsecsElapsed()) / 1e6;
    });
    LoopGapMonitor monitor;
    monitor.start();
    double shownMs = -1;
    double headMs = -1;
    const auto previewShown = [&] {
        if (shownMs < 0 && delegate.hudPanel()->isVisible())
            shownMs = double(clock.nsecsElapsed()) / 1e6;
        if (headMs < 0 && services.queue.activeItem())
            headMs = double(clock.nsecsElapsed()) / 1e6;
        const TriageContainerView* view = delegate.containerView();
        const auto head = services.queue.activeItem();
        if (!view || !head)
            return false;
        const auto* host = view->findChild<QuickLookHostView*>();
        return host && host->isVisible() && host->currentURL() == head->url &&
               host->previewKind() != QuickLookHostView::PreviewKind::Loading &&
               host->previewKind() != QuickLookHostView::PreviewKind::Empty;
    };
    const bool previewed = spinUntil(previewShown, 20000);
    // The window's repaint with the new preview, waiting as a posted event.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const double previewMs = double(clock.nsecsElapsed()) / 1e6;
    const double previewSinceServicesMs = double(sinceServices.nsecsElapsed()) / 1e6;
    const bool queued = spinUntil([&] { return delegate.waitingCount() >= count; }, 60000);
    const double queuedMs = double(clock.nsecsElapsed()) / 1e6;
    spinFor(20);
    std::printf("launch in-process, %6d waiting: launch sequence %.0f ms, window shown %.0f ms, "
                "first frame %.0f ms, first item queued %.0f ms, first preview drawn %.0f ms%s, "
                "all queued %.0f ms%s, "
                "longest GUI stall after the launch sequence %.1f ms; first preview %.0f ms "
                "after the services were started to build\n",
                count, launchReturnedMs, shownMs, frameMs, headMs, previewMs,
                previewed ? "" : " (TIMED OUT)", queuedMs, queued ? "" : " (TIMED OUT)",
                monitor.longestMs(), previewSinceServicesMs);
    delegate.applicationWillTerminate();
    return 0;
}

// In-process: `count` files appear at once in the watched folder.
int runBurst(int count)
{
    const QString downloads = QDir::homePath() + "/Downloads";
    QDir().mkpath(downloads);
    AppServices::Root root;
    AppDelegate delegate(root.services(), delegateOptions(downloads));
    delegate.applicationDidFinishLaunching();
    spinFor(500);
    const double cpuBefore = threadCpuMs("com.stowbird.do");

    std::atomic<bool> written{false};
    QElapsedTimer sinceLastClose;
    std::thread writer([&] {
        makeFiles(downloads, count, "burst");
        sinceLastClose.start();
        written = true;
    });
    LoopGapMonitor monitor;
    monitor.start();
    const bool queued =
        spinUntil([&] { return written && delegate.waitingCount() >= count; }, 120000);
    const double toQueuedMs = double(sinceLastClose.nsecsElapsed()) / 1e6;
    spinFor(20);
    writer.join();
    const double cpu = threadCpuMs("com.stowbird.do") - cpuBefore;
    std::printf("burst of %6d files: queued %.0f ms after the last close%s, watcher CPU %.0f ms, "
                "longest GUI stall %.1f ms (waiting %lld)\n",
                count, toQueuedMs, queued ? "" : " (TIMED OUT)", cpu, monitor.longestMs(),
                static_cast<long long>(delegate.waitingCount()));
    delegate.applicationWillTerminate();
    return 0;
}

QList<int> countsFrom(const QStringList& args, int from)
{
    QList<int> counts;
    for (int i = from; i < args.size(); ++i)
        counts.append(args[i].toInt());
    return counts;
}

// Each in-process measurement runs in a child of its own, so that one run's queue and
// watcher cannot carry over into the next. Returns what the child printed.
QByteArray runChild(const QStringList& args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(300000);
    const QByteArray output = child.readAllStandardOutput();
    std::fputs(output.constData(), stdout);
    std::fflush(stdout);
    return output;
}

// The first preview's time, `runs` in-process launches for each count (taking turns), and
// the medians: one launch varies too much to judge by.
int runFirstPreviews(int runs, const QList<int>& counts)
{
    const auto msAfter = [](const QByteArray& output, const QByteArray& label) {
        const qsizetype at = output.indexOf(label);
        if (at < 0)
            return -1.0;
        const qsizetype from = at + label.size();
        return output.mid(from, output.indexOf(' ', from) - from).toDouble();
    };
    std::vector<std::vector<double>> fromLaunch(counts.size()), fromServices(counts.size());
    for (int r = 0; r < runs; ++r)
        for (qsizetype i = 0; i < counts.size(); ++i) {
            const QByteArray output =
                runChild({QStringLiteral("first"), QString::number(counts[i])});
            fromLaunch[i].push_back(msAfter(output, "first preview drawn "));
            fromServices[i].push_back(msAfter(output, "; first preview "));
        }
    for (qsizetype i = 0; i < counts.size(); ++i)
        std::printf("first preview drawn, %6d waiting: %.0f ms after the launch sequence "
                    "started, %.0f ms after the services started to build (medians of %d)\n",
                    counts[i], median(fromLaunch[i]), median(fromServices[i]), runs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("bare")) {
        QApplication app(argc, argv);
        QWidget window;
        window.resize(840, 540);
        window.show();
        return app.exec();
    }
    // In-process measurements draw on the X server when there is one, as the program would.
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    TestEnvironment environment;
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (mode == QLatin1String("launch") && args.size() > 3)
        return runLaunch(args[2], countsFrom(args, 3), 9);
    if (mode == QLatin1String("rss") && args.size() > 3)
        return runRss(args[2], countsFrom(args, 3));
    if (mode == QLatin1String("open") && args.size() > 2)
        return runOpen(args[2].toInt());
    if (mode == QLatin1String("burst") && args.size() > 2)
        return runBurst(args[2].toInt());
    if (mode == QLatin1String("first") && args.size() > 2)
        return runFirst(args[2].toInt());
    if (mode == QLatin1String("previews") && args.size() > 3)
        return runFirstPreviews(args[2].toInt(), countsFrom(args, 3));
    if (mode == QLatin1String("all") && args.size() > 2) {
        const QString binary = args[2];
        runChild({QStringLiteral("launch"), binary, "0", "10000", "100000"});
        runChild({QStringLiteral("open"), "100000"});
        runFirstPreviews(5, {1, 100000});
        for (const char* n : {"5000", "10000", "20000", "40000"})
            runChild({QStringLiteral("burst"), QString::fromLatin1(n)});
        runChild({QStringLiteral("rss"), binary, "0", "10000", "100000"});
        return 0;
    }
    std::fprintf(stderr, "usage: BenchScale all <stowbird> | launch|rss <stowbird> <count>... | "
                         "open|burst|first <count> | previews <runs> <count>...\n");
    return 2;
}
