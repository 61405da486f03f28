#pragma once

#include <QStyledItemDelegate>

class HistoryListModel;
class HistoryEntry;

// Draws one row of the history window: the action's symbol in its colour, the item's name,
// what was done with it and where (with the website it came from), how long ago, and a tag
// on the rows that were undone and on the undos themselves. A group action's row carries its
// count of files on the symbol, and its first and last member beside its name.
class HistoryRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 48;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // "UNDO" on an undo, "UNDONE" or "PARTLY UNDONE" on what was undone; else none.
    static QString tagText(const HistoryEntry& entry, bool undone, bool partlyUndone);
    static QString detailText(const HistoryListModel& model, int row);
};
