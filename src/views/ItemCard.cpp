#include "views/ItemCard.h"

#include "views/Theme.h"

#include <QPainter>
#include <QPainterPath>

ItemCard::ItemCard(QWidget* parent) : QWidget(parent) {}

void ItemCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 10, 10);
    p.fillPath(path, Theme::controlBackground(palette()));
}
