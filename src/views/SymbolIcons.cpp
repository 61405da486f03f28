#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QThread>

#include <optional>

// Resources compiled into a static library must be registered by hand.
static void initSymbolResources()
{
    Q_INIT_RESOURCE(symbols);
}

namespace {

const QHash<QString, QString>& themeNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("folder"), QStringLiteral("folder")},
        {QStringLiteral("folder.fill"), QStringLiteral("folder")},
        {QStringLiteral("folder.badge.questionmark"), QStringLiteral("folder")},
        {QStringLiteral("folder.badge.gearshape"), QStringLiteral("folder-templates")},
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-new")},
        {QStringLiteral("doc"), QStringLiteral("text-x-generic")},
        {QStringLiteral("doc.text"), QStringLiteral("text-x-generic")},
        {QStringLiteral("doc.badge.ellipsis"), QStringLiteral("x-office-document")},
        {QStringLiteral("photo"), QStringLiteral("image-x-generic")},
        {QStringLiteral("archivebox.fill"), QStringLiteral("package-x-generic")},
        {QStringLiteral("arrow.up.forward.app"), QStringLiteral("document-open")},
        {QStringLiteral("arrow.up.right.square"), QStringLiteral("system-file-manager")},
        {QStringLiteral("arrow.uturn.backward"), QStringLiteral("edit-undo")},
        {QStringLiteral("chevron.left"), QStringLiteral("go-previous")},
        {QStringLiteral("clock"), QStringLiteral("document-open-recent")},
        {QStringLiteral("chevron.up"), QStringLiteral("go-up")},
        {QStringLiteral("chevron.down"), QStringLiteral("go-down")},
        {QStringLiteral("minus.circle"), QStringLiteral("list-remove")},
        {QStringLiteral("plus"), QStringLiteral("list-add")},
        {QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning")},
        {QStringLiteral("pencil"), QStringLiteral("document-edit")},
        {QStringLiteral("pencil.line"), QStringLiteral("edit-rename")},
        {QStringLiteral("checkmark.circle"), QStringLiteral("emblem-default")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-ok")},
        {QStringLiteral("tray"), QStringLiteral("mail-folder-inbox")},
        {QStringLiteral("tray.full"), QStringLiteral("mail-folder-inbox")},
        {QStringLiteral("gearshape"), QStringLiteral("preferences-system")},
        {QStringLiteral("questionmark.circle"), QStringLiteral("help-contents")},
        {QStringLiteral("xmark.circle.fill"), QStringLiteral("window-close")},
        {QStringLiteral("command.circle.fill"), QStringLiteral("input-keyboard")},
        {QStringLiteral("play.fill"), QStringLiteral("media-playback-start")},
        {QStringLiteral("pause.fill"), QStringLiteral("media-playback-pause")},
        {QStringLiteral("trash"), QStringLiteral("user-trash")},
        {QStringLiteral("forward"), QStringLiteral("go-next")},
        {QStringLiteral("eye"), QStringLiteral("view-preview")},
    };
    return names;
}

QString bundledPath(const QString& symbolName)
{
    static const bool registered = (initSymbolResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/symbols/") + symbolName + QStringLiteral(".svg");
}

QImage renderTinted(const QString& path, const QSize& pixelSize, const QColor& color)
{
    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixelSize)));
    // Keep the drawing's coverage, replace its colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

// The same symbol is drawn at the same size and colour on every repaint of the window;
// parsing and rasterising its SVG each time cost more than the rest of a repaint. Drawings
// are kept in Qt's pixmap cache, which belongs to the GUI thread; elsewhere they are drawn
// afresh.
QPixmap tintedPixmap(const QString& path, const QSize& pixelSize, const QColor& color)
{
    const bool guiThread = qApp && QThread::currentThread() == qApp->thread();
    if (!guiThread)
        return QPixmap::fromImage(renderTinted(path, pixelSize, color));
    const QString key = QStringLiteral("stowbird-symbol:%1:%2x%3:%4")
                            .arg(path)
                            .arg(pixelSize.width())
                            .arg(pixelSize.height())
                            .arg(color.rgba(), 8, 16, QLatin1Char('0'));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    cached = QPixmap::fromImage(renderTinted(path, pixelSize, color));
    if (!cached.isNull())
        QPixmapCache::insert(key, cached);
    return cached;
}

// Draws a bundled symbol in a fixed colour, or in the application palette's text colour
// looked up at paint time when no colour is given.
class TintedSymbolEngine : public QIconEngine
{
public:
    TintedSymbolEngine(QString path, std::optional<QColor> color)
        : m_path(std::move(path)), m_color(std::move(color))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, tintedPixmap(m_path, rect.size() * ratio, colorFor(mode)));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        return tintedPixmap(m_path, size, colorFor(mode));
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap result = pixmap(size * scale, mode, state);
        result.setDevicePixelRatio(scale);
        return result;
    }

    QIconEngine* clone() const override { return new TintedSymbolEngine(m_path, m_color); }
    QString key() const override { return QStringLiteral("stowbird-symbol"); }

private:
    QColor colorFor(QIcon::Mode mode) const
    {
        const QPalette palette = QApplication::palette();
        QColor color = m_color.value_or(palette.color(QPalette::Active, QPalette::WindowText));
        if (mode == QIcon::Disabled) {
            color.setAlphaF(color.alphaF() * 0.4f);
        } else if (mode == QIcon::Selected && !m_color) {
            color = palette.color(QPalette::Active, QPalette::HighlightedText);
        }
        return color;
    }

    QString m_path;
    std::optional<QColor> m_color;
};

} // namespace

QString SymbolIcons::themeName(const QString& symbolName)
{
    return themeNames().value(symbolName);
}

bool SymbolIcons::hasBundledIcon(const QString& symbolName)
{
    return !symbolName.isEmpty() && QFile::exists(bundledPath(symbolName));
}

QIcon SymbolIcons::icon(const QString& symbolName)
{
    const QString theme = themeName(symbolName);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme))
        return QIcon::fromTheme(theme);
    if (hasBundledIcon(symbolName))
        return QIcon(new TintedSymbolEngine(bundledPath(symbolName), std::nullopt));
    return {};
}

QIcon SymbolIcons::icon(const QString& symbolName, const QColor& color)
{
    if (!hasBundledIcon(symbolName))
        return icon(symbolName);
    return QIcon(new TintedSymbolEngine(bundledPath(symbolName), color));
}

QPixmap SymbolIcons::pixmap(const QString& symbolName, int logicalSize, const QColor& color,
                            qreal devicePixelRatio)
{
    if (!hasBundledIcon(symbolName) || logicalSize <= 0)
        return {};
    const int pixels = qRound(logicalSize * devicePixelRatio);
    // Setting the ratio detaches this pixmap from the cached one.
    QPixmap result = tintedPixmap(bundledPath(symbolName), QSize(pixels, pixels), color);
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}
