#include "platform/BackgroundTask.h"

#include <QDebug>

#include <exception>

void BackgroundTask::dispatch(QThreadPool& pool, Delivery* delivery)
{
    // The result is posted to an object of its own on this thread, not to the context: the
    // pool's thread may not touch the context, which this thread may destroy at any time.
    delivery->receiver = new QObject;
    ThreadHandoff::start(pool, [delivery] {
        try {
            delivery->produce();
        } catch (const std::exception& error) {
            delivery->failure = QString::fromLocal8Bit(error.what());
        } catch (...) {
            delivery->failure = QStringLiteral("unknown error");
        }
        ThreadHandoff::handOff(delivery);
        QMetaObject::invokeMethod(
            delivery->receiver,
            [delivery] {
                ThreadHandoff::takeOver(delivery);
                const std::unique_ptr<Delivery> owned(delivery);
                owned->receiver->deleteLater();
                if (!owned->context)
                    return;
                if (!owned->failure)
                    owned->deliver();
                else if (owned->onFailure)
                    owned->onFailure(*owned->failure);
                else
                    qCritical("Background work failed: %s", qUtf8Printable(*owned->failure));
            },
            Qt::QueuedConnection);
    });
}
