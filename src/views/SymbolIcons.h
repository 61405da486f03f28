#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Icons for the symbol names the views use ("folder", "doc", "chevron.left", ...).
// Each symbol maps to a freedesktop icon-theme name; when the desktop's theme has no such
// icon, a monochrome SVG bundled with the program is used, drawn in the palette's text
// colour at paint time so that it follows light and dark palettes.
class SymbolIcons
{
public:
    // The theme icon when the theme has one, otherwise the bundled drawing tinted with the
    // application palette's window-text colour (disabled and selected modes included).
    // Unknown symbols give a null icon.
    static QIcon icon(const QString& symbolName);

    // Always the bundled drawing, filled with `color` (for accent-coloured or secondary
    // glyphs); falls back to icon(symbolName) when nothing is bundled for the symbol.
    static QIcon icon(const QString& symbolName, const QColor& color);

    // The bundled drawing rendered at `logicalSize` for the given device pixel ratio and
    // filled with `color`; a null pixmap when nothing is bundled for the symbol.
    static QPixmap pixmap(const QString& symbolName, int logicalSize, const QColor& color,
                          qreal devicePixelRatio = 1.0);

    // The freedesktop icon-theme name for a symbol; empty when the symbol is unknown.
    static QString themeName(const QString& symbolName);

    // True when a bundled drawing exists for the symbol.
    static bool hasBundledIcon(const QString& symbolName);
};
