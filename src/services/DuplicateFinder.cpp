#include "services/DuplicateFinder.h"

#include "models/FileNaming.h"
#include "models/HistoryEntry.h"
#include "models/TriageItem.h"
#include "platform/BackgroundTask.h"
#include "platform/CancelToken.h"
#include "platform/HistoryDatabase.h"
#include "platform/UniqueFd.h"
#include "services/LoggerService.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

struct DuplicateFinder::Request
{
    QUuid itemId;
    QString itemPath;
    bool isDirectory = false;
    QStringList folders;
    QStringList waiting;
};

struct DuplicateFinder::Candidate
{
    QString path;
    QString folderName;
    Match::Where where = Match::Where::Folder;
    std::optional<QDateTime> filedAt;
    quint64 device = 0;
    quint64 inode = 0;

    Match matchFor(const QUuid& itemId) const
    {
        Match match;
        match.itemId = itemId;
        match.path = path;
        match.folderName = folderName;
        match.where = where;
        match.filedAt = filedAt;
        return match;
    }
};

// Every regular file of the item's size, each path once, in order of preference.
struct DuplicateFinder::Candidates
{
    QList<Candidate> list;
    QHash<QString, qsizetype> indexOfPath;

    bool contains(const QString& path) const { return indexOfPath.contains(path); }
    void add(const QString& path, const struct stat& status, Match::Where where,
             const QString& folder)
    {
        Candidate candidate;
        candidate.path = path;
        candidate.folderName = FileNaming::lastPathComponent(folder);
        candidate.where = where;
        candidate.device = quint64(status.st_dev);
        candidate.inode = quint64(status.st_ino);
        indexOfPath.insert(path, list.size());
        list.append(candidate);
    }
    // A file filed more than once is dated by its last filing, which comes first.
    void dateKnown(qsizetype index, const HistoryEntry& entry)
    {
        if (!list[index].filedAt)
            list[index].filedAt = entry.time.toUTC();
    }
};

namespace {

bool lstatRegular(const QString& path, struct stat* status)
{
    return ::lstat(QFile::encodeName(path).constData(), status) == 0 && S_ISREG(status->st_mode);
}

bool sameEntry(const QString& a, const QString& b)
{
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Whether path, which has the item's device and inode, is the item itself reached another
// way (a folder given through a link to the item's folder) rather than a hard link of it.
bool isItself(const QString& path, const QString& itemPath, const struct stat& item)
{
    if (item.st_nlink <= 1)
        return true;
    return FileNaming::lastPathComponent(path) == FileNaming::lastPathComponent(itemPath) &&
           sameEntry(FileNaming::parentPath(path), FileNaming::parentPath(itemPath));
}

} // namespace

DuplicateFinder::DuplicateFinder(const QString& historyDatabasePath, LoggerService& logger,
                                 QObject* parent)
    : QObject(parent), m_historyPath(historyDatabasePath), m_logger(logger)
{
    qRegisterMetaType<DuplicateFinder::Match>();
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
    m_pool.setObjectName(QStringLiteral("com.stowbird.duplicates"));
}

DuplicateFinder::~DuplicateFinder()
{
    {
        const std::lock_guard locker(m_lock);
        if (m_latest)
            m_latest->cancel();
    }
    m_pool.waitForDone();
    m_history.reset();
}

void DuplicateFinder::waitForIdle()
{
    m_pool.waitForDone();
}

std::optional<DuplicateFinder::Match> DuplicateFinder::matchFor(const QUuid& itemId) const
{
    const std::lock_guard locker(m_lock);
    const auto found = m_matches.constFind(itemId);
    if (found == m_matches.constEnd())
        return std::nullopt;
    return *found;
}

void DuplicateFinder::check(const TriageItem& item, const QStringList& folders,
                            const QList<TriageItem>& waiting)
{
    Request request;
    request.itemId = item.id;
    request.itemPath = QDir::cleanPath(item.path());
    request.isDirectory = item.isDirectory;
    for (const QString& folder : folders) {
        const QString cleaned = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !request.folders.contains(cleaned))
            request.folders.append(cleaned);
    }
    // Only the waiting items of the item's size are handed over: a long queue costs the
    // caller a comparison of numbers per item.
    for (const TriageItem& other : waiting) {
        if (other.sizeBytes == item.sizeBytes && other.id != item.id && !other.isDirectory)
            request.waiting.append(QDir::cleanPath(other.path()));
    }
    auto token = std::make_shared<CancelToken>();
    {
        const std::lock_guard locker(m_lock);
        if (m_latest)
            m_latest->cancel();
        m_latest = token;
    }
    BackgroundTask::start(m_pool, [this, request, token] { run(request, *token); });
}

void DuplicateFinder::run(const Request& request, CancelToken& token)
{
    if (token.isCancelled())
        return;
    const CancelToken::Scope scope(&token);
    m_running = &token;
    const std::optional<Match> match = find(request, token);
    m_running = nullptr;
    {
        const std::lock_guard locker(m_lock);
        if (token.isCancelled())
            return;
        if (match)
            m_matches.insert(request.itemId, *match);
        else
            m_matches.remove(request.itemId);
    }
    if (match)
        emit matchFound(*match);
    emit checked(request.itemId);
}

std::optional<DuplicateFinder::Match> DuplicateFinder::find(const Request& request,
                                                            const CancelToken& token)
{
    struct stat item
    {
    };
    if (request.isDirectory || request.itemPath.isEmpty() ||
        !lstatRegular(request.itemPath, &item) || item.st_size == 0)
        return std::nullopt;
    const qint64 size = qint64(item.st_size);

    Candidates candidates;
    for (const QString& folder : request.folders)
        addFilesOfSize(folder, request, size, token, &candidates);
    for (const QString& path : request.waiting) {
        struct stat status
        {
        };
        if (path != request.itemPath && !candidates.contains(path) && lstatRegular(path, &status) &&
            qint64(status.st_size) == size)
            candidates.add(path, status, Match::Where::Waiting, FileNaming::parentPath(path));
    }
    if (token.isCancelled())
        return std::nullopt;
    addFilings(request, size, &candidates);
    return compareContents(request, item, candidates.list, token);
}

void DuplicateFinder::addFilesOfSize(const QString& folder, const Request& request, qint64 size,
                                     const CancelToken& token, Candidates* candidates)
{
    // A folder may be reached through a link (a slot set to one); the files in it may not.
    UniqueFd folderFd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.isValid())
        return;
    DIR* listing = ::fdopendir(folderFd.get());
    if (!listing)
        return;
    const int fd = folderFd.release(); // closedir closes it
    int seen = 0;
    while (const dirent* entry = ::readdir(listing)) {
        if ((++seen & 511) == 0 && token.isCancelled())
            break;
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
            continue;
        struct stat status
        {
        };
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) || qint64(status.st_size) != size)
            continue;
        const QString path =
            (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) +
            QFile::decodeName(entry->d_name);
        if (path != request.itemPath && !candidates->contains(path))
            candidates->add(path, status, Match::Where::Folder, folder);
    }
    ::closedir(listing);
}

void DuplicateFinder::addFilings(const Request& request, qint64 size, Candidates* candidates)
{
    // Newest first: a file filed more than once is dated by its last filing. A filed file
    // already found in a folder (under this path or another way to it) gets its date.
    for (const HistoryEntry& entry : filedWithSize(size)) {
        const QString path = QDir::cleanPath(entry.toPath);
        if (path.isEmpty() || path == request.itemPath)
            continue;
        if (const auto found = candidates->indexOfPath.constFind(path);
            found != candidates->indexOfPath.constEnd()) {
            candidates->dateKnown(*found, entry);
            continue;
        }
        struct stat status
        {
        };
        if (!lstatRegular(path, &status) || qint64(status.st_size) != size)
            continue;
        const QList<Candidate>& list = candidates->list;
        const auto sameFile =
            std::find_if(list.cbegin(), list.cend(), [&status](const Candidate& candidate) {
                return candidate.device == quint64(status.st_dev) &&
                       candidate.inode == quint64(status.st_ino);
            });
        if (sameFile != list.cend()) {
            candidates->dateKnown(sameFile - list.cbegin(), entry);
        } else {
            candidates->add(path, status, Match::Where::History, FileNaming::parentPath(path));
            candidates->list.last().filedAt = entry.time.toUTC();
        }
    }
}

std::optional<DuplicateFinder::Match>
DuplicateFinder::compareContents(const Request& request, const struct stat& item,
                                 const QList<Candidate>& candidates, const CancelToken& token)
{
    // A hard link is the item's own content under another name: no need to read either.
    QList<Candidate> others;
    for (const Candidate& candidate : candidates) {
        if (candidate.device != quint64(item.st_dev) || candidate.inode != quint64(item.st_ino)) {
            others.append(candidate);
        } else if (!isItself(candidate.path, request.itemPath, item)) {
            Match match = candidate.matchFor(request.itemId);
            match.sameFile = true;
            match.itemStamp = ContentHasher::Stamp::of(item);
            match.fileStamp = match.itemStamp;
            return match;
        }
    }
    if (others.isEmpty() || token.isCancelled())
        return std::nullopt;

    const ContentHasher::Result itemDigest = m_hasher.hash(request.itemPath);
    if (!itemDigest.ok()) {
        if (!itemDigest.cancelled())
            m_logger.info(QStringLiteral("Duplicate check: %1 could not be read: %2")
                              .arg(request.itemPath, itemDigest.errorString()));
        return std::nullopt;
    }
    for (const Candidate& candidate : std::as_const(others)) {
        const ContentHasher::Result digest = m_hasher.hash(candidate.path);
        if (digest.cancelled())
            return std::nullopt;
        if (!digest.ok()) {
            m_logger.info(QStringLiteral("Duplicate check: %1 could not be read: %2")
                              .arg(candidate.path, digest.errorString()));
            continue;
        }
        if (digest.stamp.size == itemDigest.stamp.size && digest.digest == itemDigest.digest) {
            Match match = candidate.matchFor(request.itemId);
            match.itemStamp = itemDigest.stamp;
            match.fileStamp = digest.stamp;
            return match;
        }
    }
    return std::nullopt;
}

QList<HistoryEntry> DuplicateFinder::filedWithSize(qint64 size)
{
    if (m_historyPath.isEmpty())
        return {};
    struct stat file
    {
    };
    if (::stat(QFile::encodeName(m_historyPath).constData(), &file) != 0) {
        m_history.reset(); // no history yet, or it was just forgotten
        return {};
    }
    // Another file at the path (history forgotten, or a damaged one kept aside): what the
    // old one said no longer counts.
    if (m_history &&
        (quint64(file.st_dev) != m_historyDevice || quint64(file.st_ino) != m_historyInode))
        m_history.reset();
    if (!m_history) {
        auto database = std::make_unique<HistoryDatabase>(m_historyPath);
        database->setInterruptCheck([this] { return m_running && m_running->isCancelled(); });
        const HistoryDatabase::Result opened = database->openForReading();
        if (!opened.ok()) {
            m_logger.error(QStringLiteral("Duplicate check: the history could not be opened: %1")
                               .arg(opened.reason));
            return {};
        }
        m_history = std::move(database);
        m_historyDevice = quint64(file.st_dev);
        m_historyInode = quint64(file.st_ino);
    }
    QList<HistoryEntry> entries;
    const HistoryDatabase::Result read =
        m_history->filedWithSize(size, historyCandidateLimit, &entries);
    if (read.status == HistoryDatabase::Status::Interrupted)
        return {};
    if (!read.ok()) {
        m_logger.error(
            QStringLiteral("Duplicate check: the history could not be read: %1").arg(read.reason));
        m_history.reset();
        return {};
    }
    return entries;
}

bool DuplicateFinder::stillIdentical(const TriageItem& item, const Match& match)
{
    if (item.id != match.itemId || match.path.isEmpty())
        return false;
    const QString itemPath = QDir::cleanPath(item.path());
    bool itemRegular = false;
    bool fileRegular = false;
    const ContentHasher::Stamp itemNow = ContentHasher::stampAt(itemPath, &itemRegular);
    const ContentHasher::Stamp fileNow = ContentHasher::stampAt(match.path, &fileRegular);
    if (!itemRegular || !fileRegular || itemNow.size != fileNow.size)
        return false;
    if (match.sameFile)
        return itemNow.device == fileNow.device && itemNow.inode == fileNow.inode;
    if (match.itemStamp.isValid() && itemNow == match.itemStamp && fileNow == match.fileStamp)
        return true;
    ContentHasher hasher;
    const ContentHasher::Result first = hasher.hash(itemPath);
    const ContentHasher::Result second = hasher.hash(match.path);
    return first.ok() && second.ok() && first.stamp.size == second.stamp.size &&
           first.digest == second.digest;
}

QString DuplicateFinder::describe(const Match& match, const QString& relativeTime)
{
    const QString name = FileNaming::lastPathComponent(match.path);
    if (match.where == Match::Where::Waiting)
        return tr("Identical to %1, also waiting").arg(name);
    if (match.filedAt && !relativeTime.isEmpty())
        return tr("Identical to %1 in %2, filed %3").arg(name, match.folderName, relativeTime);
    return tr("Identical to %1 in %2").arg(name, match.folderName);
}
