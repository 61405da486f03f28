#include "views/SheetStyle.h"

#include <QFontDatabase>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace {

// A hairline that follows the palette (a QFrame line would use the full text colour).
class HairlineWidget final : public QWidget
{
public:
    HairlineWidget(Qt::Orientation orientation, QWidget* parent) : QWidget(parent)
    {
        if (orientation == Qt::Horizontal) {
            setFixedHeight(1);
            setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        } else {
            setFixedWidth(1);
            setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), SheetStyle::separator(palette()));
    }
};

QColor blend(const QColor& over, const QColor& under, qreal amount)
{
    return QColor::fromRgbF(over.redF() * amount + under.redF() * (1 - amount),
                            over.greenF() * amount + under.greenF() * (1 - amount),
                            over.blueF() * amount + under.blueF() * (1 - amount));
}

// A filled circle in color with glyph (a themed icon or, failing that, a text glyph) cut
// out of it in white.
QPixmap circledSymbol(const QIcon& glyph, const QString& fallbackGlyph, const QColor& color,
                      int size, qreal scale)
{
    const int pixels = qRound(size * scale);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0.5, 0.5, pixels - 1.0, pixels - 1.0));

    const int inner = qMax(1, qRound(pixels * 0.56));
    const QRect innerRect((pixels - inner) / 2, (pixels - inner) / 2, inner, inner);
    if (!glyph.isNull()) {
        // Symbolic theme icons are single-coloured: keep their shape, paint it white.
        QPixmap shape = glyph.pixmap(QSize(inner, inner));
        QPainter tint(&shape);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shape.rect(), Qt::white);
        tint.end();
        painter.drawPixmap(innerRect, shape);
    } else {
        QFont font = SheetStyle::font(qMax(1, qRound(pixels * 0.62)), QFont::Bold);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, pixels, pixels), Qt::AlignCenter, fallbackGlyph);
    }
    painter.end();
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

} // namespace

QFont SheetStyle::font(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont result = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                              : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

QColor SheetStyle::secondary(const QPalette& palette)
{
    return blend(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.55);
}

QColor SheetStyle::primary(const QPalette& palette, qreal opacity)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(opacity);
    return color;
}

QColor SheetStyle::separator(const QPalette& palette)
{
    return blend(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.14);
}

QWidget* SheetStyle::divider(Qt::Orientation orientation, QWidget* parent)
{
    return new HairlineWidget(orientation, parent);
}

void SheetStyle::makeProminent(QPushButton* button, const QPalette& palette)
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

QIcon SheetStyle::symbol(const QString& themeName, const QString& fallbackGlyph,
                         const QColor& color, int size)
{
    const QIcon glyph = QIcon::fromTheme(themeName);
    QIcon icon;
    for (const qreal scale : {1.0, 2.0})
        icon.addPixmap(circledSymbol(glyph, fallbackGlyph, color, size, scale));
    return icon;
}

QString SheetStyle::commandKey()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("\u2318");
#else
    return QStringLiteral("Ctrl");
#endif
}

QString SheetStyle::commandChord(const QString& key)
{
#ifdef Q_OS_MACOS
    return commandKey() + key;
#else
    return commandKey() + QLatin1Char('+') + key;
#endif
}
