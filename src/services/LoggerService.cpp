#include "services/LoggerService.h"

#include "crashreporting/CrashReporter.h"
#include "crashreporting/LocalCrashReporter.h"
#include "platform/CrashHandler.h"
#include "platform/PosixWrite.h"
#include "platform/PrivateStorage.h"
#include "platform/StoragePaths.h"
#include "platform/SystemJournal.h"
#include "platform/UtcTimestamp.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

const QString levelInfo = QStringLiteral("INFO");
const QString levelDebug = QStringLiteral("DEBUG");
const QString levelAction = QStringLiteral("ACTION");
const QString levelError = QStringLiteral("ERROR");

// Characters that end a user name in a home path, as "[^/\s]" does.
bool endsName(QChar c)
{
    return c == QLatin1Char('/') || c.isSpace();
}

} // namespace

namespace {

std::atomic<LoggerService*> installedLogger{nullptr};

} // namespace

void LoggerService::setShared(LoggerService* logger)
{
    installedLogger.store(logger, std::memory_order_release);
}

LoggerService& LoggerService::shared()
{
    if (LoggerService* logger = installedLogger.load(std::memory_order_acquire))
        return *logger;
    // No program set one (a test or a tool running a part on its own): a logger of its own
    // over the state folder, with a journal and a crash reporter of its own that is never
    // configured (so it does nothing). Never destroyed, like the threads that may log.
    static LoggerService* standalone = [] {
        auto* logger = new LoggerService(StoragePaths::stateDirectory(), *new LocalCrashReporter,
                                         *new SystemJournal);
        std::atexit([] { standalone->waitForWritten(2000); });
        return logger;
    }();
    return *standalone;
}

LoggerService::LoggerService(const QString& logDirectory, CrashReporter& reporter,
                             SystemJournal& journal, const QString& homePath, QObject* parent)
    : QObject(parent), m_logDirectory(QDir::cleanPath(logDirectory)),
      m_homePath(QDir::cleanPath(homePath.isEmpty() ? StoragePaths::homeDirectory() : homePath)),
      m_reporter(&reporter), m_journal(&journal)
{
    // Failures are silent: without a file the journal and the breadcrumbs still get lines.
    // The folder and the files in it name the user's files: 0700 and 0600, also when an
    // older version made them wider.
    PrivateStorage::makeFolder(m_logDirectory);
    PrivateStorage::tighten(m_logDirectory,
                            {QStringLiteral("stowbird.log"), QStringLiteral("crash.log"),
                             QStringLiteral("crash-report.log"),
                             QStringLiteral("nonfatal-errors.log")});
    m_fd = ::open(QFile::encodeName(logPath()).constData(),
                  O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);

    m_thread = QThread::create([this] { writerLoop(); });
    m_thread->setObjectName(QStringLiteral("com.stowbird.logger"));
    m_thread->start(QThread::LowPriority);

    log(QStringLiteral("INIT"),
        QStringLiteral("Stowbird Logger initialized. Target: ") + logPath());
}

LoggerService::~LoggerService()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread->wait();
    delete m_thread;
    if (m_fd >= 0)
        ::close(m_fd);
}

void LoggerService::info(const QString& message)
{
    log(levelInfo, message);
}
void LoggerService::debug(const QString& message)
{
    log(levelDebug, message);
}
void LoggerService::action(const QString& message)
{
    log(levelAction, message);
}

void LoggerService::error(const QString& message, const std::optional<AppError>& error)
{
    QString text = message;
    if (error)
        text += QStringLiteral(" | Error: ") + error->localizedDescription;
    log(levelError, text);
    if (error)
        m_reporter->recordError(*error);
}

void LoggerService::log(const QString& rawLevel, const QString& message)
{
    // Masked first (a line feed ends a user name there), then escaped, so that every copy
    // (file, journal, breadcrumbs) is one line as written.
    const QString masked = escapeControlCharacters(maskHomePaths(message, m_homePath));
    const QString level = escapeControlCharacters(rawLevel);

    char timestamp[UtcTimestamp::length + 1];
    UtcTimestamp::formatNow(timestamp);
    const QByteArray levelBytes = level.toUtf8();
    const QByteArray messageBytes = masked.toUtf8();
    Entry entry;
    entry.line.reserve(UtcTimestamp::length + levelBytes.size() + messageBytes.size() + 8);
    entry.line.append('[').append(timestamp, UtcTimestamp::length).append("] [");
    entry.line.append(levelBytes).append("] ");
    entry.messageOffset = int(entry.line.size());
    entry.line.append(messageBytes).append('\n');

    // Levels are compared exactly: "error" is an ordinary info-type level.
    const bool isError = level == levelError;
    const bool isAction = level == levelAction;
    entry.priority = isError    ? SystemJournal::Error
                     : isAction ? SystemJournal::Notice
                                : SystemJournal::Info;
    if (isError || isAction)
        m_reporter->log(QLatin1Char('[') + level + QStringLiteral("] ") + masked);

    const std::size_t size = std::size_t(entry.line.size());
    {
        std::lock_guard lock(m_mutex);
        if (m_pendingBytes + size > maximumPendingBytes) {
            ++m_droppedCount;
            return;
        }
        m_pendingBytes += size;
        ++m_postedCount;
        m_pending.push_back(std::move(entry));
    }
    m_wake.notify_one();
}

void LoggerService::writerLoop()
{
    std::vector<Entry> batch;
    for (;;) {
        std::uint64_t dropped = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            if (m_pending.empty())
                return; // stopping, nothing left
            batch.swap(m_pending);
            m_pendingBytes = 0;
            dropped = std::exchange(m_droppedCount, 0);
        }
        writeBatch(batch);
        if (dropped > 0) {
            const QString notice =
                QStringLiteral("%1 log lines were dropped because the log file could not keep up")
                    .arg(dropped);
            char timestamp[UtcTimestamp::length + 1];
            UtcTimestamp::formatNow(timestamp);
            const QByteArray line = QByteArray("[") + timestamp + "] [ERROR] " + notice.toUtf8();
            writeBatch({Entry{line + '\n', UtcTimestamp::length + 11, SystemJournal::Error}});
        }
        {
            std::lock_guard lock(m_mutex);
            m_writtenCount += batch.size();
        }
        m_written.notify_all();
        batch.clear();
    }
}

void LoggerService::writeBatch(const std::vector<Entry>& batch)
{
    if (m_fd >= 0) {
        // One writev per group of lines keeps the file in order with few system calls;
        // O_APPEND puts every write at the end even if another process appends too.
        constexpr std::size_t group = 256;
        iovec vectors[group];
        for (std::size_t first = 0; first < batch.size(); first += group) {
            const std::size_t count = std::min(group, batch.size() - first);
            std::size_t total = 0;
            for (std::size_t i = 0; i < count; ++i) {
                const QByteArray& line = batch[first + i].line;
                vectors[i].iov_base = const_cast<char*>(line.constData());
                vectors[i].iov_len = std::size_t(line.size());
                total += vectors[i].iov_len;
            }
            ssize_t written = ::writev(m_fd, vectors, int(count));
            if (written < 0 && errno == EINTR)
                written = 0;
            if (written >= 0 && std::size_t(written) < total) {
                // A short write: finish the rest line by line.
                std::size_t skip = std::size_t(written);
                for (std::size_t i = 0; i < count; ++i) {
                    const QByteArray& line = batch[first + i].line;
                    const std::size_t length = std::size_t(line.size());
                    if (skip >= length) {
                        skip -= length;
                        continue;
                    }
                    PosixWrite::all(m_fd, line.constData() + skip, length - skip);
                    skip = 0;
                }
            }
        }
    }
    for (const Entry& entry : batch) {
        const std::size_t length = std::size_t(entry.line.size() - entry.messageOffset - 1);
        m_journal->send(SystemJournal::Priority(entry.priority),
                        entry.line.constData() + entry.messageOffset, length);
    }
}

bool LoggerService::waitForWritten(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t target = m_postedCount;
    return m_written.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_writtenCount >= target; });
}

QString LoggerService::logPath() const
{
    return m_logDirectory + QStringLiteral("/stowbird.log");
}
QString LoggerService::crashPath() const
{
    return m_logDirectory + QStringLiteral("/crash.log");
}

void LoggerService::installCrashHandler()
{
    CrashHandler::install(crashPath(), m_reporter);
}

QString LoggerService::escapeControlCharacters(const QString& text)
{
    const auto needsEscape = [](char16_t c) {
        return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 ||
               (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
    };
    qsizetype first = 0;
    while (first < text.size() && !needsEscape(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text; // the usual case: nothing to copy
    QString out = text.left(first);
    out.reserve(text.size() + 8);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!needsEscape(c)) {
            out += QChar(c);
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (c <= 0xff) {
            out += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        } else {
            out += QStringLiteral("\\u{%1}").arg(int(c), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

QString LoggerService::maskHomePaths(const QString& message, const QString& homePath)
{
    QString out = message;
    // An empty or root home would mask everything.
    if (homePath.size() > 1) {
        qsizetype from = 0;
        qsizetype pos;
        while ((pos = out.indexOf(homePath, from)) >= 0) {
            const qsizetype end = pos + homePath.size();
            if (end == out.size() || endsName(out.at(end))) {
                out.replace(pos, homePath.size(), QLatin1Char('~'));
                from = pos + 1;
            } else {
                from = end;
            }
        }
    }
    for (const QLatin1String prefix : {QLatin1String("/home/"), QLatin1String("/Users/")}) {
        qsizetype from = 0;
        qsizetype pos;
        while ((pos = out.indexOf(prefix, from)) >= 0) {
            const qsizetype nameStart = pos + prefix.size();
            qsizetype nameEnd = nameStart;
            while (nameEnd < out.size() && !endsName(out.at(nameEnd)))
                ++nameEnd;
            if (nameEnd > nameStart)
                out.replace(nameStart, nameEnd - nameStart, QLatin1Char('~'));
            from = nameStart;
        }
    }
    return out;
}
