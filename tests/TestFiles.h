#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

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

// Everything about a tree that a move must keep: kinds, modes, times and contents.
inline QStringList snapshot(const QString& root)
{
    QStringList lines;
    auto describe = [&](const QString& path, const QString& relative) {
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return;
        QString line = QStringLiteral("%1 mode=%2 mtime=%3.%4 ")
                           .arg(relative)
                           .arg(st.st_mode, 0, 8)
                           .arg(st.st_mtim.tv_sec)
                           .arg(st.st_mtim.tv_nsec);
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n =
                ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
            line += QStringLiteral("link:") + QString::fromLocal8Bit(target, n < 0 ? 0 : n);
        } else if (S_ISREG(st.st_mode))
            line += QString::fromLatin1(
                QCryptographicHash::hash(TestFiles::readFile(path), QCryptographicHash::Sha1)
                    .toHex());
        lines << line;
    };
    describe(root, QStringLiteral("."));
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        describe(path, QDir(root).relativeFilePath(path));
    }
    lines.sort();
    return lines;
}

} // namespace TestFiles
