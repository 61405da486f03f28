#include "platform/CopiedTreeRemoval.h"

#include "models/FileNaming.h"
#include "platform/OpenWriterProbe.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

QString countOf(int n)
{
    return n == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(n);
}

QString listOf(QStringList names)
{
    constexpr int shown = 5;
    names.sort();
    QString list = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
    if (names.size() > shown)
        list += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return list;
}

QString reason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

using Removal = CopiedTreeRemoval::Removal;

// A regular file goes only when no process writes it and it is unchanged since the copy.
Removal removeFile(int folder, const CopiedTreeRemoval::Entry& entry, int& err)
{
    const char* name = entry.name.constData();
    UniqueFd fd(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isValid()) {
        if (errno == ENOENT)
            return Removal::Gone;
        if (errno == ELOOP || errno == ENXIO || errno == ENOTDIR)
            return Removal::Changed; // a link or a special file took its place
        err = errno;
        return Removal::Failed;
    }
    // A read lease, held until the name is gone: a writer that still has the file open
    // refuses it, and one that opens the file from now on waits until the lease is let
    // go, so nothing written after this check can be lost with the file.
    if (OpenWriterProbe::holdAgainstWriters(fd.get()) == OpenWriterProbe::State::Open)
        return Removal::StillWritten;
    struct stat now;
    if (::fstat(fd.get(), &now) != 0) {
        err = errno;
        return Removal::Failed;
    }
    if (now.st_dev != entry.device || now.st_ino != entry.inode || now.st_size != entry.size ||
        !sameTime(now.st_mtim, entry.modified) || !sameTime(now.st_ctim, entry.changed))
        return Removal::Changed;
    if (::unlinkat(folder, name, 0) == 0)
        return Removal::Removed;
    if (errno == ENOENT)
        return Removal::Gone;
    err = errno;
    return Removal::Failed;
}

} // namespace

struct CopiedTreeRemoval::Stayed
{
    QStringList changed;
    QStringList written;
    QMap<int, QStringList> failed; // by the error that kept them
};

CopiedTreeRemoval::Removal CopiedTreeRemoval::removeEntry(int folder, const Entry& entry, int& err)
{
    if (entry.type == S_IFREG)
        return removeFile(folder, entry, err);
    const char* name = entry.name.constData();
    struct stat now;
    if (::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Removal::Gone;
        err = errno;
        return Removal::Failed;
    }
    if (now.st_dev != entry.device || now.st_ino != entry.inode)
        return Removal::Changed;
    if (!entry.isFolder && !sameTime(now.st_mtim, entry.modified))
        return Removal::Changed;
    if (::unlinkat(folder, name, entry.isFolder ? AT_REMOVEDIR : 0) == 0)
        return Removal::Removed;
    if (errno == ENOENT)
        return Removal::Gone;
    if (entry.isFolder && (errno == ENOTEMPTY || errno == EEXIST))
        return Removal::NotEmpty;
    err = errno;
    return Removal::Failed;
}

CopiedTreeRemoval::CopiedTreeRemoval(int sourceFolder, const std::vector<Entry>& copied)
    : m_sourceFolder(sourceFolder), m_copied(copied), m_folders(copied.size()),
      m_opened(copied.size(), false), m_outcome(copied.size(), Removal::NotTried),
      m_errors(copied.size(), 0)
{
}

int CopiedTreeRemoval::folderOf(int index)
{
    std::vector<int> chain;
    for (int i = m_copied[size_t(index)].parent; i >= 0 && !m_opened[size_t(i)];
         i = m_copied[size_t(i)].parent)
        chain.push_back(i);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Entry& folder = m_copied[size_t(*it)];
        m_opened[size_t(*it)] = true;
        const int parent =
            folder.parent < 0 ? m_sourceFolder : m_folders[size_t(folder.parent)].get();
        if (parent < 0)
            continue;
        UniqueFd fd(::openat(parent, folder.name.constData(),
                             O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st;
        if (fd.isValid() && ::fstat(fd.get(), &st) == 0 && st.st_dev == folder.device &&
            st.st_ino == folder.inode)
            m_folders[size_t(*it)] = std::move(fd);
    }
    const int parent = m_copied[size_t(index)].parent;
    return parent < 0 ? m_sourceFolder : m_folders[size_t(parent)].get();
}

void CopiedTreeRemoval::remove(int index)
{
    const size_t i = size_t(index);
    m_folders[i].reset();
    const int parent = folderOf(index);
    // A folder replaced since it was copied: what is in it now stays.
    m_outcome[i] = parent < 0 ? Removal::Changed : removeEntry(parent, m_copied[i], m_errors[i]);
    if (m_outcome[i] == Removal::Removed)
        ++m_removed;
}

CopiedTreeRemoval::Stayed CopiedTreeRemoval::sortWhatStayed(const QString& source) const
{
    QHash<QString, int> indexOf;
    for (int i = 1; i < count(); ++i)
        indexOf.insert(QFile::decodeName(m_copied[size_t(i)].path).mid(source.size() + 1), i);
    Stayed stayed;
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QDirIterator entries(source, all, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.isDir() && !info.isSymLink() && !QDir(path).isEmpty(all))
            continue;
        const QString name = QDir(source).relativeFilePath(path);
        const int index = indexOf.value(name, -1);
        const Removal what = index < 0 ? Removal::Changed : m_outcome[size_t(index)];
        if (what == Removal::StillWritten)
            stayed.written << name;
        else if (what == Removal::Failed)
            stayed.failed[m_errors[size_t(index)]] << name;
        else if (what == Removal::NotTried && m_stoppedBy)
            stayed.failed[m_stoppedBy] << name;
        else
            stayed.changed << name;
    }
    return stayed;
}

QString CopiedTreeRemoval::whatStayed(const QString& source, const QString& target,
                                      bool isFolder) const
{
    const Stayed stayed = isFolder ? sortWhatStayed(source) : Stayed();
    const QString item = FileNaming::lastPathComponent(source);
    const QString where = FileNaming::lastPathComponent(FileNaming::parentPath(source));
    const QString to = FileNaming::lastPathComponent(FileNaming::parentPath(target));
    QStringList parts;
    if (!stayed.changed.isEmpty())
        parts << QStringLiteral("%1 changed during the copy and stayed in %2: %3")
                     .arg(countOf(int(stayed.changed.size())), where, listOf(stayed.changed));
    if (!stayed.written.isEmpty())
        parts << QStringLiteral("%1 %2 still being written and stayed in %3: %4")
                     .arg(countOf(int(stayed.written.size())),
                          stayed.written.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                          where, listOf(stayed.written));
    for (auto it = stayed.failed.cbegin(); it != stayed.failed.cend(); ++it)
        parts << QStringLiteral("%1 could not be removed from %2 (%3): %4")
                     .arg(countOf(int(it.value().size())), where, reason(it.key()),
                          listOf(it.value()));
    if (!parts.isEmpty())
        return QStringLiteral("\"%1\" was moved to %2, but %3")
            .arg(item, to, parts.join(QStringLiteral("; ")));
    const int err = m_outcome.front() == Removal::Failed ? m_errors.front()
                    : m_stoppedBy                        ? m_stoppedBy
                                                         : EACCES;
    return QStringLiteral("\"%1\" was copied to %2, but its original in %3 could not "
                          "be removed completely (%4).")
        .arg(item, to, where, reason(err));
}
