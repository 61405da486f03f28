// Times the duplicate check of the item on show.
//
//   BenchDuplicates [--rounds N] [--size-mb N] [--work DIR] [--history N]
//
// 0. The speed of Qt's digests, which chose the one used.
// 1. A download of --size-mb (50) MB with one same-size file in a slot folder, identical, among
//    300 files of other sizes in five slot folders: the time from check() to matchFound, with
//    both files in the page cache (a download just written, a file in use), with both evicted
//    first (posix_fadvise), and again with the digests already cached.
// 2. A sparse 4 GiB download that no file matches in size: the time to checked, the bytes the
//    process read meanwhile (/proc/self/io) and the opens of the file inotify saw.
// 3. The history's look-up by size with --history (100,000) entries, with and without its
//    index, and a whole check against that history.

#include "fakes/TestLogger.h"
#include "models/HistoryEntry.h"
#include "models/TriageItem.h"
#include "platform/ContentHasher.h"
#include "platform/HistoryDatabase.h"
#include "services/DuplicateFinder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace {

void writeFile(const QString& path, qint64 bytes, char seed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 done = 0; done < bytes; done += chunk.size()) {
        for (qsizetype i = 0; i < chunk.size(); i += 8)
            chunk[i] = char(seed + done / chunk.size() + i); // not all zeros
        f.write(chunk.constData(), std::min<qint64>(chunk.size(), bytes - done));
    }
    f.flush();
    ::fsync(f.handle());
}

void evict(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

struct Figures
{
    std::vector<double> values;
    void add(double value) { values.push_back(value); }
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

// One check, timed from the call to the signal on the finder's thread (ms); -1: no match.
double timeCheck(DuplicateFinder& finder, const TriageItem& item, const QStringList& folders,
                 double* callMs = nullptr)
{
    std::atomic<qint64> foundAt{-1};
    QElapsedTimer timer;
    const auto connection = QObject::connect(
        &finder, &DuplicateFinder::matchFound, &finder,
        [&](const DuplicateFinder::Match&) { foundAt = timer.nsecsElapsed(); },
        Qt::DirectConnection);
    timer.start();
    finder.check(item, folders, {});
    if (callMs)
        *callMs = double(timer.nsecsElapsed()) / 1e6;
    finder.waitForIdle();
    QObject::disconnect(connection);
    return foundAt < 0 ? -1 : double(foundAt) / 1e6;
}

void identicalCopy(const QString& root, qint64 bytes, int rounds)
{
    TestLogger log(false, root + QStringLiteral("/logs"));
    const QString downloads = root + QStringLiteral("/Downloads");
    QStringList slotFolders;
    for (int s = 1; s <= 5; ++s) {
        slotFolders << root + QStringLiteral("/Slot%1").arg(s);
        for (int i = 0; i < 60; ++i)
            writeFile(slotFolders.last() + QStringLiteral("/file%1.bin").arg(i), 1000 + s * 100 + i,
                      char(i));
    }
    writeFile(downloads + QStringLiteral("/report (1).pdf"), bytes, 'r');
    QFile::copy(downloads + QStringLiteral("/report (1).pdf"),
                slotFolders[3] + QStringLiteral("/report.pdf"));
    const TriageItem item(QUrl::fromLocalFile(downloads + QStringLiteral("/report (1).pdf")));
    std::printf("%lld MB download, one identical file among 301 in five slot folders, %d "
                "rounds (ms from check() to matchFound):\n",
                bytes / 1000000, rounds);
    for (const bool cold : {false, true}) {
        Figures first, again, call;
        for (int r = 0; r < rounds; ++r) {
            if (cold) {
                evict(item.path());
                evict(slotFolders[3] + QStringLiteral("/report.pdf"));
            }
            DuplicateFinder finder({}, log.logger);
            double callMs = 0;
            const double ms = timeCheck(finder, item, slotFolders, &callMs);
            if (ms < 0)
                qFatal("the copy was not found");
            first.add(ms);
            call.add(callMs);
            again.add(timeCheck(finder, item, slotFolders));
        }
        std::printf("  %-36s median %7.1f  max %7.1f\n",
                    cold ? "both files evicted from the cache" : "both files in the page cache",
                    first.median(), first.max());
        if (!cold) {
            std::printf("  %-36s median %7.3f  max %7.3f\n", "again, digests cached",
                        again.median(), again.max());
            std::printf("  %-36s median %7.3f  max %7.3f\n", "check() on the calling thread",
                        call.median(), call.max());
        }
    }
}

void noSameSize(const QString& root, int rounds)
{
    TestLogger log(false, root + QStringLiteral("/logs"));
    const QString downloads = root + QStringLiteral("/Downloads");
    const QString big = downloads + QStringLiteral("/disk.iso");
    QFile file(big);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(4LL << 30)) {
        std::printf("No room for a 4 GiB sparse file: skipped.\n");
        return;
    }
    file.close();
    QStringList slotFolders;
    for (int s = 1; s <= 5; ++s)
        slotFolders << root + QStringLiteral("/Slot%1").arg(s);
    const TriageItem item(QUrl::fromLocalFile(big));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, QFile::encodeName(big).constData(), IN_OPEN | IN_ACCESS);
    Figures times;
    qint64 read = 0;
    for (int r = 0; r < rounds; ++r) {
        DuplicateFinder finder({}, log.logger);
        const qint64 before = bytesRead();
        QElapsedTimer timer;
        timer.start();
        finder.check(item, slotFolders, {});
        finder.waitForIdle();
        times.add(double(timer.nsecsElapsed()) / 1e6);
        read = std::max(read, bytesRead() - before);
    }
    char events[4096];
    const ssize_t got = ::read(watch, events, sizeof events);
    ::close(watch);
    std::printf("4 GiB sparse download, no file of its size in five slot folders (301 files):\n"
                "  check to end: median %.2f ms, max %.2f ms; bytes read by the process during "
                "a check: %lld; opens or reads of the file: %s\n",
                times.median(), times.max(), read, got > 0 ? "some" : "none");
    QFile::remove(big);
}

void history(const QString& root, int entries, int rounds)
{
    TestLogger log(false, root + QStringLiteral("/logs"));
    const QString path = root + QStringLiteral("/history.sqlite3");
    {
        HistoryDatabase db(path);
        if (!db.openForWriting(false).ok())
            qFatal("cannot write the history");
        std::mt19937_64 rng(7);
        QList<HistoryEntry> batch;
        for (int i = 0; i < entries; ++i) {
            HistoryEntry entry;
            entry.action =
                i % 3 ? HistoryEntry::Action::MovedToSlot : HistoryEntry::Action::MovedToFolder;
            entry.itemName = QStringLiteral("file%1.pdf").arg(i);
            entry.size = qint64(std::uniform_int_distribution<qint64>(1000, 50000000)(rng));
            entry.fromPath = root + QStringLiteral("/Downloads/") + entry.itemName;
            entry.toPath = root + QStringLiteral("/Gone/") + entry.itemName;
            batch.append(entry);
            if (batch.size() == 5000) {
                db.insert(batch);
                batch.clear();
            }
        }
        db.insert(batch);
    }
    auto lookups = [&](const char* what) {
        HistoryDatabase db(path);
        db.openForReading();
        std::mt19937_64 rng(11);
        Figures times;
        QList<HistoryEntry> found;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer timer;
            timer.start();
            db.filedWithSize(std::uniform_int_distribution<qint64>(1000, 50000000)(rng),
                             DuplicateFinder::historyCandidateLimit, &found);
            times.add(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("  look-up by size, %-16s median %8.3f ms  max %8.3f ms\n", what,
                    times.median(), times.max());
    };
    std::printf("History of %d filings:\n", entries);
    lookups("with the index:");
    {
        const QString download = root + QStringLiteral("/Downloads/notes.txt");
        writeFile(download, 123457, 'n');
        const TriageItem item(QUrl::fromLocalFile(download));
        QStringList slotFolders;
        for (int s = 1; s <= 5; ++s)
            slotFolders << root + QStringLiteral("/Slot%1").arg(s);
        Figures times;
        DuplicateFinder finder(path, log.logger);
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer timer;
            timer.start();
            finder.check(item, slotFolders, {});
            finder.waitForIdle();
            times.add(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("  whole check of a file with no copy: median %.2f ms, max %.2f ms (first "
                    "opens the history)\n",
                    times.median(), times.max());
    }
    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &raw);
    sqlite3_exec(raw, "DROP INDEX history_size", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    lookups("without it:");
}

void algorithms()
{
    QByteArray data(64 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7 + i / 4096);
    std::printf("Digest speed on 64 MiB in memory, 1 MiB at a time (best of 5, after a "
                "warm-up):\n");
    const std::pair<const char*, QCryptographicHash::Algorithm> candidates[] = {
        {"Blake2b-256", QCryptographicHash::Blake2b_256},
        {"Blake2s-256", QCryptographicHash::Blake2s_256},
        {"SHA-256", QCryptographicHash::Sha256},
        {"SHA-512", QCryptographicHash::Sha512},
        {"SHA3-256", QCryptographicHash::Sha3_256},
        {"SHA-1 (broken)", QCryptographicHash::Sha1},
        {"MD5 (broken)", QCryptographicHash::Md5}};
    QCryptographicHash::hash(data, QCryptographicHash::Blake2b_256);
    for (const auto& [name, algorithm] : candidates) {
        double best = 1e9;
        for (int r = 0; r < 5; ++r) {
            QElapsedTimer timer;
            timer.start();
            QCryptographicHash hash(algorithm);
            for (qsizetype at = 0; at < data.size(); at += 1 << 20)
                hash.addData(QByteArrayView(data.constData() + at, 1 << 20));
            hash.result();
            best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
        }
        std::printf("  %-16s %6.0f MB/s\n", name, double(data.size()) / 1e6 / best);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 7;
    qint64 sizeMb = 50;
    int entries = 100000;
    QString work = QDir::tempPath();
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--rounds"))
            rounds = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--size-mb"))
            sizeMb = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--work"))
            work = args[i + 1];
        else if (args[i] == QLatin1String("--history"))
            entries = args[i + 1].toInt();
    }
    QTemporaryDir dir(work + QStringLiteral("/stowbird-bench-XXXXXX"));
    std::printf("Work folder %s; digest %s, read in %lld KiB chunks.\n", qPrintable(dir.path()),
                ContentHasher::algorithm == QCryptographicHash::Blake2b_256 ? "Blake2b-256"
                                                                            : "other",
                qlonglong(ContentHasher::chunkSize / 1024));
    algorithms();
    identicalCopy(dir.path(), sizeMb * 1000000, rounds);
    noSameSize(dir.path(), rounds);
    history(dir.path(), entries, rounds);
    return 0;
}
