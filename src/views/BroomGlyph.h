#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

class QPainter;

// The tray glyph: a broom, tilted 45°, with a motion stroke while items wait. Drawn from
// geometry given on an 18 x 18 point canvas whose y axis points up.
class BroomGlyph
{
public:
    static constexpr qreal canvasSize = 18.0;

    // Draws the glyph on the 18 x 18 canvas (device coordinates scaled by the caller) in
    // `color`, clearing the bristle gaps. The painter's device must have an alpha channel.
    static void draw(QPainter& painter, bool itemsWaiting, const QColor& color);

    // The glyph alone, `pixels` x `pixels`, with a contrasting halo so that it reads on
    // light and dark panels.
    static QImage renderGlyph(int pixels, bool itemsWaiting);

    // The tray picture at one size, badge included (see TrayBadgeIcon, which draws it).
    static QImage render(int pixels, int waitingCount);

    // The tray icon (TrayBadgeIcon::icon).
    static QIcon icon(int waitingCount);

    // The badge text for a count ("" when nothing waits, "99+" above 99).
    static QString badgeText(int waitingCount);
};
