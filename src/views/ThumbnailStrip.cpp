#include "views/ThumbnailStrip.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int verticalPadding = 2;
constexpr int nameGap = 4;
constexpr int tileRadius = 6;

QFont nameFont(const QFont& base)
{
    QFont font = base;
    font.setPixelSize(10);
    return font;
}
} // namespace

ThumbnailStrip::ThumbnailStrip(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void ThumbnailStrip::setEntries(const QList<Entry>& entries)
{
    m_entries = entries;
    m_tiles.clear();
    resize(sizeHint());
    updateGeometry();
    update();
}

void ThumbnailStrip::setThumbnails(const QHash<QString, QImage>& thumbnails)
{
    m_tiles.clear();
    const qreal ratio = devicePixelRatioF();
    const int pixels = qRound(tileSize * ratio);
    for (auto it = thumbnails.cbegin(); it != thumbnails.cend(); ++it) {
        if (it.value().isNull())
            continue;
        // Fill the tile keeping the aspect ratio; the overflow is cropped.
        const QImage filled = it.value().scaled(pixels, pixels, Qt::KeepAspectRatioByExpanding,
                                                Qt::SmoothTransformation);
        QPixmap tile = QPixmap::fromImage(filled.copy(
            (filled.width() - pixels) / 2, (filled.height() - pixels) / 2, pixels, pixels));
        tile.setDevicePixelRatio(ratio);
        m_tiles.insert(it.key(), tile);
    }
    update();
}

QSize ThumbnailStrip::sizeHint() const
{
    const int count = int(m_entries.size());
    const int width = count > 0 ? count * tileSize + (count - 1) * tileSpacing : 0;
    const int height =
        verticalPadding * 2 + tileSize + nameGap + QFontMetrics(nameFont(font())).height();
    return {width, height};
}

QRect ThumbnailStrip::tileRect(int index) const
{
    return {index * (tileSize + tileSpacing), verticalPadding, tileSize, tileSize};
}

int ThumbnailStrip::indexAt(const QPoint& position) const
{
    if (position.x() < 0)
        return -1;
    const int index = position.x() / (tileSize + tileSpacing);
    if (index >= m_entries.size() || position.x() - index * (tileSize + tileSpacing) >= tileSize)
        return -1;
    return index;
}

void ThumbnailStrip::paintEvent(QPaintEvent* event)
{
    if (m_entries.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    QColor outline = pal.color(QPalette::WindowText);
    outline.setAlphaF(0.1f);
    QColor placeholder = Theme::secondary(pal);
    placeholder.setAlphaF(placeholder.alphaF() * 0.6f);
    const QPixmap glyph =
        SymbolIcons::pixmap(QStringLiteral("photo"), 24, placeholder, devicePixelRatioF());
    const QFont font = nameFont(this->font());
    const QFontMetrics metrics(font);
    painter.setFont(font);

    const int step = tileSize + tileSpacing;
    const int first = qMax(0, event->rect().left() / step);
    const int last = qMin(int(m_entries.size()) - 1, event->rect().right() / step);
    for (int i = first; i <= last; ++i) {
        const QRect tile = tileRect(i);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(tile), tileRadius, tileRadius);
        painter.fillPath(shape, pal.color(QPalette::Base));
        const auto thumbnail = m_tiles.constFind(m_entries.at(i).id);
        if (thumbnail != m_tiles.constEnd()) {
            painter.save();
            painter.setClipPath(shape);
            painter.drawPixmap(tile.topLeft(), *thumbnail);
            painter.restore();
        } else {
            painter.drawPixmap(tile.center() - QPoint(12, 12), glyph);
        }
        painter.setPen(QPen(outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(tile).adjusted(0.5, 0.5, -0.5, -0.5), tileRadius,
                                tileRadius);

        const QRect nameRect(tile.left(), tile.bottom() + 1 + nameGap, tileSize,
                             metrics.height() + 2);
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         metrics.elidedText(m_entries.at(i).name, Qt::ElideMiddle, tileSize));
    }
}

void ThumbnailStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int index = indexAt(event->position().toPoint());
        if (index >= 0 && tileRect(index).contains(event->position().toPoint()))
            emit tileClicked(index);
    }
    QWidget::mouseReleaseEvent(event);
}
