#include "platform/FileManagerRevealer.h"

#include "models/FileNaming.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>

void FileManagerRevealer::reveal(const QUrl& url)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openParentFolder(url);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();

    // Asynchronous: the GUI thread never waits for the file manager to start.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [url](QDBusPendingCallWatcher* finished) {
                         const QDBusPendingReply<> reply = *finished;
                         if (reply.isError())
                             openParentFolder(url);
                         finished->deleteLater();
                     });
}

void FileManagerRevealer::openParentFolder(const QUrl& url)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(FileNaming::parentPath(url.toLocalFile())));
}
