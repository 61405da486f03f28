#include "platform/FileSystemEntry.h"

#include <QFile>

#include <sys/stat.h>

bool FileSystemEntry::existsAt(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}
