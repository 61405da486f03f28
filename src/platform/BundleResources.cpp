#include "platform/BundleResources.h"

#include "BuildSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString BundleResources::optionsFilePath()
{
    if (QCoreApplication::instance()) {
        const QString installed =
            QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/../share/stowbird/") + optionsFileName());
        if (QFileInfo(installed).isFile())
            return installed;
    }
    return QStringLiteral(":/stowbird/") + optionsFileName();
}

QVariantMap BundleResources::infoDictionary()
{
    QVariantMap info;
    const QString secret = QStringLiteral(STOWBIRD_MEASUREMENT_SECRET);
    if (!secret.isEmpty())
        info.insert(QStringLiteral("MEASUREMENT_PROTOCOL_SECRET"), secret);
    info.insert(QStringLiteral("CFBundleShortVersionString"), version());
    return info;
}

QString BundleResources::version()
{
    return QStringLiteral(STOWBIRD_VERSION);
}
