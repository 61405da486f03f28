#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <Qt>

class QIcon;
class QPushButton;
class QWidget;

// Fonts, colours and small pieces shared by the overlay cards (the shortcut sheet and the
// preferences sheet). Sizes are given in device-independent pixels, as the design gives
// them; colours are taken from the widget's palette at paint time so that light and dark
// desktops both work.
class SheetStyle
{
public:
    // A system font of the given pixel size and weight, monospaced on request.
    static QFont font(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);

    // Text colour with reduced emphasis.
    static QColor secondary(const QPalette& palette);
    // The primary text colour at the given opacity (0..1).
    static QColor primary(const QPalette& palette, qreal opacity = 1.0);
    // Hairline colour for dividers.
    static QColor separator(const QPalette& palette);

    // A one-pixel hairline, horizontal or vertical.
    static QWidget* divider(Qt::Orientation orientation, QWidget* parent);

    // Gives a push button the filled accent look of a default action. Call again when the
    // palette changes.
    static void makeProminent(QPushButton* button, const QPalette& palette);

    // A themed icon tinted with color, drawn at size pixels. Falls back to a painted glyph
    // (a filled circle with fallbackGlyph cut in white) when the icon theme lacks it.
    static QIcon symbol(const QString& themeName, const QString& fallbackGlyph, const QColor& color,
                        int size);

    // On macOS the command key is shown as its glyph, elsewhere as "Ctrl".
    static QString commandKey();
    // A command-key chord with one more key, as shown on a single key cap.
    static QString commandChord(const QString& key);
};
