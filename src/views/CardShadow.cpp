#include "views/CardShadow.h"

#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace {

// One horizontal or vertical pass of a running-sum box blur over an 8-bit alpha image.
void boxBlurPass(QImage& image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int window = 2 * radius + 1;
    std::vector<int> source(length);
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) -> uchar& {
            return horizontal ? image.scanLine(line)[i] : image.scanLine(i)[line];
        };
        for (int i = 0; i < length; ++i)
            source[i] = at(i);
        int sum = 0;
        // Pixels beyond the edges count as transparent.
        for (int i = 0; i <= radius && i < length; ++i)
            sum += source[i];
        for (int i = 0; i < length; ++i) {
            at(i) = uchar(sum / window);
            const int entering = i + radius + 1;
            const int leaving = i - radius;
            if (entering < length)
                sum += source[entering];
            if (leaving >= 0)
                sum -= source[leaving];
        }
    }
}

} // namespace

CardShadow::CardShadow(qreal cornerRadius, int blurRadius, QPoint offset, QColor color)
    : m_cornerRadius(cornerRadius), m_blurRadius(blurRadius), m_offset(offset), m_color(color)
{
}

void CardShadow::paint(QPainter& painter, const QRect& cardRect)
{
    if (cardRect.isEmpty())
        return;
    if (cardRect.size() != m_cachedSize)
        rebuild(cardRect.size());
    painter.drawImage(cardRect.topLeft() + m_offset - QPoint(m_blurRadius, m_blurRadius), m_image);
}

void CardShadow::rebuild(const QSize& cardSize)
{
    m_cachedSize = cardSize;
    const int margin = m_blurRadius;
    QImage mask(cardSize + QSize(2 * margin, 2 * margin), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 255));
        painter.drawRoundedRect(QRectF(QPointF(margin, margin), QSizeF(cardSize)), m_cornerRadius,
                                m_cornerRadius);
    }
    // Three box passes approximate a Gaussian whose spread matches the blur radius.
    const int boxRadius = qMax(1, m_blurRadius / 3);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(mask, boxRadius, true);
        boxBlurPass(mask, boxRadius, false);
    }
    m_image = QImage(mask.size(), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    QPainter painter(&m_image);
    painter.fillRect(m_image.rect(), m_color);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
}
