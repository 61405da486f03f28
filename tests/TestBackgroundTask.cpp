#include "TestEnvironment.h"
#include "platform/BackgroundTask.h"

#include <QApplication>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <stdexcept>

class TestBackgroundTask : public QObject
{
    Q_OBJECT

private slots:
    // The work runs on the pool; its result, or its failure, comes back on this thread.
    void resultAndFailureComeBackOnTheCallingThread()
    {
        QThreadPool pool;
        QObject context;
        QThread* workThread = nullptr;
        QThread* resultThread = nullptr;
        QString result;
        BackgroundTask::run(
            pool,
            [&workThread] {
                workThread = QThread::currentThread();
                return QStringLiteral("listed");
            },
            &context,
            [&](QString value) {
                resultThread = QThread::currentThread();
                result = value;
            },
            [](const QString&) { QFAIL("no failure expected"); });
        QTRY_COMPARE_WITH_TIMEOUT(result, QStringLiteral("listed"), 5000);
        QVERIFY(workThread && workThread != QThread::currentThread());
        QCOMPARE(resultThread, QThread::currentThread());

        QString failure;
        QThread* failureThread = nullptr;
        bool delivered = false;
        BackgroundTask::run(
            pool, []() -> int { throw std::runtime_error("the disk went away"); }, &context,
            [&](int) { delivered = true; },
            [&](const QString& message) {
                failureThread = QThread::currentThread();
                failure = message;
            });
        QTRY_COMPARE_WITH_TIMEOUT(failure, QStringLiteral("the disk went away"), 5000);
        QCOMPARE(failureThread, QThread::currentThread());
        QVERIFY(!delivered);
    }

    // A context destroyed while its work runs gets nothing; later work still comes back.
    void resultForADestroyedContextIsDropped()
    {
        QThreadPool pool;
        QSemaphore gate;
        auto* context = new QObject;
        bool delivered = false;
        bool failed = false;
        BackgroundTask::run(
            pool, [&gate] { gate.acquire(); }, context, [&] { delivered = true; },
            [&](const QString&) { failed = true; });
        delete context;
        gate.release();
        QVERIFY(pool.waitForDone(5000));

        QObject later;
        bool laterDelivered = false;
        BackgroundTask::run(
            pool, [] {}, &later, [&] { laterDelivered = true; });
        QTRY_VERIFY_WITH_TIMEOUT(laterDelivered, 5000);
        QVERIFY(!delivered);
        QVERIFY(!failed);
    }
};

STOWBIRD_TEST_MAIN(TestBackgroundTask)
#include "TestBackgroundTask.moc"
