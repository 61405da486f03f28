#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The soft shadow a floating card casts: a rounded rectangle blurred and offset. The
// blurred image is made once per card size and reused on every paint.
class CardShadow
{
public:
    CardShadow(qreal cornerRadius, int blurRadius, QPoint offset, QColor color);

    // Paints the shadow of a card occupying cardRect (in the painter's coordinates).
    void paint(QPainter& painter, const QRect& cardRect);

    // How far the shadow reaches beyond the card on each side.
    int reach() const { return m_blurRadius + qMax(qAbs(m_offset.x()), qAbs(m_offset.y())); }

private:
    void rebuild(const QSize& cardSize);

    qreal m_cornerRadius;
    int m_blurRadius;
    QPoint m_offset;
    QColor m_color;
    QSize m_cachedSize;
    QImage m_image;
};
