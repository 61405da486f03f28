#include "platform/BoundedHttpGet.h"

#include "platform/Appcast.h"
#include "platform/ThreadHandoff.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>

#include <functional>
#include <memory>

namespace {

// The part that lives on the request thread.
class Worker : public QObject
{
public:
    QNetworkAccessManager* network()
    {
        if (!m_network)
            m_network = new QNetworkAccessManager(this);
        return m_network;
    }
    QPointer<QNetworkReply> reply;

private:
    QNetworkAccessManager* m_network = nullptr;
};

} // namespace

BoundedHttpGet::BoundedHttpGet(qint64 maximumBytes, QObject* parent)
    : QObject(parent), m_maximumBytes(maximumBytes), m_worker(new Worker)
{
    m_thread.setObjectName(QStringLiteral("com.stowbird.http"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

BoundedHttpGet::~BoundedHttpGet()
{
    auto* worker = static_cast<Worker*>(m_worker);
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            if (worker->reply)
                worker->reply->abort();
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void BoundedHttpGet::start(const QNetworkRequest& request)
{
    m_running = true;
    const quint64 serial = ++m_serial;
    auto* worker = static_cast<Worker*>(m_worker);
    const qint64 limit = m_maximumBytes;
    ThreadHandoff::post(worker, [this, worker, request, serial, limit] {
        if (worker->reply) {
            worker->reply->disconnect();
            worker->reply->abort();
            worker->reply->deleteLater();
        }
        QNetworkReply* reply = worker->network()->get(request);
        worker->reply = reply;
        auto result = std::make_shared<Result>();
        // Taken as it arrives; the network layer holds little unread.
        reply->setReadBufferSize(64 * 1024);
        const auto take = [reply, result, limit] {
            if (result->tooLarge)
                return;
            const QByteArray chunk = reply->readAll();
            if (result->body.size() + chunk.size() > limit) {
                result->tooLarge = true;
                result->body = {};
                reply->abort();
                return;
            }
            result->body += chunk;
        };
        connect(reply, &QNetworkReply::readyRead, reply, take);
        // An answer that says up front that it is too large is not read at all.
        connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, result, limit] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (!result->tooLarge && length.isValid() && length.toLongLong() > limit) {
                result->tooLarge = true;
                reply->abort();
            }
        });
        connect(reply, &QNetworkReply::redirected, reply, [reply, result](const QUrl& target) {
            if (Appcast::isSecureWebUrl(target)) {
                emit reply->redirectAllowed();
            } else {
                result->insecureRedirect = true;
                reply->abort();
            }
        });
        connect(
            reply, &QNetworkReply::finished, reply, [this, worker, reply, result, take, serial] {
                take(); // what came with the end
                const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                result->httpStatus = status.isValid() ? status.toInt() : 0;
                result->error = reply->error();
                result->errorString = reply->errorString();
                result->finalUrl = reply->url();
                reply->deleteLater();
                if (worker->reply == reply)
                    worker->reply.clear();
                ThreadHandoff::post(this, [this, serial, copy = *result] {
                    if (serial != m_serial)
                        return; // a later request replaced this one
                    m_running = false;
                    emit finished(copy);
                });
            });
    });
}
