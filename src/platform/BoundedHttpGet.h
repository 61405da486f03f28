#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QThread>
#include <QUrl>

class QNetworkRequest;

// One small HTTP GET at a time, run on a thread of its own so that a busy window never
// lets an answer pile up unread: the answer is taken as it arrives and cut off as soon as
// it passes maximumBytes. Redirects are followed only to secure web addresses
// (Appcast::isSecureWebUrl). Owned and called from one thread; the result comes back there.
class BoundedHttpGet : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        QByteArray body;
        int httpStatus = 0; // 0 when none was received
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString errorString;
        bool tooLarge = false;
        bool insecureRedirect = false;
        QUrl finalUrl;
    };

    explicit BoundedHttpGet(qint64 maximumBytes, QObject* parent = nullptr);
    // Cancels a request still running and waits for the thread to end.
    ~BoundedHttpGet() override;

    // Starts a request; one already running is aborted first.
    void start(const QNetworkRequest& request);
    bool isRunning() const { return m_running; }

signals:
    void finished(const BoundedHttpGet::Result& result);

private:
    const qint64 m_maximumBytes;
    QThread m_thread;
    QObject* m_worker; // lives on m_thread
    bool m_running = false;
    quint64 m_serial = 0;
};
