#include "views/Theme.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>

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

QColor Theme::primary(const QPalette& palette)
{
    return palette.color(QPalette::WindowText);
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
    QColor c = p.color(QPalette::WindowText);
    c.setAlphaF(0.15);
    p.setColor(QPalette::WindowText, c);
    line->setPalette(p);
    return line;
}
