#include "platform/JsonFile.h"

#include "platform/PrivateStorage.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool JsonFile::writeAtomically(const QString& path, const QByteArray& data, QString* error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!PrivateStorage::makeFolder(folder)) {
        if (error)
            *error = QStringLiteral("Could not create the folder %1").arg(folder);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // The new file replaces the old one with its own mode: only the user may read it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(data) != data.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
