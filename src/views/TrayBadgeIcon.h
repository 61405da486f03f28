#pragma once

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QList>
#include <QRectF>

class QPainter;

// The tray icon: the broom glyph with the waiting count as a badge, drawn on demand at
// whatever size and device pixel ratio the tray asks for, so that it is sharp at scale 2
// (or 1.5) and not a scaled copy of a small picture.
//
// The badge is red with white bold digits and a white outline: the red reads on a light
// panel, the outline on a dark one, and the digits are white on red on both. One digit
// sits in a disc on the lower right corner; two or three characters ("13", "99+") in a
// rounded box as wide as they need, up to the whole icon, with the digits condensed to fit.
// Below 20 points there is no room for both: two or more characters fill the icon alone.
class TrayBadgeIcon : public QIconEngine
{
public:
    // Where the badge lies in a picture, in device pixels.
    struct Layout
    {
        QRectF pill;           // the badge's outer edge, outline included (empty: no badge)
        qreal radius = 0;      // the corners' radius
        qreal outline = 0;     // the outline's width
        qreal digitHeight = 0; // the height of the digits
        bool showsGlyph = true;
    };

    explicit TrayBadgeIcon(int waitingCount);

    // The sizes offered to tray hosts that pick from a list (StatusNotifierItem).
    static QList<int> sizes() { return {16, 22, 24, 32, 48, 64}; }

    // The badge text for a count: "" when nothing waits, "99+" above 99.
    static QString badgeText(int waitingCount);

    static Layout layout(qreal logicalSize, qreal devicePixelRatio, int waitingCount);

    // One picture of the icon, logicalSize points square at devicePixelRatio (the image
    // has logicalSize * devicePixelRatio pixels and carries the ratio).
    static QImage render(qreal logicalSize, qreal devicePixelRatio, int waitingCount);

    // Paints the icon into the square from (0, 0) with logicalSize * devicePixelRatio
    // pixels on the side, without clipping: nothing may be drawn outside it.
    static void paint(QPainter& painter, qreal logicalSize, qreal devicePixelRatio,
                      int waitingCount);

    // The tray icon for a count.
    static QIcon icon(int waitingCount);

    // QIconEngine
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override { return false; }

private:
    int m_count;
    // Pictures already drawn, by device size and ratio (a tray repaints often).
    QHash<QString, QImage> m_cache;
};
