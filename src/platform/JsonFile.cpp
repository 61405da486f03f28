#include "platform/JsonFile.h"

#include "platform/PrivateStorage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Writes all of data, retrying after interruptions and short writes; 0 or the error.
int writeAll(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    size_t left = size_t(data.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        next += written;
        left -= size_t(written);
    }
    return 0;
}

// Fills the temporary file completely and, when synced, makes it durable; 0 or the first
// error. The descriptor is closed in every case.
int fillAndClose(int fd, mode_t mode, const QByteArray& data, bool synced)
{
    int err = 0;
    // Exactly the intended mode, whatever the umask left of it.
    if (::fchmod(fd, mode) != 0)
        err = errno;
    if (err == 0)
        err = writeAll(fd, data);
    // A file system that allocates late reports a full disk here, not at the write.
    if (err == 0 && synced && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        err = errno;
    return err;
}

} // namespace

bool JsonFile::writeAtomically(const QString& path, const QByteArray& data, QString* error,
                               Durability durability)
{
    const bool synced = durability == Durability::Synced;
    // The file a link leads to is replaced, not the link (dotfiles kept elsewhere and
    // linked in stay linked).
    QString target = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40 && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    const auto fail = [&](const QString& why) {
        if (error)
            *error =
                QCoreApplication::translate("JsonFile", "Could not save %1: %2").arg(target, why);
        return false;
    };

    const QString folder = QFileInfo(target).absolutePath();
    if (!PrivateStorage::makeFolder(folder))
        return fail(QStringLiteral("the folder %1 could not be created").arg(folder));
    const QByteArray nativeFolder = QFile::encodeName(folder);
    const QByteArray nativeTarget = QFile::encodeName(target);

    // The owner's write bit is the user's word, also for a process that permissions do not
    // stop (root): a read-only file or folder is left alone.
    struct stat st
    {
    };
    if (::stat(nativeFolder.constData(), &st) == 0 && st.st_uid == ::geteuid() &&
        (st.st_mode & S_IWUSR) == 0)
        return fail(
            QStringLiteral("its folder %1 is read-only; the file was left as it is").arg(folder));
    mode_t mode = S_IRUSR | S_IWUSR;
    if (::stat(nativeTarget.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("it is not a regular file"));
        const bool ownerReadOnly = st.st_uid == ::geteuid() && (st.st_mode & S_IWUSR) == 0;
        if (ownerReadOnly || (::access(nativeTarget.constData(), W_OK) != 0 &&
                              (errno == EACCES || errno == EPERM || errno == EROFS)))
            return fail(QStringLiteral("the file is read-only; it was left as it is"));
        // The owner's bits as they were; the group and others get none.
        mode = st.st_mode & S_IRWXU;
    } else if (errno != ENOENT) {
        return fail(reason(errno));
    }

    // Hidden, in the same folder (a rename across file systems would not be atomic), and
    // named after the file so that a leftover from a crash says what it was.
    QByteArray temporary =
        nativeFolder + "/." + QFile::encodeName(QFileInfo(target).fileName()) + ".save-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(reason(errno));
    int err = fillAndClose(fd, mode, data, synced);
    if (err == 0 && ::rename(temporary.constData(), nativeTarget.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temporary.constData());
        return fail(reason(err));
    }
    // The rename itself made durable. The new file is in place whatever this says.
    if (!synced)
        return true;
    const int folderFd = ::open(nativeFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}
