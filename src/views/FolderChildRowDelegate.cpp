#include "views/FolderChildRowDelegate.h"

#include "views/FolderChildListModel.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int horizontalPadding = 10;
constexpr int spacing = 8;
constexpr int iconSize = 16;
constexpr int revealSize = 14;

QFont pixelFont(const QFont& base, int pixelSize)
{
    QFont font = base;
    font.setPixelSize(pixelSize);
    return font;
}
} // namespace

FolderChildRowDelegate::FolderChildRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QRect FolderChildRowDelegate::revealRect(const QRect& row)
{
    return {row.right() - horizontalPadding - revealSize + 1,
            row.top() + (row.height() - revealSize) / 2, revealSize, revealSize};
}

QIcon FolderChildRowDelegate::fileIcon(const QString& path) const
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QString name = type.iconName();
    auto cached = m_iconCache.constFind(name);
    if (cached != m_iconCache.constEnd())
        return *cached;
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) {
        const bool image = type.name().startsWith(QLatin1String("image/"));
        icon = SymbolIcons::icon(image ? QStringLiteral("photo") : QStringLiteral("doc"),
                                 Theme::secondary(QPalette()));
    }
    m_iconCache.insert(name, icon);
    return icon;
}

void FolderChildRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    const auto* model = qobject_cast<const FolderChildListModel*>(index.model());
    if (!model)
        return;
    const FolderChildItem& entry = model->item(index.row());
    const QPalette& pal = option.palette;
    const QRect row = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (option.state & QStyle::State_MouseOver) {
        QColor hover = pal.color(QPalette::WindowText);
        hover.setAlphaF(0.06f);
        painter->setPen(Qt::NoPen);
        painter->setBrush(hover);
        painter->drawRoundedRect(QRectF(row).adjusted(2, 1, -2, -1), 6, 6);
    }

    int x = row.left() + horizontalPadding;
    const int centerY = row.center().y();
    const QRect iconRect(x, centerY - iconSize / 2, iconSize, iconSize);
    const qreal ratio = painter->device()->devicePixelRatioF();
    if (entry.isDirectory) {
        painter->drawPixmap(iconRect.topLeft(),
                            SymbolIcons::pixmap(QStringLiteral("folder.fill"), iconSize,
                                                pal.color(QPalette::Highlight), ratio));
    } else {
        fileIcon(entry.id).paint(painter, iconRect);
    }
    x = iconRect.right() + 1 + spacing;

    const QColor secondary = Theme::secondary(pal);
    const QRect reveal = revealRect(row);
    const QFont detailFont = pixelFont(option.font, 11);
    const QString detail = entry.isDirectory
                               ? tr("%n items", nullptr, int(entry.childCount.value_or(0)))
                               : entry.formattedSize;
    const QFontMetrics detailMetrics(detailFont);
    const int detailWidth = detailMetrics.horizontalAdvance(detail);
    const QRect detailRect(reveal.left() - spacing - detailWidth, row.top(), detailWidth,
                           row.height());
    painter->setFont(detailFont);
    painter->setPen(secondary);
    painter->drawText(detailRect, Qt::AlignVCenter | Qt::AlignRight, detail);

    const QFont nameFont = pixelFont(option.font, 12);
    const QFontMetrics nameMetrics(nameFont);
    const QRect nameRect(x, row.top(), qMax(0, detailRect.left() - spacing - x), row.height());
    painter->setFont(nameFont);
    painter->setPen(pal.color(QPalette::WindowText));
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      nameMetrics.elidedText(entry.name, Qt::ElideMiddle, nameRect.width()));

    QColor revealColor = secondary;
    revealColor.setAlphaF(revealColor.alphaF() * 0.7f);
    painter->drawPixmap(reveal.topLeft() + QPoint(1, 1),
                        SymbolIcons::pixmap(QStringLiteral("arrow.up.right.square"), revealSize - 2,
                                            revealColor, ratio));
    painter->restore();
}

QSize FolderChildRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {200, rowHeight};
}

bool FolderChildRowDelegate::editorEvent(QEvent* event, QAbstractItemModel*,
                                         const QStyleOptionViewItem& option,
                                         const QModelIndex& index)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
        return false;
    // The reveal button gets a little slack around its glyph.
    if (revealRect(option.rect).adjusted(-4, -4, 4, 4).contains(mouse->position().toPoint()))
        emit revealClicked(index.row());
    else
        emit rowClicked(index.row());
    return true;
}

bool FolderChildRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                       const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip &&
        revealRect(option.rect).adjusted(-4, -4, 4, 4).contains(event->pos())) {
        QToolTip::showText(event->globalPos(), tr("Reveal in File Manager"), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
