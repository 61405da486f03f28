#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "fakes/TestLogger.h"
#include "platform/ArchiveListing.h"
#include "platform/CancelToken.h"
#include "services/LoggerService.h"
#include "views/ArchiveListingView.h"
#include "views/PreviewLoader.h"
#include "views/QuickLookHostView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThreadPool>

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

using Kind = QuickLookHostView::PreviewKind;
using End = ArchiveListing::End;

namespace {

struct Member
{
    QByteArray name;
    QByteArray data;
    bool folder = false;
    QByteArray symlink;
    qint64 sparseSize = -1; // a sparse file of this declared size holding `data` at its end
};

Member file(const QByteArray& name, const QByteArray& data)
{
    return {name, data, false, {}, -1};
}

Member folder(const QByteArray& name)
{
    return {name, {}, true, {}, -1};
}

// Writes a real archive with libarchive's writer.
void writeArchive(const QString& path, int format, int filter, const QList<Member>& members)
{
    archive* writer = archive_write_new();
    archive_write_set_format(writer, format);
    if (filter != ARCHIVE_FILTER_NONE)
        archive_write_add_filter(writer, filter);
    if (archive_write_open_filename(
            writer, QFile::encodeName(PreviewTestFiles::prepare(path)).constData()) != ARCHIVE_OK)
        qFatal("cannot write %s", qPrintable(path));
    for (const Member& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, member.name.constData());
        archive_entry_set_perm(entry, 0644);
        if (member.folder) {
            archive_entry_set_filetype(entry, AE_IFDIR);
        } else if (!member.symlink.isEmpty()) {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, member.symlink.constData());
        } else {
            archive_entry_set_filetype(entry, AE_IFREG);
            if (member.sparseSize >= 0) {
                archive_entry_set_size(entry, member.sparseSize);
                archive_entry_sparse_add_entry(entry, member.sparseSize - member.data.size(),
                                               member.data.size());
            } else {
                archive_entry_set_size(entry, member.data.size());
            }
        }
        if (archive_write_header(writer, entry) != ARCHIVE_OK)
            qFatal("cannot add %s: %s", member.name.constData(), archive_error_string(writer));
        if (!member.data.isEmpty())
            archive_write_data(writer, member.data.constData(), std::size_t(member.data.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

// `data` as one bzip2 stream (libarchive's writer, raw format).
QByteArray bzip2ed(const QByteArray& data)
{
    QByteArray out(int(data.size() / 2 + 4096), '\0');
    std::size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_raw(writer);
    archive_write_add_filter_bzip2(writer);
    archive_write_set_bytes_in_last_block(writer, 1);
    archive_write_open_memory(writer, out.data(), std::size_t(out.size()), &used);
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, "data");
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_write_header(writer, entry);
    archive_write_data(writer, data.constData(), std::size_t(data.size()));
    archive_write_close(writer);
    archive_write_free(writer);
    archive_entry_free(entry);
    out.resize(qsizetype(used));
    return out;
}

// A ustar header for a regular file of `size` bytes.
QByteArray tarHeader(const QByteArray& name, qint64 size)
{
    QByteArray header(512, '\0');
    const auto field = [&](int offset, const QByteArray& value) {
        header.replace(offset, value.size(), value);
    };
    field(0, name);
    field(100, "0000644");
    field(124, QByteArray::number(size, 8).rightJustified(11, '0'));
    field(156, "0");
    field(257, QByteArray("ustar\0"
                          "00",
                          8));
    field(148, "        ");
    int sum = 0;
    for (const char c : std::as_const(header))
        sum += static_cast<unsigned char>(c);
    field(148, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header;
}

QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

ArchiveListing list(const QString& path, const ArchiveListing::Limits& limits = {},
                    const CancelToken* cancel = nullptr)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        qFatal("cannot open %s", qPrintable(path));
    ArchiveListing listing = ArchiveListing::read(fd, QFileInfo(path).fileName(), limits, cancel);
    ::close(fd);
    return listing;
}

} // namespace

class TestArchivePreview : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TestLogger m_log;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static bool settle(QuickLookHostView& host)
    {
        return QTest::qWaitFor([&] { return host.previewKind() != Kind::Loading; }, 20000);
    }

    const QList<Member> m_sample = {
        folder("project/"),
        folder("project/src/"),
        file("project/README.md", QByteArray(1200, 'r')),
        file("project/src/main.cpp", QByteArray(34567, 'm')),
        file("project/empty", {}),
    };

private slots:
    // Each format lists its entries in archive order with their declared sizes and kinds.
    void listsEachFormat_data()
    {
        QTest::addColumn<QString>("name");
        const struct
        {
            const char* name;
            int format;
            int filter;
        } kinds[] = {
            {"sample.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE},
            {"sample.tar", ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_NONE},
            {"sample.tar.gz", ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_GZIP},
            {"sample.tgz", ARCHIVE_FORMAT_TAR_GNUTAR, ARCHIVE_FILTER_GZIP},
            {"sample.tar.xz", ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_XZ},
            {"sample.tar.bz2", ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_BZIP2},
            {"sample.7z", ARCHIVE_FORMAT_7ZIP, ARCHIVE_FILTER_NONE},
        };
        for (const auto& kind : kinds) {
            writeArchive(path(kind.name), kind.format, kind.filter, m_sample);
            QTest::newRow(kind.name) << QString::fromLatin1(kind.name);
        }
    }

    void listsEachFormat()
    {
        QFETCH(QString, name);
        const ArchiveListing listing = list(path(name));
        QCOMPARE(listing.end, End::Complete);
        // Archive order is the writer's: 7-Zip puts empty entries last.
        QList<ArchiveListing::Entry> entries = listing.entries;
        QList<Member> expected = m_sample;
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.path < b.path; });
        std::sort(expected.begin(), expected.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        QCOMPARE(entries.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(entries.at(i).path, QString::fromUtf8(expected.at(i).name));
            QCOMPARE(entries.at(i).isDirectory, expected.at(i).folder);
            if (!expected.at(i).folder)
                QCOMPARE(entries.at(i).size, expected.at(i).data.size());
            QVERIFY(!entries.at(i).escapes);
        }
        QCOMPARE(listing.entryCount, 5);
        QCOMPARE(listing.fileCount, 3);
        QCOMPARE(listing.folderCount, 2);
        QCOMPARE(listing.totalSize, 1200 + 34567);
        QVERIFY(!listing.unknownSizes);

        // The preview shows it as an archive: its header counts and adds up what it holds.
        QuickLookHostView host(QUrl::fromLocalFile(path(name)), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Archive);
        QVERIFY(host.archiveView());
        QVERIFY2(host.archiveView()->summary().endsWith(
                     QStringLiteral("3 files, 2 folders \u00b7 ") +
                     QLocale().formattedDataSize(35767, 1, QLocale::DataSizeSIFormat)),
                 qPrintable(host.archiveView()->summary()));
        QCOMPARE(host.archiveView()->rows().size(), 5);
    }

    // A plain .gz is its one member: the name its header records (else the file's own name
    // less .gz) and the size its trailer records.
    void compressedFileShowsItsMember()
    {
        const QByteArray report = QByteArray("id,total\n").repeated(5000);
        TestFiles::writeFile(path("download.gz"), PreviewTestFiles::gzipped(report, "report.csv"));
        TestFiles::writeFile(path("notes.txt.gz"), PreviewTestFiles::gzipped(report));
        ArchiveListing named = list(path("download.gz"));
        QCOMPARE(named.end, End::Complete);
        QVERIFY(named.compressedFile);
        QCOMPARE(named.entries.size(), 1);
        QCOMPARE(named.entries.at(0).path, QStringLiteral("report.csv"));
        QCOMPARE(named.entries.at(0).size, report.size());
        const ArchiveListing unnamed = list(path("notes.txt.gz"));
        QCOMPARE(unnamed.entries.size(), 1);
        QCOMPARE(unnamed.entries.at(0).path, QStringLiteral("notes.txt"));
    }

    // gzip data is never handed to an image decoder (Qt's SVG plugin claims all of it as
    // compressed SVG, and the preview said "This image could not be read."), whatever the
    // name; a real image and a real compressed SVG still show as images.
    void contentTypeDecidesWhatIsAnImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        writeArchive(path("types/release.tar.gz"), ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_GZIP,
                     m_sample);
        QFile::copy(path("types/release.tar.gz"), path("types/release.tgz"));
        QFile::copy(path("types/release.tar.gz"), path("types/photo.png"));
        TestFiles::writeFile(path("types/data.gz"),
                             PreviewTestFiles::gzipped("plain text\n", "data.txt"));
        PreviewTestFiles::writeImage(path("types/real.png"), QSize(30, 20));
        TestFiles::writeFile(
            path("types/drawing.svgz"),
            PreviewTestFiles::gzipped(
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\">"
                "<rect width=\"20\" height=\"10\" fill=\"#00f\"/></svg>"));
        QTest::newRow(".tar.gz") << "release.tar.gz" << int(Kind::Archive);
        QTest::newRow(".tgz") << "release.tgz" << int(Kind::Archive);
        QTest::newRow(".gz") << "data.gz" << int(Kind::Archive);
        QTest::newRow("tar.gz named .png") << "photo.png" << int(Kind::Archive);
        QTest::newRow("png") << "real.png" << int(Kind::Image);
        QTest::newRow("svgz") << "drawing.svgz" << int(Kind::Image);
    }

    void contentTypeDecidesWhatIsAnImage()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QuickLookHostView host(QUrl::fromLocalFile(path("types/" + name)), m_log.logger);
        QVERIFY(settle(host));
        QVERIFY2(host.note().isEmpty(), qPrintable(host.note()));
        QCOMPARE(int(host.previewKind()), kind);
        QCOMPARE(PreviewLoader::thumbnail(path("types/" + name), 64).isNull(),
                 kind != int(Kind::Image));
    }

    // Hostile archives: declared sizes of a petabyte (shown, never inflated), names that
    // climb out of the folder or start at the root (marked), control characters (shown as
    // U+FFFD).
    void hostileNamesAndSizes()
    {
        const qint64 petabyte = 1'000'000'000'000'000;
        writeArchive(path("hostile.tar.gz"), ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_GZIP,
                     {{"bomb.img", "x", false, {}, petabyte},
                      file("../../etc/passwd", "root:x:0:0\n"),
                      file("/etc/cron.d/job", "* * * * * root true\n"),
                      file("ok/../../outside", "x"),
                      {"link", {}, false, "/etc", -1},
                      file("..\\..\\windows\\win.ini", "x"),
                      file("invoice\xe2\x80\xaegpj.exe", "x"),
                      file("fine/name.txt", "x")});
        const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries);
        QElapsedTimer clock;
        clock.start();
        const ArchiveListing listing = list(path("hostile.tar.gz"));
        QVERIFY2(clock.elapsed() < 2000, "the declared petabyte was read through");
        QCOMPARE(listing.end, End::Complete);
        QCOMPARE(listing.entries.at(0).size, petabyte);
        QVERIFY(listing.totalSize > petabyte);
        QList<bool> escapes;
        for (const ArchiveListing::Entry& entry : listing.entries)
            escapes.append(entry.escapes);
        QCOMPARE(escapes, (QList<bool>{false, true, true, true, true, true, false, false}));
        QCOMPARE(listing.escapingCount, 5);
        // Nothing was unpacked anywhere near the archive.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries), before);

        QuickLookHostView host(QUrl::fromLocalFile(path("hostile.tar.gz")), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Archive);
        const ArchiveListingView* view = host.archiveView();
        QCOMPARE(view->escapingRows(), (QList<int>{1, 2, 3, 4, 5}));
        const QString notes = view->notes().join('\n');
        QVERIFY2(notes.contains(QStringLiteral("5 entries would be unpacked outside")),
                 qPrintable(notes));
        QVERIFY2(notes.contains(
                     QLocale().formattedDataSize(listing.totalSize, 1, QLocale::DataSizeSIFormat)),
                 qPrintable(notes));
        QVERIFY(view->rows().at(6).startsWith(QStringLiteral("invoice\ufffdgpj.exe\t")));
    }

    // A decompression bomb: 60 KB of bzip2 holding a 7.8 GiB file of zeros, then one more
    // entry. Listing has to unpack it to get past it; reading stops at the deadline, though
    // libarchive only comes back for input every few hundred megabytes of zeros.
    void decompressionBombStopsAtTheDeadline()
    {
        const QByteArray zeros = bzip2ed(QByteArray(8 << 20, '\0'));
        const qint64 declared = qint64(8 << 20) * 1000;
        QByteArray bomb = bzip2ed(tarHeader("disk.img", declared));
        for (int i = 0; i < 1000; ++i)
            bomb += zeros;
        bomb += bzip2ed(tarHeader("after.txt", 0) + QByteArray(1024, '\0'));
        TestFiles::writeFile(path("bomb.tar.bz2"), bomb);

        // A deadline far shorter than unpacking the bomb takes, and shorter than the default.
        ArchiveListing::Limits limits;
        limits.time = std::chrono::milliseconds(100);
        QElapsedTimer clock;
        clock.start();
        const ArchiveListing listing = list(path("bomb.tar.bz2"), limits);
        qInfo("%lld-byte bomb stopped after %lld ms", qint64(bomb.size()), clock.elapsed());
        QVERIFY(clock.elapsed() < limits.time.count() + 1500);
        QCOMPARE(listing.end, End::Deadline);
        QCOMPARE(listing.entries.size(), 1);
        QCOMPARE(listing.entries.at(0).size, declared);

        // A preview that moves on to another file stops its listing at once, long before
        // the deadline: the pool is free for the next preview.
        auto host = std::make_unique<QuickLookHostView>(QUrl::fromLocalFile(path("bomb.tar.bz2")),
                                                        m_log.logger);
        QTRY_COMPARE_WITH_TIMEOUT(PreviewLoader::threadPool()->activeThreadCount(), 1, 1000);
        QTest::qWait(50); // well into the zeros: the header is read in a millisecond
        clock.restart();
        host.reset();
        QTRY_COMPARE_WITH_TIMEOUT(PreviewLoader::threadPool()->activeThreadCount(), 0, 1000);
        QVERIFY(clock.elapsed() < 500);
    }

    // One entry more than the cap, the fewest that are "more": counting stops at the cap,
    // well within the deadline, and the header says "more than" the cap.
    void entriesPastTheCapStopThere()
    {
        const ArchiveListing::Limits limits;
        const QString many = path("many.tar.gz");
        archive* writer = archive_write_new();
        archive_write_set_format(writer, ARCHIVE_FORMAT_TAR_USTAR);
        archive_write_add_filter(writer, ARCHIVE_FILTER_GZIP);
        archive_write_set_filter_option(writer, "gzip", "compression-level", "1");
        QCOMPARE(archive_write_open_filename(writer, QFile::encodeName(many).constData()),
                 ARCHIVE_OK);
        archive_entry* entry = archive_entry_new();
        char name[32];
        for (qint64 i = 0; i < limits.counted + 1; ++i) {
            archive_entry_clear(entry);
            std::snprintf(name, sizeof name, "f/%07lld", static_cast<long long>(i));
            archive_entry_set_pathname(entry, name);
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, 0);
            QCOMPARE(archive_write_header(writer, entry), ARCHIVE_OK);
        }
        archive_entry_free(entry);
        archive_write_close(writer);
        archive_write_free(writer);

        QElapsedTimer clock;
        clock.start();
        const ArchiveListing listing = list(many, limits);
        const qint64 elapsed = clock.elapsed();
        qInfo("counted %lld entries in %lld ms", listing.entryCount, elapsed);
        QCOMPARE(listing.end, End::EntryCap);
        QCOMPARE(listing.entryCount, limits.counted);
        QCOMPARE(listing.entries.size(), limits.listed);
        QVERIFY(elapsed < limits.time.count());

        QuickLookHostView host(QUrl::fromLocalFile(many), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Archive);
        QVERIFY2(
            host.archiveView()->summary().contains(
                QStringLiteral("more than %1 entries").arg(QLocale().toString(limits.counted))),
            qPrintable(host.archiveView()->summary()));
        QCOMPARE(host.archiveView()->rows().size(), limits.listed);
    }

    // A download cut short: what was read is listed, and the archive is called damaged.
    void truncatedArchiveShowsWhatWasRead()
    {
        QList<Member> members;
        for (int i = 0; i < 40; ++i)
            members.append(file(QStringLiteral("part-%1.bin").arg(i).toLatin1(),
                                noise(16 * 1024, quint32(i))));
        writeArchive(path("whole.tar.gz"), ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_GZIP, members);
        QFile whole(path("whole.tar.gz"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        TestFiles::writeFile(path("cut.tar.gz"), whole.read(whole.size() / 2));

        const ArchiveListing listing = list(path("cut.tar.gz"));
        QCOMPARE(listing.end, End::Damaged);
        QVERIFY(!listing.error.isEmpty());
        QVERIFY2(listing.entryCount > 5 && listing.entryCount < 40,
                 qPrintable(QString::number(listing.entryCount) + listing.error));

        QuickLookHostView host(QUrl::fromLocalFile(path("cut.tar.gz")), m_log.logger);
        QVERIFY(settle(host));
        QCOMPARE(host.previewKind(), Kind::Archive);
        QVERIFY(host.archiveView()->notes().join('\n').contains(QStringLiteral("damaged")));
        QVERIFY(host.archiveView()->summary().contains(QStringLiteral("at least")));
        // ... and the log says what libarchive said.
        QVERIFY(m_log.logger.waitForWritten(5000));
        QFile log(m_log.logger.logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray logged = log.readAll();
        QVERIFY2(logged.contains("cut.tar.gz") && logged.contains(listing.error.toUtf8()),
                 logged.right(500).constData());

        // Nothing readable at all: the plain file preview says so.
        TestFiles::writeFile(path("junk.zip"), noise(4096, 1));
        QuickLookHostView junk(QUrl::fromLocalFile(path("junk.zip")), m_log.logger);
        QVERIFY(settle(junk));
        QCOMPARE(junk.previewKind(), Kind::Generic);
        QVERIFY(!junk.note().isEmpty());
    }

    // Reading stops at its deadline, and at once when cancelled.
    void deadlineAndCancel()
    {
        writeArchive(path("stop.tar"), ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_NONE, m_sample);
        ArchiveListing::Limits expired;
        expired.time = std::chrono::milliseconds(0);
        QCOMPARE(list(path("stop.tar"), expired).end, End::Deadline);
        CancelToken token;
        token.cancel();
        const ArchiveListing cancelled = list(path("stop.tar"), {}, &token);
        QCOMPARE(cancelled.end, End::Cancelled);
        QCOMPARE(cancelled.entryCount, 0);
    }
};

STOWBIRD_TEST_MAIN(TestArchivePreview)
#include "TestArchivePreview.moc"
