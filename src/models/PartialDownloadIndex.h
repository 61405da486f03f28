#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

// The partial downloads present in one folder, by the name of the finished item each may
// stand for (see PartialDownloadNames): tells whether an item is held back by a download
// still under way beside it. Plain data for one thread at a time; no file-system access.
class PartialDownloadIndex
{
public:
    // Records that the partial download partialName is in the folder, or is gone from it.
    void update(const QString& partialName, bool present);
    void clear() { m_byFinal.clear(); }
    bool isEmpty() const { return m_byFinal.isEmpty(); }

    // True when a partial download recorded beside finalName shows that the item, of this
    // size (-1 for anything but a regular file), is still being written. stillThere, when
    // given, is asked about each recorded partial download concerned and the ones it denies
    // are forgotten: a removal that went unseen must not hold the item back for ever.
    bool holdsBack(const QString& finalName, qint64 size,
                   const std::function<bool(const QString& partialName)>& stillThere = {});

private:
    QHash<QString, QSet<QString>> m_byFinal;
};
