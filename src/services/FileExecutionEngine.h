#pragma once

#include "models/ActionRecord.h"
#include "models/AppError.h"
#include "models/TriageItem.h"
#include "platform/FileMover.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <deque>
#include <memory>
#include <mutex>
#include <optional>

class CrashReporter;
class ItemRevealer;
class LoggerService;
class TrashBackend;

// Carries out the file actions of a triage decision (move to a folder, move to the trash,
// rename in place), keeps each successful one on an undo stack and undoes the latest on
// request. It is the only code that changes the user's downloaded files, and it never
// overwrites one: every move and rename lands under a name nobody else holds. Each undo
// record keeps the identity of the entry its action left behind, and an undo acts on that
// entry only: whatever else stands in its place later is left alone.
//
// Every operation is synchronous on the caller's thread (the HUD calls them off the GUI
// thread) and throws FileOperationError on failure. A move or undo that copies onto another
// file system stops when the calling thread's CancelToken is cancelled: the error's code is
// then CancelToken::cancelledCode and nothing changed (a cancelled undo keeps its record).
// The undo stack is guarded by one mutex, never held while another call takes it; file
// operations run outside it.
//
// A group action (one key for a batch of look-alike items) is one move or trash per member,
// made under a GroupScope: its records carry the group's id, and the undo history counts
// the group as one action, however many members it has.
class FileExecutionEngine : public QObject
{
    Q_OBJECT
public:
    // Actions kept for undo: a group counts once, with all its members' records.
    static constexpr int maxUndoHistory = 50;
    static constexpr int destinationMissingCode = 404;
    static constexpr int invalidNameCode = 400;
    static QString errorDomain() { return QStringLiteral("com.stowbird.fileengine"); }

    FileExecutionEngine(std::unique_ptr<TrashBackend> trash, std::shared_ptr<ItemRevealer> revealer,
                        LoggerService& logger, CrashReporter& reporter, QObject* parent = nullptr);
    ~FileExecutionEngine() override;

    // Moves the item into destinationFolder, under its suggested name when it has one, and
    // returns its final URL. Throws the "destination missing" error when the folder does
    // not exist or is not a folder.
    virtual QUrl move(const TriageItem& item, const QUrl& destinationFolder);
    // Moves the item to the trash and returns its URL inside the trash.
    virtual QUrl trash(const TriageItem& item);
    // Renames the item in its folder and returns its final URL. newFilename must be one
    // path component: names that are empty, ".", ".." or hold "/" or NUL are refused.
    virtual QUrl rename(const TriageItem& item, const QString& newFilename);
    // What an undo did.
    struct UndoResult
    {
        enum class Outcome {
            Restored, // the item is back, at restoredURL
            Gone,     // nothing is at the place the action left it (deleted, or no longer
                      // in the trash): nothing could be put back
            Replaced, // what is there now is not what the action left (replaced or changed
                      // since, or the trash's record of it is another one): left untouched
        };
        ActionRecord record;
        Outcome outcome = Outcome::Restored;
        // Where the item is now; empty unless it was restored. The record is dropped in
        // every case.
        QUrl restoredURL;
        // Where it was meant to go back to; differs from restoredURL when an item restored
        // from the trash found its place taken and got the next free name.
        QUrl intendedURL;
        // Replaced: why, for the log (no file names).
        QString refusal;
    };

    // Undoes the latest action; nothing when there was none. The item is put back only when
    // what stands at the place the action left it is still the entry the action put there
    // (and, for the trash, the trash still holds the record written then); otherwise nothing
    // is touched and the outcome says why. A moved or renamed item goes back to where it was
    // (never over something that is there now); a trashed item is restored from the trash to
    // where it was, under the next free name when that place is taken. Throws when putting
    // the item back fails; the record is lost then.
    virtual std::optional<UndoResult> undoLast();
    // Undoes the action whose record has recordId, as undoLast() does; nothing when no such
    // record is kept (the action failed, was undone already or fell off the history).
    std::optional<UndoResult> undoAction(const QUuid& recordId);
    // undoLast(), for callers that need only the record.
    std::optional<ActionRecord> undo();

    // The id of the undo record pushed by the latest successful move, trash or rename made
    // on the calling thread; null before any. Compared before and after an action, it tells
    // a caller that runs actions on a worker thread which record is that action's, so that
    // an undo can be bound to exactly that action.
    static QUuid lastRecordOnThisThread();

    // While it lives, the records pushed by actions on the calling thread are members of the
    // group action with this id.
    class GroupScope
    {
    public:
        explicit GroupScope(const QUuid& group);
        ~GroupScope();
        GroupScope(const GroupScope&) = delete;
        GroupScope& operator=(const GroupScope&) = delete;

    private:
        QUuid m_previous;
    };

    // The records of the latest action still kept, oldest first: one, or every member of a
    // group still kept; empty when there is none.
    QList<ActionRecord> latestAction() const;

    // The undo record with this id while the engine still keeps it (the action succeeded and
    // was neither undone nor pushed off the history since); what the lasting history records.
    std::optional<ActionRecord> record(const QUuid& id) const;

    bool canUndo() const;
    // Records kept (a group's members each count).
    int undoCount() const;
    // Actions kept (a group counts once).
    int actionCount() const;
    void clearUndoHistory();

    // The candidate itself when nothing exists at its path, else the first free
    // "base (n).ext" beside it. A dangling link counts as existing.
    static QString resolveCollision(const QString& destinationPath);

    // The token that stands for an item in log lines: its extension, unchanged, or "file".
    static QString logToken(const TriageItem& item);

    // The "destination missing" error for a destination folder.
    static AppError destinationMissingError(const QUrl& destinationFolder);

    // The mover used for moves, renames and undo; tests install a fault hook on it.
    FileMover& mover() { return m_mover; }

signals:
    // Fires when canUndo() changes (from the thread that changed it).
    void canUndoChanged(bool canUndo);
    // Progress of a copy onto another file system during a move or an undo, from the
    // thread that runs it, at most a few times a second and once at the end.
    void copyProgress(qint64 bytesDone, qint64 bytesTotal);

private:
    QString moveToFreeName(const QString& source, const QString& candidate);
    FileMover::Progress progressReporter();
    void push(const ActionRecord& record);
    // Drops the oldest actions, whole, while more than maxUndoHistory are kept. Under m_lock.
    void trimUndoStack();
    UndoResult undoRecord(const ActionRecord& record);
    // undoRecord(), putting the record back when the undo was cancelled.
    std::optional<UndoResult> undoKeepingCancelled(const ActionRecord& record);
    void reportFailure(const QString& message, const AppError& error);

    std::unique_ptr<TrashBackend> m_trash;
    std::shared_ptr<ItemRevealer> m_revealer;
    LoggerService& m_logger;
    CrashReporter& m_reporter;
    FileMover m_mover;

    mutable std::mutex m_lock;
    std::deque<ActionRecord> m_undoStack;
};
