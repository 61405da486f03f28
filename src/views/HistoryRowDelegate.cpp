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
    const bool partlyUndone = model->isPartlyUndone(row);
    const bool isUndo = entry.action == HistoryEntry::Action::Undone;
    const QPalette& pal = option.palette;
    const QRectF cell = QRectF(option.rect).adjusted(2, 1, -2, -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        painter->setPen(QPen(withAlpha(Theme::accent(pal), 0.55), 1));
        painter->setBrush(withAlpha(Theme::accent(pal), Theme::isDark(pal) ? 0.28 : 0.14));
        painter->drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    } else if (option.state & QStyle::State_MouseOver) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Theme::primary(pal, 0.05));
        painter->drawRoundedRect(cell, 8, 8);
    }

    // The action's symbol on a tinted rounded square.
    const Look look = lookOf(entry.action, pal);
    const qreal opacity = undone ? 0.45 : 1.0;
    const QRectF badge(cell.left() + paddingX, cell.center().y() - badgeSize / 2.0, badgeSize,
                       badgeSize);
    painter->setOpacity(opacity);
    painter->setPen(Qt::NoPen);
    painter->setBrush(withAlpha(look.color, Theme::isDark(pal) ? 0.22 : 0.13));
    painter->drawRoundedRect(badge, 7, 7);
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->drawPixmap(
        QPointF(badge.center().x() - glyphSize / 2.0, badge.center().y() - glyphSize / 2.0),
        SymbolIcons::pixmap(look.symbol, glyphSize, look.color, ratio));
    if (entry.isGroup()) {
        // A group's badge carries its count of files on its lower corner.
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
    painter->setOpacity(1.0);

    const qreal textLeft = badge.right() + gap;
    const qreal right = cell.right() - paddingX;
    const QColor primary = undone ? Theme::secondary(pal) : Theme::primary(pal);
    const QColor secondary = Theme::secondary(pal);

    // Right column: the time above, the tag below.
    const QFont timeFont = Theme::font(11);
    const QFontMetrics timeMetrics(timeFont);
    const QString time = model->timeText(row);
    const qreal timeWidth = timeMetrics.horizontalAdvance(time);
    const qreal lineTop = cell.top() + 7;
    const QFont nameFont = Theme::font(13, QFont::Medium);
    const QFontMetrics nameMetrics(nameFont);
    const qreal detailTop = lineTop + nameMetrics.height() + 1;
    painter->setFont(timeFont);
    painter->setPen(secondary);
    painter->drawText(QRectF(right - timeWidth, lineTop, timeWidth, nameMetrics.height()),
                      Qt::AlignRight | Qt::AlignVCenter, time);

    qreal detailRight = right;
    const QString tag = isUndo         ? tr("UNDO")
                        : undone       ? tr("UNDONE")
                        : partlyUndone ? tr("PARTLY UNDONE")
                                       : QString();
    if (!tag.isEmpty()) {
        const QFont tagFont = Theme::font(9, QFont::Bold);
        const QFontMetrics tagMetrics(tagFont);
        const qreal tagWidth = tagMetrics.horizontalAdvance(tag) + 10;
        const qreal tagHeight = tagMetrics.height() + 2;
        const QRectF tagRect(right - tagWidth, detailTop + 1, tagWidth, tagHeight);
        const QColor tagColor = isUndo ? Theme::green() : secondary;
        painter->setPen(QPen(withAlpha(tagColor, 0.7), 1));
        painter->setBrush(withAlpha(tagColor, 0.12));
        painter->drawRoundedRect(tagRect.adjusted(0.5, 0.5, -0.5, -0.5), tagHeight / 2,
                                 tagHeight / 2);
        painter->setFont(tagFont);
        painter->setPen(isUndo && !Theme::isDark(pal) ? Theme::green().darker(130) : tagColor);
        painter->drawText(tagRect, Qt::AlignCenter, tag);
        detailRight = tagRect.left() - 8;
    }

    // The name, then what was done and where.
    QFont shownName = nameFont;
    shownName.setStrikeOut(undone);
    const qreal nameWidth = qMax<qreal>(0, right - timeWidth - 12 - textLeft);
    painter->setFont(shownName);
    painter->setPen(primary);
    const QString name = nameMetrics.elidedText(entry.itemName, Qt::ElideMiddle, int(nameWidth));
    painter->drawText(QRectF(textLeft, lineTop, nameWidth, nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, name);
    const QString members = model->memberSummary(row);
    if (!members.isEmpty()) {
        // "14 files  scan_001.pdf … scan_014.pdf": the members in the lighter colour.
        const QFont membersFont = Theme::font(12);
        const QFontMetrics membersMetrics(membersFont);
        const qreal membersLeft = textLeft + nameMetrics.horizontalAdvance(name) + 8;
        const qreal membersWidth = qMax<qreal>(0, textLeft + nameWidth - membersLeft);
        painter->setFont(membersFont);
        painter->setPen(secondary);
        painter->drawText(QRectF(membersLeft, lineTop, membersWidth, nameMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          membersMetrics.elidedText(members, Qt::ElideMiddle, int(membersWidth)));
    }

    QString detail = model->actionText(row);
    if (entry.action == HistoryEntry::Action::MovedToSlot && entry.slot > 0)
        detail = tr("%1 (slot %2)").arg(detail, QString::number(entry.slot));
    if (!entry.originHost.isEmpty())
        detail = tr("%1  \u00B7  from %2").arg(detail, entry.originHost);
    const QFont detailFont = Theme::font(11);
    const QFontMetrics detailMetrics(detailFont);
    const qreal detailWidth = qMax<qreal>(0, detailRight - textLeft);
    painter->setFont(detailFont);
    painter->setPen(secondary);
    painter->drawText(QRectF(textLeft, detailTop, detailWidth, detailMetrics.height() + 2),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      detailMetrics.elidedText(detail, Qt::ElideRight, int(detailWidth)));
    painter->restore();
}
