// Replays a made-up but realistic triage history through the destination predictor and
// times the history database.
//
//   BenchPrediction [--filings N] [--seeds FIRST COUNT] [--threshold T] [--fade F] [--noise P]
//                   [--large N]
//                   [--quick] [--verbose]
//
// The history: downloads of a dozen kinds (3D models, invoices, bank statements, papers,
// photos, screenshots, software, music, books, work documents, a house project that starts
// half-way, and generic names like "document (3).pdf" whose destination nothing in the name
// tells), each kind with its own names, extensions, hosts (or none) and sizes. Several
// kinds share a folder and an extension (.pdf goes to five places, .jpg to three). Habits
// drift: 3D models move to another slot, invoices to a folder chosen by hand, screenshots
// into Photos, all at different points. 7% of filings go somewhere else for no reason the
// item shows. Each filing is predicted before it is learned, as in use.
//
// Reported, per seed and in total: top-1 accuracy on the last 100 filings (the best guess,
// shown or not), precision and coverage of the suggestions actually shown (confident ones)
// on the last 100 and after the first 50; then the time to learn and to predict with
// --large filings learned (100,000), and the history database's insert and filtered query
// with that many entries.

#include "fakes/TestLogger.h"
#include "models/DestinationPredictor.h"
#include "models/HistoryEntry.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HistoryDatabase.h"
#include "services/HistoryStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

namespace {

using Rng = std::mt19937_64;

// Share of filings that go somewhere the item gives no hint of.
double g_noise = 0.07;

int uniform(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool chance(Rng& rng, double p)
{
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

template <typename T> const T& pick(Rng& rng, const std::vector<T>& values)
{
    return values[size_t(uniform(rng, 0, int(values.size()) - 1))];
}

QString digits(Rng& rng, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(u'0' + uniform(rng, 0, 9));
    return s;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString date(Rng& rng, const QString& separator)
{
    return QStringLiteral("20%1%2%3%4%5")
        .arg(uniform(rng, 21, 24))
        .arg(separator, twoDigits(uniform(rng, 1, 12)), separator, twoDigits(uniform(rng, 1, 28)));
}

QString words(Rng& rng, const std::vector<QString>& pool, int low, int high, const QString& glue)
{
    QStringList out;
    const int n = uniform(rng, low, high);
    for (int i = 0; i < n; ++i)
        out << pick(rng, pool);
    return out.join(glue);
}

// Browsers and mail clients number a second copy.
QString maybeCopy(Rng& rng, const QString& base)
{
    return chance(rng, 0.1) ? base + QStringLiteral(" (%1)").arg(uniform(rng, 1, 4)) : base;
}

struct Generated
{
    QString name;
    QString host;
    qint64 size;
    int destination;
};

struct Source
{
    const char* label;
    double weight;
    int activeFrom; // filing number from which this kind appears
    // Returns name (with extension) and host; the destination depends on the filing number.
    std::function<void(Rng&, Generated&)> make;
    // Destination per filing number: (from filing, destination index), in order.
    std::vector<std::pair<int, int>> destinations;
    qint64 minSize;
    qint64 maxSize;
};

// Destinations: slots 1-9, then folders chosen by hand.
const std::vector<std::pair<QString, int>> destinationFolders = {
    {QStringLiteral("/home/u/Work"), 1},
    {QStringLiteral("/home/u/Documents/Finance"), 2},
    {QStringLiteral("/home/u/3D Prints"), 3},
    {QStringLiteral("/home/u/Documents/Papers"), 4},
    {QStringLiteral("/home/u/Pictures/Photos"), 5},
    {QStringLiteral("/home/u/Printer Queue"), 6},
    {QStringLiteral("/home/u/Pictures/Screenshots"), 7},
    {QStringLiteral("/home/u/Software"), 8},
    {QStringLiteral("/home/u/Music"), 9},
    {QStringLiteral("/home/u/Books"), 0},
    {QStringLiteral("/home/u/Taxes/2024"), 0},
    {QStringLiteral("/home/u/Projects/house"), 0},
};

QString kindFor(const QString& extension)
{
    static const QHash<QString, QString> kinds = {
        {QStringLiteral("pdf"), QStringLiteral("application/pdf")},
        {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("png"), QStringLiteral("image/png")},
        {QStringLiteral("heic"), QStringLiteral("image/heif")},
        {QStringLiteral("stl"), QStringLiteral("model/stl")},
        {QStringLiteral("3mf"), QStringLiteral("model/3mf")},
        {QStringLiteral("step"), QStringLiteral("model/step")},
        {QStringLiteral("zip"), QStringLiteral("application/zip")},
        {QStringLiteral("gz"), QStringLiteral("application/gzip")},
        {QStringLiteral("deb"), QStringLiteral("application/vnd.debian.binary-package")},
        {QStringLiteral("appimage"), QStringLiteral("application/vnd.appimage")},
        {QStringLiteral("mp3"), QStringLiteral("audio/mpeg")},
        {QStringLiteral("flac"), QStringLiteral("audio/flac")},
        {QStringLiteral("epub"), QStringLiteral("application/epub+zip")},
        {QStringLiteral("docx"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document")},
        {QStringLiteral("xlsx"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")},
        {QStringLiteral("csv"), QStringLiteral("text/csv")},
        {QStringLiteral("dwg"), QStringLiteral("image/vnd.dwg")},
    };
    return HistoryEntry::kindOf(kinds.value(extension), extension);
}

std::vector<Source> makeSources()
{
    const std::vector<QString> things = {
        "bracket",      "gear", "benchy",          "vase",       "hinge",      "enclosure", "clip",
        "spool holder", "knob", "cable organizer", "wall mount", "phone stand"};
    const std::vector<QString> topics = {
        "deep",   "learning", "graph",    "neural",    "sparse",       "attention", "robust",
        "survey", "quantum",  "bayesian", "efficient", "transformers", "networks",  "inference"};
    const std::vector<QString> authors = {"smith", "chen",  "garcia", "mueller",
                                          "kim",   "rossi", "nguyen", "okafor"};
    const std::vector<QString> apps = {"firefox",   "vscodium",  "obsidian", "krita", "blender",
                                       "syncthing", "keepassxc", "inkscape", "gimp"};
    const std::vector<QString> artists = {"The Weeknd", "Nils Frahm", "Khruangbin",
                                          "Bonobo",     "Big Thief",  "Floating Points"};
    const std::vector<QString> titles = {"Night", "Says",  "Love",    "Glass", "River",
                                         "Maria", "Tides", "Morning", "Rain"};
    const std::vector<QString> bookWords = {"The",      "Pride",   "War",    "Peace",
                                            "Moby",     "Dick",    "Time",   "Machine",
                                            "Republic", "Odyssey", "Ulysses"};
    const std::vector<QString> workNames = {"Q3 report final",      "meeting notes", "budget v3",
                                            "Proposal - Acme",      "roadmap",       "OKR draft",
                                            "onboarding checklist", "report",        "slides"};
    const std::vector<QString> houseWords = {"floor plan", "quote", "contractor",     "kitchen",
                                             "permit",     "roof",  "bathroom tiles", "offer"};
    const std::vector<QString> generic = {"document",   "download", "file",  "scan",
                                          "attachment", "untitled", "image", "export"};

    std::vector<Source> sources;
    sources.push_back(Source{
        "3D models",
        12,
        0,
        [=](Rng& rng, Generated& g) {
            QString base = pick(rng, things);
            if (chance(rng, 0.5))
                base.replace(QLatin1Char(' '),
                             chance(rng, 0.5) ? QLatin1Char('_') : QLatin1Char('-'));
            if (chance(rng, 0.3))
                base += pick(rng, std::vector<QString>{"_v2", "-remix", "_fixed", " v3"});
            const double r = std::uniform_real_distribution<double>(0, 1)(rng);
            g.name = maybeCopy(rng, base) + (r < 0.65 ? ".stl" : r < 0.9 ? ".3mf" : ".step");
            if (chance(rng, 0.6))
                g.host = pick(rng, std::vector<QString>{"www.printables.com", "www.thingiverse.com",
                                                        "cdn.thingiverse.com"});
        },
        {{0, 2}, {320, 5}}, // 3D Prints, then the printer's queue folder
        200000,
        30000000});
    sources.push_back(Source{
        "invoices",
        8,
        0,
        [=](Rng& rng, Generated& g) {
            const int form = uniform(rng, 0, 3);
            const QString base = form == 0   ? QStringLiteral("invoice-") + date(rng, "-").left(7)
                                 : form == 1 ? QStringLiteral("Invoice_") + digits(rng, 6)
                                 : form == 2 ? QStringLiteral("INV-") + digits(rng, 5)
                                             : QStringLiteral("receipt_") + date(rng, "");
            g.name = maybeCopy(rng, base) + ".pdf";
            if (chance(rng, 0.8))
                g.host =
                    pick(rng, std::vector<QString>{"billing.isp-example.net", "shop.example.com",
                                                   "accounts.utility.example"});
        },
        {{0, 1}, {380, 10}}, // Finance, then a taxes folder chosen by hand
        30000,
        600000});
    sources.push_back(Source{
        "bank statements",
        4,
        0,
        [=](Rng& rng, Generated& g) {
            const int form = uniform(rng, 0, 2);
            const QString base =
                form == 0   ? QStringLiteral("statement_") + date(rng, "_").left(7)
                : form == 1 ? QStringLiteral("Kontoauszug_") + date(rng, "").left(6)
                            : QStringLiteral("eStatement-%1-20%2")
                                  .arg(pick(rng, std::vector<QString>{"Jan", "Feb", "Mar", "Apr"}))
                                  .arg(uniform(rng, 21, 24));
            g.name = base + (chance(rng, 0.8) ? ".pdf" : ".csv");
            if (chance(rng, 0.9))
                g.host = QStringLiteral("online.bank.example");
        },
        {{0, 1}},
        20000,
        400000});
    sources.push_back(Source{
        "papers",
        10,
        0,
        [=](Rng& rng, Generated& g) {
            const int form = uniform(rng, 0, 2);
            const QString base = form == 0 ? QStringLiteral("%1.%2v%3")
                                                 .arg(digits(rng, 4), digits(rng, 5))
                                                 .arg(uniform(rng, 1, 3))
                                 : form == 1 ? pick(rng, authors) +
                                                   QString::number(uniform(rng, 2015, 2024)) + "-" +
                                                   words(rng, topics, 2, 4, "-")
                                             : words(rng, topics, 2, 5, "_");
            g.name = maybeCopy(rng, base) + ".pdf";
            if (chance(rng, 0.5))
                g.host =
                    pick(rng, std::vector<QString>{"arxiv.org", "dl.acm.org", "openreview.net"});
        },
        {{0, 3}},
        200000,
        8000000});
    sources.push_back(Source{
        "photos",
        12,
        0,
        [=](Rng& rng, Generated& g) {
            const int form = uniform(rng, 0, 2);
            const QString base =
                form == 0   ? QStringLiteral("IMG_") + date(rng, "") + "_" + digits(rng, 6)
                : form == 1 ? QStringLiteral("PXL_") + date(rng, "") + "_" + digits(rng, 9)
                            : QStringLiteral("DSC0") + digits(rng, 4);
            const double r = std::uniform_real_distribution<double>(0, 1)(rng);
            g.name = base + (r < 0.6 ? ".jpg" : r < 0.85 ? ".heic" : ".jpeg");
            if (chance(rng, 0.3))
                g.host = pick(rng, std::vector<QString>{"photos.example.com", "drive.google.com"});
        },
        {{0, 4}},
        1000000,
        12000000});
    sources.push_back(Source{"screenshots",
                             8,
                             0,
                             [=](Rng& rng, Generated& g) {
                                 g.name = QStringLiteral("Screenshot from %1 %2-%3-%4.png")
                                              .arg(date(rng, "-"), twoDigits(uniform(rng, 0, 23)),
                                                   twoDigits(uniform(rng, 0, 59)),
                                                   twoDigits(uniform(rng, 0, 59)));
                             },
                             {{0, 6}, {250, 4}}, // Screenshots, then into Photos
                             50000,
                             3000000});
    sources.push_back(Source{
        "software",
        8,
        0,
        [=](Rng& rng, Generated& g) {
            const QString app = pick(rng, apps);
            const QString version = QStringLiteral("%1.%2.%3")
                                        .arg(uniform(rng, 0, 130))
                                        .arg(uniform(rng, 0, 9))
                                        .arg(uniform(rng, 0, 20));
            const int form = uniform(rng, 0, 3);
            g.name = form == 0 ? app + "_" + version + "_amd64.deb"
                     : form == 1
                         ? app.left(1).toUpper() + app.mid(1) + "-" + version + "-x86_64.AppImage"
                     : form == 2 ? app + "-" + version + ".tar.gz"
                                 : app + "-" + version + "-linux.zip";
            if (chance(rng, 0.85))
                g.host =
                    pick(rng, std::vector<QString>{"github.com", "objects.githubusercontent.com",
                                                   "download.example.org"});
        },
        {{0, 7}},
        5000000,
        300000000});
    sources.push_back(Source{"music",
                             6,
                             0,
                             [=](Rng& rng, Generated& g) {
                                 g.name = pick(rng, artists) + " - " +
                                          words(rng, titles, 1, 3, " ") +
                                          (chance(rng, 0.7) ? ".mp3" : ".flac");
                                 if (chance(rng, 0.5))
                                     g.host = QStringLiteral("bandcamp.com");
                             },
                             {{0, 8}},
                             3000000,
                             60000000});
    sources.push_back(Source{
        "books",
        5,
        0,
        [=](Rng& rng, Generated& g) {
            const double r = std::uniform_real_distribution<double>(0, 1)(rng);
            g.name = words(rng, bookWords, 1, 3, chance(rng, 0.5) ? " " : "_") + " - " +
                     pick(rng, authors) + (r < 0.6 ? ".epub" : ".pdf");
            if (chance(rng, 0.6))
                g.host = pick(rng, std::vector<QString>{"standardebooks.org", "www.gutenberg.org",
                                                        "drive.google.com"});
        },
        {{0, 9}},
        300000,
        20000000});
    sources.push_back(Source{
        "work",
        12,
        0,
        [=](Rng& rng, Generated& g) {
            const double r = std::uniform_real_distribution<double>(0, 1)(rng);
            QString base = pick(rng, workNames);
            if (chance(rng, 0.3))
                base += " " + date(rng, "-");
            g.name = maybeCopy(rng, base) + (r < 0.4 ? ".docx" : r < 0.65 ? ".xlsx" : ".pdf");
            if (chance(rng, 0.7))
                g.host =
                    pick(rng, std::vector<QString>{"mail.company.example", "drive.google.com"});
        },
        {{0, 0}},
        20000,
        5000000});
    sources.push_back(Source{
        "house project",
        7,
        300,
        [=](Rng& rng, Generated& g) {
            const double r = std::uniform_real_distribution<double>(0, 1)(rng);
            g.name = maybeCopy(rng, pick(rng, houseWords) +
                                        (chance(rng, 0.4) ? " " + date(rng, "-") : QString())) +
                     (r < 0.6   ? ".pdf"
                      : r < 0.9 ? ".jpg"
                                : ".dwg");
            if (chance(rng, 0.5))
                g.host = pick(rng, std::vector<QString>{"mail.company.example", "drive.google.com",
                                                        "builder.example"});
        },
        {{300, 11}},
        100000,
        8000000});
    sources.push_back(Source{"generic names",
                             7,
                             0,
                             [=](Rng& rng, Generated& g) {
                                 const double r = std::uniform_real_distribution<double>(0, 1)(rng);
                                 g.name = maybeCopy(rng, pick(rng, generic)) + (r < 0.55  ? ".pdf"
                                                                                : r < 0.8 ? ".jpg"
                                                                                          : ".zip");
                                 if (chance(rng, 0.4))
                                     g.host = QStringLiteral("drive.google.com");
                                 // What it really is decides where it goes; nothing in it says so.
                                 g.destination = pick(rng, std::vector<int>{0, 1, 3, 4, 4});
                             },
                             {},
                             20000,
                             9000000});
    return sources;
}

HistoryEntry generate(Rng& rng, const std::vector<Source>& sources, int filing)
{
    double total = 0;
    for (const Source& s : sources)
        total += filing >= s.activeFrom ? s.weight : 0;
    double r = std::uniform_real_distribution<double>(0, total)(rng);
    const Source* source = &sources.back();
    for (const Source& s : sources) {
        if (filing < s.activeFrom)
            continue;
        if (r < s.weight) {
            source = &s;
            break;
        }
        r -= s.weight;
    }
    Generated g{{}, {}, 0, -1};
    source->make(rng, g);
    for (const auto& [from, destination] : source->destinations) {
        if (filing >= from)
            g.destination = destination;
    }
    // One filing in fourteen goes somewhere else for reasons the item does not show.
    if (chance(rng, g_noise))
        g.destination = uniform(rng, 0, int(destinationFolders.size()) - 1);
    const double logSize = std::uniform_real_distribution<double>(
        std::log(double(source->minSize)), std::log(double(source->maxSize)))(rng);
    HistoryEntry entry;
    const auto& [folder, slot] = destinationFolders[size_t(g.destination)];
    entry.action =
        slot > 0 ? HistoryEntry::Action::MovedToSlot : HistoryEntry::Action::MovedToFolder;
    entry.slot = slot;
    entry.itemName = g.name;
    entry.kind = kindFor(g.name.section(QLatin1Char('.'), -1).toLower());
    entry.size = qint64(std::exp(logSize));
    entry.originHost = g.host;
    entry.fromPath = QStringLiteral("/home/u/Downloads/") + g.name;
    entry.toPath = folder + QLatin1Char('/') + g.name;
    entry.placed.device = 2049;
    entry.placed.inode = quint64(1000 + filing);
    entry.placed.size = entry.size;
    entry.placed.modifiedNs = 1700000000000000000LL + filing;
    return entry;
}

DestinationPredictor::Item itemOf(const HistoryEntry& entry)
{
    return DestinationPredictor::Item{entry.itemName, entry.kind, entry.originHost, entry.size};
}

struct Score
{
    int last = 0, top1 = 0, shown = 0, shownRight = 0;
    int laterShown = 0, laterRight = 0, later = 0;
};

double g_fade = DestinationPredictor::defaultFade;

Score replay(quint64 seed, int filings, double threshold, const std::vector<Source>& sources)
{
    Rng rng(seed);
    DestinationPredictor predictor;
    predictor.setThreshold(threshold);
    predictor.setFade(g_fade);
    Score score;
    for (int i = 0; i < filings; ++i) {
        const HistoryEntry entry = generate(rng, sources, i);
        const auto item = itemOf(entry);
        const QString truth = entry.toFolder();
        const auto shown = predictor.predict(item);
        if (i >= 50) {
            ++score.later;
            score.laterShown += shown ? 1 : 0;
            score.laterRight += shown && shown->folder == truth ? 1 : 0;
        }
        if (i >= filings - 100) {
            ++score.last;
            const auto guess = predictor.bestGuess(item);
            score.top1 += guess && guess->folder == truth ? 1 : 0;
            score.shown += shown ? 1 : 0;
            score.shownRight += shown && shown->folder == truth ? 1 : 0;
        }
        predictor.learn(entry);
    }
    return score;
}

double percent(int part, int whole)
{
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

void accuracy(int filings, quint64 firstSeed, int seeds, double threshold, bool verbose)
{
    const std::vector<Source> sources = makeSources();
    Score total;
    double worstTop1 = 100, worstPrecision = 100;
    for (int s = 0; s < seeds; ++s) {
        const Score one = replay(firstSeed + quint64(s), filings, threshold, sources);
        total.last += one.last;
        total.top1 += one.top1;
        total.shown += one.shown;
        total.shownRight += one.shownRight;
        total.later += one.later;
        total.laterShown += one.laterShown;
        total.laterRight += one.laterRight;
        worstTop1 = std::min(worstTop1, percent(one.top1, one.last));
        worstPrecision = std::min(worstPrecision, percent(one.shownRight, one.shown));
        if (verbose)
            std::printf("seed %llu: top-1 %.0f%%, shown %d, right %d (%.1f%%)\n",
                        static_cast<unsigned long long>(firstSeed + quint64(s)),
                        percent(one.top1, one.last), one.shown, one.shownRight,
                        percent(one.shownRight, one.shown));
    }
    std::printf("\n%d filings per history, seeds %llu-%llu, threshold %.2f\n", filings,
                static_cast<unsigned long long>(firstSeed),
                static_cast<unsigned long long>(firstSeed + quint64(seeds) - 1), threshold);
    std::printf("| measure (last 100 filings of each history) | mean | worst seed |\n");
    std::printf("|---|---|---|\n");
    std::printf("| top-1 accuracy (best guess, shown or not) | %.1f%% | %.0f%% |\n",
                percent(total.top1, total.last), worstTop1);
    std::printf("| precision of shown suggestions | %.1f%% (%d of %d) | %.1f%% |\n",
                percent(total.shownRight, total.shown), total.shownRight, total.shown,
                worstPrecision);
    std::printf("| coverage (suggestion shown) | %.1f%% | |\n", percent(total.shown, total.last));
    std::printf("| precision after the first 50 filings | %.1f%% (%d of %d) | |\n",
                percent(total.laterRight, total.laterShown), total.laterRight, total.laterShown);
    std::printf("| coverage after the first 50 filings | %.1f%% | |\n",
                percent(total.laterShown, total.later));
}

void timings(int large)
{
    const std::vector<Source> sources = makeSources();
    Rng rng(7);
    std::vector<HistoryEntry> entries;
    entries.reserve(size_t(large));
    for (int i = 0; i < large; ++i) {
        HistoryEntry entry = generate(rng, sources, i % 600);
        // Unique names, as a long history has, half of them with a word never seen before.
        QString word;
        for (int c = uniform(rng, 5, 8); c > 0; --c)
            word += QChar(u'a' + uniform(rng, 0, 25));
        entry.itemName = (chance(rng, 0.5) ? word + QLatin1Char(' ') : QString()) +
                         QString::number(i) + QLatin1Char('-') + entry.itemName;
        entry.toPath = entry.toFolder() + QLatin1Char('/') + entry.itemName;
        entry.time = QDateTime::currentDateTimeUtc().addSecs(-qint64(large - i) * 60);
        entries.push_back(std::move(entry));
    }

    // Wall and CPU time of this thread, in ms.
    auto cpuMs = [] {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    };
    DestinationPredictor predictor;
    QElapsedTimer timer;
    timer.start();
    for (const HistoryEntry& entry : entries)
        predictor.learn(entry);
    const double learnUs = double(timer.nsecsElapsed()) / 1000.0 / large;

    std::vector<double> times;
    int shown = 0;
    double predictCpuMs = 0;
    for (int i = 0; i < 5000; ++i) {
        const auto item = itemOf(generate(rng, sources, 599));
        const double started = cpuMs();
        timer.start();
        shown += predictor.predict(item) ? 1 : 0;
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
        predictCpuMs += cpuMs() - started;
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("\nPredictor with %d filings learned (%d feature values):\n", large,
                predictor.featureValueCount());
    std::printf("| operation | mean | median | 99th percentile | max |\n|---|---|---|---|---|\n");
    std::printf("| learn one filing | %.1f µs | | | |\n", learnUs);
    std::printf("| predict one item | %.1f µs | %.1f µs | %.1f µs | %.1f µs |\n",
                sum / double(times.size()), times[times.size() / 2], times[times.size() * 99 / 100],
                times.back());
    std::printf("| predict one item, CPU time of the thread | %.1f µs | | | |\n",
                predictCpuMs * 1000.0 / double(times.size()));
    (void)shown;

    QTemporaryDir dir;
    HistoryDatabase db(dir.path() + QStringLiteral("/history.sqlite3"));
    if (!db.openForWriting().ok())
        qFatal("cannot open the database");
    for (int i = 0; i < large; i += 1000) {
        QList<HistoryEntry> batch(entries.begin() + i, entries.begin() + std::min(large, i + 1000));
        if (!db.insert(batch).ok())
            qFatal("cannot fill the database");
    }
    std::vector<double> inserts;
    for (int i = 0; i < 500; ++i) {
        QList<HistoryEntry> one{generate(rng, sources, 599)};
        timer.start();
        if (!db.insert(one).ok())
            qFatal("insert failed");
        inserts.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(inserts.begin(), inserts.end());

    HistoryDatabase reader(db.path());
    if (!reader.openForReading().ok())
        qFatal("cannot open for reading");
    double queryCpu = 0;
    auto timeQuery = [&](const QString& filter, int* rows) {
        std::vector<double> t;
        std::vector<double> cpu;
        QList<HistoryEntry> found;
        for (int i = 0; i < 15; ++i) {
            timer.start();
            const double started = cpuMs();
            if (!reader.query(filter, 200, 0, &found).ok())
                qFatal("query failed");
            t.push_back(double(timer.nsecsElapsed()) / 1e6);
            cpu.push_back(cpuMs() - started);
        }
        *rows = int(found.size());
        std::sort(t.begin(), t.end());
        std::sort(cpu.begin(), cpu.end());
        queryCpu = cpu[cpu.size() / 2];
        return t[t.size() / 2];
    };
    int rows = 0;
    std::printf("\nHistory database with %d entries (WAL, one transaction per insert):\n", large);
    std::printf("| operation | median (wall) | median (CPU) | rows |\n|---|---|---|---|\n");
    std::printf("| insert one entry (writer connection; 99th percentile %.2f ms) | %.3f ms | | |\n",
                inserts[inserts.size() * 99 / 100], inserts[inserts.size() / 2]);
    const double newest = timeQuery(QString(), &rows);
    std::printf("| newest 200, no filter | %.2f ms | %.2f ms | %d |\n", newest, queryCpu, rows);
    const double invoice = timeQuery(QStringLiteral("invoice"), &rows);
    std::printf("| filter \"invoice\", first 200 | %.2f ms | %.2f ms | %d |\n", invoice, queryCpu,
                rows);
    const double twoWords = timeQuery(QStringLiteral("Kontoauszug bank"), &rows);
    std::printf("| filter \"Kontoauszug bank\", first 200 | %.2f ms | %.2f ms | %d |\n", twoWords,
                queryCpu, rows);
    const double none = timeQuery(QStringLiteral("no such name"), &rows);
    std::printf("| filter matching nothing (reads every entry) | %.2f ms | %.2f ms | %d |\n", none,
                queryCpu, rows);
    QList<HistoryEntry> filings;
    timer.start();
    double started = cpuMs();
    reader.filings(5000, &filings);
    DestinationPredictor fresh;
    fresh.learnAll(filings);
    std::printf(
        "| start-up: newest 5,000 filings read and learned (off the GUI thread) | %.1f ms | "
        "%.1f ms | %d |\n",
        double(timer.nsecsElapsed()) / 1e6, cpuMs() - started, int(filings.size()));
    reader.close();
    db.close();

    // What the GUI thread pays per action: HistoryStore::record hands the entry over.
    TestLogger log(false, dir.path() + QStringLiteral("/logs"));
    HistoryStore store(db.path(), std::make_unique<FreedesktopTrash>(dir.path()), log.logger);
    store.waitForWrites();
    std::vector<double> calls;
    for (int i = 0; i < 1000; ++i) {
        const HistoryEntry entry = generate(rng, sources, 599);
        timer.start();
        store.record(entry);
        calls.push_back(double(timer.nsecsElapsed()) / 1e3);
        if (i % 50 == 49)
            store.waitForWrites(); // actions come seconds apart, not all at once
    }
    store.waitForWrites();
    std::sort(calls.begin(), calls.end());
    std::printf(
        "| HistoryStore::record on the caller's thread (99th percentile %.1f µs) | %.1f µs | "
        "| |\n",
        calls[calls.size() * 99 / 100], calls[calls.size() / 2]);
    if (!store.available())
        std::printf("history unavailable: %s\n", qPrintable(store.unavailableReason()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int filings = 600;
    quint64 firstSeed = 101;
    int seeds = 30;
    double threshold = DestinationPredictor::defaultThreshold;
    int large = 100000;
    bool verbose = false;
    bool quick = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--filings") && i + 1 < args.size())
            filings = args[++i].toInt();
        else if (a == QLatin1String("--seeds") && i + 2 < args.size()) {
            firstSeed = args[++i].toULongLong();
            seeds = args[++i].toInt();
        } else if (a == QLatin1String("--threshold") && i + 1 < args.size())
            threshold = args[++i].toDouble();
        else if (a == QLatin1String("--large") && i + 1 < args.size())
            large = args[++i].toInt();
        else if (a == QLatin1String("--fade") && i + 1 < args.size())
            g_fade = args[++i].toDouble();
        else if (a == QLatin1String("--noise") && i + 1 < args.size())
            g_noise = args[++i].toDouble();
        else if (a == QLatin1String("--verbose"))
            verbose = true;
        else if (a == QLatin1String("--quick"))
            quick = true;
    }
    accuracy(filings, firstSeed, seeds, threshold, verbose);
    if (!quick)
        timings(large);
    return 0;
}
