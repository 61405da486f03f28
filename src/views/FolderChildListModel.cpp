#include "views/FolderChildListModel.h"

FolderChildListModel::FolderChildListModel(QObject* parent) : QAbstractListModel(parent) {}

void FolderChildListModel::setItems(const QList<FolderChildItem>& items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

int FolderChildListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant FolderChildListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const FolderChildItem& entry = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::ToolTipRole:
        return entry.name;
    default:
        return {};
    }
}
