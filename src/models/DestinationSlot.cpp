#include "models/DestinationSlot.h"

#include <QDir>

#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace {

QString homeOfUser(const QString& user)
{
    const QByteArray name = user.toLocal8Bit();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwnam_r(name.constData(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
        !result || !result->pw_dir)
        return {};
    return QString::fromLocal8Bit(result->pw_dir);
}

} // namespace

QString DestinationSlot::expandTilde(const QString& path)
{
    if (!path.startsWith(QLatin1Char('~')))
        return path;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    QString home = user.isEmpty() ? QDir::homePath() : homeOfUser(user);
    if (home.isEmpty())
        return path;
    // "~/x" with home "/" must not become "//x".
    if (home.size() > 1 && home.endsWith(QLatin1Char('/')))
        home.chop(1);
    if (home == QLatin1String("/") && !rest.isEmpty())
        return rest;
    return home + rest;
}

QString DestinationSlot::resolvedPath() const
{
    return expandTilde(path);
}

QUrl DestinationSlot::resolvedURL() const
{
    return QUrl::fromLocalFile(resolvedPath());
}

bool DestinationSlot::isAvailable() const
{
    const QString resolved = resolvedPath();
    if (resolved.isEmpty())
        return false;
    return QFileInfo(resolved).isDir();
}
