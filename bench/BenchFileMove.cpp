// Times the file execution engine's moves against the size of the file and against `cp`.
//
//   BenchFileMove [--size-mb N] [--rounds N] [--work DIR] [--other DIR]
//
// Inside one file system a move is a rename: the time is the same for 1 MB and for the big
// file. Across file systems (--other, /dev/shm by default) the engine copies, flushes,
// checks the copy and removes the source; its time is set beside `cp` and `mv` on the same
// file, taken in turns so that all read the source from the same cache state.

#include "crashreporting/CrashReporter.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "fakes/RecordingRevealer.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "platform/TreeCopier.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

void writeFile(const QString& path, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 done = 0; done < bytes; done += chunk.size()) {
        for (qsizetype i = 0; i < chunk.size(); i += 8)
            chunk[i] = char(done / chunk.size() + i); // not all zeros, not compressible
        f.write(chunk.constData(), std::min<qint64>(chunk.size(), bytes - done));
    }
    f.flush();
    ::fsync(f.handle());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double freeBytes(const QString& path)
{
    struct statvfs fs;
    return ::statvfs(QFile::encodeName(path).constData(), &fs) == 0
               ? double(fs.f_bavail) * double(fs.f_frsize)
               : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qint64 sizeMb = 1024;
    int rounds = 5;
    QString work = QDir::tempPath();
    QString other = QStringLiteral("/dev/shm");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--size-mb"))
            sizeMb = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--rounds"))
            rounds = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--work"))
            work = args[i + 1];
        else if (args[i] == QLatin1String("--other"))
            other = args[i + 1];
    }

    QTemporaryDir dir(work + QStringLiteral("/stowbird-bench-XXXXXX"));
    QTemporaryDir logs;
    FakeCrashReporter reporter;
    RecordingJournal journal(false);
    LoggerService logger(logs.path(), reporter, journal);
    FileExecutionEngine engine(std::make_unique<FreedesktopTrash>(logs.path()),
                               std::make_shared<RecordingRevealer>(), logger, reporter);
    const qint64 bigBytes = sizeMb * 1024 * 1024;
    const QString a = dir.path() + QStringLiteral("/a");
    const QString b = dir.path() + QStringLiteral("/b");
    QDir().mkpath(a);
    QDir().mkpath(b);

    std::printf("Same file system (%s), median of %d moves:\n", qPrintable(work), rounds);
    for (const qint64 bytes : {qint64(1024 * 1024), bigBytes}) {
        writeFile(a + QStringLiteral("/file.bin"), bytes);
        std::vector<double> times;
        for (int r = 0; r < rounds; ++r) {
            const QString from = (r % 2 ? b : a) + QStringLiteral("/file.bin");
            QElapsedTimer timer;
            timer.start();
            engine.move(TriageItem(QUrl::fromLocalFile(from)), QUrl::fromLocalFile(r % 2 ? a : b));
            times.push_back(timer.nsecsElapsed() / 1e3);
        }
        QFile::remove(a + QStringLiteral("/file.bin"));
        QFile::remove(b + QStringLiteral("/file.bin"));
        std::printf("  %8lld MiB: %8.1f us per move\n", bytes >> 20, median(times));
    }

    struct stat here, there;
    if (::stat(QFile::encodeName(work).constData(), &here) != 0 ||
        ::stat(QFile::encodeName(other).constData(), &there) != 0 || here.st_dev == there.st_dev) {
        std::printf("No second file system at %s: cross-file-system figures skipped.\n",
                    qPrintable(other));
        return 0;
    }
    qint64 crossBytes = bigBytes;
    if (freeBytes(other) < 2.5 * double(crossBytes)) {
        crossBytes = qint64(freeBytes(other) / 3) & ~qint64(0xFFFFF);
        std::printf("Only %.0f MiB free on %s: the cross-file-system file is %lld MiB.\n",
                    freeBytes(other) / 1048576, qPrintable(other), crossBytes >> 20);
    }
    QTemporaryDir target(other + QStringLiteral("/stowbird-bench-XXXXXX"));
    const QString source = a + QStringLiteral("/cross.bin");
    writeFile(source, crossBytes);

    // Each round times, one after the other on the same cached source: cp, the engine's
    // copy step alone, mv (a copy and an unlink, like the engine), and the engine's move.
    std::vector<double> cpTimes, copyTimes, mvTimes, engineTimes;
    auto timed = [](std::vector<double>& into, const auto& step) {
        QElapsedTimer timer;
        timer.start();
        step();
        into.push_back(timer.nsecsElapsed() / 1e9);
    };
    const QString parked = target.path() + QStringLiteral("/cross.bin");
    auto putBack = [&] {
        engine.move(TriageItem(QUrl::fromLocalFile(parked)), QUrl::fromLocalFile(a));
        // Start every round from a source that is on disk and in the cache, as a finished
        // download is; otherwise the flushes of the next step wait for this write-back.
        ::sync();
    };
    for (int r = 0; r < rounds; ++r) {
        const QString copy = target.path() + QStringLiteral("/copy.bin");
        timed(cpTimes, [&] {
            if (QProcess::execute(QStringLiteral("cp"), {source, copy}) != 0)
                qFatal("cp failed");
        });
        QFile::remove(copy);
        timed(copyTimes, [&] {
            const int folder = ::open(QFile::encodeName(QFileInfo(copy).absolutePath()).constData(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            TreeCopier().copy(source, folder, QFile::encodeName(QFileInfo(copy).fileName()));
            ::close(folder);
        });
        QFile::remove(copy);
        ::sync();
        timed(mvTimes, [&] {
            if (QProcess::execute(QStringLiteral("mv"), {source, target.path()}) != 0)
                qFatal("mv failed");
        });
        putBack();
        timed(engineTimes, [&] {
            engine.move(TriageItem(QUrl::fromLocalFile(source)),
                        QUrl::fromLocalFile(target.path()));
        });
        putBack();
    }
    const double mib = double(crossBytes) / 1048576;
    const double cp = median(cpTimes);
    std::printf("Across file systems (%s -> %s), %.0f MiB, median of %d:\n", qPrintable(work),
                qPrintable(other), mib, rounds);
    auto line = [&](const char* what, double seconds) {
        std::printf("  %-34s %6.3f s %8.1f MiB/s  %4.0f%% of cp\n", what, seconds, mib / seconds,
                    100 * cp / seconds);
    };
    line("cp", cp);
    line("engine copy step (copy, check)", median(copyTimes));
    line("mv (copy, unlink source)", median(mvTimes));
    line("engine move (copy, check, unlink)", median(engineTimes));
    return 0;
}
