#include "views/CustomDestinationRow.h"

#include "models/TriageKeyTable.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int symbolSize = 14;
constexpr int symbolGap = 6;

} // namespace

// The texts belong to the palette's translation context, where translators see them beside
// the rest of the column.
CustomDestinationRow::CustomDestinationRow(QWidget* parent) : PaletteRow(parent)
{
    setObjectName(QStringLiteral("customDestinationRow"));
    setAccessibleName(
        QCoreApplication::translate("ActionPaletteView", "Custom Destination (Browse...)"));
    setAccessibleDescription(
        QCoreApplication::translate("ActionPaletteView",
                                    "Key %1 moves the item to a folder you choose")
            .arg(TriageKeyTable::entry(TriageKeyTable::Action::moveToCustomFolder).keyName));
}

void CustomDestinationRow::setStacked(bool stacked)
{
    if (m_stacked == stacked)
        return;
    m_stacked = stacked;
    updateGeometry();
    update();
}

QSize CustomDestinationRow::sizeHint() const
{
    return {columnWidth, m_stacked ? twoLineHeight()
                                   : QFontMetrics(Theme::font(13)).height() + 2 * paddingY + 2};
}

void CustomDestinationRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (isDown() || underMouse()) {
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), 6, 6);
        QColor fill = Theme::controlBackground(palette());
        fill.setAlphaF(0.6);
        p.fillPath(background, fill);
    }
    const QRect inner = rect().adjusted(paddingX, paddingY, -paddingX, -paddingY);
    p.setPen(Theme::secondary(palette()));
    p.setFont(Theme::font(12, QFont::Bold, true));
    p.drawText(QRect(inner.left(), inner.top(), numberWidth, inner.height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("[0]"));
    const QRect captionArea = inner.adjusted(numberWidth + numberGap, 0, 0, 0);
    if (m_stacked)
        paintStackedCaption(p, captionArea);
    else
        paintCaptionWithSymbol(p, captionArea);
}

void CustomDestinationRow::paintStackedCaption(QPainter& p, const QRect& area)
{
    const QFont captionFont = Theme::font(13);
    const QFont browseFont = Theme::font(10);
    const int captionHeight = QFontMetrics(captionFont).height();
    const int textWidth = area.right() - area.left();
    p.setFont(captionFont);
    p.drawText(
        QRect(area.left(), area.top(), textWidth, captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(captionFont)
            .elidedText(QCoreApplication::translate("ActionPaletteView", "Custom Destination"),
                        Qt::ElideRight, textWidth));
    p.setFont(browseFont);
    p.drawText(QRect(area.left(), area.top() + captionHeight + lineGap, textWidth,
                     QFontMetrics(browseFont).height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("ActionPaletteView", "Browse..."));
}

// The one-line caption, with the folder symbol where it has room beside it.
void CustomDestinationRow::paintCaptionWithSymbol(QPainter& p, const QRect& area)
{
    const QFont captionFont = Theme::font(13);
    const int textWidth = area.right() - (symbolSize + symbolGap) - area.left();
    p.setFont(captionFont);
    p.drawText(QRect(area.left(), area.top(), textWidth, area.height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(captionFont)
                   .elidedText(QCoreApplication::translate("ActionPaletteView",
                                                           "Custom Destination (Browse...)"),
                               Qt::ElideRight, textWidth));
    SymbolIcons::icon(QStringLiteral("folder.badge.gearshape"), Theme::secondary(palette()))
        .paint(&p, QRect(area.right() - symbolSize, area.center().y() - 7, symbolSize, symbolSize));
}
