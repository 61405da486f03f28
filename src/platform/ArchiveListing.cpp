#include "platform/ArchiveListing.h"

#include "platform/CancelToken.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMimeType>
#include <QScopeGuard>
#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Single compressed files: listed as their one member. The tar types derive from these, so
// they are told apart by name, never by inheritance.
const QStringList& compressedFileTypes()
{
    static const QStringList types = {
        QStringLiteral("application/gzip"),    QStringLiteral("application/x-bzip"),
        QStringLiteral("application/x-bzip2"), QStringLiteral("application/x-xz"),
        QStringLiteral("application/x-lzma"),  QStringLiteral("application/zstd"),
    };
    return types;
}

const QStringList& archiveTypes()
{
    static const QStringList types = {
        QStringLiteral("application/zip"),
        QStringLiteral("application/x-tar"),
        QStringLiteral("application/x-compressed-tar"),
        QStringLiteral("application/x-bzip-compressed-tar"),
        QStringLiteral("application/x-bzip2-compressed-tar"),
        QStringLiteral("application/x-xz-compressed-tar"),
        QStringLiteral("application/x-lzma-compressed-tar"),
        QStringLiteral("application/x-zstd-compressed-tar"),
        QStringLiteral("application/x-7z-compressed"),
    };
    return types;
}

bool isOneOf(const QMimeType& type, const QStringList& names)
{
    if (names.contains(type.name()))
        return true;
    for (const QString& alias : type.aliases()) {
        if (names.contains(alias))
            return true;
    }
    return false;
}

// Where libarchive reads from: the descriptor, through pread, checking the deadline and the
// token before every block it hands over. A refusal makes libarchive fail the call under way.
//
// libarchive only asks for input when the decompressor has used up what it was given, and a
// few bytes of bzip2 can unpack to a gigabyte of zeros: handed 64 KiB at once, a bomb keeps it
// busy for minutes between two checks. So the blocks handed over adapt to how long the last
// one kept libarchive busy: they shrink (down to one byte) while that is long and grow back
// (up to the read buffer) while it is short. The file is still read in large preads.
struct Source
{
    static constexpr qint64 bufferSize = 64 * 1024;
    static constexpr qint64 slowNs = 20'000'000; // a block took this long: hand over less
    static constexpr qint64 fastNs = 2'000'000;  // ... and this little: hand over more

    int fd = -1;
    qint64 size = 0;
    qint64 position = 0; // where the next block starts in the file
    QDeadlineTimer deadline;
    const CancelToken* cancel = nullptr;
    bool timedOut = false;
    bool cancelled = false;

    std::vector<char> buffer = std::vector<char>(std::size_t(bufferSize));
    qint64 bufferStart = 0;
    qint64 bufferLength = 0;
    qint64 block = 64; // bytes handed over per read
    QElapsedTimer sinceRead;

    bool mustStop()
    {
        if (cancel && cancel->isCancelled())
            cancelled = true;
        else if (deadline.hasExpired())
            timedOut = true;
        return cancelled || timedOut;
    }
};

la_ssize_t readBlock(archive* reader, void* data, const void** block)
{
    auto* source = static_cast<Source*>(data);
    if (source->mustStop()) {
        archive_set_error(reader, ECANCELED, "listing stopped");
        return -1;
    }
    if (source->sinceRead.isValid()) {
        const qint64 spent = source->sinceRead.nsecsElapsed();
        if (spent > Source::slowNs)
            source->block = std::max<qint64>(1, source->block / 16);
        else if (spent < Source::fastNs)
            source->block = std::min(Source::bufferSize, source->block * 2);
    }
    if (source->position < source->bufferStart ||
        source->position >= source->bufferStart + source->bufferLength) {
        ssize_t got;
        do {
            got = ::pread(source->fd, source->buffer.data(), source->buffer.size(),
                          off_t(source->position));
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            archive_set_error(reader, errno, "read error");
            return -1;
        }
        source->bufferStart = source->position;
        source->bufferLength = got;
    }
    const qint64 offset = source->position - source->bufferStart;
    const qint64 length = std::min(source->block, source->bufferLength - offset);
    *block = source->buffer.data() + offset;
    source->position += length;
    source->sinceRead.start();
    return la_ssize_t(length);
}

la_int64_t skipBytes(archive*, void* data, la_int64_t request)
{
    auto* source = static_cast<Source*>(data);
    if (source->mustStop())
        return 0; // the next read reports the stop
    const la_int64_t skipped =
        std::max<la_int64_t>(0, std::min<la_int64_t>(request, source->size - source->position));
    source->position += skipped;
    return skipped;
}

la_int64_t seekTo(archive*, void* data, la_int64_t offset, int whence)
{
    auto* source = static_cast<Source*>(data);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = source->position;
    else if (whence == SEEK_END)
        base = source->size;
    if (offset > std::numeric_limits<qint64>::max() - base || base + offset < 0)
        return ARCHIVE_FATAL;
    source->position = base + offset;
    return source->position;
}

// Filters that libarchive would run as an external program when it was built without the
// library (ARCHIVE_WARN) are left out: a preview never starts programs on a download.
bool builtIn(int (*support)(archive*))
{
    archive* probe = archive_read_new();
    const bool ok = support(probe) == ARCHIVE_OK;
    archive_read_free(probe);
    return ok;
}

void supportFilters(archive* reader)
{
    static const std::array<int (*)(archive*), 5> filters = {
        archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
        archive_read_support_filter_xz, archive_read_support_filter_lzma,
        archive_read_support_filter_zstd};
    static const std::array<bool, 5> usable = [] {
        std::array<bool, 5> result{};
        for (std::size_t i = 0; i < filters.size(); ++i)
            result[i] = builtIn(filters[i]);
        return result;
    }();
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (usable[i])
            filters[i](reader);
    }
}

QString entryText(const char* utf8, const char* local)
{
    if (utf8)
        return QString::fromUtf8(utf8);
    return local ? QString::fromLocal8Bit(local) : QString();
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    return a > std::numeric_limits<qint64>::max() - b ? std::numeric_limits<qint64>::max() : a + b;
}

bool readExactly(int fd, qint64 offset, char* into, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, into + done, std::size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

// The one member of a gzip file: the name its header records (FNAME) and the size its
// trailer records (ISIZE, the size modulo 4 GiB). The size is given only when it is at least
// what the compressed data must unpack to; otherwise it has wrapped or the trailer lies.
void describeGzipMember(int fd, qint64 fileSize, ArchiveListing::Entry& member)
{
    constexpr qint64 headerLimit = 64 * 1024;
    QByteArray header(int(std::min(fileSize, headerLimit)), '\0');
    if (header.size() < 18 || !readExactly(fd, 0, header.data(), header.size()))
        return;
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(header.at(at)); };
    if (byte(0) != 0x1f || byte(1) != 0x8b || byte(2) != 8)
        return;
    const unsigned flags = byte(3);
    qsizetype at = 10;
    if (flags & 0x04) { // FEXTRA
        if (at + 2 > header.size())
            return;
        at += 2 + (byte(at) | (byte(at + 1) << 8));
    }
    if ((flags & 0x08) && at < header.size()) { // FNAME, zero-terminated
        const qsizetype end = header.indexOf('\0', at);
        if (end > at) {
            const QByteArray raw = header.mid(at, end - at);
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString name = utf8.decode(raw);
            if (utf8.hasError())
                name = QString::fromLatin1(raw); // what the format says names are in
            member.path = name;
            at = end + 1;
        }
    }
    std::array<char, 4> trailer{};
    if (!readExactly(fd, fileSize - 4, trailer.data(), 4))
        return;
    const quint32 recorded = quint32(static_cast<unsigned char>(trailer[0])) |
                             quint32(static_cast<unsigned char>(trailer[1])) << 8 |
                             quint32(static_cast<unsigned char>(trailer[2])) << 16 |
                             quint32(static_cast<unsigned char>(trailer[3])) << 24;
    // Stored blocks are the least that deflate data unpacks to: 5 bytes of framing per 65535.
    const qint64 payload = std::max<qint64>(0, fileSize - at - 8);
    const qint64 least = payload - (payload / 65540 + 1) * 5;
    if (qint64(recorded) >= least)
        member.size = qint64(recorded);
}

QString withoutCompressionSuffix(const QString& fileName)
{
    for (const char* suffix : {".gz", ".bz2", ".bz", ".xz", ".lzma", ".zst", ".z"}) {
        const QLatin1String ending(suffix);
        if (fileName.endsWith(ending, Qt::CaseInsensitive) && fileName.size() > ending.size())
            return fileName.chopped(ending.size());
    }
    return fileName;
}

// A reader for the formats listed here, reading from source.
archive* newReader(Source* source)
{
    archive* reader = archive_read_new();
    supportFilters(reader);
    archive_read_support_format_tar(reader);
    archive_read_support_format_zip(reader); // the central directory first, when seekable
    archive_read_support_format_7zip(reader);
    // Anything else that decompresses is one compressed file; the archive formats above bid
    // higher, so a tar in a file named .gz is still listed as a tar.
    archive_read_support_format_raw(reader);
    archive_read_set_callback_data(reader, source);
    archive_read_set_read_callback(reader, &readBlock);
    archive_read_set_skip_callback(reader, &skipBytes);
    archive_read_set_seek_callback(reader, &seekTo);
    return reader;
}

// The entry a header describes: its name, kind, declared size and link target.
ArchiveListing::Entry entryOf(archive_entry* header)
{
    ArchiveListing::Entry entry;
    entry.path = entryText(archive_entry_pathname_utf8(header), archive_entry_pathname(header));
    entry.isDirectory = archive_entry_filetype(header) == AE_IFDIR;
    if (!entry.isDirectory && archive_entry_size_is_set(header))
        entry.size = std::max<qint64>(0, archive_entry_size(header));
    else if (entry.isDirectory)
        entry.size = 0;
    const QString link =
        entryText(archive_entry_symlink_utf8(header), archive_entry_symlink(header));
    const QString hardLink =
        entryText(archive_entry_hardlink_utf8(header), archive_entry_hardlink(header));
    entry.linkTarget = link.isEmpty() ? hardLink : link;
    entry.escapes =
        ArchiveListing::escapesFolder(entry.path) ||
        (!entry.linkTarget.isEmpty() && ArchiveListing::escapesFolder(entry.linkTarget));
    return entry;
}

// Sets why reading stopped early: the token, the deadline, or what libarchive said (what when
// it said nothing).
void stopListing(ArchiveListing* listing, archive* reader, const Source& source, const char* what)
{
    if (source.cancelled)
        listing->end = ArchiveListing::End::Cancelled;
    else if (source.timedOut)
        listing->end = ArchiveListing::End::Deadline;
    else {
        listing->end = ArchiveListing::End::Damaged;
        const char* message = archive_error_string(reader);
        listing->error = QString::fromLocal8Bit(message ? message : what);
    }
    if (archive_read_has_encrypted_entries(reader) > 0)
        listing->encrypted = true;
}

} // namespace

bool ArchiveListing::listsType(const QMimeType& type)
{
    return isOneOf(type, archiveTypes()) || isOneOf(type, compressedFileTypes());
}

bool ArchiveListing::escapesFolder(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return true;
    if (name.size() >= 2 && name.at(0).isLetter() && name.at(0).unicode() < 128 &&
        name.at(1) == QLatin1Char(':'))
        return true; // a Windows drive
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name.at(i) != QLatin1Char('/') && name.at(i) != QLatin1Char('\\'))
            continue;
        if (i - start == 2 && name.at(start) == QLatin1Char('.') &&
            name.at(start + 1) == QLatin1Char('.'))
            return true;
        start = i + 1;
    }
    return false;
}

ArchiveListing ArchiveListing::read(int fd, const QString& fileName, const CancelToken* cancel)
{
    return read(fd, fileName, Limits(), cancel);
}

ArchiveListing ArchiveListing::read(int fd, const QString& fileName, const Limits& limits,
                                    const CancelToken* cancel)
{
    ArchiveListing listing;
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        listing.end = End::Damaged;
        listing.error = QString::fromLocal8Bit(std::strerror(errno));
        return listing;
    }

    Source source;
    source.fd = fd;
    source.size = status.st_size;
    source.deadline = QDeadlineTimer(limits.time);
    source.cancel = cancel;

    archive* reader = newReader(&source);
    const auto release = qScopeGuard([&] { archive_read_free(reader); });
    if (archive_read_open1(reader) != ARCHIVE_OK) {
        stopListing(&listing, reader, source, "not an archive");
        return listing;
    }

    archive_entry* header = nullptr;
    while (true) {
        if (source.mustStop()) {
            stopListing(&listing, reader, source, "stopped");
            break;
        }
        const int result = archive_read_next_header(reader, &header);
        if (result == ARCHIVE_EOF)
            break;
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) {
            stopListing(&listing, reader, source, "unreadable header");
            break;
        }
        if (listing.entryCount >= limits.counted) {
            listing.end = End::EntryCap; // this header is one more than counted
            break;
        }
        if (archive_format(reader) == ARCHIVE_FORMAT_RAW) {
            // Its data is the whole rest of the stream: nothing more to look at.
            listing.addCompressedFile(reader, fd, source.size, fileName);
            break;
        }
        listing.add(header, limits);
        // Skipping never inflates into memory or onto disk: libarchive seeks past stored
        // data and reads compressed data through without keeping it.
        if (archive_read_data_skip(reader) == ARCHIVE_FATAL) {
            stopListing(&listing, reader, source, "unreadable data");
            break;
        }
    }
    return listing;
}

void ArchiveListing::addCompressedFile(archive* reader, int fd, qint64 fileSize,
                                       const QString& fileName)
{
    // No archive format matched. With a decompression filter under it, this is a single
    // compressed file; with none, it is not something listed here.
    if (archive_filter_count(reader) < 2) {
        end = End::Damaged;
        error = QStringLiteral("Unrecognized archive format");
        return;
    }
    Entry member;
    member.path = withoutCompressionSuffix(fileName);
    if (archive_filter_code(reader, 0) == ARCHIVE_FILTER_GZIP)
        describeGzipMember(fd, fileSize, member);
    member.escapes = escapesFolder(member.path);
    compressedFile = true;
    entries.append(member);
    entryCount = fileCount = 1;
    escapingCount = member.escapes ? 1 : 0;
    unknownSizes = member.size < 0;
    totalSize = std::max<qint64>(0, member.size);
}

void ArchiveListing::add(archive_entry* header, const Limits& limits)
{
    Entry entry = entryOf(header);
    ++entryCount;
    if (entry.isDirectory) {
        ++folderCount;
    } else {
        ++fileCount;
        if (entry.size < 0)
            unknownSizes = true;
        else
            totalSize = saturatingAdd(totalSize, entry.size);
    }
    if (entry.escapes)
        ++escapingCount;
    if (archive_entry_is_encrypted(header))
        encrypted = true;
    if (entries.size() < limits.listed)
        entries.append(std::move(entry));
}
