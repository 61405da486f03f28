#pragma once

#include <QList>
#include <QString>

#include <chrono>

class CancelToken;
class QMimeType;
struct archive;
struct archive_entry;

// What an archive holds, read from its headers alone (libarchive): the names, declared sizes
// and kinds of its entries, how many there are and what they add up to. Nothing is ever
// extracted or inflated to disk, and no entry name is used as a path: a name that climbs out
// with ".." or starts at "/" is only text here, and is marked so that the user can be told.
//
// Reading is bounded, for damaged and hostile archives alike: at most `listed` entries are
// kept, at most `counted` are counted (one more header is read to tell "exactly N" from "more
// than N"), and reading stops at a deadline or when a CancelToken is cancelled. Declared
// sizes are added up as they are declared: a compression bomb shows its petabytes and
// costs nothing. A damaged or truncated archive gives the entries read before the damage.
//
// The listing runs on a worker thread; it reads through the given descriptor only.
class ArchiveListing
{
public:
    struct Entry
    {
        QString path;     // the name as stored in the archive
        qint64 size = -1; // declared size in bytes; -1 when the archive does not say
        bool isDirectory = false;
        QString linkTarget;   // what a symbolic or hard link points to; empty for the rest
        bool escapes = false; // its name or link target is absolute or climbs out with ".."
    };

    // Why reading stopped.
    enum class End {
        Complete,  // every entry was read
        EntryCap,  // more than `counted` entries
        Deadline,  // reading took longer than allowed
        Cancelled, // the token was cancelled
        Damaged,   // the data could not be read on (truncated, corrupt, unsupported)
    };

    struct Limits
    {
        int listed = 500;
        qint64 counted = 100'000;
        std::chrono::milliseconds time{2000};
    };

    // True for the archive and compressed-file types listed here: zip, tar (plain or
    // compressed with gzip, bzip2, xz, lzma or zstd), 7-Zip, and single compressed files
    // (.gz, .bz2, .xz). Types derived from zip (office documents, jars) are not archives here.
    static bool listsType(const QMimeType& type);

    // Lists the archive open as `fd` (read with pread, so the descriptor's offset does not
    // matter). `fileName` is the archive's own name: a compressed single file whose header
    // names nothing is listed under it, less its suffix.
    static ArchiveListing read(int fd, const QString& fileName, const Limits& limits,
                               const CancelToken* cancel = nullptr);
    // The same with the default limits.
    static ArchiveListing read(int fd, const QString& fileName,
                               const CancelToken* cancel = nullptr);

    // True when unpacking `name` as a relative path would leave the destination folder: an
    // absolute path ("/etc/passwd", "C:\x", "\\server\x") or one with a ".." component, with
    // "/" or "\" as separators.
    static bool escapesFolder(const QString& name);

    QList<Entry> entries;        // the first entries, in archive order
    qint64 entryCount = 0;       // entries seen, listed or not
    qint64 fileCount = 0;        // of which not folders (files, links, devices)
    qint64 folderCount = 0;      // of which folders
    qint64 totalSize = 0;        // the declared sizes of the entries seen, added up (saturating)
    bool unknownSizes = false;   // some entry declared no size
    qint64 escapingCount = 0;    // entries seen whose name or link target escapes (see Entry)
    bool encrypted = false;      // some entry is encrypted (its name is still listed)
    bool compressedFile = false; // a single compressed file rather than an archive
    End end = End::Complete;
    QString error; // what libarchive said when the data could not be read on (English)

private:
    // The one member of a single compressed file; Damaged when no decompression filter
    // matched either.
    void addCompressedFile(archive* reader, int fd, qint64 fileSize, const QString& fileName);
    // Counts the entry a header describes, and lists it while fewer than limits.listed are.
    void add(archive_entry* header, const Limits& limits);
};
