#pragma once

#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>

// Draws one folder entry as a row (icon, name, item count or size, reveal button) and turns
// clicks into row or reveal requests. Rows react to the whole of their rectangle.
class FolderChildRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 28;

    explicit FolderChildRowDelegate(QObject* parent = nullptr);

    // Where the reveal button of a row with rectangle `row` sits.
    static QRect revealRect(const QRect& row);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

signals:
    void rowClicked(int row);
    void revealClicked(int row);

private:
    QIcon fileIcon(const QString& path) const;

    mutable QHash<QString, QIcon> m_iconCache; // by MIME icon name
};
