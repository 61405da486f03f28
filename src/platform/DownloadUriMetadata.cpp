// GLib's headers use "signals" as a name, which Qt defines as a keyword: they come first.
#include <gio/gio.h>

#include "platform/DownloadUriMetadata.h"

#include "models/DownloadOrigin.h"

#include <QFile>
#include <QPromise>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using Deliver = std::function<void(const QString& host)>;

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

// One thread that does every GIO read, started on first use. It is never joined: a thread
// stuck on a bus that does not answer must not hold up the program's exit.
class Reader
{
public:
    static Reader& instance()
    {
        static Reader* const reader = new Reader; // outlives static destruction, as its thread
        return *reader;
    }

    // False when too many reads are waiting; deliver is then not called.
    bool post(QByteArray path, Deliver deliver)
    {
        {
            const std::lock_guard lock(m_lock);
            if (m_queue.size() >= size_t(DownloadUriMetadata::maxPending))
                return false;
            m_queue.push_back({std::move(path), std::move(deliver)});
            if (!m_started) {
                m_started = true;
                std::thread([this] { run(); }).detach();
            }
        }
        m_wake.notify_one();
        return true;
    }

private:
    struct Request
    {
        QByteArray path;
        Deliver deliver;
    };

    [[noreturn]] void run()
    {
        for (;;) {
            Request request;
            {
                std::unique_lock lock(m_lock);
                m_wake.wait(lock, [this] { return !m_queue.empty(); });
                request = std::move(m_queue.front());
                m_queue.pop_front();
            }
            request.deliver(readHost(request.path));
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Request> m_queue;
    bool m_started = false;
};

} // namespace

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
