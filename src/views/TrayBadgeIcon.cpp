#include "views/TrayBadgeIcon.h"

#include "views/BroomGlyph.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>

namespace {

const QColor pillColor(0xc6, 0x28, 0x28);
const QColor outlineColor(0xff, 0xff, 0xff);
const QColor digitColor(0xff, 0xff, 0xff);

// Below this size (in points) the count fills the icon when it has two or more characters.
constexpr qreal smallIconLimit = 20.0;

// The digits' outlines from a bold condensed face at 100 pixels, each starting at x = 0
// and standing on the baseline y = 0. Fitted by hand to the badge (height, width, pixel
// grid) rather than laid out as text, so that the three characters of "99+" fit 22 pixels.
struct DigitShapes
{
    std::array<QPainterPath, 10> digit;
    std::array<qreal, 10> width{};
    qreal height = 1; // from the baseline to the top of a flat-topped digit
};

const DigitShapes& digitShapes()
{
    static const DigitShapes shapes = [] {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStretch(QFont::Condensed);
        font.setWeight(QFont::Bold);
        font.setPixelSize(100);
        font.setHintingPreference(QFont::PreferNoHinting);
        DigitShapes s;
        for (int d = 0; d < 10; ++d) {
            QPainterPath path;
            path.addText(0, 0, font, QString::number(d));
            const QRectF bounds = path.boundingRect();
            s.digit[d] = path.translated(-bounds.left(), 0);
            s.width[d] = bounds.width();
        }
        // "1" has a flat top and a flat foot: its height is the digits' height, without
        // the overshoot of the round ones.
        s.height = std::max<qreal>(1.0, -s.digit[1].boundingRect().top());
        return s;
    }();
    return shapes;
}

struct TextShape
{
    QPainterPath path;
    qreal width = 0;
};

// The badge text with digits `height` pixels tall, laid out from x = 0 on the baseline
// y = 0, its digits condensed to make it at most `maxWidth` wide. Glyphs start on whole
// pixels and the plus is built from bars on the pixel grid, so that small sizes stay sharp.
TextShape shapeText(const QString& text, qreal height, qreal maxWidth, qreal unit)
{
    const DigitShapes& shapes = digitShapes();
    const qreal scale = height / shapes.height;
    const qreal points = height / unit;
    const qreal gap = std::max(1.0, std::round(points * 0.08)) * unit;

    // The plus is as thick as a bold stem and a little narrower than a digit, centred on
    // the digits' middle. Where that leaves the digits too narrow (99+ at 16 pixels) it is
    // a small raised plus beside their tops instead. Its arms have the bar's parity, so
    // that the cross sits centred on the pixel grid. Only the digits are condensed: a
    // narrowed plus would lose its shape.
    qreal digits = 0;
    for (QChar c : text)
        if (c.isDigit())
            digits += shapes.width[c.digitValue()] * scale;
    const bool hasPlus = text.endsWith(QLatin1Char('+'));
    auto squeezeWith = [&](qreal plus) {
        const qreal fixed = gap * qreal(text.size() - 1) + (hasPlus ? plus : 0);
        return digits + fixed > maxWidth ? std::max(0.0, maxWidth - fixed) / digits : 1.0;
    };
    qreal bar = std::max(1.0, std::round(points * 0.2));
    qreal arms = std::round(points * 0.6);
    bool raised = false;
    if (hasPlus && squeezeWith((arms + std::fmod(arms - bar, 2.0)) * unit) < 0.8) {
        raised = true;
        bar = 1;
        arms = std::round(points * 0.36);
    }
    arms += std::fmod(arms - bar, 2.0);
    bar *= unit;
    arms *= unit;
    const qreal squeeze = squeezeWith(arms);

    TextShape shape;
    qreal x = 0;
    for (QChar c : text) {
        const qreal start = std::round(x);
        if (c.isDigit()) {
            // Whole pixels wide too, so that both outer edges fall on the grid.
            const qreal natural = shapes.width[c.digitValue()];
            const qreal wide = std::max(unit, std::round(natural * scale * squeeze));
            QTransform transform;
            transform.translate(start, 0);
            transform.scale(wide / natural, scale);
            shape.path.addPath(transform.map(shapes.digit[c.digitValue()]));
            x = start + wide + gap;
        } else {
            const qreal top = raised ? -height : std::round(-height / 2 - arms / 2);
            shape.path.addRect(QRectF(start, top + (arms - bar) / 2, arms, bar));
            shape.path.addRect(QRectF(start + (arms - bar) / 2, top, bar, arms));
            x = start + arms + gap;
        }
    }
    shape.path.setFillRule(Qt::WindingFill);
    shape.width = x - gap;
    return shape;
}

struct BadgeGeometry
{
    TrayBadgeIcon::Layout layout;
    qreal textLeft = 0;
    qreal baseline = 0;
    TextShape text;
};

BadgeGeometry geometry(qreal logicalSize, qreal devicePixelRatio, int waitingCount)
{
    BadgeGeometry g;
    const QString text = TrayBadgeIcon::badgeText(waitingCount);
    const qreal pixels = std::round(logicalSize * devicePixelRatio);
    if (text.isEmpty() || pixels <= 0)
        return g;
    const qreal unit = pixels / logicalSize;
    // A length in points, on whole points, as whole device pixels: the picture at scale 2 is
    // the one at scale 1 with each pixel drawn as four.
    auto snapped = [unit](qreal points) { return std::round(std::round(points) * unit); };
    const bool small = logicalSize < smallIconLimit && text.size() > 1;
    TrayBadgeIcon::Layout& l = g.layout;
    l.showsGlyph = !small;
    l.outline = std::max(unit, snapped(logicalSize / 24.0));
    if (small) {
        // The count alone, on a rounded square filling the icon.
        l.digitHeight = snapped(logicalSize * (text.size() > 2 ? 0.56 : 0.62));
        l.pill = QRectF(0, 0, pixels, pixels);
        l.radius = snapped(logicalSize * 0.2);
        g.text = shapeText(text, l.digitHeight, pixels - 2 * l.outline, unit);
    } else {
        // A disc for one digit on the lower right corner; for more, a rounded box as wide as
        // the text needs, up to the icon's width.
        const bool tiny = logicalSize < smallIconLimit;
        const qreal height = snapped(logicalSize * (tiny ? 0.75 : 0.66));
        const qreal pad = std::max(unit, snapped(logicalSize / 22.0));
        l.digitHeight = snapped(logicalSize * (tiny ? 0.5 : text.size() > 2 ? 0.41 : 0.44));
        g.text = shapeText(text, l.digitHeight, pixels - 2 * (l.outline + pad), unit);
        const qreal width =
            std::clamp(std::ceil(g.text.width) + 2 * (l.outline + pad), height, pixels);
        l.pill = QRectF(pixels - width, pixels - height, width, height);
        l.radius = text.size() > 1 ? snapped(logicalSize * 0.2) : height / 2;
    }
    g.textLeft = std::round(l.pill.center().x() - g.text.width / 2);
    g.baseline = std::round(l.pill.center().y() + l.digitHeight / 2);
    return g;
}

} // namespace

TrayBadgeIcon::TrayBadgeIcon(int waitingCount) : m_count(waitingCount) {}

QString TrayBadgeIcon::badgeText(int waitingCount)
{
    if (waitingCount <= 0)
        return {};
    if (waitingCount > 99)
        return QStringLiteral("99+");
    return QString::number(waitingCount);
}

TrayBadgeIcon::Layout TrayBadgeIcon::layout(qreal logicalSize, qreal devicePixelRatio,
                                            int waitingCount)
{
    return geometry(logicalSize, devicePixelRatio, waitingCount).layout;
}

void TrayBadgeIcon::paint(QPainter& painter, qreal logicalSize, qreal devicePixelRatio,
                          int waitingCount)
{
    const int pixels = int(std::lround(logicalSize * devicePixelRatio));
    if (pixels <= 0)
        return;
    const BadgeGeometry g = geometry(logicalSize, devicePixelRatio, waitingCount);
    const Layout& l = g.layout;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (l.showsGlyph) {
        QImage glyph = BroomGlyph::renderGlyph(pixels, waitingCount > 0);
        if (!l.pill.isEmpty()) {
            // A gap around the badge keeps it apart from the broom on any panel.
            QPainter cut(&glyph);
            cut.setRenderHint(QPainter::Antialiasing, true);
            cut.setCompositionMode(QPainter::CompositionMode_Clear);
            cut.setPen(Qt::NoPen);
            cut.setBrush(Qt::black);
            const qreal gap = l.outline;
            cut.drawRoundedRect(l.pill.adjusted(-gap, -gap, gap, gap), l.radius + gap,
                                l.radius + gap);
        }
        painter.drawImage(QPointF(0, 0), glyph);
    }
    if (!l.pill.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(outlineColor);
        painter.drawRoundedRect(l.pill, l.radius, l.radius);
        const QRectF inner = l.pill.adjusted(l.outline, l.outline, -l.outline, -l.outline);
        const qreal innerRadius = std::max<qreal>(0, l.radius - l.outline);
        painter.setBrush(pillColor);
        painter.drawRoundedRect(inner, innerRadius, innerRadius);
        painter.setBrush(digitColor);
        painter.drawPath(g.text.path.translated(g.textLeft, g.baseline));
    }
    painter.restore();
}

QImage TrayBadgeIcon::render(qreal logicalSize, qreal devicePixelRatio, int waitingCount)
{
    const int pixels = int(std::lround(logicalSize * devicePixelRatio));
    if (pixels <= 0)
        return {};
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paint(painter, logicalSize, devicePixelRatio, waitingCount);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QIcon TrayBadgeIcon::icon(int waitingCount)
{
    return QIcon(new TrayBadgeIcon(waitingCount));
}

void TrayBadgeIcon::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                          QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const int side = std::min(rect.width(), rect.height());
    const QPixmap picture = scaledPixmap(QSize(side, side) * ratio, mode, state, ratio);
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2,
                       side, side);
    painter->drawPixmap(square, picture);
}

QPixmap TrayBadgeIcon::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap TrayBadgeIcon::scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale)
{
    // `size` is in device pixels; the layout follows the size in points, so that a badge
    // at scale 2 is the one at scale 1 with twice the detail.
    const int side = std::min(size.width(), size.height());
    if (side <= 0 || scale <= 0)
        return {};
    const QString key = QStringLiteral("%1@%2").arg(side).arg(scale);
    auto cached = m_cache.constFind(key);
    if (cached == m_cache.constEnd())
        cached = m_cache.insert(key, render(side / scale, scale, m_count));
    QPixmap picture = QPixmap::fromImage(*cached);
    picture.setDevicePixelRatio(scale);
    return picture;
}

QSize TrayBadgeIcon::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int side = std::min(size.width(), size.height());
    return {side, side};
}

QList<QSize> TrayBadgeIcon::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> result;
    for (int side : sizes())
        result.append(QSize(side, side));
    return result;
}

QIconEngine* TrayBadgeIcon::clone() const
{
    return new TrayBadgeIcon(m_count);
}

QString TrayBadgeIcon::key() const
{
    return QStringLiteral("TrayBadgeIcon");
}
