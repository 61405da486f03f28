#include "views/ActionShortcutHint.h"

#include "views/Theme.h"

#include <QPainter>

namespace {
constexpr int spacing = 6;
}

ActionShortcutHint::ActionShortcutHint(const QString& keys, const QString& label,
                                       std::function<void()> action, QWidget* parent)
    : QPushButton(parent), m_keys(keys), m_label(label), m_action(std::move(action))
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(label);
    setAccessibleDescription(tr("Key: %1").arg(keys));
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_action)
            m_action();
    });
}

QSize ActionShortcutHint::sizeHint() const
{
    const QFontMetrics keyMetrics(Theme::font(11, QFont::Bold, true));
    const QFontMetrics labelMetrics(Theme::font(11));
    const int width = keyMetrics.horizontalAdvance(QStringLiteral("[%1]").arg(m_keys)) + spacing +
                      labelMetrics.horizontalAdvance(m_label);
    return {width + 2, std::max(keyMetrics.height(), labelMetrics.height()) + 2};
}

void ActionShortcutHint::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFont keyFont = Theme::font(11, QFont::Bold, true);
    const QString keyText = QStringLiteral("[%1]").arg(m_keys);
    const int keyWidth = QFontMetrics(keyFont).horizontalAdvance(keyText);
    QColor secondary = Theme::secondary(palette());
    QColor primary = Theme::primary(palette());
    if (isDown()) {
        secondary = secondary.darker(130);
        primary = Theme::accent(palette());
    }
    p.setFont(keyFont);
    p.setPen(secondary);
    p.drawText(QRect(0, 0, keyWidth, height()), Qt::AlignLeft | Qt::AlignVCenter, keyText);
    p.setFont(Theme::font(11));
    p.setPen(primary);
    p.drawText(QRect(keyWidth + spacing, 0, width() - keyWidth - spacing, height()),
               Qt::AlignLeft | Qt::AlignVCenter, m_label);
}
