#pragma once

#include "models/FolderChildItem.h"

#include <QAbstractListModel>

// The entries of an inspected folder as list rows, in the order given.
class FolderChildListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit FolderChildListModel(QObject* parent = nullptr);

    void setItems(const QList<FolderChildItem>& items);
    const FolderChildItem& item(int row) const { return m_items.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QList<FolderChildItem> m_items;
};
