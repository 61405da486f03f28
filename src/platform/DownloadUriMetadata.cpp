// GLib's headers use "signals" as a name, which Qt defines as a keyword: they come first.
#include <gio/gio.h>

#include "platform/DownloadUriMetadata.h"

#include "models/DownloadOrigin.h"
#include "platform/BackgroundTask.h"

#include <QFile>
#include <QPromise>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace {

// The full address stays inside this function (and GLib's own copy of it).
QString readHost(const QByteArray& path)
{
    GFile* file = g_file_new_for_path(path.constData());
    GFileInfo* info = g_file_query_info(file, DownloadUriMetadata::attribute,
                                        G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr, nullptr);
    QString host;
    if (info) {
        if (const char* uri =
                g_file_info_get_attribute_string(info, DownloadUriMetadata::attribute)) {
            const QByteArrayView address(uri);
            if (size_t(address.size()) <= DownloadOrigin::maxValueSize)
                host = DownloadOrigin::hostOfUrl(address);
        }
        g_object_unref(info);
    }
    g_object_unref(file);
    return host;
}

// One pool thread that does every GIO read, started on first use. The pool is never
// destroyed, so its thread is never waited for: a thread stuck on a bus that does not answer
// must not hold up the program's exit.
class Reader
{
public:
    static Reader& instance()
    {
        static Reader* const reader = new Reader; // outlives static destruction, as its thread
        return *reader;
    }

    // False when too many reads are waiting; read is then not run.
    bool post(QByteArray path, QObject* context, std::function<void(const QString&)> deliver)
    {
        if (!admit())
            return false;
        BackgroundTask::run(
            m_pool, [this, path = std::move(path)] { return read(path); }, context,
            std::move(deliver));
        return true;
    }

    // The same, for callers that wait or watch a future: deliver runs on the reading thread.
    bool post(QByteArray path, std::function<void(const QString&)> deliver)
    {
        if (!admit())
            return false;
        BackgroundTask::start(m_pool, [this, path = std::move(path), deliver = std::move(deliver)] {
            deliver(read(path));
        });
        return true;
    }

private:
    Reader()
    {
        m_pool.setMaxThreadCount(1);
        m_pool.setExpiryTimeout(-1);
        m_pool.setObjectName(QStringLiteral("com.stowbird.gio-metadata"));
    }

    bool admit()
    {
        if (m_pending.fetch_add(1) < DownloadUriMetadata::maxPending)
            return true;
        m_pending.fetch_sub(1);
        return false;
    }

    QString read(const QByteArray& path)
    {
        const QString host = readHost(path);
        m_pending.fetch_sub(1);
        return host;
    }

    QThreadPool m_pool;
    std::atomic<int> m_pending{0};
};

} // namespace

void DownloadUriMetadata::fetchHost(const QString& path, QObject* context,
                                    std::function<void(const QString& host)> done)
{
    if (!Reader::instance().post(QFile::encodeName(path), context, done)) {
        QMetaObject::invokeMethod(
            context, [done] { done(QString()); }, Qt::QueuedConnection);
    }
}

QFuture<QString> DownloadUriMetadata::hostAsync(const QString& path)
{
    auto promise = std::make_shared<QPromise<QString>>();
    QFuture<QString> future = promise->future();
    promise->start();
    const bool queued =
        Reader::instance().post(QFile::encodeName(path), [promise](const QString& host) {
            promise->addResult(host);
            promise->finish();
        });
    if (!queued) {
        promise->addResult(QString());
        promise->finish();
    }
    return future;
}

QString DownloadUriMetadata::hostOf(const QString& path, std::chrono::milliseconds timeout)
{
    struct Answer
    {
        std::mutex lock;
        std::condition_variable done;
        bool ready = false;
        QString host;
    };
    auto answer = std::make_shared<Answer>();
    const bool queued =
        Reader::instance().post(QFile::encodeName(path), [answer](const QString& host) {
            {
                const std::lock_guard lock(answer->lock);
                answer->host = host;
                answer->ready = true;
            }
            answer->done.notify_all();
        });
    if (!queued)
        return {};
    std::unique_lock lock(answer->lock);
    answer->done.wait_for(lock, timeout, [&] { return answer->ready; });
    return answer->host;
}
