#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QFrame;
class QLabel;
class QPainter;
class QRectF;
class QPushButton;
class QWidget;

// Fonts and the few semantic colours the HUD uses, taken from the widget palette so that
// light and dark desktops both look right. Sizes are in pixels, which matches the point
// sizes of the design at 1x.
class Theme
{
public:
    static QFont font(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);

    // The text colour, at the given opacity (0..1).
    static QColor primary(const QPalette& palette, qreal opacity = 1.0);
    static QColor secondary(const QPalette& palette);
    static QColor accent(const QPalette& palette);
    static QColor controlBackground(const QPalette& palette);
    static QColor windowBackground(const QPalette& palette);
    static QColor orange();
    static QColor green();
    // The colour of errors (the platform's system red).
    static QColor red();
    static bool isDark(const QPalette& palette);
    // Hairline colour for dividers and card outlines.
    static QColor separator(const QPalette& palette);

    // Gives a push button the filled accent look of a default action. Call again when the
    // palette changes.
    static void makeProminent(QPushButton* button, const QPalette& palette);

    // The command key as shown on screen: "Ctrl" here, the ⌘ glyph on macOS.
    static QString commandKey();
    // A command-key chord shown on one key cap ("Ctrl+Z").
    static QString commandChord(const QString& key);

    // A card: the window colour in a rounded rectangle with a faint outline.
    static void paintCard(QPainter& painter, const QRectF& rect, qreal radius,
                          const QPalette& palette);
    // A thin separator line in a faint text colour.
    static QFrame* divider(Qt::Orientation orientation, QWidget* parent);
    // Sets the text colour of a label (through its palette, so style sheets stay out of it).
    static void setTextColor(QLabel* label, const QColor& color);
    // A label with the given font and colour.
    static QLabel* label(const QString& text, int pixelSize, QFont::Weight weight,
                         const QColor& color, QWidget* parent = nullptr, bool monospaced = false);
};
