#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A minimal HTTP/1.1 server on 127.0.0.1 for tests: records every request and answers
// each path with a configured response (404 for unknown paths), then closes the connection.
// A response may be held part-way (a stalled download) until the test releases it.
class LoopbackHttpServer
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray target;                    // path and query as sent
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    struct Response
    {
        int status = 200;
        QByteArray contentType = "text/plain";
        QByteArray body;
        QByteArray location = {}; // sent as a Location header when set (redirects)
        qsizetype holdAt = -1;    // when set, the body stops there until releaseHeld()
    };

    LoopbackHttpServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { read(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }
    QUrl url(const QString& path) const { return QUrl(baseUrl() + path); }

    void respond(const QByteArray& path, const Response& response) { m_responses[path] = response; }
    const QList<Request>& requests() const { return m_requests; }

    // Sends the rest of every held answer and closes those connections.
    void releaseHeld()
    {
        for (const auto& [socket, rest] : std::as_const(m_held)) {
            if (socket) {
                socket->write(rest);
                socket->disconnectFromHost();
            }
        }
        m_held.clear();
    }

    // A port on which nothing listens, so connecting is refused.
    static quint16 closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return port;
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() - headerEnd - 4 < length)
            return; // wait for the rest of the body
        request.body = buffer.mid(headerEnd + 4, length);
        m_buffers.remove(socket);
        m_requests.append(request);

        const QByteArray path = request.target.left(
            request.target.indexOf('?') < 0 ? request.target.size() : request.target.indexOf('?'));
        const Response response = m_responses.value(path, Response{404, "text/plain", "missing"});
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
        answer += "Content-Type: " + response.contentType + "\r\n";
        answer += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        if (!response.location.isEmpty())
            answer += "Location: " + response.location + "\r\n";
        answer += "Connection: close\r\n\r\n";
        if (response.holdAt >= 0) {
            socket->write(answer + response.body.left(response.holdAt));
            m_held.append({socket, response.body.mid(response.holdAt)});
            return;
        }
        socket->write(answer + response.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QMap<QByteArray, Response> m_responses;
    QList<Request> m_requests;
    QList<std::pair<QPointer<QTcpSocket>, QByteArray>> m_held;
};
