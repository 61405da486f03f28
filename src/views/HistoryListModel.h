#pragma once

#include "models/HistoryEntry.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QUuid>

// The rows of the history window: past actions, newest first, as the history store returns
// them page by page, and the texts each row shows. A row reads to a screen reader as one
// sentence ("report.pdf, moved to Documents, from files.example.org, 5 minutes ago"). A group
// action is one row that names its members ("14 files, moved to Documents, 5 minutes ago:
// scan_001.pdf, scan_002.pdf, ...").
class HistoryListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // downloadsFolder: the watched folder, named "Downloads" in the rows.
    explicit HistoryListModel(const QString& downloadsFolder, QObject* parent = nullptr);

    // A new first page (a new filter, or the same one read again).
    void setEntries(const QList<HistoryEntry>& entries);
    // The next page, below the rows there are; rows already shown are not added twice.
    void appendEntries(const QList<HistoryEntry>& entries);

    const HistoryEntry& entry(int row) const { return m_entries.at(row); }
    qint64 lastSequence() const;
    // -1 when the entry is not among the rows.
    int rowOf(const QUuid& id) const;

    // The action of the entry was put back from this window, before the store's next page
    // says so.
    void markUndone(const QUuid& id);
    bool isUndone(int row) const;
    // A group an undo put back only some members of (the others could not be restored then).
    bool isPartlyUndone(int row) const;
    // Where the item of a row is now, as far as the history knows: where its undo put it
    // back (when that undo is among the rows), else where the action left it. For a group,
    // where its first member is.
    QString currentPath(int row) const;
    // A group's members in short: "scan_001.pdf … scan_014.pdf" ("a.pdf, b.pdf" for two);
    // empty for an action on one item.
    QString memberSummary(int row) const;
    // The names of a group's members, the first maximumNamesListed of them, then how many
    // more there are: "scan_001.pdf, scan_002.pdf, and 3 more".
    QString memberList(int row, const QString& separator) const;
    static constexpr int maximumNamesListed = 30;

    // "Moved to Documents", "Moved to Trash", "Renamed to notes.txt", "Put back in Downloads".
    QString actionText(int row) const;
    // The folder as the rows name it: "Downloads" for the watched folder, else its name.
    QString folderName(const QString& folder) const;
    // The relative time ("5 minutes ago"), against the clock of the model (now unless set).
    QString timeText(int row) const;
    // Rows format their times against this instant; for screenshots and tests.
    void setNow(const QDateTime& now);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // The path an Undone entry among the rows (or a member of one) put the entry with this
    // id back to; empty when none is loaded.
    QString putBackPath(const QUuid& id) const;

    QString m_downloadsFolder;
    QList<HistoryEntry> m_entries;
    QSet<QUuid> m_undoneHere;
    QDateTime m_now;
};
