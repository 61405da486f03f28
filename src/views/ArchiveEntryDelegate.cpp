#include "views/ArchiveEntryDelegate.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QPainter>

namespace {
constexpr int horizontalPadding = 10;
constexpr int spacing = 8;
constexpr int iconSize = 14;

QFont pixelFont(const QFont& base, int pixelSize)
{
    QFont font = base;
    font.setPixelSize(pixelSize);
    return font;
}
} // namespace

ArchiveEntryDelegate::ArchiveEntryDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void ArchiveEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    const QPalette& pal = option.palette;
    const QRect row = option.rect;
    const bool folder = index.data(IsFolderRole).toBool();
    const bool escapes = index.data(EscapesRole).toBool();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    int x = row.left() + horizontalPadding;
    const QRect iconRect(x, row.center().y() - iconSize / 2, iconSize, iconSize);
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QString symbol = escapes  ? QStringLiteral("exclamationmark.triangle.fill")
                           : folder ? QStringLiteral("folder.fill")
                                    : QStringLiteral("doc");
    const QColor iconColor = escapes  ? Theme::orange()
                             : folder ? pal.color(QPalette::Highlight)
                                      : Theme::secondary(pal);
    painter->drawPixmap(iconRect.topLeft(),
                        SymbolIcons::pixmap(symbol, iconSize, iconColor, ratio));
    x = iconRect.right() + 1 + spacing;

    const QFont detailFont = pixelFont(option.font, 11);
    const QString detail = index.data(SizeTextRole).toString();
    const int detailWidth = QFontMetrics(detailFont).horizontalAdvance(detail);
    const QRect detailRect(row.right() - horizontalPadding - detailWidth + 1, row.top(),
                           detailWidth, row.height());
    painter->setFont(detailFont);
    painter->setPen(Theme::secondary(pal));
    painter->drawText(detailRect, Qt::AlignVCenter | Qt::AlignRight, detail);

    const QFont nameFont = pixelFont(option.font, 12);
    const QRect nameRect(x, row.top(), qMax(0, detailRect.left() - spacing - x), row.height());
    painter->setFont(nameFont);
    painter->setPen(pal.color(QPalette::WindowText));
    const QString name = index.data(Qt::DisplayRole).toString();
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      QFontMetrics(nameFont).elidedText(name, Qt::ElideMiddle, nameRect.width()));
    painter->restore();
}

QSize ArchiveEntryDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {200, rowHeight};
}
