// Caller cost of one log call and lines per second to disk.
// Usage: BenchLoggerService [calls, default 200000]
#include "TestEnvironment.h"
#include "crashreporting/LocalCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "platform/SystemJournal.h"
#include "services/LoggerService.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Latency
{
    double median, p90, p99;
};

template <typename Call> Latency measure(int calls, Call call)
{
    std::vector<double> samples;
    samples.reserve(std::size_t(calls));
    for (int i = 0; i < calls; ++i) {
        const auto start = Clock::now();
        call(i);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[std::size_t(q * double(samples.size() - 1))]; };
    return {at(0.5), at(0.9), at(0.99)};
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 200000;

    const QString folder = environment.root() + QStringLiteral("/logs");
    // The file path is measured; the journal copy is left out (no journal runs on a build
    // machine, and on a desktop journald's own rate limit decides): lines are only counted.
    RecordingJournal journal{false};
    LocalCrashReporter reporter(folder);
    QFile options(folder + QStringLiteral("/o.plist"));
    QDir().mkpath(folder);
    if (options.open(QIODevice::WriteOnly))
        options.write("<plist><dict><key>GOOGLE_APP_ID</key><string>1:0:linux:0</string>"
                      "</dict></plist>");
    options.close();
    reporter.configure(options.fileName());

    LoggerService logger(folder, reporter, journal, environment.home());
    const QString home = environment.home();
    const QString infoMessage =
        QStringLiteral("Enqueued %1/Downloads/report-2026-03-01.pdf (84213 bytes)").arg(home);

    const Latency info = measure(calls, [&](int) { logger.info(infoMessage); });
    logger.waitForWritten(600000);
    const Latency action = measure(calls / 10, [&](int) {
        logger.action(QStringLiteral("Moving item (.pdf) to /home/bob/Documents"));
    });
    logger.waitForWritten(600000);

    // Throughput: from the first call to the last line on disk.
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        logger.info(infoMessage);
    logger.waitForWritten(600000);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::printf("log call, INFO   (%d calls): median %.2f us, p90 %.2f us, p99 %.2f us\n", calls,
                info.median, info.p90, info.p99);
    std::printf("log call, ACTION (%d calls): median %.2f us, p90 %.2f us, p99 %.2f us\n",
                calls / 10, action.median, action.p90, action.p99);
    std::printf("to disk: %d lines in %.3f s = %.0f lines/s (%lld bytes in the file)\n", calls,
                seconds, calls / seconds, QFileInfo(logger.logPath()).size());
    return 0;
}
