#include "views/PaletteRow.h"

#include "views/Theme.h"

PaletteRow::PaletteRow(QWidget* parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int PaletteRow::twoLineHeight()
{
    return paddingY + QFontMetrics(Theme::font(13, QFont::Medium)).height() + lineGap +
           QFontMetrics(Theme::font(10)).height() + paddingY;
}

void PaletteRow::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    update();
}

void PaletteRow::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    update();
}
