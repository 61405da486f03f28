#include "platform/FreedesktopTrash.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/FileSystemEntry.h"
#include "platform/NoReplaceRename.h"
#include "platform/TrashInfo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Error contexts carry no file names: trash failures are logged.
const char* const failedContext = "Could not move the item to the trash";

[[noreturn]] void fail(int err)
{
    throw FileOperationError::fromErrno(err, QString::fromLatin1(failedContext));
}

dev_t deviceOf(const QString& path, bool followLinks)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    const int rc = followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st);
    return rc == 0 ? st.st_dev : dev_t(-1);
}

// The device of path or, when it does not exist yet, of its nearest existing ancestor.
dev_t deviceOfNearest(QString path)
{
    for (;;) {
        const dev_t dev = deviceOf(path, true);
        if (dev != dev_t(-1) || path == QLatin1String("/"))
            return dev;
        path = FileNaming::parentPath(path);
    }
}

// The folder holding path with every link in it resolved; the cleaned folder when it
// cannot be resolved (it no longer exists).
QString resolvedFolder(const QString& path)
{
    const QString folder = FileNaming::parentPath(QDir::cleanPath(path));
    char resolved[PATH_MAX];
    if (::realpath(QFile::encodeName(folder).constData(), resolved))
        return QFile::decodeName(resolved);
    return folder;
}

// path itself, or a folder or file below folder.
bool isInside(const QString& path, const QString& folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder ||
           (path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/'));
}

// Undoes the octal escapes (\040 for a space, \012 for a line feed, ...) of /proc mount
// tables.
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out +=
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return QFile::decodeName(out);
}

// The mount points of this process's mount table; empty when it cannot be read.
QList<QString> mountPoints()
{
    QList<QString> mounts;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return mounts;
    // Read whole: /proc files report no size.
    const QByteArray content = table.readAll();
    for (const QByteArray& line : content.split('\n')) {
        // "id parent major:minor root mountpoint options ..."
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4 && fields[4].startsWith('/'))
            mounts.append(unescapeMountField(fields[4]));
    }
    return mounts;
}

void makeFolder(const QString& path, mode_t mode)
{
    if (::mkdir(QFile::encodeName(path).constData(), mode) != 0 && errno != EEXIST)
        fail(errno);
}

// Shortens a name so that NAME.trashinfo stays within the file system's name limit.
QString fitName(const QString& name)
{
    constexpr qsizetype limit = NAME_MAX - qsizetype(sizeof(".trashinfo") - 1) - 16;
    QString fitted = name;
    while (QFile::encodeName(fitted).size() > limit) {
        const QString extension = FileNaming::pathExtension(fitted);
        QString base = FileNaming::baseName(fitted);
        base.chop(base.size() > 1 ? 1 : 0);
        if (base.size() <= 1 && QFile::encodeName(fitted).size() > limit)
            fitted.chop(1);
        else
            fitted = extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
    }
    return fitted;
}

// The content of the info file at infoPath when it is still the file whose identity was
// read when it was written; nothing when it is gone or another file.
std::optional<QByteArray> readRecord(const QString& infoPath, const FileIdentity& expected)
{
    // O_NONBLOCK: a FIFO put in its place must not block the open.
    const int fd = ::open(QFile::encodeName(infoPath).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> content;
    if (expected.isSameEntry(FileSystemEntry::identityOf(fd))) {
        QByteArray data(TrashInfo::maximumFileSize + 1, Qt::Uninitialized);
        qsizetype total = 0;
        for (;;) {
            const ssize_t n = ::read(fd, data.data() + total, size_t(data.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            total += n;
            if (total == data.size())
                break;
        }
        data.truncate(total);
        content = data;
    }
    ::close(fd);
    return content;
}

} // namespace

FreedesktopTrash::FreedesktopTrash(const QString& dataHome) : m_dataHome(dataHome) {}

QString FreedesktopTrash::homeTrashDirectory() const
{
    return QDir::cleanPath(m_dataHome + QStringLiteral("/Trash"));
}

TrashBackend::Trashed FreedesktopTrash::moveToTrash(const QString& path)
{
    // Never let a relative data home put a trash into the working directory.
    if (!QDir::isAbsolutePath(m_dataHome))
        throw FileOperationError(
            AppError{QStringLiteral("com.stowbird.fileengine"), EINVAL,
                     QStringLiteral("%1: the data folder is not an absolute path")
                         .arg(QLatin1String(failedContext))});

    const QString absolute = QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path));
    const dev_t itemDevice = deviceOf(absolute, false);
    if (itemDevice == dev_t(-1))
        fail(errno);

    Trashed result;
    if (itemDevice == deviceOfNearest(m_dataHome)) {
        const QString trash = homeTrashDirectory();
        prepareTrashDirectory(trash);
        const int err = placeInTrash(trash, absolute, absolute, &result);
        if (err == 0)
            return result;
        // A bind mount can share the device and still refuse the rename; then the item's
        // own mount has the trash to use.
        if (err != EXDEV)
            fail(err);
    }

    const QString top = mountTopDirectory(absolute);
    const QString trash = topDirectoryTrash(top);
    if (trash.isEmpty())
        throw FileOperationError(
            AppError{QStringLiteral("com.stowbird.fileengine"), EXDEV,
                     QStringLiteral("%1: the disk it is on has no trash that can be used")
                         .arg(QLatin1String(failedContext))});
    prepareTrashDirectory(trash);
    // On another disk the original path is kept relative to the disk's top folder, so that
    // it still means something when the disk is mounted elsewhere. It is the path as the
    // disk knows it: the item's folder with its links resolved.
    const QString onDisk =
        resolvedFolder(absolute) + QLatin1Char('/') + FileNaming::lastPathComponent(absolute);
    const QString relative = QDir(top).relativeFilePath(onDisk);
    const int err = placeInTrash(trash, absolute, relative, &result);
    if (err != 0)
        fail(err);
    return result;
}

QString FreedesktopTrash::mountTopDirectory(const QString& path)
{
    // The item's own name is not resolved (it may be a link that is trashed as a link);
    // its folder is, so that a Downloads folder that is a link to another disk finds that
    // disk's top folder rather than a folder below the link.
    const QString folder = resolvedFolder(path);
    const dev_t device = deviceOf(folder, true);
    if (device == dev_t(-1))
        return folder;

    // The longest mount point above the folder that is on the folder's device. Checking the
    // device skips a mount that was later hidden by another one mounted above it.
    const QList<QString> mounts = mountPoints();
    QString best;
    for (const QString& mount : mounts) {
        if (mount.size() <= best.size() || !isInside(folder, mount))
            continue;
        if (deviceOf(mount, true) == device)
            best = mount;
    }
    if (!best.isEmpty())
        return best;

    // No mount table (or a file system whose files report another device than its mount,
    // as btrfs subvolumes do): the highest folder above it on the same device.
    QString current = folder;
    for (;;) {
        if (current == QLatin1String("/"))
            return current;
        const QString parent = FileNaming::parentPath(current);
        if (deviceOf(parent, true) != device)
            return current;
        current = parent;
    }
}

QString FreedesktopTrash::topDirectoryTrash(const QString& topDirectory)
{
    const QString uid = QString::number(::getuid());
    const QString base = topDirectory == QLatin1String("/") ? QString() : topDirectory;

    // An administrator-made $topdir/.Trash: a real folder (not a link) with the sticky bit.
    struct stat st;
    const QString shared = base + QStringLiteral("/.Trash");
    if (::lstat(QFile::encodeName(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX)) {
        const QString own = shared + QLatin1Char('/') + uid;
        const QByteArray ownName = QFile::encodeName(own);
        if ((::mkdir(ownName.constData(), 0700) == 0 || errno == EEXIST) &&
            ::lstat(ownName.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            st.st_uid == ::getuid())
            return own;
    }

    const QString own = base + QStringLiteral("/.Trash-") + uid;
    const QByteArray ownName = QFile::encodeName(own);
    if (::mkdir(ownName.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    if (::lstat(ownName.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return {};
    return own;
}

void FreedesktopTrash::prepareTrashDirectory(const QString& trashDirectory)
{
    // Parents of the home trash ($XDG_DATA_HOME and above) may not exist yet.
    const QString parent = FileNaming::parentPath(trashDirectory);
    if (!QDir().mkpath(parent))
        fail(errno ? errno : EACCES);
    makeFolder(trashDirectory, 0700);
    makeFolder(trashDirectory + QStringLiteral("/files"), 0700);
    makeFolder(trashDirectory + QStringLiteral("/info"), 0700);
}

int FreedesktopTrash::placeInTrash(const QString& trashDirectory, const QString& path,
                                   const QString& originalPathValue, Trashed* result)
{
    const QString name = fitName(FileNaming::lastPathComponent(path));
    const QByteArray info =
        QByteArrayLiteral("[Trash Info]\nPath=") +
        QFile::encodeName(originalPathValue).toPercentEncoding("/") +
        QByteArrayLiteral("\nDeletionDate=") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
        '\n';

    constexpr int maxAttempts = 10000;
    for (int n = 0; n < maxAttempts; ++n) {
        const QString candidate = n == 0 ? name : FileNaming::numberedName(name, n);
        const QString infoPath =
            trashDirectory + QStringLiteral("/info/") + candidate + QStringLiteral(".trashinfo");
        const QString filesPath = trashDirectory + QStringLiteral("/files/") + candidate;
        const QByteArray infoName = QFile::encodeName(infoPath);

        // The info file is created exclusively: whoever creates it owns the name.
        const int fd = ::open(infoName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        struct stat st;
        if (::lstat(QFile::encodeName(filesPath).constData(), &st) == 0) {
            // A leftover without its info file: leave it alone and take another name.
            ::close(fd);
            ::unlink(infoName.constData());
            continue;
        }
        qsizetype written = 0;
        while (written < info.size()) {
            const ssize_t w = ::write(fd, info.constData() + written, info.size() - written);
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                break;
            written += w;
        }
        const int writeError = written == info.size() ? 0 : errno;
        const bool synced = writeError == 0 && ::fsync(fd) == 0;
        const int syncError = synced ? 0 : (writeError ? writeError : errno);
        // What the info file is once written: a restore later checks that it is still this
        // one and not one another program wrote under the same name since.
        const FileIdentity infoIdentity = synced ? FileSystemEntry::identityOf(fd) : FileIdentity();
        if (::close(fd) != 0 || !synced) {
            ::unlink(infoName.constData());
            return syncError ? syncError : EIO;
        }

        const int err = NoReplaceRename::rename(path, filesPath);
        if (err == 0) {
            *result = Trashed{filesPath, info, infoIdentity};
            return 0;
        }
        ::unlink(infoName.constData());
        if (err != EEXIST)
            return err;
    }
    return EEXIST;
}

TrashBackend::Restored FreedesktopTrash::restoreFromTrash(const Trashed& trashed,
                                                          const QString& fallbackOriginal)
{
    const QString& trashedPath = trashed.path;
    const QString filesFolder = FileNaming::parentPath(trashedPath);
    const QString trashDirectory = FileNaming::parentPath(filesFolder);
    const QString name = FileNaming::lastPathComponent(trashedPath);
    const QString infoPath =
        trashDirectory + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
    if (FileNaming::lastPathComponent(filesFolder) != QLatin1String("files"))
        throw FileOperationError(AppError{
            QStringLiteral("com.stowbird.fileengine"), EINVAL,
            QCoreApplication::translate("FreedesktopTrash", "The item is not inside a trash.")});
    struct stat st;
    if (::lstat(QFile::encodeName(trashedPath).constData(), &st) != 0)
        throw FileOperationError::fromErrno(
            errno, QCoreApplication::translate("FreedesktopTrash", "Could not restore the item"));

    // The info file's path is read strictly: a restore never writes outside the disk the
    // item came from.
    QString original;
    if (trashed.record.isEmpty()) {
        original = TrashInfo::originalPathOf(trashedPath);
    } else {
        // Only the info file written when the item was trashed leads it back; it is read
        // once, from the file that was checked.
        const std::optional<QByteArray> record = readRecord(infoPath, trashed.recordIdentity);
        if (!record || *record != trashed.record)
            throw FileOperationError(AppError{
                QStringLiteral("com.stowbird.fileengine"), recordReplacedCode,
                QStringLiteral("The Trash's record of the item is not the one written when it "
                               "was trashed.")});
        const std::optional<TrashInfo> info = TrashInfo::parse(*record);
        if (info)
            original = TrashInfo::originalPath(trashDirectory, info->path);
    }
    if (original.isEmpty())
        original = QDir::cleanPath(fallbackOriginal);
    if (original.isEmpty() || !QDir::isAbsolutePath(original))
        throw FileOperationError(
            AppError{QStringLiteral("com.stowbird.fileengine"), EINVAL,
                     QCoreApplication::translate(
                         "FreedesktopTrash", "The trash does not say where the item came from.")});

    // The folder it came from may have gone since; it is made again, as file managers do.
    const QString folder = FileNaming::parentPath(original);
    if (!QDir().mkpath(folder))
        throw FileOperationError::fromErrno(
            errno ? errno : EACCES,
            QCoreApplication::translate("FreedesktopTrash", "Could not restore the item"));
    int n = 0;
    const QString originalName = FileNaming::lastPathComponent(original);
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    const QString restored = FileMover().move(trashedPath, original, [&] {
        return prefix + FileNaming::numberedName(originalName, ++n);
    });
    ::unlink(QFile::encodeName(infoPath).constData());
    return {restored, original};
}
