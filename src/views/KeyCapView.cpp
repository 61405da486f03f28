#include "views/KeyCapView.h"

#include "views/Theme.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int horizontalPadding = 6;
constexpr int verticalPadding = 3;
constexpr qreal cornerRadius = 5;
} // namespace

KeyCapView::KeyCapView(const QString& text, QWidget* parent) : QWidget(parent), m_text(text)
{
    setFont(Theme::font(11, QFont::DemiBold, true));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

QSize KeyCapView::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text) + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

void KeyCapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF cap = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Theme::primary(palette(), 0.15), 1));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawRoundedRect(cap, cornerRadius, cornerRadius);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}
