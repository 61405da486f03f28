#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// Files for the file-operation tests: written whole (folders made as needed), read back,
// listed, their modes, and contents that differ at every offset so that a shifted or
// truncated copy shows.
namespace TestFiles {

inline void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The names in folder, hidden ones too, sorted: a leftover or partial copy shows here.
inline QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The permission bits of path itself (a link is not followed); 0 when it does not exist.
inline unsigned modeOf(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

inline QByteArray pattern(qint64 size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char(seed + i * 7 + i / 4096);
    return data;
}

} // namespace TestFiles
