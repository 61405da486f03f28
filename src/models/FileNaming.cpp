#include "models/FileNaming.h"

#include <QCoreApplication>
#include <QDir>

QString FileNaming::pathExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot + 1);
}

QString FileNaming::baseName(const QString& name)
{
    const QString extension = pathExtension(name);
    return extension.isEmpty() ? name : name.left(name.size() - extension.size() - 1);
}

QString FileNaming::numberedName(const QString& name, int n)
{
    const QString extension = pathExtension(name);
    QString result = baseName(name) + QStringLiteral(" (%1)").arg(n);
    if (!extension.isEmpty())
        result += QLatin1Char('.') + extension;
    return result;
}

QString FileNaming::lastPathComponent(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? clean : clean.mid(slash + 1);
}

QString FileNaming::parentPath(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    if (slash == 0)
        return QStringLiteral("/");
    return clean.left(slash);
}

QString FileNaming::invalidComponentReason(const QString& name)
{
    if (name.isEmpty())
        return QCoreApplication::translate("FileNaming", "The name is empty.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QCoreApplication::translate("FileNaming",
                                           "The name \"%1\" is reserved by the file system.")
            .arg(name);
    if (name.contains(QLatin1Char('/')))
        return QCoreApplication::translate("FileNaming", "A name cannot contain \"/\".");
    if (name.contains(QChar(u'\0')))
        return QCoreApplication::translate("FileNaming", "A name cannot contain a NUL character.");
    return {};
}

QString FileNaming::folderOf(const QString& standardizedPath)
{
    return standardizedPath.left(
        qMax<qsizetype>(standardizedPath.lastIndexOf(QLatin1Char('/')), 0));
}

bool FileNaming::isAtOrInside(const QString& path, const QString& folder)
{
    return path.startsWith(folder) &&
           (path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/'));
}
