#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QWidget>

// A row of 80 x 80 image tiles with their names below. Tiles show a placeholder glyph until
// a thumbnail for their id arrives; clicking a tile reports its index. Only the tiles in the
// exposed area are painted, so a folder of thousands of images costs nothing extra.
class ThumbnailStrip : public QWidget
{
    Q_OBJECT
public:
    struct Entry
    {
        QString id;
        QString name;
    };

    static constexpr int tileSize = 80;
    static constexpr int tileSpacing = 10;

    explicit ThumbnailStrip(QWidget* parent = nullptr);

    void setEntries(const QList<Entry>& entries);
    void setThumbnails(const QHash<QString, QImage>& thumbnails);
    int entryCount() const { return int(m_entries.size()); }
    // The tile rectangle of entry `index` in widget coordinates.
    QRect tileRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void tileClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int indexAt(const QPoint& position) const;

    QList<Entry> m_entries;
    QHash<QString, QPixmap> m_tiles; // thumbnails cropped to the tile, by id
};
