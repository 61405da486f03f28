#pragma once

#include <QStyledItemDelegate>

// Draws one archive entry as a row: a folder or document glyph (a warning glyph for a name
// that would unpack outside its folder), the name shortened in the middle, and the declared
// size. Reads the roles below from a plain item model.
class ArchiveEntryDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 26;

    enum Role {
        SizeTextRole = Qt::UserRole + 1, // the size as shown ("" for folders, "→ target")
        IsFolderRole,
        EscapesRole,
    };

    explicit ArchiveEntryDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
