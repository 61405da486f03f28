// Caller's cost of the telemetry calls the triage view makes on the GUI thread.
#include "fakes/FakeCrashReporter.h"
#include "services/TelemetryService.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<TelemetryService> makeService(const QTemporaryDir& dir, FakeCrashReporter& reporter)
{
    auto service = std::make_unique<TelemetryService>(
        std::make_unique<QSettings>(dir.filePath("defaults.conf"), QSettings::IniFormat), reporter,
        nullptr);
    service->setLogRecorder([](const QString&, const QString&) {});
    return service;
}

void BM_Categorize(benchmark::State& state)
{
    const QString name = QStringLiteral("Quarterly Report 2024 (final).docx");
    const QString ext = QStringLiteral("docx");
    for (auto _ : state)
        benchmark::DoNotOptimize(TelemetryService::categorize(name, ext));
}
BENCHMARK(BM_Categorize);

void BM_RecordAction(benchmark::State& state)
{
    QTemporaryDir dir;
    FakeCrashReporter reporter;
    auto service = makeService(dir, reporter);
    const TriageItem item(QUrl::fromLocalFile(QStringLiteral("/nonexistent/photo.JPG")));
    service->startSession(10);
    for (auto _ : state) {
        service->recordAction(ActionType::slotRoute, InputMethod::keyboard, item);
        if (reporter.values().size() > 4096) {
            state.PauseTiming();
            reporter.clear();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_RecordAction);

// A whole session with one action, completed: lifetime counters stored and synced to disk.
void BM_CompleteSession(benchmark::State& state)
{
    QTemporaryDir dir;
    FakeCrashReporter reporter;
    auto service = makeService(dir, reporter);
    const TriageItem item(QUrl::fromLocalFile(QStringLiteral("/nonexistent/a.zip")));
    for (auto _ : state) {
        service->startSession(1);
        service->recordAction(ActionType::trash, InputMethod::keyboard, item);
        service->endSession(0);
        state.PauseTiming();
        reporter.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CompleteSession)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
