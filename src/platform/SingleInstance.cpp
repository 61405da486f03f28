#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
constexpr char openRequest[] = "open-hud\n";
constexpr char statusRequest[] = "status\n";
} // namespace

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent), m_socketPath(socketPath.isEmpty() ? defaultSocketPath() : socketPath)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/com.stowbird.Stowbird.socket");
    return QDir::tempPath() + QStringLiteral("/com.stowbird.Stowbird-%1.socket").arg(::getuid());
}

std::optional<QByteArray> SingleInstance::request(const QByteArray& message, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    // Wait for the answer so the request is not lost if we exit at once.
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    socket.disconnectFromServer();
    if (!answer.contains('\n'))
        return std::nullopt;
    return answer.left(answer.indexOf('\n'));
}

bool SingleInstance::notifyRunningInstance(int timeoutMs)
{
    return request(openRequest, timeoutMs).has_value();
}

std::optional<QByteArray> SingleInstance::queryRunningInstance(int timeoutMs)
{
    return request(statusRequest, timeoutMs);
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        // A socket left behind by a crashed instance: nobody answered above, so replace it.
        QLocalServer::removeServer(m_socketPath);
        if (!m_server->listen(m_socketPath))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                const QByteArray request = client->readAll();
                if (request.startsWith("open-hud")) {
                    client->write("ok\n");
                    client->flush();
                    emit activationRequested();
                } else if (request.startsWith("status")) {
                    client->write((m_statusProvider ? m_statusProvider() : QByteArray()) + '\n');
                    client->flush();
                } else {
                    client->disconnectFromServer();
                }
            });
        }
    });
    return true;
}
