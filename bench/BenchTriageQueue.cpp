// Throughput of the queue's intake and of listing the Downloads folder, and the memory the
// queue keeps per waiting file.
#include "TestEnvironment.h"
#include "services/DownloadWatcherService.h"
#include "services/TriageQueueManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>

namespace {

QList<QUrl> urlsIn(const QString& folder, int count)
{
    QList<QUrl> urls;
    urls.reserve(count);
    for (int i = 0; i < count; ++i)
        urls.append(QUrl::fromLocalFile(QStringLiteral("%1/download-%2.zip").arg(folder).arg(i)));
    return urls;
}

// enqueueBatch of N new URLs into an empty queue: 50 items, the rest in the backlog.
void BM_EnqueueBatchNew(benchmark::State& state)
{
    QTemporaryDir dir;
    const QList<QUrl> urls = urlsIn(dir.path(), int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto queue = std::make_unique<TriageQueueManager>(dir.path());
        state.ResumeTiming();
        queue->enqueueBatch(urls);
        benchmark::DoNotOptimize(queue->totalQueueDepth());
        state.PauseTiming();
        queue.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnqueueBatchNew)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A full rescan of the same folder: every URL is a duplicate.
void BM_EnqueueBatchRescan(benchmark::State& state)
{
    QTemporaryDir dir;
    const QList<QUrl> urls = urlsIn(dir.path(), int(state.range(0)));
    TriageQueueManager queue(dir.path());
    queue.enqueueBatch(urls);
    for (auto _ : state) {
        queue.enqueueBatch(urls);
        benchmark::DoNotOptimize(queue.totalQueueDepth());
    }
}
BENCHMARK(BM_EnqueueBatchRescan)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// scanExistingFiles() of a folder holding N files, written just now (second argument 0: each
// is asked whether a writer has it open) or dated a day back (1: none is asked).
void BM_ScanExistingFiles(benchmark::State& state)
{
    QTemporaryDir dir;
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (int i = 0; i < state.range(0); ++i) {
        QFile f(QStringLiteral("%1/file-%2.bin").arg(dir.path()).arg(i));
        if (!f.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot create files");
        if (state.range(1) == 1)
            f.setFileTime(dayAgo, QFileDevice::FileModificationTime);
    }
    for (auto _ : state) {
        const QList<QUrl> urls = DownloadWatcherService::scanExistingFiles(dir.path());
        benchmark::DoNotOptimize(urls.size());
    }
}
BENCHMARK(BM_ScanExistingFiles)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// Heap bytes the queue keeps for N waiting files handed over as a scan hands them (URLs that
// the caller then drops).
void reportMemoryPerEntry(int count)
{
    QTemporaryDir dir;
    TriageQueueManager queue(dir.path());
    const size_t before = mallinfo2().uordblks;
    {
        const QList<QUrl> urls = urlsIn(dir.path(), count);
        queue.enqueueBatch(urls);
    }
    const size_t after = mallinfo2().uordblks;
    std::printf("queue memory with %d waiting files: %.1f MB, %.0f bytes per file\n", count,
                double(after - before) / 1e6, double(after - before) / count);
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    reportMemoryPerEntry(100000);
    benchmark::Shutdown();
    return 0;
}
