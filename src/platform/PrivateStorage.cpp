#include "platform/PrivateStorage.h"

#include "models/FileNaming.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// chmod through a descriptor opened without following links, and only for this user's own
// file of the expected type.
void tightenOwned(const QString& path, bool folder, mode_t mode)
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_uid == ::getuid() &&
        (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) && (st.st_mode & 07777) != mode)
        ::fchmod(fd, mode);
    ::close(fd);
}

} // namespace

bool PrivateStorage::makeFolder(const QString& folder)
{
    const QString cleaned = QDir::cleanPath(folder);
    QStringList missing;
    QString current = cleaned;
    struct stat st;
    while (!current.isEmpty() && current != QLatin1String("/") &&
           ::stat(QFile::encodeName(current).constData(), &st) != 0 && errno == ENOENT) {
        missing.prepend(current);
        current = FileNaming::parentPath(current);
    }
    for (const QString& path : std::as_const(missing))
        ::mkdir(QFile::encodeName(path).constData(), 0700);
    tightenOwned(cleaned, true, 0700);
    return QFileInfo(cleaned).isDir();
}

void PrivateStorage::tightenFile(const QString& path)
{
    tightenOwned(path, false, 0600);
}

void PrivateStorage::tighten(const QString& folder, const QStringList& fileNames)
{
    tightenOwned(folder, true, 0700);
    for (const QString& name : fileNames)
        tightenFile(folder + QLatin1Char('/') + name);
}
