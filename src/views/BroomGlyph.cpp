#include "views/BroomGlyph.h"

#include "views/TrayBadgeIcon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

void BroomGlyph::draw(QPainter& painter, bool itemsWaiting, const QColor& color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The geometry's y axis points up; Qt's points down.
    painter.translate(0, canvasSize);
    painter.scale(1, -1);

    painter.save();
    const qreal origin = itemsWaiting ? 9.8 : 9.0;
    painter.translate(origin, origin);
    painter.rotate(45.0); // counter-clockwise, as the axes are y-up here
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);

    QPainterPath handle;
    handle.addRoundedRect(QRectF(-0.9, 1.0, 1.8, 6.8), 0.9, 0.9);
    painter.drawPath(handle);

    QPainterPath band;
    band.addRoundedRect(QRectF(-2.8, -0.2, 5.6, 1.8), 0.8, 0.8);
    painter.drawPath(band);

    QPainterPath head;
    head.moveTo(-2.2, -0.2);
    head.lineTo(2.2, -0.2);
    head.quadTo(3.8, -3.5, 4.8, -6.5);
    head.quadTo(0.0, -5.8, -4.8, -6.5);
    head.quadTo(-3.8, -3.5, -2.2, -0.2);
    head.closeSubpath();
    painter.drawPath(head);

    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QPen gap(Qt::transparent, 0.8);
    painter.setPen(gap);
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(-1.6, -6.0), QPointF(-0.9, -2.0));
    painter.drawLine(QPointF(1.6, -6.0), QPointF(0.9, -2.0));
    painter.restore();

    if (itemsWaiting) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QPen motion(color, 1.3, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(motion);
        painter.setBrush(Qt::NoBrush);
        QPainterPath stroke;
        stroke.moveTo(12.0, 1.8);
        stroke.quadTo(2.0, 2.0, 1.8, 12.0);
        painter.drawPath(stroke);
    }
    painter.restore();
}

QString BroomGlyph::badgeText(int waitingCount)
{
    return TrayBadgeIcon::badgeText(waitingCount);
}

QImage BroomGlyph::renderGlyph(int pixels, bool itemsWaiting)
{
    const qreal scale = pixels / canvasSize;

    // The glyph itself, light, and a dark copy for the halo beneath it.
    auto glyphImage = [&](const QColor& color) {
        QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(scale, scale);
        draw(p, itemsWaiting, color);
        return image;
    };
    const QImage light = glyphImage(QColor(0xf5, 0xf5, 0xf5));
    const QImage dark = glyphImage(QColor(0x20, 0x20, 0x20, 200));

    QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter p(&result);
    const qreal halo = std::max<qreal>(1.0, pixels / 48.0);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy)
                p.drawImage(QPointF(dx * halo, dy * halo), dark);
    p.drawImage(0, 0, light);
    return result;
}

QImage BroomGlyph::render(int pixels, int waitingCount)
{
    return TrayBadgeIcon::render(pixels, 1.0, waitingCount);
}

QIcon BroomGlyph::icon(int waitingCount)
{
    return TrayBadgeIcon::icon(waitingCount);
}
