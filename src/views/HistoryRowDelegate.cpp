#include "views/HistoryRowDelegate.h"

#include "views/HistoryListModel.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int paddingX = 10;
constexpr int badgeSize = 28;
constexpr int glyphSize = 15;
constexpr int gap = 10;

struct Look
{
    QString symbol;
    QColor color;
};

Look lookOf(HistoryEntry::Action action, const QPalette& palette)
{
    switch (action) {
    case HistoryEntry::Action::MovedToSlot:
    case HistoryEntry::Action::MovedToFolder:
        return {QStringLiteral("folder.fill"), Theme::accent(palette)};
    case HistoryEntry::Action::Trashed:
        return {QStringLiteral("trash"), Theme::red()};
    case HistoryEntry::Action::Renamed:
        return {QStringLiteral("pencil.line"), Theme::orange()};
    case HistoryEntry::Action::Skipped:
        return {QStringLiteral("forward"), Theme::secondary(palette)};
    case HistoryEntry::Action::Undone:
        return {QStringLiteral("arrow.uturn.backward"), Theme::green()};
    }
    return {QStringLiteral("doc"), Theme::secondary(palette)};
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

// Where a row's parts go: the symbol's badge at the left of the cell, then two lines of text
// (the name, and under it what was done), with the time and the tag in a column at the right.
struct RowGeometry
{
    QRectF cell;
    QRectF badge;
    qreal textLeft = 0;
    qreal right = 0;
    qreal lineTop = 0;
    qreal lineHeight = 0;
    qreal detailTop = 0;
};

RowGeometry rowGeometry(const QRect& rect)
{
    RowGeometry g;
    g.cell = QRectF(rect).adjusted(2, 1, -2, -1);
    g.badge = QRectF(g.cell.left() + paddingX, g.cell.center().y() - badgeSize / 2.0, badgeSize,
                     badgeSize);
    g.textLeft = g.badge.right() + gap;
    g.right = g.cell.right() - paddingX;
    g.lineTop = g.cell.top() + 7;
    g.lineHeight = QFontMetrics(Theme::font(13, QFont::Medium)).height();
    g.detailTop = g.lineTop + g.lineHeight + 1;
    return g;
}

// The selected row outlined in the accent colour, the one under the pointer tinted.
void paintHighlight(QPainter* painter, const QStyleOptionViewItem& option, const QRectF& cell)
{
    const QPalette& pal = option.palette;
    if (option.state & QStyle::State_Selected) {
        painter->setPen(QPen(withAlpha(Theme::accent(pal), 0.55), 1));
        painter->setBrush(withAlpha(Theme::accent(pal), Theme::isDark(pal) ? 0.28 : 0.14));
        painter->drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    } else if (option.state & QStyle::State_MouseOver) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Theme::primary(pal, 0.05));
        painter->drawRoundedRect(cell, 8, 8);
    }
}

// A group's badge carries its count of files on its lower corner.
void paintGroupCount(QPainter* painter, const HistoryEntry& entry, const Look& look,
                     const QRectF& badge, const QPalette& pal)
{
    const QFont countFont = Theme::font(9, QFont::Bold);
    const QFontMetrics countMetrics(countFont);
    const QString count = QString::number(entry.members.size());
    const qreal height = countMetrics.height();
    const qreal width = qMax(height, countMetrics.horizontalAdvance(count) + 6.0);
    const QRectF pill(badge.right() - width + 5, badge.bottom() - height + 4, width, height);
    painter->setPen(QPen(pal.color(QPalette::Base), 1.5));
    painter->setBrush(look.color);
    painter->drawRoundedRect(pill, height / 2, height / 2);
    painter->setFont(countFont);
    painter->setPen(Qt::white);
    painter->drawText(pill, Qt::AlignCenter, count);
}

// The action's symbol on a tinted rounded square, faded on a row that was undone.
void paintBadge(QPainter* painter, const HistoryEntry& entry, bool undone, const QRectF& badge,
                const QPalette& pal)
{
    const Look look = lookOf(entry.action, pal);
    painter->setOpacity(undone ? 0.45 : 1.0);
    painter->setPen(Qt::NoPen);
    painter->setBrush(withAlpha(look.color, Theme::isDark(pal) ? 0.22 : 0.13));
    painter->drawRoundedRect(badge, 7, 7);
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->drawPixmap(
        QPointF(badge.center().x() - glyphSize / 2.0, badge.center().y() - glyphSize / 2.0),
        SymbolIcons::pixmap(look.symbol, glyphSize, look.color, ratio));
    if (entry.isGroup())
        paintGroupCount(painter, entry, look, badge, pal);
    painter->setOpacity(1.0);
}

// The time at the top of the right column; returns its width.
qreal paintTime(QPainter* painter, const QString& time, const RowGeometry& g, const QPalette& pal)
{
    const QFont timeFont = Theme::font(11);
    const qreal timeWidth = QFontMetrics(timeFont).horizontalAdvance(time);
    painter->setFont(timeFont);
    painter->setPen(Theme::secondary(pal));
    painter->drawText(QRectF(g.right - timeWidth, g.lineTop, timeWidth, g.lineHeight),
                      Qt::AlignRight | Qt::AlignVCenter, time);
    return timeWidth;
}

// The tag under the time (an undo in green, a row undone in grey); returns where the detail
// line must end to leave room for it.
qreal paintTag(QPainter* painter, const QString& tag, bool isUndo, const RowGeometry& g,
               const QPalette& pal)
{
    if (tag.isEmpty())
        return g.right;
    const QFont tagFont = Theme::font(9, QFont::Bold);
    const QFontMetrics tagMetrics(tagFont);
    const qreal tagWidth = tagMetrics.horizontalAdvance(tag) + 10;
    const qreal tagHeight = tagMetrics.height() + 2;
    const QRectF tagRect(g.right - tagWidth, g.detailTop + 1, tagWidth, tagHeight);
    const QColor tagColor = isUndo ? Theme::green() : Theme::secondary(pal);
    painter->setPen(QPen(withAlpha(tagColor, 0.7), 1));
    painter->setBrush(withAlpha(tagColor, 0.12));
    painter->drawRoundedRect(tagRect.adjusted(0.5, 0.5, -0.5, -0.5), tagHeight / 2, tagHeight / 2);
    painter->setFont(tagFont);
    painter->setPen(isUndo && !Theme::isDark(pal) ? Theme::green().darker(130) : tagColor);
    painter->drawText(tagRect, Qt::AlignCenter, tag);
    return tagRect.left() - 8;
}

// The item's name (struck out when undone), then a group's members in the lighter colour:
// "14 files  scan_001.pdf … scan_014.pdf".
void paintName(QPainter* painter, const QString& itemName, const QString& members, bool undone,
               qreal nameWidth, const RowGeometry& g, const QPalette& pal)
{
    QFont nameFont = Theme::font(13, QFont::Medium);
    const QFontMetrics nameMetrics(nameFont);
    nameFont.setStrikeOut(undone);
    painter->setFont(nameFont);
    painter->setPen(undone ? Theme::secondary(pal) : Theme::primary(pal));
    const QString name = nameMetrics.elidedText(itemName, Qt::ElideMiddle, int(nameWidth));
    painter->drawText(QRectF(g.textLeft, g.lineTop, nameWidth, g.lineHeight),
                      Qt::AlignLeft | Qt::AlignVCenter, name);
    if (members.isEmpty())
        return;
    const QFont membersFont = Theme::font(12);
    const QFontMetrics membersMetrics(membersFont);
    const qreal membersLeft = g.textLeft + nameMetrics.horizontalAdvance(name) + 8;
    const qreal membersWidth = qMax<qreal>(0, g.textLeft + nameWidth - membersLeft);
    painter->setFont(membersFont);
    painter->setPen(Theme::secondary(pal));
    painter->drawText(QRectF(membersLeft, g.lineTop, membersWidth, g.lineHeight),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      membersMetrics.elidedText(members, Qt::ElideMiddle, int(membersWidth)));
}

void paintDetail(QPainter* painter, const QString& detail, qreal detailRight, const RowGeometry& g,
                 const QPalette& pal)
{
    const QFont detailFont = Theme::font(11);
    const QFontMetrics detailMetrics(detailFont);
    const qreal detailWidth = qMax<qreal>(0, detailRight - g.textLeft);
    painter->setFont(detailFont);
    painter->setPen(Theme::secondary(pal));
    painter->drawText(QRectF(g.textLeft, g.detailTop, detailWidth, detailMetrics.height() + 2),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      detailMetrics.elidedText(detail, Qt::ElideRight, int(detailWidth)));
}

} // namespace

QSize HistoryRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {300, rowHeight};
}

void HistoryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const auto* model = qobject_cast<const HistoryListModel*>(index.model());
    if (!model)
        return;
    const int row = index.row();
    const HistoryEntry& entry = model->entry(row);
    const bool undone = model->isUndone(row);
    const bool isUndo = entry.action == HistoryEntry::Action::Undone;
    const QPalette& pal = option.palette;
    const RowGeometry g = rowGeometry(option.rect);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    paintHighlight(painter, option, g.cell);
    paintBadge(painter, entry, undone, g.badge, pal);
    const qreal timeWidth = paintTime(painter, model->timeText(row), g, pal);
    const qreal detailRight =
        paintTag(painter, tagText(entry, undone, model->isPartlyUndone(row)), isUndo, g, pal);
    const qreal nameWidth = qMax<qreal>(0, g.right - timeWidth - 12 - g.textLeft);
    paintName(painter, entry.itemName, model->memberSummary(row), undone, nameWidth, g, pal);
    paintDetail(painter, detailText(*model, row), detailRight, g, pal);
    painter->restore();
}

QString HistoryRowDelegate::tagText(const HistoryEntry& entry, bool undone, bool partlyUndone)
{
    if (entry.action == HistoryEntry::Action::Undone)
        return tr("UNDO");
    if (undone)
        return tr("UNDONE");
    return partlyUndone ? tr("PARTLY UNDONE") : QString();
}

// What was done and where, with the website the item came from.
QString HistoryRowDelegate::detailText(const HistoryListModel& model, int row)
{
    const HistoryEntry& entry = model.entry(row);
    QString detail = model.actionText(row);
    if (entry.action == HistoryEntry::Action::MovedToSlot && entry.slot > 0)
        detail = tr("%1 (slot %2)").arg(detail, QString::number(entry.slot));
    if (!entry.originHost.isEmpty())
        detail = tr("%1  \u00B7  from %2").arg(detail, entry.originHost);
    return detail;
}
