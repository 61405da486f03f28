#include "views/SuggestionRow.h"

#include "models/TriageKeyTable.h"
#include "platform/StoragePaths.h"
#include "views/Theme.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

// The texts belong to the palette's translation context, where translators see them beside
// the rest of the column.
SuggestionRow::SuggestionRow(QWidget* parent) : PaletteRow(parent)
{
    setObjectName(QStringLiteral("suggestionRow"));
}

void SuggestionRow::setKeyed(const QString& key, const QString& text, const QString& accessibleName,
                             const QString& description)
{
    m_key = key;
    m_text = text;
    setToolTip(text);
    setAccessibleName(accessibleName);
    setAccessibleDescription(description);
    update();
}

void SuggestionRow::setSuggestion(const SuggestionService::Suggestion& suggestion)
{
    m_key = TriageKeyTable::entry(TriageKeyTable::Action::acceptSuggestion).keyName;
    // A folder no slot has is named, since no row shows it.
    m_text = suggestion.slot ? suggestion.reason
                             : QStringLiteral("%1: %2").arg(
                                   StoragePaths::tildePath(suggestion.folder), suggestion.reason);
    setToolTip(m_text);
    setAccessibleName(
        QCoreApplication::translate("ActionPaletteView", "Suggested destination: %1").arg(m_text));
    setAccessibleDescription(
        QCoreApplication::translate("ActionPaletteView", "%1 moves the item to %2")
            .arg(m_key, suggestion.slot ? suggestion.slot->name : suggestion.folder));
    update();
}

QSize SuggestionRow::sizeHint() const
{
    return {columnWidth, QFontMetrics(Theme::font(11)).height() + 2 * paddingY + 2};
}

void SuggestionRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = Theme::accent(palette());
    if (isDown() || underMouse()) {
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), 6, 6);
        p.fillPath(background, accent.lighter(Theme::isDark(palette()) ? 70 : 180));
    }
    const QRect inner = rect().adjusted(paddingX, 1, -paddingX, -1);
    // The key as a cap, then the text.
    const QFont capFont = Theme::font(10, QFont::DemiBold, true);
    const int capWidth = QFontMetrics(capFont).horizontalAdvance(m_key) + 10;
    const QRectF cap(inner.left(), inner.top() + 2, capWidth, inner.height() - 4);
    QPainterPath capPath;
    capPath.addRoundedRect(cap, 4, 4);
    p.fillPath(capPath, Theme::controlBackground(palette()));
    p.setPen(QPen(accent, 1));
    p.drawPath(capPath);
    p.setFont(capFont);
    p.drawText(cap, Qt::AlignCenter, m_key);
    const QFont textFont = Theme::font(11, QFont::Medium);
    p.setFont(textFont);
    p.setPen(accent);
    const int textLeft = int(cap.right()) + 6;
    const int textWidth = inner.right() - textLeft;
    p.drawText(QRect(textLeft, inner.top(), textWidth, inner.height()),
               Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(textFont).elidedText(m_text, Qt::ElideRight, textWidth));
}
