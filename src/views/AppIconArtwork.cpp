#include "views/AppIconArtwork.h"

#include "views/TrayBadgeIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Resources compiled into a static library must be registered by hand.
static void initAppIconResources()
{
    Q_INIT_RESOURCE(appicon);
}

QImage AppIconArtwork::render(int pixels)
{
    if (pixels <= 0)
        return {};
    static const bool registered = [] {
        initAppIconResources();
        return true;
    }();
    Q_UNUSED(registered);
    QSvgRenderer renderer(pixels <= smallArtworkLimit ? smallArtworkPath() : artworkPath());
    if (!renderer.isValid())
        return {};
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    return image;
}

QIcon AppIconArtwork::icon()
{
    // Pixmaps for each size rather than the SVG icon engine: that engine keeps a single
    // added pixmap and reports no sizes, and window managers want a list of real sizes.
    QIcon icon;
    for (int size : sizes()) {
        const QImage image = render(size);
        if (image.isNull())
            return {};
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QIcon AppIconArtwork::windowIcon()
{
    QIcon theme = QIcon::fromTheme(QStringLiteral("com.stowbird.Stowbird"));
    if (!theme.isNull() && !theme.availableSizes().isEmpty())
        return theme;
    QIcon artwork = icon();
    if (!artwork.isNull() && !artwork.availableSizes().isEmpty())
        return artwork;
    return TrayBadgeIcon::icon(0);
}
