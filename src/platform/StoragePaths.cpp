#include "platform/StoragePaths.h"

#include <QDir>
#include <QStandardPaths>

QString StoragePaths::homeDirectory()
{
    return QDir::homePath();
}

QString StoragePaths::xdgDirectory(const char* variable, const char* fallbackBelowHome)
{
    // The base-directory rules ignore relative values.
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(homeDirectory() + QLatin1Char('/') + QLatin1String(fallbackBelowHome));
}

QString StoragePaths::configDirectory()
{
    return xdgDirectory("XDG_CONFIG_HOME", ".config") + QStringLiteral("/stowbird");
}

QString StoragePaths::stateDirectory()
{
    return xdgDirectory("XDG_STATE_HOME", ".local/state") + QStringLiteral("/stowbird");
}

QString StoragePaths::dataHome()
{
    return xdgDirectory("XDG_DATA_HOME", ".local/share");
}

QString StoragePaths::downloadsDirectory()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!location.isEmpty())
        return QDir::cleanPath(location);
    return QDir::cleanPath(homeDirectory() + QStringLiteral("/Downloads"));
}

QString StoragePaths::tildePath(const QString& path)
{
    const QString home = QDir::cleanPath(homeDirectory());
    const QString clean = QDir::cleanPath(path);
    // Only a whole leading folder name counts: /home/al is not inside /home/a.
    if (home.isEmpty() || home == QLatin1String("/"))
        return clean;
    if (clean == home)
        return QStringLiteral("~");
    if (clean.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + clean.mid(home.size());
    return clean;
}
