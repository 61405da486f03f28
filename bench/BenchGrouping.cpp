// Look-alike grouping of 10,000 waiting items: the grouper alone, what the service's thread
// runs for one change (items made into candidates, then grouped), and the whole round trip
// through LookAlikeService with the GUI thread's event loop watched meanwhile.
//
//   BenchGrouping [--items N] [--rounds N] [Google Benchmark options]
//
// The items are a made-up but realistic Downloads folder: camera and phone series
// (IMG_4512.JPG, DSC_0001.JPG, PXL_20261201_101533123.jpg), scanner sessions (scan_001.pdf,
// "Scan 2026-12-01 10.15.33.pdf"), screenshots, browser copies ("invoice (2).pdf"), and
// about half one-off names from a vocabulary (document-quarterly-draft.pdf, setup tools,
// archives, hashes), with origin hosts on 40% of the items and arrivals spread over 30 days.

#include "TestEnvironment.h"
#include "models/LookAlikeGrouper.h"
#include "services/LookAlikeService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMimeDatabase>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

using Rng = std::mt19937_64;

int g_items = 10000;
int g_rounds = 21;

int uniform(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

template <typename T> const T& pick(Rng& rng, const std::vector<T>& values)
{
    return values[size_t(uniform(rng, 0, int(values.size()) - 1))];
}

QString padded(int n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

QString stamp(const QDateTime& t, const QString& format)
{
    return t.toString(format);
}

// The waiting items, oldest first, with what the service reads of them.
QList<TriageItem> makeItems(int count, quint64 seed)
{
    Rng rng(seed);
    const QMimeDatabase db;
    QHash<QString, QMimeType> types;
    auto typeOf = [&](const QString& extension) {
        if (!types.contains(extension))
            types.insert(extension, db.mimeTypeForFile(QStringLiteral("x.") + extension,
                                                       QMimeDatabase::MatchExtension));
        return types.value(extension);
    };
    const std::vector<QString> words{
        "report",  "invoice",  "draft",         "quarterly",   "notes",       "budget",   "thesis",
        "slides",  "contract", "manual",        "setup",       "installer",   "backup",   "photo",
        "recipe",  "ticket",   "boarding-pass", "statement",   "resume",      "letter",   "poster",
        "lecture", "homework", "paper",         "dataset",     "model",       "firmware", "driver",
        "release", "agenda",   "minutes",       "Rechnung",    "Kontoauszug", "facture",  "отчёт",
        "письмо",  "写真",     "資料",          "présentation"};
    const std::vector<QString> extensions{"pdf", "docx", "xlsx", "zip",  "tar.gz", "png",
                                          "jpg", "mp4",  "stl",  "epub", "deb",    "iso",
                                          "txt", "csv",  "odt",  "svg",  "mp3",    "json"};
    const std::vector<QString> hosts{"mail.example.org",
                                     "drive.example.com",
                                     "github.com",
                                     "arxiv.org",
                                     "files.example.net",
                                     "bank.example.de",
                                     "scanner.local",
                                     "cdn.example.io",
                                     "docs.example.com",
                                     "shop.example.fr",
                                     "photos.example.com",
                                     "downloads.example.org",
                                     "releases.example.dev",
                                     "printables.example.com",
                                     "university.example.edu"};

    QList<TriageItem> items;
    items.reserve(count);
    QDateTime now(QDate(2026, 11, 1), QTime(8, 0));
    auto add = [&](const QString& name, const QString& host) {
        TriageItem item;
        item.id = QUuid::createUuid();
        item.filename = name;
        const qsizetype dot = name.lastIndexOf(u'.');
        item.fileExtension = dot > 0 ? name.sliced(dot + 1).toLower() : QString();
        item.uti = typeOf(item.fileExtension);
        item.originHost = host;
        item.creationDate = now;
        item.url = QUrl::fromLocalFile(QStringLiteral("/home/user/Downloads/") + name);
        items.append(item);
    };
    auto hostOrNone = [&] { return uniform(rng, 0, 9) < 4 ? pick(rng, hosts) : QString(); };

    int serial = 0;
    while (items.size() < count) {
        // Minutes to hours between downloads, seconds within a burst.
        now = now.addSecs(uniform(rng, 60, 9000));
        const int kind = uniform(rng, 0, 99);
        const int burst = std::min<int>(uniform(rng, 2, 24), count - int(items.size()));
        if (kind < 3) { // a camera or phone's series
            const int style = uniform(rng, 0, 2);
            int n = uniform(rng, 1, 9000);
            for (int i = 0; i < burst; ++i, ++n) {
                now = now.addSecs(uniform(rng, 1, 20));
                if (style == 0)
                    add(QStringLiteral("IMG_%1.JPG").arg(padded(n, 4)), {});
                else if (style == 1)
                    add(QStringLiteral("DSC_%1.JPG").arg(padded(n, 4)), {});
                else
                    add(QStringLiteral("PXL_%1%2.jpg")
                            .arg(stamp(now, QStringLiteral("yyyyMMdd_HHmmss")),
                                 padded(n % 1000, 3)),
                        {});
            }
        } else if (kind < 5) { // a scanner session
            const bool named = uniform(rng, 0, 1) == 0;
            for (int i = 1; i <= burst; ++i) {
                now = now.addSecs(uniform(rng, 10, 40));
                add(named ? QStringLiteral("scan_%1.pdf").arg(padded(i, 3))
                          : QStringLiteral("Scan %1.pdf")
                                .arg(stamp(now, QStringLiteral("yyyy-MM-dd HH.mm.ss"))),
                    QStringLiteral("scanner.local"));
            }
        } else if (kind < 7) { // screenshots
            for (int i = 0; i < burst / 2 + 1; ++i) {
                now = now.addSecs(uniform(rng, 5, 600));
                add(QStringLiteral("Screenshot %1.png")
                        .arg(stamp(now, QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss"))),
                    {});
            }
        } else if (kind < 10) { // the same download again, and again
            const QString base = pick(rng, words) + QLatin1Char('-') + pick(rng, words);
            const QString extension = pick(rng, extensions);
            const QString host = hostOrNone();
            add(base + QLatin1Char('.') + extension, host);
            for (int i = 1; i < std::min(burst, 4); ++i) {
                now = now.addSecs(uniform(rng, 1, 3000));
                add(QStringLiteral("%1 (%2).%3").arg(base).arg(i).arg(extension), host);
            }
        } else { // one-off names
            now = now.addSecs(uniform(rng, 1, 600));
            QString name;
            switch (uniform(rng, 0, 3)) {
            case 0:
                name = pick(rng, words) + QLatin1Char('_') + pick(rng, words) + QLatin1Char('_') +
                       pick(rng, words);
                break;
            case 1:
                for (int c = uniform(rng, 8, 32); c > 0; --c)
                    name.append(QLatin1Char("0123456789abcdef"[uniform(rng, 0, 15)]));
                break;
            case 2:
                name = QStringLiteral("%1-v%2.%3")
                           .arg(pick(rng, words))
                           .arg(uniform(rng, 1, 30))
                           .arg(uniform(rng, 0, 9));
                break;
            default:
                name = pick(rng, words) + QStringLiteral(" ") + pick(rng, words) +
                       QStringLiteral(" ") + QString::number(++serial);
            }
            add(name + QLatin1Char('.') + pick(rng, extensions), hostOrNone());
        }
    }
    return items;
}

QList<LookAlikeGrouper::Candidate> candidatesOf(const QList<TriageItem>& items)
{
    QList<LookAlikeGrouper::Candidate> candidates;
    candidates.reserve(items.size());
    for (const TriageItem& item : items)
        candidates.append(LookAlikeService::candidateFor(item));
    return candidates;
}

// The grouper alone, on candidates made beforehand.
void BM_Group(benchmark::State& state)
{
    const QList<LookAlikeGrouper::Candidate> candidates =
        candidatesOf(makeItems(int(state.range(0)), 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(LookAlikeGrouper::group(candidates).size());
}

// What the service's thread does for one change: the items made into candidates and grouped.
void BM_CandidatesAndGroup(benchmark::State& state)
{
    const QList<TriageItem> items = makeItems(int(state.range(0)), 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(LookAlikeGrouper::group(candidatesOf(items)).size());
}

void registerBenchmarks()
{
    for (auto* bench : {benchmark::RegisterBenchmark("LookAlikeGrouper::group", BM_Group),
                        benchmark::RegisterBenchmark("candidates + group (service thread)",
                                                     BM_CandidatesAndGroup)})
        bench->Arg(g_items)->Unit(benchmark::kMillisecond);
}

struct Figures
{
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median()
    {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }
    double max() const
    {
        return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    }
};

// Each round hands the service the items (alternately all of them, and all but the first,
// which is in a group, so that every round really changes the groups), and measures on the
// GUI thread: how long regroup() held it, the time until changed() was delivered, and the
// longest gap between two ticks of a zero-interval timer until then.
void measureService()
{
    QList<TriageItem> all = makeItems(g_items, 1);
    // A series at the head, so that dropping the head changes a group.
    for (int i = 0; i < 3; ++i) {
        all[i].filename = QStringLiteral("scan_%1.pdf").arg(padded(i + 1, 3));
        all[i].fileExtension = QStringLiteral("pdf");
    }
    const QList<TriageItem> withoutHead = all.mid(1);

    const auto groups = LookAlikeGrouper::group(candidatesOf(all));
    qsizetype grouped = 0;
    for (const auto& group : groups)
        grouped += group.size();
    std::printf("\n%lld items: %lld groups holding %lld items (%.0f%%)\n",
                static_cast<long long>(all.size()), static_cast<long long>(groups.size()),
                static_cast<long long>(grouped), 100.0 * double(grouped) / double(all.size()));

    LookAlikeService service(nullptr);
    QEventLoop loop;
    QObject::connect(&service, &LookAlikeService::changed, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
        std::printf("no result within 5 s\n");
        loop.quit();
    });

    // The same loop left idle as long as a round takes: what the machine's load alone causes.
    Figures idleGap;
    for (int round = 0; round < g_rounds; ++round) {
        ticker.start();
        clock.start();
        lastTick = 0;
        longestGap = 0;
        QTimer::singleShot(150, &loop, &QEventLoop::quit);
        loop.exec();
        idleGap.add(double(longestGap) / 1e6);
        ticker.stop();
    }

    // The service's thread is started by its first request, as at the program's start.
    service.regroup(withoutHead);
    service.waitForIdle();

    // Rounds with the loop idle between events (the time to the result), then rounds with
    // the ticker running (how long the GUI thread went without an event turn).
    Figures call;
    Figures delivered;
    Figures deliveredTicking;

    Figures gap;
    for (int round = 0; round < 2 * g_rounds; ++round) {
        const bool ticking = round >= g_rounds;
        if (ticking)
            ticker.start();
        timeout.start(5000);
        clock.start();
        lastTick = 0;
        longestGap = 0;
        service.regroup(round % 2 == 0 ? all : withoutHead);
        call.add(double(clock.nsecsElapsed()) / 1e6);
        loop.exec();
        (ticking ? deliveredTicking : delivered).add(double(clock.nsecsElapsed()) / 1e6);
        if (ticking)
            gap.add(double(longestGap) / 1e6);
        ticker.stop();
        timeout.stop();
    }
    // Control: the same work on a plain thread, outside the service, with the ticker running:
    // the gaps that two busy threads on a shared machine cause without any hand-over.
    Figures controlGap;
    const QList<LookAlikeGrouper::Candidate> candidates = candidatesOf(all);
    for (int round = 0; round < g_rounds; ++round) {
        std::atomic<bool> done{false};
        ticker.start();
        clock.start();
        lastTick = 0;
        longestGap = 0;
        std::thread worker([&] {
            benchmark::DoNotOptimize(LookAlikeGrouper::group(candidates).size());
            done = true;
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done)
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        worker.join();
        controlGap.add(double(longestGap) / 1e6);
        ticker.stop();
    }

    std::printf("through LookAlikeService, %d rounds each (median / max):\n", g_rounds);
    std::printf("  regroup() on the GUI thread:        %.3f / %.3f ms\n", call.median(),
                call.max());
    std::printf("  regroup() until changed() delivered: %.1f / %.1f ms\n", delivered.median(),
                delivered.max());
    std::printf("  the same, the ticker running:        %.1f / %.1f ms\n",
                deliveredTicking.median(), deliveredTicking.max());
    std::printf("  longest event-loop gap meanwhile:    %.2f / %.2f ms\n", gap.median(), gap.max());
    std::printf("  control, the grouper on a plain thread: %.2f / %.2f ms\n", controlGap.median(),
                controlGap.max());
    std::printf("  the same loop idle for 150 ms:       %.2f / %.2f ms\n", idleGap.median(),
                idleGap.max());
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--items") == 0)
            g_items = std::max(2, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            g_rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    measureService();
    benchmark::Shutdown();
    return 0;
}
