#include "platform/FolderCreator.h"

#include "platform/BackgroundTask.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

bool FolderCreator::createNow(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists()) {
        if (error)
            *error = QStringLiteral("%1 exists and is not a folder").arg(path);
        return false;
    }
    errno = 0;
    if (QDir().mkpath(path) && QFileInfo(path).isDir())
        return true;
    if (error)
        *error = QStringLiteral("%1 could not be created: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno ? errno : EACCES)));
    return false;
}

void FolderCreator::create(const QString& path, QObject* context,
                           std::function<void(bool, const QString&)> done)
{
    struct Result
    {
        bool ok = false;
        QString error;
    };
    BackgroundTask::run(
        *QThreadPool::globalInstance(),
        [path] {
            Result result;
            result.ok = createNow(path, &result.error);
            return result;
        },
        context, [done](Result result) { done(result.ok, result.error); },
        [done, path](const QString& message) {
            done(false, QStringLiteral("%1 could not be created: %2").arg(path, message));
        });
}
