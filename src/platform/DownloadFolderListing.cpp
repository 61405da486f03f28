#include "platform/DownloadFolderListing.h"

#include "models/PartialDownloadIndex.h"
#include "models/PartialDownloadNames.h"
#include "platform/FileSystemEntry.h"
#include "platform/OpenWriterProbe.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

// Decodes a name read from the file system; false when its bytes are not valid UTF-8, so
// that no path built from the decoded text leads back to the file.
bool decodeName(const char* raw, QString* name)
{
    const QByteArray bytes(raw);
    *name = QFile::decodeName(bytes);
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) {
        return (static_cast<unsigned char>(c) & 0x80) == 0;
    });
    return ascii || QFile::encodeName(*name) == bytes;
}

QStringList childNames(const QString& folder, bool* ok)
{
    QDir dir(folder);
    *ok = dir.exists() && dir.isReadable();
    if (!*ok)
        return {};
    return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDir::NoSort);
}

// Runs work(from, to) over [0, count): a large count is shared among a few threads, each
// taking its own range.
template <typename Work> void inParallel(size_t count, const Work& work)
{
    const size_t threads =
        count >= 8192 ? size_t(std::clamp(QThread::idealThreadCount(), 1, 4)) : 1;
    const size_t share = (count + threads - 1) / threads;
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work, std::min(count, t * share), std::min(count, (t + 1) * share));
    work(0, std::min(count, share));
    for (std::thread& helper : helpers)
        helper.join();
}

// One listing under way: the folder's entries, read once, then examined and sorted.
class Listing
{
public:
    enum class Kind : quint8 { Item, Partial, Unusable, BeingWritten, NotExamined };
    struct Entry
    {
        qint64 modifiedNs = 0;
        qint64 size = -1;
        QString name;
        size_t rawName = 0; // offset of the name's bytes in rawNames
        Kind kind = Kind::Item;
        bool askWriter = false; // a recent regular file: is it open for writing?
    };

    explicit Listing(DIR* dir) : m_dir(dir), m_dirFd(::dirfd(dir)) {}
    ~Listing() { ::closedir(m_dir); }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    // Reads the names, then decodes and stats them, sharing the work among threads.
    void read()
    {
        readNames();
        const qint64 recentNs = recentSinceNs();
        inParallel(m_entries.size(), [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i)
                examine(m_entries[i], recentNs);
        });
    }

    // Reads and examines the first `sample` entries the folder gives; true when that was all
    // of them.
    bool readSample(size_t sample)
    {
        const bool whole = readNames(sample);
        const qint64 recentNs = recentSinceNs();
        for (Entry& entry : m_entries)
            examine(entry, recentNs);
        return whole;
    }

    // Reads the names the sample left, keeping only the partial downloads among them: they
    // may hold back one of the sample's items.
    void readPartialsOfTheRest()
    {
        const size_t from = m_entries.size();
        readNames(std::numeric_limits<size_t>::max(), PartialDownloadNames::mayBePartial);
        for (size_t i = from; i < m_entries.size(); ++i) {
            Entry& entry = m_entries[i];
            entry.kind = decodeName(m_rawNames.data() + entry.rawName, &entry.name) &&
                                 PartialDownloadNames::isPartial(entry.name)
                             ? Kind::Partial
                             : Kind::NotExamined;
        }
    }

    // True when a partial download among the names not read may hold the item back: any
    // partial name (a browser's random one among them) may stand for an empty placeholder,
    // while a file with content is held back only by its control file, whose name is known.
    bool mayBeHeldBackUnread(const Entry& entry) const
    {
        if (entry.size == 0)
            return true;
        struct stat st
        {
        };
        for (const QString& control : PartialDownloadNames::controlFileNames(entry.name)) {
            if (::fstatat(m_dirFd, QFile::encodeName(control).constData(), &st,
                          AT_SYMLINK_NOFOLLOW) == 0)
                return true;
        }
        return false;
    }

    // Keeps the items: tells of the unusable names and leaves out the partial downloads and
    // the placeholders (or in-place files) of the downloads under way.
    void keepItems(const QString& folder, const DownloadFolderListing::UnusableNameNote& unusable)
    {
        std::vector<Entry> kept;
        kept.reserve(m_entries.size());
        for (Entry& entry : m_entries) {
            if (entry.kind == Kind::Unusable) {
                if (unusable)
                    unusable(folder, entry.name);
            } else if (entry.kind == Kind::Partial)
                m_partials.update(entry.name, true);
            else if (entry.kind != Kind::NotExamined)
                kept.push_back(std::move(entry));
        }
        m_entries = std::move(kept);
        if (m_partials.isEmpty())
            return;
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [this](const Entry& entry) {
                                           return m_partials.holdsBack(entry.name, entry.size);
                                       }),
                        m_entries.end());
    }

    // The first of the oldest items, as the sort keeps it: only the files that may be the
    // head are asked about writers before it is known.
    const Entry* oldest()
    {
        if (m_entries.empty())
            return nullptr;
        const auto head = [&] {
            return std::min_element(m_entries.begin(), m_entries.end(), older);
        };
        for (auto it = head(); it->kind != Kind::BeingWritten; it = head()) {
            if (it->askWriter)
                askWriter(*it);
            if (it->kind == Kind::Item)
                return &*it;
        }
        return nullptr;
    }

    // Leaves entry (one of this listing's) out from here on.
    void drop(const Entry* entry)
    {
        m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    }

    // Asks about writers for the rest, then puts the files being written into beingWritten
    // and returns the other items, oldest first.
    QStringList finish(const QString& prefix, QStringList* beingWritten)
    {
        inParallel(m_entries.size(), [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                if (m_entries[i].askWriter)
                    askWriter(m_entries[i]);
            }
        });
        const auto firstWritten =
            std::stable_partition(m_entries.begin(), m_entries.end(),
                                  [](const Entry& entry) { return entry.kind == Kind::Item; });
        if (beingWritten) {
            for (auto it = firstWritten; it != m_entries.end(); ++it)
                beingWritten->append(prefix + it->name);
        }
        m_entries.erase(firstWritten, m_entries.end());
        std::stable_sort(m_entries.begin(), m_entries.end(), older);
        QStringList paths(qsizetype(m_entries.size()));
        QString* out = paths.data();
        inParallel(m_entries.size(), [&](size_t from, size_t to) {
            for (size_t i = from; i < to; ++i)
                out[i] = prefix + m_entries[i].name;
        });
        return paths;
    }

private:
    // Reads up to `limit` more visible names (those `wanted` accepts, when given); true when
    // the folder has no more.
    bool readNames(size_t limit = std::numeric_limits<size_t>::max(),
                   bool (*wanted)(const char*) = nullptr)
    {
        for (size_t read = 0; read < limit;) {
            const dirent* entry = ::readdir(m_dir);
            if (!entry)
                return true;
            // "." and ".." start with a dot and fall under the hidden-file rule.
            if (entry->d_name[0] == '.' || (wanted && !wanted(entry->d_name)))
                continue;
            m_entries.push_back({});
            m_entries.back().rawName = m_rawNames.size();
            m_rawNames.append(entry->d_name).push_back('\0');
            ++read;
        }
        return false;
    }

    // Files modified since this time are asked about writers.
    static qint64 recentSinceNs()
    {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return (qint64(now.tv_sec) - DownloadFolderListing::writerCheckWindowSeconds) * 1000000000 +
               now.tv_nsec;
    }

    static bool older(const Entry& a, const Entry& b)
    {
        // Files found being written sort last: they are out of the listing.
        if ((a.kind == Kind::BeingWritten) != (b.kind == Kind::BeingWritten))
            return b.kind == Kind::BeingWritten;
        return a.modifiedNs < b.modifiedNs;
    }

    void examine(Entry& entry, qint64 recentNs) const
    {
        const char* raw = m_rawNames.data() + entry.rawName;
        if (!decodeName(raw, &entry.name)) {
            entry.kind = Kind::Unusable;
            return;
        }
        if (PartialDownloadNames::isPartial(entry.name)) {
            entry.kind = Kind::Partial;
            return;
        }
        struct stat st
        {
        };
        // A date that cannot be read counts as the distant past and sorts first.
        entry.modifiedNs = std::numeric_limits<qint64>::min();
        if (::fstatat(m_dirFd, raw, &st, 0) == 0 ||
            ::fstatat(m_dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            entry.size = S_ISREG(st.st_mode) ? qint64(st.st_size) : -1;
            entry.askWriter = S_ISREG(st.st_mode) && entry.modifiedNs >= recentNs;
        }
    }

    // The check the watcher makes before it reports a file: a file some process has open for
    // writing is not listed, nor one the file system gives no answer about (the watcher,
    // which sees the writes, decides on those). One that cannot be opened is listed.
    void askWriter(Entry& entry) const
    {
        entry.askWriter = false;
        const int fd = ::openat(m_dirFd, m_rawNames.data() + entry.rawName,
                                O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return;
        const OpenWriterProbe::State state = OpenWriterProbe::ofDescriptor(fd);
        ::close(fd);
        if (state == OpenWriterProbe::State::Open || state == OpenWriterProbe::State::Unknown)
            entry.kind = Kind::BeingWritten;
    }

    DIR* m_dir;
    int m_dirFd;
    std::vector<Entry> m_entries;
    std::string m_rawNames;
    PartialDownloadIndex m_partials;
};

} // namespace

QStringList DownloadFolderListing::listExistingPaths(
    const QString& directory, const std::function<void(const QString&)>& oldest,
    const UnusableNameNote& unusable, QStringList* beingWritten)
{
    // readdir + fstatat rather than QDir: a Downloads folder can hold a hundred thousand
    // entries. Decoding the names and the stat calls are most of the cost (a few
    // microseconds an entry): for a large folder they are shared among a few threads.
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return {};
    Listing listing(dir);
    listing.read();
    listing.keepItems(QDir::cleanPath(directory), unusable);
    const QString prefix = QDir::cleanPath(directory) + QLatin1Char('/');
    // The head of the queue is known before the rest is sorted and made into paths: the
    // window can show it while that goes on.
    if (oldest) {
        if (const Listing::Entry* head = listing.oldest())
            oldest(prefix + head->name);
    }
    return listing.finish(prefix, beingWritten);
}

QString DownloadFolderListing::firstExistingPath(const QString& directory, int sample,
                                                 const QSet<QString>& excluded)
{
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return {};
    Listing listing(dir);
    bool whole = listing.readSample(size_t(std::max(sample, 1)));
    const QString folder = QDir::cleanPath(directory);
    listing.keepItems(folder, {});
    const QString prefix = folder + QLatin1Char('/');
    while (const Listing::Entry* head = listing.oldest()) {
        // The rest of the folder is read only when a download under way among it may stand
        // for this item: rarely, and a hundred thousand names take a while to read.
        if (!whole && listing.mayBeHeldBackUnread(*head)) {
            listing.readPartialsOfTheRest();
            listing.keepItems(folder, {});
            whole = true;
            continue;
        }
        QString path = prefix + head->name;
        if (!excluded.contains(path))
            return path;
        listing.drop(head);
    }
    return {};
}

QList<QUrl> DownloadFolderListing::urlsOf(const QStringList& paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

QStringList DownloadFolderListing::readNames(const QString& directory, bool withItems,
                                             QStringList* partials,
                                             const UnusableNameNote& unusable)
{
    // readdir rather than QDir: no sorting and no stat of the tens of thousands of entries a
    // Downloads folder may hold. Names that cannot be partial downloads are not even decoded
    // unless the items are wanted.
    QStringList items;
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return items;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (!withItems && !PartialDownloadNames::mayBePartial(entry->d_name))
            continue;
        QString name;
        if (!decodeName(entry->d_name, &name)) {
            if (withItems && unusable)
                unusable(directory, name);
        } else if (PartialDownloadNames::isPartial(name)) {
            partials->append(name);
        } else if (withItems) {
            items.append(name);
        }
    }
    ::closedir(dir);
    return items;
}

bool DownloadFolderListing::shouldIgnoreName(const QString& name)
{
    return PartialDownloadNames::isIgnored(name);
}

bool DownloadFolderListing::shouldIgnore(const QUrl& url)
{
    QString path = url.toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return shouldIgnoreName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

DownloadFolderListing::Sample DownloadFolderListing::firstSample(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (!S_ISDIR(st.st_mode))
        return {Sample::Kind::File, qint64(st.st_size)};
    bool listed = false;
    const QStringList children = childNames(path, &listed);
    const bool busy = std::any_of(children.begin(), children.end(), [](const QString& child) {
        return PartialDownloadNames::marksBusyFolder(child);
    });
    return {busy ? Sample::Kind::BusyFolder : Sample::Kind::Folder, qint64(children.size())};
}

DownloadFolderListing::Verdict
DownloadFolderListing::secondSample(const QString& path, bool folder, qint64 first,
                                    const std::function<bool(qint64)>& heldBack)
{
    if (!FileSystemEntry::existsAt(path))
        return Verdict::Gone;
    if (folder) {
        bool listed = false;
        const QStringList children = childNames(path, &listed);
        return listed && first >= 0 && first == qint64(children.size()) ? Verdict::Settled
                                                                        : Verdict::Changing;
    }
    struct stat st
    {
    };
    const qint64 second =
        ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_size) : -2;
    if (first < 0 || first != second || heldBack(second))
        return Verdict::Changing;
    switch (OpenWriterProbe::of(path)) {
    case OpenWriterProbe::State::None:
        return Verdict::Settled;
    case OpenWriterProbe::State::Unknown:
        return Verdict::NoAnswer;
    case OpenWriterProbe::State::Open:
    case OpenWriterProbe::State::Unreadable:
        break;
    }
    return Verdict::Changing;
}

QString DownloadFolderListing::topLevelItem(const QString& folder, const QString& path)
{
    const QString cleaned = QDir::cleanPath(path);
    if (!cleaned.startsWith(folder) || cleaned == folder)
        return {};
    if (cleaned.at(folder.size()) != QLatin1Char('/'))
        return {}; // a sibling such as Downloads2
    const qsizetype start = folder.size() + 1;
    const qsizetype slash = cleaned.indexOf(QLatin1Char('/'), start);
    const QString piece = cleaned.mid(start, slash < 0 ? -1 : slash - start);
    if (piece.isEmpty())
        return {};
    return folder + QLatin1Char('/') + piece;
}
