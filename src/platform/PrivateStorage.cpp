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

// Takes the group's and others' bits away, through a descriptor opened without following
// links, and only for this user's own file of the expected type. The owner's bits stay as
// they are: a file or folder the user made read-only stays read-only.
void tightenOwned(const QString& path, bool folder)
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return;
    struct stat st;
    const mode_t others = S_IRWXG | S_IRWXO;
    if (::fstat(fd, &st) == 0 && st.st_uid == ::getuid() &&
        (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) && (st.st_mode & others) != 0)
        ::fchmod(fd, st.st_mode & 07777 & ~others);
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
    tightenOwned(cleaned, true);
    return QFileInfo(cleaned).isDir();
}

void PrivateStorage::tightenFile(const QString& path)
{
    tightenOwned(path, false);
}

void PrivateStorage::tighten(const QString& folder, const QStringList& fileNames)
{
    tightenOwned(folder, true);
    for (const QString& name : fileNames)
        tightenFile(folder + QLatin1Char('/') + name);
}
