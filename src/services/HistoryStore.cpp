#include "services/HistoryStore.h"

#include "platform/BackgroundTask.h"
#include "platform/ThreadHandoff.h"

#include "models/DestinationPredictor.h"
#include "models/FileNaming.h"
#include "platform/FileMover.h"
#include "platform/HistoryDatabase.h"
#include "platform/StoragePaths.h"
#include "platform/TrashBackend.h"
#include "services/HistoryUndo.h"
#include "services/LoggerService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QThread>

#include <optional>

QString HistoryStore::defaultDatabasePath()
{
    return StoragePaths::stateDirectory() + QStringLiteral("/history.sqlite3");
}

HistoryStore::HistoryStore(const QString& databasePath, std::unique_ptr<TrashBackend> trash,
                           LoggerService& logger, QObject* parent)
    : QObject(parent), m_path(databasePath), m_trash(std::move(trash)),
      m_mover(std::make_unique<FileMover>()), m_logger(logger)
{
    qRegisterMetaType<HistoryEntry>();
    qRegisterMetaType<QList<HistoryEntry>>();
    qRegisterMetaType<HistoryStore::UndoOutcome>();
    qRegisterMetaType<std::shared_ptr<DestinationPredictor>>();
    for (QThreadPool* pool : {&m_writerPool, &m_readerPool, &m_undoPool}) {
        pool->setMaxThreadCount(1);
        pool->setExpiryTimeout(-1);
    }
    m_writerPool.setObjectName(QStringLiteral("com.stowbird.history.writer"));
    m_readerPool.setObjectName(QStringLiteral("com.stowbird.history.reader"));
    m_undoPool.setObjectName(QStringLiteral("com.stowbird.history.undo"));
    BackgroundTask::start(m_writerPool, [this] { openWriter(); });
}

HistoryStore::~HistoryStore()
{
    waitForThreads();
    m_writer.reset();
    m_reader.reset();
}

void HistoryStore::waitForWrites()
{
    waitForThreads();
    // Their signals, waiting in this thread's queue, are sent now: once this returns, every
    // write asked for has been announced.
    if (QThread::currentThread() == thread())
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void HistoryStore::waitForThreads()
{
    // An undo looks its entry up on the writer, moves the file on the undo thread and
    // records the result on the writer again.
    m_writerPool.waitForDone();
    m_undoPool.waitForDone();
    m_writerPool.waitForDone();
    m_readerPool.waitForDone();
    // A reader that found the file damaged hands the repair to the writer.
    m_writerPool.waitForDone();
}

bool HistoryStore::available() const
{
    const std::lock_guard locker(m_stateLock);
    return m_available;
}

QString HistoryStore::unavailableReason() const
{
    const std::lock_guard locker(m_stateLock);
    return m_unavailableReason;
}

void HistoryStore::announce(std::function<void()> emitter)
{
    // Signals leave on the store's own thread, whichever thread found the result: what the
    // pool's thread wrote into the arguments happens before any receiver reads them.
    ThreadHandoff::post(this, std::move(emitter));
}

void HistoryStore::setAvailable(bool available, const QString& reason)
{
    {
        const std::lock_guard locker(m_stateLock);
        if (m_available == available && (available || m_unavailableReason == reason))
            return;
        m_available = available;
        m_unavailableReason = available ? QString() : reason;
    }
    if (available)
        m_logger.info(QStringLiteral("History is available again"));
    else
        m_logger.error(QStringLiteral("History is unavailable: %1").arg(reason));
    announce([this, available, reason] {
        emit availabilityChanged(available, available ? QString() : reason);
    });
}

void HistoryStore::openWriter()
{
    m_writer = std::make_unique<HistoryDatabase>(m_path);
    const HistoryDatabase::Result opened = m_writer->openForWriting(true);
    if (opened.status == HistoryDatabase::Status::Damaged) {
        recover(opened.reason, m_generation.load());
    } else if (!opened.ok()) {
        setAvailable(false, opened.reason);
        return;
    }
    if (!m_writer->isOpen())
        return;
    int removed = 0;
    const HistoryDatabase::Result pruned =
        m_writer->prune(QDateTime::currentDateTimeUtc(), retentionDays, maximumEntries, &removed);
    if (!pruned.ok())
        m_logger.error(QStringLiteral("History: %1").arg(pruned.reason));
    else if (removed > 0)
        m_logger.info(
            QStringLiteral("History: %1 entries past the retention removed").arg(removed));
}

void HistoryStore::recover(const QString& reason, quint64 seenGeneration)
{
    // A reader and the writer may both find the same damage: the file is replaced once.
    if (seenGeneration != m_generation.load())
        return;
    m_writer->close();
    QString error;
    const QString kept = HistoryDatabase::keepAside(m_path, &error);
    if (kept.isEmpty()) {
        // Never written over: the next record tries again.
        setAvailable(false, tr("%1, and it could not be kept aside (%2)").arg(reason, error));
        return;
    }
    m_generation.fetch_add(1);
    m_logger.error(QStringLiteral("History: %1; the file was kept aside and a new history started")
                       .arg(reason));
    const QString message = tr("The history could not be read (%1). It was kept as %2 and "
                               "a new history was started.")
                                .arg(reason, StoragePaths::tildePath(kept));
    announce([this, message] { emit historyReset(message); });
    const HistoryDatabase::Result opened = m_writer->openForWriting(true);
    if (!opened.ok())
        setAvailable(false, opened.reason);
}

void HistoryStore::record(const HistoryEntry& entry)
{
    BackgroundTask::start(m_writerPool, [this, entry] {
        m_pending.append(entry);
        writePending();
    });
}

void HistoryStore::writePending()
{
    if (m_pending.isEmpty())
        return;
    if (!m_writer->isOpen()) {
        const HistoryDatabase::Result opened = m_writer->openForWriting(true);
        if (opened.status == HistoryDatabase::Status::Damaged)
            recover(opened.reason, m_generation.load());
        else if (!opened.ok())
            setAvailable(false, opened.reason);
    }
    QList<HistoryEntry> batch = m_pending;
    HistoryDatabase::Result written =
        m_writer->isOpen()
            ? m_writer->insert(batch)
            : HistoryDatabase::Result{HistoryDatabase::Status::Unavailable, unavailableReason()};
    if (written.status == HistoryDatabase::Status::Damaged) {
        recover(written.reason, m_generation.load());
        if (m_writer->isOpen())
            written = m_writer->insert(batch);
    }
    if (!written.ok()) {
        setAvailable(false, written.reason);
        // The oldest go first when the file stays unusable for long.
        if (m_pending.size() > pendingLimit) {
            m_logger.error(
                QStringLiteral("History: %1 entries could not be kept while the history is "
                               "unavailable")
                    .arg(m_pending.size() - pendingLimit));
            m_pending.erase(m_pending.begin(), m_pending.end() - pendingLimit);
        }
        return;
    }
    m_pending.clear();
    setAvailable(true, {});
    for (const HistoryEntry& stored : std::as_const(batch)) {
        if (stored.sequence > 0)
            announce([this, stored] { emit recorded(stored); });
    }
    m_sincePrune += int(batch.size());
    if (m_sincePrune >= pruneInterval) {
        m_sincePrune = 0;
        const HistoryDatabase::Result pruned =
            m_writer->prune(QDateTime::currentDateTimeUtc(), retentionDays, maximumEntries);
        if (!pruned.ok())
            m_logger.error(QStringLiteral("History: %1").arg(pruned.reason));
    }
}

HistoryDatabase* HistoryStore::reader()
{
    const quint64 generation = m_generation.load();
    if (m_reader && m_reader->isOpen() && m_readerGeneration == generation)
        return m_reader.get();
    if (!m_reader) {
        m_reader = std::make_unique<HistoryDatabase>(m_path);
        // A long filtered read stops as soon as a newer query is asked for.
        m_reader->setInterruptCheck(
            [this] { return m_runningQuery != 0 && m_runningQuery != m_latestQuery.load(); });
    }
    m_readerGeneration = generation;
    const HistoryDatabase::Result opened = m_reader->openForReading();
    if (opened.status == HistoryDatabase::Status::Damaged)
        readerFailed(opened.reason, true);
    return m_reader->isOpen() ? m_reader.get() : nullptr;
}

void HistoryStore::readerFailed(const QString& reason, bool damaged)
{
    m_logger.error(QStringLiteral("History: %1").arg(reason));
    if (!damaged)
        return;
    m_reader->close();
    const quint64 generation = m_readerGeneration;
    BackgroundTask::start(m_writerPool,
                          [this, reason, generation] { recover(reason, generation); });
}

quint64 HistoryStore::query(const QString& filter, int limit, qint64 beforeSequence)
{
    const quint64 request = ++m_nextRequest;
    m_latestQuery.store(request);
    BackgroundTask::start(m_readerPool, [this, request, filter, limit, beforeSequence] {
        if (request != m_latestQuery.load())
            return;
        m_runningQuery = request;
        QList<HistoryEntry> entries;
        bool more = false;
        QString error;
        if (HistoryDatabase* db = reader()) {
            const HistoryDatabase::Result read =
                db->query(filter, limit + 1, beforeSequence, &entries);
            m_runningQuery = 0;
            if (read.status == HistoryDatabase::Status::Interrupted)
                return;
            if (!read.ok()) {
                error = read.reason;
                readerFailed(read.reason, read.status == HistoryDatabase::Status::Damaged);
            }
            more = entries.size() > limit;
            if (more)
                entries.removeLast();
        } else if (QFile::exists(m_path)) {
            error = tr("the history file could not be opened");
        }
        announce([this, request, filter, entries, more, error] {
            emit queryFinished(request, filter, entries, more, error);
        });
    });
    return request;
}

void HistoryStore::loadPredictor(int limit)
{
    BackgroundTask::start(m_readerPool, [this, limit] {
        auto predictor = std::make_shared<DestinationPredictor>();
        QList<HistoryEntry> entries;
        if (HistoryDatabase* db = reader()) {
            const HistoryDatabase::Result read = db->filings(limit, &entries);
            if (!read.ok())
                readerFailed(read.reason, read.status == HistoryDatabase::Status::Damaged);
        }
        predictor->learnAll(entries);
        announce([this, predictor] { emit predictorLoaded(predictor); });
    });
}

void HistoryStore::undoEntry(const QUuid& id)
{
    bool underWay = false;
    {
        const std::lock_guard locker(m_stateLock);
        underWay = m_undosUnderWay.contains(id);
        m_undosUnderWay.insert(id);
    }
    if (underWay) {
        // Reported later, as every other outcome is.
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                emit undoFinished(id, UndoOutcome::Refused,
                                  tr("This action is already being undone"));
            },
            Qt::QueuedConnection);
        return;
    }
    auto finish = [this, id](UndoOutcome outcome, const QString& message) {
        {
            const std::lock_guard locker(m_stateLock);
            m_undosUnderWay.remove(id);
        }
        m_logger.action(
            QStringLiteral("History undo: %1")
                .arg(outcome == UndoOutcome::Restored
                         ? QStringLiteral("restored")
                         : (outcome == UndoOutcome::Refused ? QStringLiteral("refused")
                                                            : QStringLiteral("failed"))));
        announce([this, id, outcome, message] { emit undoFinished(id, outcome, message); });
    };
    // Looked up on the writer, after every record asked for before: an entry recorded a
    // moment ago, or an undo of it, is seen.
    BackgroundTask::start(m_writerPool, [this, id, finish] {
        writePending();
        std::optional<HistoryEntry> entry;
        HistoryDatabase::Result found =
            m_writer->isOpen() ? m_writer->find(id, &entry)
                               : HistoryDatabase::Result{HistoryDatabase::Status::Unavailable,
                                                         unavailableReason()};
        if (!found.ok()) {
            finish(UndoOutcome::Failed, tr("History is unavailable: %1").arg(found.reason));
            return;
        }
        if (!entry) {
            finish(UndoOutcome::Refused, tr("This action is no longer in the history"));
            return;
        }
        BackgroundTask::start(m_undoPool, [this, entry = *entry, finish] {
            const HistoryUndo::Result result = HistoryUndo::undo(entry, *m_trash, *m_mover);
            if (result.outcome != HistoryUndo::Result::Outcome::Restored) {
                finish(result.outcome == HistoryUndo::Result::Outcome::Refused
                           ? UndoOutcome::Refused
                           : UndoOutcome::Failed,
                       result.message);
                return;
            }
            // Reported once the undo is recorded, so that a refreshed list shows it.
            BackgroundTask::start(m_writerPool, [this, result, finish] {
                m_pending.append(result.undone);
                writePending();
                finish(UndoOutcome::Restored, result.message);
            });
        });
    });
}

void HistoryStore::forget()
{
    BackgroundTask::start(m_writerPool, [this] {
        m_pending.clear();
        m_writer->close();
        QString error;
        bool removed = HistoryDatabase::remove(m_path, &error);
        // Damaged histories kept aside name past files as well.
        const QDir folder(FileNaming::parentPath(m_path));
        const QStringList kept = folder.entryList(
            {FileNaming::lastPathComponent(m_path) + QStringLiteral(".bad-*")}, QDir::Files);
        for (const QString& name : kept) {
            if (!QFile::remove(folder.filePath(name))) {
                removed = false;
                error = tr("%1 could not be removed").arg(name);
            }
        }
        m_generation.fetch_add(1);
        const HistoryDatabase::Result opened = m_writer->openForWriting(false);
        if (!removed) {
            m_logger.error(QStringLiteral("History could not be deleted: %1").arg(error));
            announce([this, error] {
                emit forgetFinished(false, tr("The history could not be deleted: %1").arg(error));
            });
            return;
        }
        if (opened.ok())
            setAvailable(true, {});
        else
            setAvailable(false, opened.reason);
        m_logger.action(QStringLiteral("History forgotten"));
        announce([this] { emit forgetFinished(true, tr("History deleted")); });
    });
}
