#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

// The application icon compiled into the program: a gradient tile with a white broom.
// Sizes up to smallArtworkLimit come from a simplified drawing that stays legible there;
// larger sizes from the full artwork. The same two drawings are installed in the icon theme.
class AppIconArtwork
{
public:
    static constexpr int smallArtworkLimit = 24;

    static QString artworkPath() { return QStringLiteral(":/icons/AppIcon.svg"); }
    static QString smallArtworkPath() { return QStringLiteral(":/icons/AppIcon-small.svg"); }

    // The sizes the icon carries, as in the hicolor theme.
    static QList<int> sizes() { return {16, 22, 24, 32, 48, 64, 128, 256}; }

    // One rendering of `pixels` x `pixels`; a null image when the artwork cannot be read.
    static QImage render(int pixels);

    // Every size of sizes(), or a null icon when the artwork cannot be read.
    static QIcon icon();

    // The window's icon: the installed theme icon first, so that a theme may restyle it;
    // then the artwork compiled in; the tray glyph only if both are missing.
    static QIcon windowIcon();
};
