#pragma once

#include "models/HistoryEntry.h"
#include "models/TriageItem.h"
#include "services/ActionJobControl.h"
#include "services/ActionTicket.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

// One operation of the triage actions as the GUI thread keeps it while it waits or runs on
// the worker: what it does and to which items, the paths it holds in flight, its progress,
// and the words the window uses for it ("Moving report.pdf to Documents", "Move notes.txt to
// Documents", "Cancelled moving ..."). The worker sees only its control and its ticket.
struct ActionJob
{
    Q_DECLARE_TR_FUNCTIONS(ActionJob)

public:
    enum class Kind { Move, Trash, Rename, Undo, Maintenance };

    QUuid id;
    Kind kind = Kind::Move;
    QString name;        // for the log: extensions only
    QString itemName;    // for the status line
    QString destination; // folder name of a move
    bool holdsLock = true;
    bool late = false;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    // When it became the running one and when it last made progress (clock times).
    qint64 runningSinceNs = 0;
    qint64 progressNs = 0;
    bool cancelling = false;
    bool stalled = false;
    // Moves and the trash: the item, put back when the action is cancelled.
    std::optional<TriageItem> item;
    std::shared_ptr<ActionJobControl> control;
    QList<QUrl> inFlight;
    // File actions: their outcome, and whether an undo already queued behind claims it.
    std::shared_ptr<ActionTicket> ticket;
    bool undoClaimed = false;
    // How the history records the action when it succeeds (Skipped: not at all).
    HistoryEntry::Action historyAction = HistoryEntry::Action::Skipped;
    int slot = 0;
    // A group action: its members in order (item is unset) and their sizes, the members
    // done, and the bytes done of the member running. A group undo runs as a series too.
    QList<TriageItem> members;
    QList<qint64> memberBytes;
    int filesDone = 0;
    qint64 memberBytesDone = 0;
    bool series = false;

    // The file actions as asked for, before their items are known: a move into a slot, or into
    // a folder chosen by hand, and a move to the Trash. subject is what the log calls what
    // moves: ".pdf" for one item, "3 items (.pdf)" for a group.
    static ActionJob moveToSlot(const QString& subject, const QString& slotName, int slot);
    static ActionJob moveToFolder(const QString& subject, const QString& folderName);
    static ActionJob toTrash(const QString& subject);

    bool isGroup() const { return !members.isEmpty(); }
    // What a group's members amount to while it runs.
    qint64 groupBytesDone() const;
    qint64 groupBytesTotal() const;
    // Notes progress of the copy running: of the one item, or of the member running.
    // True when it moved on since the last report.
    bool noteProgress(qint64 done, qint64 total);

    // "the move of report.pdf to Documents"; empty for an undo or housekeeping.
    QString describe() const;
    // describe(), or "the running action" when that is empty.
    QString describeOrRunning() const;
    // "Moving report.pdf to Documents"
    QString runningText() const;
    // "Move report.pdf to Documents": as it waits behind the running one.
    QString waitingText() const;
    // "Cancelled moving report.pdf to Documents; it is back in the queue"
    QString cancelledText() const;
    // "Still moving a.iso to USB: 1.2 GB of 4.0 GB", or "Still undoing…" without a count.
    QString progressText() const;
    // "the Trash" or the destination folder's name.
    QString whereText() const;

    // "it is back in the queue", "8 are back in the queue", "all 14 are back in the queue"
    static QString backInQueueText(qsizetype back, qsizetype total);
};
