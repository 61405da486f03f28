#pragma once

#include "models/AppError.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

class CrashReporter;
class QThread;
class SystemJournal;

// The program's one diagnostic channel: masked lines to the log file, the journal and,
// for ACTION and ERROR, the crash reporter's breadcrumbs. Callable from any thread; the
// caller formats the line and hands it to the writer thread "com.stowbird.logger", so it
// never waits for the disk.
class LoggerService : public QObject
{
    Q_OBJECT
public:
    // The program's logger, for the start-up code alone (everything else is handed the
    // logger it uses): the one setShared() named, or else one of its own over the state
    // folder.
    static LoggerService& shared();
    // Makes logger the one shared() returns (null: none). The program's root calls it once
    // it has built its logger, before anything logs.
    static void setShared(LoggerService* logger);

    // logDirectory holds stowbird.log and crash.log; reporter receives breadcrumbs and
    // non-fatal errors; every line also goes to journal. homePath is the home folder to
    // mask in lines (the current home when empty).
    LoggerService(const QString& logDirectory, CrashReporter& reporter, SystemJournal& journal,
                  const QString& homePath = {}, QObject* parent = nullptr);
    // Writes what is still queued, then closes the file.
    ~LoggerService() override;

    void info(const QString& message);
    void debug(const QString& message);
    void action(const QString& message);
    // ERROR line with " | Error: " and the error's description when one is given, which
    // is then also recorded with the crash reporter as a non-fatal error.
    void error(const QString& message, const std::optional<AppError>& error = std::nullopt);
    void log(const QString& level, const QString& message);

    QString logPath() const;
    QString crashPath() const;

    // Blocks until every line logged before the call has been written (or dropped), or
    // until timeoutMs passed; true when everything was written. For tests, benchmarks and
    // the exit path, never for the GUI thread's ordinary work.
    bool waitForWritten(int timeoutMs = 30000);

    // Installs the process's crash handler: it writes crashPath() and tells this logger's
    // crash reporter.
    void installCrashHandler();

    // The current home (a whole path component: "/home/al" is not masked inside
    // "/home/alice") becomes "~"; then the name of any other /home/NAME or /Users/NAME
    // becomes "~".
    static QString maskHomePaths(const QString& message, const QString& homePath);

    // Makes text safe for a one-line log record: control characters (line feeds, carriage
    // returns, escape sequences, C1 controls), the Unicode line and paragraph separators and
    // the bidirectional overrides that can make a line read differently from its bytes are
    // written as escapes ("\n", "\t", "\x1b", "\u{202e}"). A file name with a line feed
    // therefore can never start a forged line.
    static QString escapeControlCharacters(const QString& text);

    // Lines waiting for the writer beyond this many bytes are dropped (and counted) rather
    // than letting memory grow without bound when the disk stalls.
    static constexpr std::size_t maximumPendingBytes = 16 * 1024 * 1024;

private:
    struct Entry
    {
        QByteArray line;
        // Where the message starts in line (the journal gets the message alone).
        int messageOffset;
        int priority;
    };

    void writerLoop();
    void writeBatch(const std::vector<Entry>& batch);

    QString m_logDirectory;
    QString m_homePath;
    CrashReporter* m_reporter;
    SystemJournal* m_journal;
    int m_fd = -1;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::vector<Entry> m_pending;
    std::size_t m_pendingBytes = 0;
    std::uint64_t m_postedCount = 0;
    std::uint64_t m_writtenCount = 0;
    std::uint64_t m_droppedCount = 0;
    bool m_stopping = false;
    QThread* m_thread = nullptr;
};
