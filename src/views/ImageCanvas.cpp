#include "views/ImageCanvas.h"

#include "views/SymbolIcons.h"

#include <QMouseEvent>
#include <QPainter>

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ImageCanvas::setImage(const QImage& image)
{
    m_image = image;
    m_scaled = {};
    update();
}

void ImageCanvas::clear()
{
    setImage({});
    m_playBadge = false;
}

void ImageCanvas::setPlayBadgeVisible(bool visible)
{
    if (m_playBadge == visible)
        return;
    m_playBadge = visible;
    setCursor(visible ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

QRect ImageCanvas::imageRect() const
{
    if (m_image.isNull())
        return {};
    const QRect area = rect().adjusted(16, 16, -16, -16);
    QSize size = m_image.size();
    if (size.width() > area.width() || size.height() > area.height())
        size = size.scaled(area.size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    return target;
}

void ImageCanvas::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    const QRect target = imageRect();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = target.size() * ratio;
    if (m_scaled.isNull() || m_scaled.size() != pixels) {
        m_scaled = QPixmap::fromImage(
            m_image.size() == pixels
                ? m_image
                : m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(target.topLeft(), m_scaled);

    if (m_playBadge) {
        painter.setRenderHint(QPainter::Antialiasing);
        const int diameter = 56;
        QRect badge(0, 0, diameter, diameter);
        badge.moveCenter(target.center());
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 140));
        painter.drawEllipse(badge);
        const QPixmap glyph =
            SymbolIcons::pixmap(QStringLiteral("play.fill"), 24, Qt::white, ratio);
        painter.drawPixmap(badge.center() - QPoint(10, 12), glyph);
    }
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && imageRect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
