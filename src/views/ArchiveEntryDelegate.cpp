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
    // A link's target can be long: it gets at most a third of the row.
    const QFontMetrics detailMetrics(detailFont);
    const QString detail = detailMetrics.elidedText(index.data(SizeTextRole).toString(),
                                                    Qt::ElideMiddle, row.width() / 3);
    const int detailWidth = detailMetrics.horizontalAdvance(detail);
    const QRect detailRect(row.right() - horizontalPadding - detailWidth + 1, row.top(),
                           detailWidth, row.height());
    painter->setFont(detailFont);
    painter->setPen(Theme::secondary(pal));
    painter->drawText(detailRect, Qt::AlignVCenter | Qt::AlignRight, detail);

    // The folder part of the path is dimmed and gives way first, so that the entry's own
    // name stays readable ("share/icons/…/apps/app.png").
    const QFont nameFont = pixelFont(option.font, 12);
    const QFontMetrics metrics(nameFont);
    const QRect nameRect(x, row.top(), qMax(0, detailRect.left() - spacing - x), row.height());
    const QString path = index.data(Qt::DisplayRole).toString();
    qsizetype cut = path.size() - 1;
    while (cut > 0 && path.at(cut) == QLatin1Char('/'))
        --cut;
    cut = path.lastIndexOf(QLatin1Char('/'), cut) + 1;
    QString folderPart = path.left(cut);
    QString namePart = path.mid(cut);
    const int nameWidth = metrics.horizontalAdvance(namePart);
    const int ellipsis = metrics.horizontalAdvance(QStringLiteral("\u2026/"));
    if (metrics.horizontalAdvance(path) > nameRect.width()) {
        if (nameWidth + ellipsis * 2 <= nameRect.width()) {
            folderPart =
                metrics.elidedText(folderPart, Qt::ElideMiddle, nameRect.width() - nameWidth);
        } else {
            folderPart.clear();
            namePart = metrics.elidedText(path, Qt::ElideMiddle, nameRect.width());
        }
    }
    painter->setFont(nameFont);
    QColor folderColor = escapes ? Theme::orange() : Theme::secondary(pal);
    painter->setPen(folderColor);
    const int folderWidth = metrics.horizontalAdvance(folderPart);
    painter->drawText(QRect(nameRect.left(), row.top(), folderWidth, row.height()),
                      Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, folderPart);
    painter->setPen(pal.color(QPalette::WindowText));
    painter->drawText(nameRect.adjusted(folderWidth, 0, 0, 0),
                      Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, namePart);
    painter->restore();
}

QSize ArchiveEntryDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {200, rowHeight};
}
