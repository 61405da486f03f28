#include "views/Theme.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QFont Theme::font(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont f = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont();
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

bool Theme::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor Theme::primary(const QPalette& palette, qreal opacity)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(opacity);
    return color;
}

QColor Theme::separator(const QPalette& palette)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.15);
    return color;
}

void Theme::makeProminent(QPushButton* button, const QPalette& palette)
{
    QPalette filled = button->palette();
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor onAccent = palette.color(QPalette::Active, QPalette::HighlightedText);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        filled.setColor(group, QPalette::Button, accent);
        filled.setColor(group, QPalette::ButtonText, onAccent);
    }
    button->setPalette(filled);
    button->setDefault(true);
}

QString Theme::commandKey()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("\u2318");
#else
    return QStringLiteral("Ctrl");
#endif
}

QString Theme::commandChord(const QString& key)
{
#ifdef Q_OS_MACOS
    return commandKey() + key;
#else
    return commandKey() + QLatin1Char('+') + key;
#endif
}

QColor Theme::secondary(const QPalette& palette)
{
    QColor c = palette.color(QPalette::WindowText);
    c.setAlphaF(isDark(palette) ? 0.62 : 0.55);
    return c;
}

QColor Theme::accent(const QPalette& palette)
{
    return palette.color(QPalette::Highlight);
}

QColor Theme::controlBackground(const QPalette& palette)
{
    // A surface a step away from the window colour, like a card on the window.
    const QColor window = palette.color(QPalette::Window);
    return isDark(palette) ? window.lighter(135) : palette.color(QPalette::Base);
}

QColor Theme::windowBackground(const QPalette& palette)
{
    return palette.color(QPalette::Window);
}

QColor Theme::orange()
{
    return QColor(0xff, 0x95, 0x00);
}

QColor Theme::red()
{
    return QColor(0xff, 0x3b, 0x30);
}

QColor Theme::green()
{
    return QColor(0x34, 0xc7, 0x59);
}

void Theme::setTextColor(QLabel* label, const QColor& color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    label->setPalette(p);
}

QLabel* Theme::label(const QString& text, int pixelSize, QFont::Weight weight, const QColor& color,
                     QWidget* parent, bool monospaced)
{
    auto* l = new QLabel(text, parent);
    l->setFont(font(pixelSize, weight, monospaced));
    setTextColor(l, color);
    return l;
}

QFrame* Theme::divider(Qt::Orientation orientation, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    QPalette p = line->palette();
    p.setColor(QPalette::WindowText, separator(p));
    line->setPalette(p);
    return line;
}

void Theme::paintCard(QPainter& painter, const QRectF& rect, qreal radius, const QPalette& palette)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(primary(palette, 0.1), 1));
    painter.setBrush(palette.color(QPalette::Window));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}
