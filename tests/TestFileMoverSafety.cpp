#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

using TestFiles::entries;
using TestFiles::pattern;
using TestFiles::readFile;
using TestFiles::snapshot;
using TestFiles::writeFile;

constexpr uid_t nobody = 65534;

// A tmpfs of its own, unmounted at the end of the test.
class Tmpfs
{
public:
    explicit Tmpfs(const QString& path, const char* options = "size=64m") : m_path(path)
    {
        QDir().mkpath(path);
        m_mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options) == 0;
    }
    ~Tmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

private:
    QString m_path;
    bool m_mounted = false;
};

// Starts body in a child process running as another user (nobody), which a shared folder
// lets write beside the user's own files. Returns the child's pid.
template <typename Body> pid_t startAsNobody(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
            ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(120);
        ::_exit(body());
    }
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

template <typename Body> int runAsNobody(Body body)
{
    return waitFor(startAsNobody(body));
}

// A process that opens a file for writing, says so on a pipe, waits until told to go on,
// then appends to it: a download client that still has its file open.
class HeldWriter
{
public:
    explicit HeldWriter(const QString& path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_go) != 0)
            return;
        const QByteArray name = QFile::encodeName(path);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
            ::close(ready[0]);
            ::close(m_go[1]);
            if (fd < 0 || ::write(ready[1], "r", 1) != 1)
                ::_exit(1);
            char c;
            if (::read(m_go[0], &c, 1) != 1)
                ::_exit(2);
            ::_exit(::write(fd, "appended", 8) == 8 ? 0 : 3);
        }
        ::close(ready[1]);
        ::close(m_go[0]);
        char c = 0;
        m_open = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
    }
    bool isOpen() const { return m_open; }
    // Lets the writer append and end; returns its exit code.
    int finish()
    {
        const ssize_t n = ::write(m_go[1], "g", 1);
        ::close(m_go[1]);
        return n == 1 ? waitFor(m_pid) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_go[2] = {-1, -1};
    bool m_open = false;
};

} // namespace

class TestFileMoverSafety : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_downloads;

    QString path(const QString& relative) const { return m_dir->path() + u'/' + relative; }

    static FileOperationError moveFails(FileMover& mover, const QString& source,
                                        const QString& target)
    {
        try {
            mover.move(source, target, {});
        } catch (const FileOperationError& failure) {
            return failure;
        }
        return FileOperationError(AppError{QStringLiteral("test"), 0, QStringLiteral("moved")});
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Other users may pass through to the shared folders inside, not list it.
        QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0711) == 0);
        m_downloads = path(QStringLiteral("Downloads"));
        QVERIFY(QDir().mkpath(m_downloads));
    }

    void cleanup() { m_dir.reset(); }

    // curl has written a quarter of a download and its connection stalls; a move to another
    // disk meanwhile must fail, leave the file to curl and leave nothing in the slot.
    void aDownloadInProgressIsNotMoved()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty())
            QFAIL("curl is not installed (scripts/install-deps.sh installs it)");
        Tmpfs slot(path(QStringLiteral("slot")));
        QVERIFY(slot.isMounted());
        constexpr qint64 size = 4 << 20;
        constexpr qint64 chunk = 64 << 10;
        // Chunk after chunk of one letter, A, B, C..., so that a lost or doubled part shows.
        QByteArray body;
        for (qint64 at = 0; at < size; at += chunk)
            body += QByteArray(chunk, char('A' + (at / chunk) % 26));
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.respond("/video.mp4", {200, "video/mp4", body, {}, size / 4});

        const QString source = m_downloads + QStringLiteral("/video.mp4");
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"), source,
                                            server.url(QStringLiteral("/video.mp4")).toString()});
        QVERIFY(curl.waitForStarted(5000));
        // curl writes through a stdio buffer, so the last few kilobytes before the hold may
        // stay in it: wait for most of the first quarter, not all of it.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(source).size() >= size / 8, 20000);

        FileMover mover;
        const FileOperationError failure = moveFails(mover, source, path("slot/video.mp4"));
        QCOMPARE(failure.error().code, FileMover::stillWrittenCode);
        QVERIFY2(failure.error().localizedDescription.contains("still being written"),
                 qPrintable(failure.error().localizedDescription));
        QCOMPARE(entries(path("slot")), QStringList());

        server.releaseHeld();
        QTRY_COMPARE_WITH_TIMEOUT(curl.state(), QProcess::NotRunning, 30000);
        QCOMPARE(curl.exitStatus(), QProcess::NormalExit);
        QCOMPARE(curl.exitCode(), 0);
        const QByteArray whole = readFile(source);
        QCOMPARE(whole.size(), size);
        QVERIFY(whole == body);
        // Finished, it moves.
        QCOMPARE(mover.move(source, path("slot/video.mp4"), {}), path("slot/video.mp4"));
        QCOMPARE(readFile(path("slot/video.mp4")), whole);
    }

    // A writer that opens the file after the move started, while the copy runs: the check
    // before the original is removed sees it.
    void aFileOpenedForWritingDuringTheCopyStays_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("file in a folder") << true;
    }

    void aFileOpenedForWritingDuringTheCopyStays()
    {
        QFETCH(bool, folder);
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        Tmpfs slot(path(QStringLiteral("slot")));
        QVERIFY(slot.isMounted());
        const QString source = m_downloads + (folder ? "/Set" : "/big.bin");
        const QString held = folder ? source + "/held.bin" : source;
        const QByteArray content = pattern(1 << 20, 'h');
        writeFile(held, content);
        if (folder)
            writeFile(source + "/other.bin", "other");

        FileMover mover;
        std::unique_ptr<HeldWriter> writer;
        mover.setChunkHook([&](const QString&, qint64) {
            if (!writer)
                writer = std::make_unique<HeldWriter>(held);
        });
        const QString target = path("slot/") + QFileInfo(source).fileName();
        const FileOperationError failure = moveFails(mover, source, target);
        QVERIFY(writer && writer->isOpen());
        const QString said = failure.error().localizedDescription;
        QVERIFY2(said.contains("still being written"), qPrintable(said));
        QVERIFY2(!said.contains("changed during the copy"), qPrintable(said));
        if (folder) {
            QCOMPARE(failure.error().code, FileMover::partialMoveCode);
            QVERIFY2(said.contains("held.bin"), qPrintable(said));
            QCOMPARE(readFile(target + "/other.bin"), QByteArray("other"));
            QVERIFY(!QFileInfo::exists(source + "/other.bin"));
        } else {
            QCOMPARE(failure.error().code, FileMover::stillWrittenCode);
            QCOMPARE(entries(path("slot")), QStringList());
        }
        // The writer goes on into the file that stayed, and nothing of it is lost.
        QCOMPARE(writer->finish(), 0);
        QCOMPARE(readFile(held), content + "appended");
    }

    // Another user plants partial copies in a shared sticky folder with links to a folder
    // of the user's, and swaps a folder for such a link while the clean-up runs.
    void cleaningPartialsNeverReachesAnotherFolder_data()
    {
        QTest::addColumn<bool>("ownPartial");
        QTest::newRow("partial planted by another user") << false;
        QTest::newRow("own partial with a folder others may write to") << true;
    }

    void cleaningPartialsNeverReachesAnotherFolder()
    {
        QFETCH(bool, ownPartial);
        if (::geteuid() != 0)
            QSKIP("another user's files need root");
        Tmpfs disk(path(QStringLiteral("disk")));
        QVERIFY(disk.isMounted());
        const QString share = path("disk/share");
        QVERIFY(QDir().mkpath(share));
        QVERIFY(::chmod(QFile::encodeName(share).constData(), 01777) == 0);
        // The victim is on the tmpfs too: 2000 files on the home's disk cost seconds on a busy
        // machine, and a link on the same file system is no easier to refuse.
        const QString victim = path("disk/victim");
        constexpr int names = 2000;
        for (int i = 0; i < names; ++i)
            writeFile(victim + QStringLiteral("/n%1").arg(i), "keep me");
        QVERIFY(::chmod(QFile::encodeName(victim).constData(), 0700) == 0);
        const QStringList before = snapshot(victim);

        const QString partial = share + "/.stowbird-0123456789abcdef0123456789abcdef.partial";
        // The folder swapped for a link to the victim once its removal has begun.
        const QString swapped = ownPartial ? partial + "/open/x" : partial + "/d";
        if (ownPartial) {
            QVERIFY(QDir().mkpath(partial + "/open"));
            QVERIFY(::chmod(QFile::encodeName(partial + "/open").constData(), 0777) == 0);
        }
        const QByteArray victimName = QFile::encodeName(victim);
        const QByteArray partialName = QFile::encodeName(partial);
        const QByteArray swappedName = QFile::encodeName(swapped);
        const QByteArray asideName = swappedName + ".aside";
        const QByteArray linkName = partialName + "/link";
        QCOMPARE(runAsNobody([&] {
                     if (!ownPartial && ::mkdir(partialName.constData(), 0777) != 0)
                         return 1;
                     if (::mkdir(swappedName.constData(), 0777) != 0 ||
                         (!ownPartial && ::symlink(victimName.constData(), linkName.constData())))
                         return 2;
                     for (int i = 0; i < names; ++i) {
                         char name[4096];
                         std::snprintf(name, sizeof name, "%s/n%d", swappedName.constData(), i);
                         const int fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
                         if (fd < 0)
                             return 3;
                         ::close(fd);
                     }
                     return 0;
                 }),
                 0);
        // A link planted under a partial's name, to the victim itself.
        QCOMPARE(runAsNobody([&] {
                     const QByteArray link = QFile::encodeName(
                         share + "/.stowbird-fedcba9876543210fedcba9876543210.partial");
                     return ::symlink(victimName.constData(), link.constData()) == 0 ? 0 : 1;
                 }),
                 0);

        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t swapper = startAsNobody([&] {
            const int watch = ::inotify_init1(IN_CLOEXEC);
            if (watch < 0 || ::inotify_add_watch(watch, swappedName.constData(), IN_DELETE) < 0)
                return 1;
            if (::write(ready[1], "r", 1) != 1)
                return 2;
            char events[4096];
            if (::read(watch, events, sizeof events) <= 0)
                return 3;
            ::rename(swappedName.constData(), asideName.constData());
            return ::symlink(victimName.constData(), swappedName.constData()) == 0 ? 0 : 4;
        });
        ::close(ready[1]);
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        ::close(ready[0]);

        const int removed = FileMover::removeStalePartials(share);
        // Without a removal inside the watched folder the swapper waits for ever.
        ::kill(swapper, SIGKILL);
        waitFor(swapper);
        QCOMPARE(snapshot(victim), before);
        if (!ownPartial) {
            // Nothing of another user's is touched.
            QCOMPARE(removed, 0);
            QVERIFY(QFileInfo(partial).isDir());
            QCOMPARE(QDir(swapped).entryList(QDir::Files).size(), names);
        } else {
            // What is left of an own partial (the link swapped in) goes the next time.
            FileMover::removeStalePartials(share);
            QVERIFY(!QFileInfo::exists(partial));
            QCOMPARE(snapshot(victim), before);
        }
    }

    // Another user swaps the slot folder (in a shared sticky folder) for a folder of their
    // own with a link, under the copy's hidden name, to a folder of the user's.
    void aSwappedSlotFolderDoesNotRedirectTheCopy()
    {
        if (::geteuid() != 0)
            QSKIP("another user's files need root");
        Tmpfs disk(path(QStringLiteral("disk")));
        QVERIFY(disk.isMounted());
        const QString share = path("disk/share");
        QVERIFY(QDir().mkpath(share));
        QVERIFY(::chmod(QFile::encodeName(share).constData(), 01777) == 0);
        const QString group = share + "/group";
        const QByteArray groupName = QFile::encodeName(group);
        QCOMPARE(runAsNobody([&] { return ::mkdir(groupName.constData(), 0777); }), 0);
        const QString victim = path("victim");
        writeFile(victim + "/private.txt", "mine");
        QVERIFY(::chmod(QFile::encodeName(victim).constData(), 0700) == 0);
        const QStringList victimBefore = snapshot(victim);

        const QString source = m_downloads + "/Album";
        writeFile(source + "/a.bin", pattern(1 << 20, 'a'));
        writeFile(source + "/b.bin", pattern(1000, 'b'));
        writeFile(source + "/c.bin", pattern(1000, 'c'));
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0755) == 0);
        const QStringList sourceBefore = snapshot(source);

        FileMover mover;
        bool swapped = false;
        mover.setChunkHook([&](const QString&, qint64) {
            if (swapped)
                return;
            const QStringList hidden = QDir(group).entryList({QStringLiteral(".stowbird-*")},
                                                             QDir::AllEntries | QDir::Hidden);
            const QByteArray aside = groupName + ".old";
            const QByteArray link = groupName + '/' + QFile::encodeName(hidden.value(0));
            const QByteArray to = QFile::encodeName(victim);
            swapped = hidden.size() == 1 &&
                      runAsNobody([&] {
                          return ::rename(groupName.constData(), aside.constData()) == 0 &&
                                         ::mkdir(groupName.constData(), 0777) == 0 &&
                                         ::symlink(to.constData(), link.constData()) == 0
                                     ? 0
                                     : 1;
                      }) == 0;
        });
        const FileOperationError failure = moveFails(mover, source, group + "/Album");
        QVERIFY(swapped);
        QVERIFY2(failure.error().code != 0, "the redirected move reported success");
        QCOMPARE(snapshot(victim), victimBefore);
        QCOMPARE(snapshot(source), sourceBefore);
        QCOMPARE(entries(group + ".old"), QStringList());
    }

    // FAT through FUSE reports no free space and refuses chmod; the copy still lands.
    void aFileSystemWithoutFiguresOrModesTakesCopies()
    {
        if (::geteuid() != 0)
            QSKIP("mounting needs root");
        const QStringList sbin{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                               QStringLiteral("/usr/bin")};
        const QString fusefat = QStandardPaths::findExecutable(QStringLiteral("fusefat"));
        const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.vfat"), sbin);
        if (fusefat.isEmpty() || mkfs.isEmpty() || ::access("/dev/fuse", R_OK | W_OK) != 0)
            QSKIP("no fusefat, mkfs.vfat or /dev/fuse (scripts/install-deps.sh installs them)");
        const QString image = path("fat.img");
        const QString mountPoint = path("fat");
        QVERIFY(QDir().mkpath(mountPoint));
        QCOMPARE(QProcess::execute(mkfs, {QStringLiteral("-F"), QStringLiteral("32"),
                                          QStringLiteral("-C"), image, QStringLiteral("65536")}),
                 0);
        QCOMPARE(QProcess::execute(
                     fusefat, {QStringLiteral("-o"), QStringLiteral("rw+"), image, mountPoint}),
                 0);
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH); });
        struct statvfs room;
        QVERIFY(::statvfs(QFile::encodeName(mountPoint).constData(), &room) == 0);
        if (room.f_blocks != 0)
            qWarning("this fusefat reports free space; only the refused chmod is tested");

        writeFile(m_downloads + "/empty.txt", {});
        writeFile(m_downloads + "/data.bin", pattern(1 << 20, 'd'));
        writeFile(m_downloads + "/Folder/inside.txt", "inside");
        QVERIFY(::chmod(QFile::encodeName(m_downloads + "/data.bin").constData(), 0640) == 0);
        FileMover mover;
        for (const QString name : {"empty.txt", "data.bin"}) {
            const QByteArray before = readFile(m_downloads + u'/' + name);
            try {
                mover.move(m_downloads + u'/' + name, mountPoint + u'/' + name, {});
            } catch (const FileOperationError& failure) {
                QFAIL(qPrintable(name + ": " + failure.error().localizedDescription));
            }
            QVERIFY(!QFileInfo::exists(m_downloads + u'/' + name));
            QCOMPARE(readFile(mountPoint + u'/' + name), before);
        }
        // fusefat empties a folder that is renamed: the folder lands whole or stays whole.
        bool moved = true;
        try {
            mover.move(m_downloads + "/Folder", mountPoint + "/Folder", {});
        } catch (const FileOperationError& failure) {
            qInfo("folder not moved: %s", qPrintable(failure.error().localizedDescription));
            moved = false;
        }
        QCOMPARE(readFile((moved ? mountPoint : m_downloads) + "/Folder/inside.txt"),
                 QByteArray("inside"));
        // Nothing else is left there, no partial copy either.
        QStringList expected{"data.bin", "empty.txt"};
        if (moved)
            expected << "Folder";
        expected.sort();
        QCOMPARE(entries(mountPoint), expected);
    }

    // A 10 GiB disk image with a few data extents moves between two small tmpfs mounts in
    // a moment, stays sparse and keeps its data.
    void sparseFilesStaySparse()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        Tmpfs from(path(QStringLiteral("from")));
        Tmpfs to(path(QStringLiteral("to")));
        QVERIFY(from.isMounted() && to.isMounted());
        constexpr qint64 size = qint64(10) << 30;
        const QString source = path("from/disk.img");
        const QList<QPair<qint64, QByteArray>> extents{
            {0, pattern(1 << 20, '0')},
            {(qint64(3) << 30) + 12345, pattern(70000, '3')},
            {size - 5000, pattern(5000, 'e')}};
        {
            QFile image(source);
            QVERIFY(image.open(QIODevice::WriteOnly));
            QVERIFY(image.resize(size));
            for (const auto& [offset, data] : extents)
                QVERIFY(image.seek(offset) && image.write(data) == data.size());
        }

        FileMover mover;
        qint64 lastDone = 0;
        qint64 lastTotal = 0;
        QElapsedTimer clock;
        clock.start();
        try {
            mover.move(source, path("to/disk.img"), {}, [&](qint64 done, qint64 total) {
                lastDone = done;
                lastTotal = total;
            });
        } catch (const FileOperationError& failure) {
            QFAIL(qPrintable(failure.error().localizedDescription));
        }
        const qint64 elapsed = clock.nsecsElapsed() / 1000;
        qInfo("moved a 10 GiB sparse file in %lld µs", elapsed);
        QVERIFY2(elapsed < 30000000, "the holes were copied as data");
        QCOMPARE(lastDone, size);
        QCOMPARE(lastTotal, size);
        QVERIFY(!QFileInfo::exists(source));

        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path("to/disk.img")).constData(), &st) == 0);
        QCOMPARE(qint64(st.st_size), size);
        QVERIFY2(qint64(st.st_blocks) * 512 < (qint64(8) << 20),
                 qPrintable(QString::number(qint64(st.st_blocks) * 512)));
        QFile copy(path("to/disk.img"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        for (const auto& [offset, data] : extents) {
            QVERIFY(copy.seek(offset));
            QCOMPARE(copy.read(data.size()), data);
        }
        QVERIFY(copy.seek(qint64(5) << 30));
        QCOMPARE(copy.read(4096), QByteArray(4096, '\0'));
    }

    // A file the file system refuses to remove is reported as such, not as changed.
    void aRefusedRemovalIsToldAsSuch()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs and marking a file immutable need root");
        Tmpfs slot(path(QStringLiteral("slot")));
        QVERIFY(slot.isMounted());
        const QString source = m_downloads + "/Set";
        const QString locked = source + "/sub/locked.bin";
        writeFile(locked, "locked");
        writeFile(source + "/free.bin", "free");
        const auto setImmutable = [&](bool on) {
            const int fd = ::open(QFile::encodeName(locked).constData(), O_RDONLY | O_CLOEXEC);
            int flags = 0;
            bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
            if (fd >= 0)
                ::close(fd);
            return done;
        };
        if (!setImmutable(true))
            QSKIP("this file system has no immutable files");
        const auto unlock = qScopeGuard([&] { setImmutable(false); });
        FileMover mover;
        const FileOperationError failure = moveFails(mover, source, path("slot/Set"));
        QCOMPARE(failure.error().code, FileMover::partialMoveCode);
        const QString said = failure.error().localizedDescription;
        QVERIFY2(said.contains(QStringLiteral("could not be removed from Downloads (%1): "
                                              "sub/locked.bin")
                                   .arg(QString::fromLocal8Bit(std::strerror(EPERM)))),
                 qPrintable(said));
        QVERIFY2(!said.contains("changed during the copy"), qPrintable(said));
        QVERIFY(!QFileInfo::exists(source + "/free.bin"));
        QCOMPARE(readFile(path("slot/Set/sub/locked.bin")), QByteArray("locked"));
    }
};

STOWBIRD_TEST_MAIN(TestFileMoverSafety)
#include "TestFileMoverSafety.moc"
