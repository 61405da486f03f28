#include "services/FileExecutionEngine.h"

#include "crashreporting/CrashReporter.h"
#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/FileSystemEntry.h"
#include "platform/ItemRevealer.h"
#include "platform/TrashBackend.h"
#include "services/LoggerService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

QString localPath(const QUrl& url)
{
    const QString path = url.toLocalFile();
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

// The record pushed by the latest action on this thread.
thread_local QUuid t_lastRecord;
// The group action the actions on this thread belong to; null outside a group.
thread_local QUuid t_group;

// What the undo history counts as one action: a group's members share their group's key.
QUuid actionKey(const ActionRecord& record)
{
    return record.group.isNull() ? record.id : record.group;
}

// A trash on another disk names the place it restored to as that disk knows it: the
// folder with its links resolved. The queue knows the item by the path it was found at (a
// Downloads folder that is a link keeps its own name there). When both name the same folder,
// the item's own spelling is kept, or the restored item would be queued a second time when
// the watcher reports it under the other spelling.
QString asSpelledIn(const QString& folder, const QString& path)
{
    const QString pathFolder = FileNaming::parentPath(path);
    if (path.isEmpty() || folder == pathFolder)
        return path;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || canonical != QFileInfo(pathFolder).canonicalFilePath())
        return path;
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    return prefix + FileNaming::lastPathComponent(path);
}

} // namespace

FileExecutionEngine::FileExecutionEngine(std::unique_ptr<TrashBackend> trash,
                                         std::shared_ptr<ItemRevealer> revealer,
                                         LoggerService& logger, CrashReporter& reporter,
                                         QObject* parent)
    : QObject(parent), m_trash(std::move(trash)), m_revealer(std::move(revealer)), m_logger(logger),
      m_reporter(reporter)
{
    m_mover.setNoticeSink([this](const QString& message) { m_logger.info(message); });
}

FileExecutionEngine::~FileExecutionEngine() = default;

QUrl FileExecutionEngine::move(const TriageItem& item, const QUrl& destinationFolder)
{
    const QString token = logToken(item);
    m_logger.action(QStringLiteral("Moving item (.%1) to destination").arg(token));

    const QString folder = localPath(destinationFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        const AppError error = destinationMissingError(destinationFolder);
        reportFailure(QStringLiteral("Destination missing"), error);
        throw FileOperationError(error);
    }

    const QString name = item.suggestedFilename && !item.suggestedFilename->isEmpty()
                             ? *item.suggestedFilename
                             : item.filename;
    // A name with "/" or ".." would place the item outside the chosen folder.
    const QString reason = FileNaming::invalidComponentReason(name);
    if (!reason.isEmpty())
        throw FileOperationError(AppError{errorDomain(), invalidNameCode, reason});

    const QString finalPath = moveToFreeName(localPath(item.url), folder + QLatin1Char('/') + name);
    const QUrl finalUrl = QUrl::fromLocalFile(finalPath);
    ActionRecord record(ActionRecord::ActionType::moved(item.url, finalUrl), item);
    // Read from the result: after a copy onto another disk it is a new file.
    record.placed = FileSystemEntry::identityAt(finalPath);
    push(record);
    m_logger.info(QStringLiteral("Moved item (.%1) successfully").arg(token));
    return finalUrl;
}

QUrl FileExecutionEngine::trash(const TriageItem& item)
{
    const QString token = logToken(item);
    m_logger.action(QStringLiteral("Trashing item (.%1)").arg(token));

    TrashBackend::Trashed trashed;
    try {
        trashed = m_trash->moveToTrash(localPath(item.url));
    } catch (const FileOperationError& failure) {
        reportFailure(QStringLiteral("FileManager.trashItem failed for item (.%1)").arg(token),
                      failure.error());
        throw;
    }

    const QUrl trashedUrl = trashed.path.isEmpty() ? item.url : QUrl::fromLocalFile(trashed.path);
    ActionRecord record(ActionRecord::ActionType::trashed(trashedUrl), item);
    record.placed = FileSystemEntry::identityAt(localPath(trashedUrl));
    record.trashRecord = trashed.record;
    record.trashRecordIdentity = trashed.recordIdentity;
    push(record);
    m_logger.info(QStringLiteral("Successfully trashed item (.%1)").arg(token));
    return trashedUrl;
}

QUrl FileExecutionEngine::rename(const TriageItem& item, const QString& newFilename)
{
    // The name must stay one component of the item's own folder.
    const QString reason = FileNaming::invalidComponentReason(newFilename);
    if (!reason.isEmpty())
        throw FileOperationError(AppError{errorDomain(), invalidNameCode, reason});

    const QString source = localPath(item.url);
    const QString finalPath =
        moveToFreeName(source, FileNaming::parentPath(source) + QLatin1Char('/') + newFilename);
    const QUrl finalUrl = QUrl::fromLocalFile(finalPath);
    ActionRecord record(ActionRecord::ActionType::renamed(item.url, finalUrl), item);
    record.placed = FileSystemEntry::identityAt(finalPath);
    push(record);
    return finalUrl;
}

std::optional<ActionRecord> FileExecutionEngine::undo()
{
    std::optional<UndoResult> result = undoLast();
    if (!result)
        return std::nullopt;
    return result->record;
}

std::optional<FileExecutionEngine::UndoResult> FileExecutionEngine::undoLast()
{
    std::optional<ActionRecord> record;
    bool emptied = false;
    {
        std::lock_guard guard(m_lock);
        if (m_undoStack.empty())
            return std::nullopt;
        record = m_undoStack.back();
        m_undoStack.pop_back();
        emptied = m_undoStack.empty();
    }
    // Signals go out after the lock is released, so that no receiver runs while it is held.
    if (emptied)
        emit canUndoChanged(false);
    return undoKeepingCancelled(*record);
}

std::optional<FileExecutionEngine::UndoResult>
FileExecutionEngine::undoAction(const QUuid& recordId)
{
    std::optional<ActionRecord> record;
    bool emptied = false;
    {
        std::lock_guard guard(m_lock);
        const auto found = std::find_if(m_undoStack.begin(), m_undoStack.end(),
                                        [&](const ActionRecord& r) { return r.id == recordId; });
        if (recordId.isNull() || found == m_undoStack.end())
            return std::nullopt;
        record = *found;
        m_undoStack.erase(found);
        emptied = m_undoStack.empty();
    }
    if (emptied)
        emit canUndoChanged(false);
    return undoKeepingCancelled(*record);
}

std::optional<FileExecutionEngine::UndoResult>
FileExecutionEngine::undoKeepingCancelled(const ActionRecord& record)
{
    try {
        return undoRecord(record);
    } catch (const FileOperationError& failure) {
        // A cancelled undo changed nothing: the action can still be undone later.
        if (failure.error().code == CancelToken::cancelledCode) {
            bool wasEmpty = false;
            {
                std::lock_guard guard(m_lock);
                wasEmpty = m_undoStack.empty();
                m_undoStack.push_back(record);
            }
            if (wasEmpty)
                emit canUndoChanged(true);
        }
        throw;
    }
}

QUuid FileExecutionEngine::lastRecordOnThisThread()
{
    return t_lastRecord;
}

FileExecutionEngine::GroupScope::GroupScope(const QUuid& group) : m_previous(t_group)
{
    t_group = group;
}

FileExecutionEngine::GroupScope::~GroupScope()
{
    t_group = m_previous;
}

QList<ActionRecord> FileExecutionEngine::latestAction() const
{
    std::lock_guard guard(m_lock);
    QList<ActionRecord> records;
    if (m_undoStack.empty())
        return records;
    const QUuid key = actionKey(m_undoStack.back());
    for (const ActionRecord& record : m_undoStack) {
        if (actionKey(record) == key)
            records.append(record);
    }
    return records;
}

FileExecutionEngine::UndoResult FileExecutionEngine::undoRecord(const ActionRecord& record)
{
    using Outcome = UndoResult::Outcome;
    UndoResult result{record, Outcome::Restored, {}, {}, {}};
    auto refuse = [&result](const QString& reason) {
        result.outcome = Outcome::Replaced;
        result.refusal = reason;
        return result;
    };

    using Kind = ActionRecord::ActionType::Kind;
    if (record.type.kind == Kind::Trashed) {
        const QString trashed = localPath(record.type.originalURL());
        const QString itemPath = localPath(record.item.url);
        result.intendedURL = record.item.url;
        if (!FileSystemEntry::existsAt(trashed)) {
            result.outcome = Outcome::Gone; // emptied from the trash since
            return result;
        }
        // The same name in the trash may hold another item now: one trashed later, after
        // this one was restored or deleted by another program.
        if (!record.placed.isSameEntry(FileSystemEntry::identityAt(trashed)))
            return refuse(QStringLiteral("the item in the Trash is not the one trashed"));
        TrashBackend::Restored restored;
        try {
            restored = m_trash->restoreFromTrash(
                TrashBackend::Trashed{trashed, record.trashRecord, record.trashRecordIdentity},
                itemPath);
        } catch (const FileOperationError& failure) {
            if (failure.error().code != TrashBackend::recordReplacedCode)
                throw;
            return refuse(QStringLiteral("the Trash's record of the item was replaced"));
        }
        const QString folder = FileNaming::parentPath(itemPath);
        result.restoredURL = QUrl::fromLocalFile(asSpelledIn(folder, restored.path));
        result.intendedURL = QUrl::fromLocalFile(asSpelledIn(folder, restored.originalPath));
        return result;
    }

    const QString current = localPath(record.type.to);
    const QString earlier = localPath(record.type.from);
    result.intendedURL = record.type.from;
    if (!FileSystemEntry::existsAt(current)) {
        result.outcome = Outcome::Gone; // deleted since: nothing to put back
        return result;
    }
    if (!record.placed.isSameEntry(FileSystemEntry::identityAt(current)))
        return refuse(QStringLiteral("the item at its new place was replaced or changed"));
    try {
        // Back to exactly the earlier path: never under another name, never over
        // something that stands there now.
        m_mover.move(current, earlier, {}, progressReporter());
    } catch (const FileOperationError& failure) {
        if (!failure.isErrno(EEXIST))
            throw;
        throw FileOperationError(
            AppError{failure.error().domain, EEXIST,
                     tr("Cannot undo: \"%1\" already exists where the item was; nothing "
                        "was replaced.")
                         .arg(FileNaming::lastPathComponent(earlier))});
    }
    result.restoredURL = record.type.from;
    return result;
}

FileMover::Progress FileExecutionEngine::progressReporter()
{
    // One reporter per operation; it runs on the operation's thread.
    auto clock = std::make_shared<QElapsedTimer>();
    return [this, clock](qint64 done, qint64 total) {
        if (clock->isValid() && clock->elapsed() < 200 && done < total)
            return;
        clock->start();
        emit copyProgress(done, total);
    };
}

std::optional<ActionRecord> FileExecutionEngine::record(const QUuid& id) const
{
    std::lock_guard guard(m_lock);
    const auto found = std::find_if(m_undoStack.cbegin(), m_undoStack.cend(),
                                    [&id](const ActionRecord& kept) { return kept.id == id; });
    if (found == m_undoStack.cend())
        return std::nullopt;
    return *found;
}

bool FileExecutionEngine::canUndo() const
{
    std::lock_guard guard(m_lock);
    return !m_undoStack.empty();
}

int FileExecutionEngine::undoCount() const
{
    std::lock_guard guard(m_lock);
    return int(m_undoStack.size());
}

int FileExecutionEngine::actionCount() const
{
    std::lock_guard guard(m_lock);
    QSet<QUuid> actions;
    for (const ActionRecord& record : m_undoStack)
        actions.insert(actionKey(record));
    return int(actions.size());
}

void FileExecutionEngine::clearUndoHistory()
{
    {
        std::lock_guard guard(m_lock);
        if (m_undoStack.empty())
            return;
        m_undoStack.clear();
    }
    emit canUndoChanged(false);
}

QString FileExecutionEngine::resolveCollision(const QString& destinationPath)
{
    if (!FileSystemEntry::existsAt(destinationPath))
        return destinationPath;
    const QString folder = FileNaming::parentPath(destinationPath);
    const QString name = FileNaming::lastPathComponent(destinationPath);
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    for (int n = 1;; ++n) {
        const QString candidate = prefix + FileNaming::numberedName(name, n);
        if (!FileSystemEntry::existsAt(candidate))
            return candidate;
    }
}

QString FileExecutionEngine::logToken(const TriageItem& item)
{
    const QString path = item.url.isLocalFile() ? item.url.toLocalFile() : item.url.path();
    const QString extension = FileNaming::pathExtension(FileNaming::lastPathComponent(path));
    return extension.isEmpty() ? QStringLiteral("file") : extension;
}

AppError FileExecutionEngine::destinationMissingError(const QUrl& destinationFolder)
{
    const QString path = destinationFolder.isLocalFile() ? destinationFolder.toLocalFile()
                                                         : destinationFolder.path();
    return AppError{
        errorDomain(), destinationMissingCode,
        tr("Destination directory does not exist: %1").arg(FileNaming::lastPathComponent(path))};
}

QString FileExecutionEngine::moveToFreeName(const QString& source, const QString& candidate)
{
    // The free name is found first; when another writer takes it before the rename lands,
    // the mover asks for the next one.
    return m_mover.move(
        source, resolveCollision(candidate), [candidate] { return resolveCollision(candidate); },
        progressReporter());
}

void FileExecutionEngine::push(const ActionRecord& record)
{
    bool wasEmpty = false;
    {
        std::lock_guard guard(m_lock);
        wasEmpty = m_undoStack.empty();
        m_undoStack.push_back(record);
        m_undoStack.back().group = t_group;
        trimUndoStack();
    }
    t_lastRecord = record.id;
    if (wasEmpty)
        emit canUndoChanged(true);
}

void FileExecutionEngine::trimUndoStack()
{
    // Most actions are single records: only count when the records alone exceed the bound.
    while (m_undoStack.size() > size_t(maxUndoHistory)) {
        QSet<QUuid> actions;
        for (const ActionRecord& kept : m_undoStack)
            actions.insert(actionKey(kept));
        if (actions.size() <= maxUndoHistory)
            return;
        // The oldest action goes whole: a group is never left half undoable.
        const QUuid oldest = actionKey(m_undoStack.front());
        std::erase_if(m_undoStack,
                      [&oldest](const ActionRecord& kept) { return actionKey(kept) == oldest; });
    }
}

void FileExecutionEngine::reportFailure(const QString& message, const AppError& error)
{
    // The line is composed here and the error reported once: the logger's error(message,
    // error) would record it with the crash reporter a second time.
    m_logger.error(message + QStringLiteral(" | Error: ") + error.localizedDescription);
    m_reporter.recordError(error);
}
