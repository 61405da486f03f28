#include "views/DestinationSlotRow.h"

#include "models/TriageKeyTable.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

// The texts belong to the palette's translation context, where translators see them beside
// the rest of the column.
DestinationSlotRow::DestinationSlotRow(const DestinationSlot& slot, QWidget* parent)
    : PaletteRow(parent), m_slot(slot)
{
    setObjectName(QStringLiteral("slotRow%1").arg(slot.slot));
    refreshAvailability();
}

void DestinationSlotRow::setSuggested(bool suggested)
{
    if (m_suggested == suggested)
        return;
    m_suggested = suggested;
    refreshAvailability();
}

void DestinationSlotRow::refreshAvailability()
{
    m_available = m_slot.isAvailable();
    setToolTip(m_available ? QString()
                           : QCoreApplication::translate("ActionPaletteView",
                                                         "Volume unmounted or path missing: click "
                                                         "to create the folder"));
    setAccessibleName(QCoreApplication::translate("ActionPaletteView", "Slot %1: %2")
                          .arg(m_slot.slot)
                          .arg(m_slot.name));
    const QString description =
        m_available
            ? QCoreApplication::translate("ActionPaletteView", "Key %1 moves the item to %2")
                  .arg(m_slot.slot)
                  .arg(m_slot.path)
            : QCoreApplication::translate("ActionPaletteView", "Folder missing: %1")
                  .arg(m_slot.path);
    setAccessibleDescription(
        m_suggested
            ? QCoreApplication::translate("ActionPaletteView", "Suggested (%1). %2")
                  .arg(TriageKeyTable::entry(TriageKeyTable::Action::acceptSuggestion).keyName,
                       description)
            : description);
    update();
}

QSize DestinationSlotRow::sizeHint() const
{
    return {columnWidth, twoLineHeight()};
}

void DestinationSlotRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p);
    paintTexts(p);
}

void DestinationSlotRow::paintBackground(QPainter& p)
{
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), 6, 6);
    QColor fill = Theme::controlBackground(palette());
    fill.setAlphaF(0.6);
    if (isDown() || (underMouse() && m_available))
        fill = Theme::accent(palette()).lighter(Theme::isDark(palette()) ? 70 : 180);
    p.fillPath(background, fill);
    if (m_suggested) {
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
        p.setPen(QPen(Theme::accent(palette()), 2));
        p.drawPath(outline);
    }
}

void DestinationSlotRow::paintTexts(QPainter& p)
{
    const QColor secondary = Theme::secondary(palette());
    const QRect inner = rect().adjusted(paddingX, paddingY, -paddingX, -paddingY);
    p.setFont(Theme::font(12, QFont::Bold, true));
    p.setPen(m_available ? Theme::accent(palette()) : secondary);
    p.drawText(QRect(inner.left(), inner.top(), numberWidth, inner.height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("[%1]").arg(m_slot.slot));

    int right = inner.right();
    if (!m_available) {
        const QIcon warning =
            SymbolIcons::icon(QStringLiteral("exclamationmark.triangle.fill"), Theme::orange());
        warning.paint(&p, QRect(right - 13, inner.center().y() - 6, 13, 13));
        right -= 13 + 6;
    }
    const int textLeft = inner.left() + numberWidth + numberGap;
    const QFont nameFont = Theme::font(13, QFont::Medium);
    const QFont pathFont = Theme::font(10);
    const int nameHeight = QFontMetrics(nameFont).height();
    p.setFont(nameFont);
    p.setPen(m_available ? Theme::primary(palette()) : secondary);
    p.drawText(QRect(textLeft, inner.top(), right - textLeft, nameHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(nameFont).elidedText(m_slot.name, Qt::ElideRight, right - textLeft));
    p.setFont(pathFont);
    p.setPen(secondary);
    p.drawText(QRect(textLeft, inner.top() + nameHeight + lineGap, right - textLeft,
                     QFontMetrics(pathFont).height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(pathFont).elidedText(m_slot.path, Qt::ElideMiddle, right - textLeft));
}
