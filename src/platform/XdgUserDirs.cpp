#include "platform/XdgUserDirs.h"

#include "platform/StoragePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString XdgUserDirs::directory(const QString& name, const QString& fallback)
{
    // StoragePaths::configDirectory() is $XDG_CONFIG_HOME/stowbird.
    const QString file =
        QFileInfo(StoragePaths::configDirectory()).path() + QStringLiteral("/user-dirs.dirs");
    return directoryIn(file, name, fallback);
}

QString XdgUserDirs::directoryIn(const QString& userDirsFile, const QString& name,
                                 const QString& fallback)
{
    const QString home = QDir::cleanPath(StoragePaths::homeDirectory());
    const QString defaultPath = QDir::cleanPath(home + QLatin1Char('/') + fallback);
    QFile file(userDirsFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return defaultPath;
    const QByteArray key = "XDG_" + name.toLatin1() + "_DIR";
    while (!file.atEnd()) {
        // Lines look like XDG_DOCUMENTS_DIR="$HOME/Documents" (shell syntax, quoted).
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('#') || !line.startsWith(key + '='))
            continue;
        QString value = QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
        if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) ||
            !value.endsWith(QLatin1Char('"')))
            continue;
        value = value.mid(1, value.size() - 2);
        value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        if (value.startsWith(QLatin1String("$HOME")))
            value = home + value.mid(5);
        else if (!value.startsWith(QLatin1Char('/')))
            continue; // only absolute or $HOME-relative paths are allowed
        return QDir::cleanPath(value);
    }
    return defaultPath;
}
