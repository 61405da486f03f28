#include "platform/FolderCreator.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrentRun>

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
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, context,
                     [watcher, done = std::move(done)] {
                         const Result result = watcher->result();
                         watcher->deleteLater();
                         done(result.ok, result.error);
                     });
    watcher->setFuture(QtConcurrent::run([path] {
        Result result;
        result.ok = createNow(path, &result.error);
        return result;
    }));
}
