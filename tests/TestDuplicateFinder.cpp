#include "CrossThreadSpy.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/TestLogger.h"

#include "models/HistoryEntry.h"
#include "models/TriageItem.h"
#include "platform/ContentHasher.h"
#include "platform/HistoryDatabase.h"
#include "services/DuplicateFinder.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;
// More than one read chunk, and not a whole number of them.
constexpr qint64 fileSize = 3 * ContentHasher::chunkSize + 17;

TriageItem itemAt(const QString& path)
{
    return TriageItem(QUrl::fromLocalFile(path));
}

std::optional<DuplicateFinder::Match> checkNow(DuplicateFinder& finder, const TriageItem& item,
                                               const QStringList& folders,
                                               const QList<TriageItem>& waiting = {})
{
    finder.check(item, folders, waiting);
    finder.waitForIdle();
    return finder.matchFor(item.id);
}

struct stat statOf(const QString& path)
{
    struct stat status
    {
    };
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Writes content over a file in place (same inode) and sets its modification time back to
// what it was, as a tool that preserves times would.
bool rewriteKeepingTime(const QString& path, const QByteArray& content)
{
    const struct stat before = statOf(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::pwrite(fd, content.constData(), size_t(content.size()), 0) ==
                                        ssize_t(content.size());
    const timespec times[2] = {before.st_atim, before.st_mtim};
    const bool timed = fd >= 0 && ::futimens(fd, times) == 0;
    if (fd >= 0)
        ::close(fd);
    return written && timed;
}

bool writeSparse(const QString& path, qint64 bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(bytes);
}

// Counts the opens and reads of one file that inotify reports.
class OpenWatch
{
public:
    explicit OpenWatch(const QString& path) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        m_watching = m_fd >= 0 && ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                                                      IN_OPEN | IN_ACCESS) >= 0;
    }
    ~OpenWatch() { ::close(m_fd); }
    bool isWatching() const { return m_watching; }
    int events()
    {
        alignas(inotify_event) char buffer[4096];
        ssize_t got;
        while ((got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                ++m_events;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_events;
    }

private:
    int m_fd;
    bool m_watching = false;
    int m_events = 0;
};

} // namespace

class TestDuplicateFinder : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Open to every user: one test looks as another user.
        m_dir = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        m_downloads = m_dir->path() + QStringLiteral("/Downloads");
        m_documents = m_dir->path() + QStringLiteral("/Documents");
        m_music = m_dir->path() + QStringLiteral("/Music");
        m_content = TestFiles::pattern(fileSize, 'a');
    }

    void sameSizeAndNameWithOtherContentIsNoCopy()
    {
        QByteArray lastByte = m_content;
        lastByte[lastByte.size() - 1] = char(lastByte.back() ^ 1);
        QByteArray firstByte = m_content;
        firstByte[0] = char(firstByte.front() ^ 1);
        TestFiles::writeFile(m_downloads + "/report.pdf", m_content);
        TestFiles::writeFile(m_documents + "/report.pdf", lastByte);
        TestFiles::writeFile(m_music + "/report.pdf", firstByte);
        const TriageItem item = itemAt(m_downloads + "/report.pdf");
        DuplicateFinder finder({}, m_log.logger);
        // The item's own folder is looked at too: the item is not its own copy.
        QVERIFY(!checkNow(finder, item, {m_documents, m_music, m_downloads}));

        TestFiles::writeFile(m_music + "/copy.pdf", m_content);
        const auto match = checkNow(finder, item, {m_documents, m_music, m_downloads});
        QVERIFY(match);
        QCOMPARE(match->path, m_music + "/copy.pdf");
        QCOMPARE(match->where, DuplicateFinder::Match::Where::Folder);
        QVERIFY(!match->sameFile && !match->filedAt);
        QCOMPARE(DuplicateFinder::describe(*match, QStringLiteral("3 days ago")),
                 QStringLiteral("Identical to copy.pdf in Music"));
    }

    void copyAmongTheWaitingItems()
    {
        TestFiles::writeFile(m_downloads + "/report.pdf", m_content);
        TestFiles::writeFile(m_downloads + "/report (1).pdf", m_content);
        TestFiles::writeFile(m_downloads + "/notes.txt", "notes");
        const TriageItem item = itemAt(m_downloads + "/report (1).pdf");
        const QList<TriageItem> waiting{itemAt(m_downloads + "/notes.txt"),
                                        itemAt(m_downloads + "/report.pdf"), item};
        DuplicateFinder finder({}, m_log.logger);
        CrossThreadSpy found(&finder, &DuplicateFinder::matchFound);
        CrossThreadSpy checked(&finder, &DuplicateFinder::checked);
        finder.check(item, {m_documents}, waiting);
        QTRY_COMPARE_WITH_TIMEOUT(checked.size(), 1, 10000);
        QCOMPARE(checked.at(0).at(0).toUuid(), item.id);
        QCOMPARE(found.size(), 1);
        const auto match = found.at(0).at(0).value<DuplicateFinder::Match>();
        QCOMPARE(match.itemId, item.id);
        QCOMPARE(match.where, DuplicateFinder::Match::Where::Waiting);
        QCOMPARE(DuplicateFinder::describe(match, {}),
                 QStringLiteral("Identical to report.pdf, also waiting"));
        QCOMPARE(finder.matchFor(item.id)->path, match.path);
    }

    void copyWhereTheHistoryFiledOne()
    {
        const QString archive = m_dir->path() + QStringLiteral("/Archive");
        const QString old = m_dir->path() + QStringLiteral("/Old");
        TestFiles::writeFile(m_downloads + "/report (2).pdf", m_content);
        TestFiles::writeFile(archive + "/report.pdf", m_content);
        TestFiles::writeFile(old + "/report.pdf", m_content);
        const QString historyPath = m_dir->path() + QStringLiteral("/history.sqlite3");
        const QDateTime filed = QDateTime::currentDateTimeUtc().addDays(-3);
        auto filing = [&](const QString& folder, const QDateTime& time) {
            HistoryEntry entry;
            entry.action = HistoryEntry::Action::MovedToSlot;
            entry.slot = 1;
            entry.time = time;
            entry.itemName = QStringLiteral("report.pdf");
            entry.size = fileSize;
            entry.fromPath = m_downloads + "/report.pdf";
            entry.toPath = folder + "/report.pdf";
            return entry;
        };
        // Filed to Old later, then put back: that filing no longer counts.
        QList<HistoryEntry> entries{filing(archive, filed), filing(old, filed.addDays(1))};
        HistoryEntry undo;
        undo.action = HistoryEntry::Action::Undone;
        undo.undoOf = entries.last().id;
        undo.toPath = entries.last().fromPath;
        entries.append(undo);
        {
            HistoryDatabase history(historyPath);
            QVERIFY(history.openForWriting().ok());
            QVERIFY(history.insert(entries).ok());
        }
        const TriageItem item = itemAt(m_downloads + "/report (2).pdf");
        DuplicateFinder finder(historyPath, m_log.logger);
        auto match = checkNow(finder, item, {m_documents});
        QVERIFY(match);
        QCOMPARE(match->path, archive + "/report.pdf");
        QCOMPARE(match->where, DuplicateFinder::Match::Where::History);
        QCOMPARE(match->filedAt, filed);
        QCOMPARE(DuplicateFinder::describe(*match, QStringLiteral("3 days ago")),
                 QStringLiteral("Identical to report.pdf in Archive, filed 3 days ago"));
        // Found in a folder that is looked at (here through a link), it is still dated by the
        // history.
        const QString archiveLink = m_dir->path() + QStringLiteral("/Slot");
        QVERIFY(QFile::link(archive, archiveLink));
        match = checkNow(finder, item, {archiveLink});
        QVERIFY(match);
        QCOMPARE(match->path, archiveLink + "/report.pdf");
        QCOMPARE(match->where, DuplicateFinder::Match::Where::Folder);
        QCOMPARE(match->filedAt, filed);
    }

    void hardLinkIsTheSameFileWithoutReading()
    {
        TestFiles::writeFile(m_downloads + "/photo.jpg", m_content);
        QDir().mkpath(m_documents);
        QVERIFY(::link(QFile::encodeName(m_downloads + "/photo.jpg").constData(),
                       QFile::encodeName(m_documents + "/photo-link.jpg").constData()) == 0);
        // The item's own folder through a link: the item itself, not a link of it.
        const QString viaLink = m_dir->path() + QStringLiteral("/DownloadsLink");
        QVERIFY(QFile::link(m_downloads, viaLink));
        const TriageItem item = itemAt(m_downloads + "/photo.jpg");
        OpenWatch watch(item.path());
        QVERIFY(watch.isWatching());
        DuplicateFinder finder({}, m_log.logger);
        const auto match = checkNow(finder, item, {viaLink, m_documents});
        QVERIFY(match);
        QCOMPARE(match->path, m_documents + "/photo-link.jpg");
        QVERIFY(match->sameFile);
        QCOMPARE(watch.events(), 0);
        QVERIFY(DuplicateFinder::stillIdentical(item, *match));
    }

    void fileChangedSinceItWasReadIsReadAgain()
    {
        TestFiles::writeFile(m_downloads + "/data.csv", m_content);
        TestFiles::writeFile(m_documents + "/data.csv", m_content);
        const TriageItem item = itemAt(m_downloads + "/data.csv");
        DuplicateFinder finder({}, m_log.logger);
        const auto first = checkNow(finder, item, {m_documents});
        QVERIFY(first);
        QVERIFY(DuplicateFinder::stillIdentical(item, *first));

        // Other bytes in place, same inode, size and modification time: only the change time
        // (which moves in ticks of the kernel's clock) tells.
        QByteArray other = m_content;
        other[fileSize / 2] = char(other[fileSize / 2] ^ 1);
        const struct stat before = statOf(m_documents + "/data.csv");
        QTRY_VERIFY_WITH_TIMEOUT(rewriteKeepingTime(m_documents + "/data.csv", other) &&
                                     statOf(m_documents + "/data.csv").st_ctim.tv_nsec !=
                                         before.st_ctim.tv_nsec,
                                 2000);
        QCOMPARE(statOf(m_documents + "/data.csv").st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        QCOMPARE(statOf(m_documents + "/data.csv").st_ino, before.st_ino);
        QVERIFY(!checkNow(finder, item, {m_documents}));
        QVERIFY(!finder.matchFor(item.id));
        QVERIFY(!DuplicateFinder::stillIdentical(item, *first));

        // The same bytes again: a copy once more, and a later touch of the item changes
        // nothing that counts.
        QVERIFY(rewriteKeepingTime(m_documents + "/data.csv", m_content));
        const auto second = checkNow(finder, item, {m_documents});
        QVERIFY(second);
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(item.path()).constData(), nullptr, 0) == 0);
        QVERIFY(DuplicateFinder::stillIdentical(item, *second));
    }

    void unreadableCandidateIsPassedOver()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to look as another user");
        TestFiles::writeFile(m_downloads + "/slides.pdf", m_content);
        TestFiles::writeFile(m_documents + "/locked.pdf", m_content);
        TestFiles::writeFile(m_music + "/slides.pdf", m_content);
        QVERIFY(::chmod(QFile::encodeName(m_documents + "/locked.pdf").constData(), 0) == 0);
        for (const QString& path : {m_downloads, m_documents, m_music, m_downloads + "/slides.pdf",
                                    m_music + "/slides.pdf"})
            QFile::setPermissions(
                path, QFile::permissions(path) | QFile::ReadOther |
                          (QFileInfo(path).isDir() ? QFile::ExeOther : QFile::Permissions()));
        const TriageItem item = itemAt(m_downloads + "/slides.pdf");
        DuplicateFinder finder({}, m_log.logger);

        // Every thread of the process looks as nobody until the guard ends.
        QVERIFY(::setegid(nobody) == 0 && ::seteuid(nobody) == 0);
        auto restore = qScopeGuard([] { QVERIFY(::seteuid(0) == 0 && ::setegid(0) == 0); });
        ContentHasher hasher;
        QCOMPARE(hasher.hash(m_documents + "/locked.pdf").error, EACCES);
        auto match = checkNow(finder, item, {m_documents, m_music});
        QVERIFY(match);
        QCOMPARE(match->path, m_music + "/slides.pdf");
        QVERIFY(!checkNow(finder, item, {m_documents}));
    }

    void fileWithoutSameSizeCandidateIsNeverOpened()
    {
        constexpr qint64 size = 4LL << 30;
        if (!writeSparse(m_downloads + "/disk.iso", size))
            QSKIP("no room for a 4 GB sparse file here");
        // The same name at another size, other sizes near it, and a waiting item of yet another.
        QVERIFY(writeSparse(m_documents + "/disk.iso", size + 1));
        QVERIFY(writeSparse(m_music + "/other.iso", size - 1));
        TestFiles::writeFile(m_music + "/small.bin", m_content);
        QVERIFY(writeSparse(m_downloads + "/next.iso", size + 4096));
        const TriageItem item = itemAt(m_downloads + "/disk.iso");
        const QList<TriageItem> waiting{item, itemAt(m_downloads + "/next.iso")};
        OpenWatch watch(item.path());
        QVERIFY(watch.isWatching());

        DuplicateFinder finder({}, m_log.logger);
        CrossThreadSpy checked(&finder, &DuplicateFinder::checked);
        finder.check(item, {m_documents, m_music}, waiting);
        QTRY_COMPARE_WITH_TIMEOUT(checked.size(), 1, 10000);
        QVERIFY(!finder.matchFor(item.id));
        QCOMPARE(watch.events(), 0);
        // The watch does see an open.
        QFile(item.path()).open(QIODevice::ReadOnly);
        QVERIFY(watch.events() > 0);
    }

    void newerCheckCancelsTheRunningOne()
    {
        // Two files of 4 GiB of zeros: comparing them takes many seconds.
        if (!writeSparse(m_downloads + "/image.raw", 4LL << 30) ||
            !writeSparse(m_documents + "/image.raw", 4LL << 30))
            QSKIP("no room for 4 GB sparse files here");
        TestFiles::writeFile(m_downloads + "/small.txt", m_content);
        TestFiles::writeFile(m_documents + "/small.txt", m_content);
        const TriageItem big = itemAt(m_downloads + "/image.raw");
        const TriageItem small = itemAt(m_downloads + "/small.txt");
        DuplicateFinder finder({}, m_log.logger);
        CrossThreadSpy checked(&finder, &DuplicateFinder::checked);
        finder.check(big, {m_documents}, {});
        finder.check(small, {m_documents}, {});
        QTRY_COMPARE_WITH_TIMEOUT(checked.size(), 1, 10000);
        QCOMPARE(checked.at(0).at(0).toUuid(), small.id);
        QVERIFY(finder.matchFor(small.id));
        QVERIFY(!finder.matchFor(big.id));
    }

private:
    TestLogger m_log;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_downloads;
    QString m_documents;
    QString m_music;
    QByteArray m_content;
};

STOWBIRD_TEST_MAIN(TestDuplicateFinder)
#include "TestDuplicateFinder.moc"
