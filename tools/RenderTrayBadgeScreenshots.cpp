// Renders the tray icon's badge at every tray size (16, 22, 24, 32) and for the counts 1, 7,
// 13, 99 and 100 (shown as 99+), at scale 1 and scale 2, on a light and on a dark panel, to
//   <output folder>/tray-badge-light.png and tray-badge-dark.png
// Each sheet shows the pictures at their real pixel size, then enlarged (4 times for scale 1,
// twice for scale 2, so that both show at the same size) to judge them pixel by pixel.
// Run with QT_QPA_PLATFORM=offscreen.
#include "views/TrayBadgeIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

const QList<int> sizes{16, 22, 24, 32};
const QList<int> counts{1, 7, 13, 99, 100};

struct Section
{
    QString title;
    qreal ratio;
    int zoom; // how many times each device pixel is enlarged
};

const QList<Section> sections{{QStringLiteral("Scale 1, real size"), 1.0, 1},
                              {QStringLiteral("Scale 2, real size"), 2.0, 1},
                              {QStringLiteral("Scale 1, enlarged 4 times"), 1.0, 4},
                              {QStringLiteral("Scale 2, enlarged 2 times"), 2.0, 2}};

constexpr int margin = 16;
constexpr int labelWidth = 56;
constexpr int titleHeight = 28;
constexpr int headerHeight = 20;
constexpr int gap = 12;

int cellSide(const Section& s)
{
    return std::max(56, int(32 * s.ratio) * s.zoom);
}

QImage sheet(const QColor& panel, const QColor& ink)
{
    int width = 0;
    int height = margin;
    for (const Section& s : sections) {
        width = std::max(width, margin * 2 + labelWidth + int(counts.size()) * (cellSide(s) + gap));
        int rows = 0;
        for (int size : sizes)
            rows += int(size * s.ratio) * s.zoom + gap;
        height += titleHeight + headerHeight + rows + margin;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(panel);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(ink);

    int y = margin;
    for (const Section& s : sections) {
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(QRect(margin, y, width, titleHeight), Qt::AlignVCenter, s.title);
        painter.setFont(font);
        y += titleHeight;
        const int side = cellSide(s);
        for (int i = 0; i < counts.size(); ++i)
            painter.drawText(QRect(margin + labelWidth + i * (side + gap), y, side, headerHeight),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             counts[i] > 99 ? QStringLiteral("%1+").arg(counts[i])
                                            : QString::number(counts[i]));
        y += headerHeight;
        for (int size : sizes) {
            const int rowHeight = int(size * s.ratio) * s.zoom;
            painter.drawText(QRect(margin, y, labelWidth, rowHeight), Qt::AlignVCenter,
                             QStringLiteral("%1 px").arg(size));
            for (int i = 0; i < counts.size(); ++i) {
                QImage picture = TrayBadgeIcon::render(size, s.ratio, counts[i]);
                picture.setDevicePixelRatio(1.0);
                if (s.zoom > 1)
                    picture = picture.scaled(picture.size() * s.zoom, Qt::IgnoreAspectRatio,
                                             Qt::FastTransformation);
                painter.drawImage(QPoint(margin + labelWidth + i * (side + gap), y), picture);
            }
            y += rowHeight + gap;
        }
        y += margin;
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    // A light panel (KDE Breeze, Xfce) and a dark one (Breeze Dark, GNOME's top bar).
    const QList<std::tuple<QString, QColor, QColor>> panels{
        {QStringLiteral("light"), QColor(0xef, 0xf0, 0xf1), QColor(0x23, 0x26, 0x29)},
        {QStringLiteral("dark"), QColor(0x20, 0x23, 0x26), QColor(0xef, 0xf0, 0xf1)}};
    bool ok = true;
    for (const auto& [name, panel, ink] : panels) {
        const QString path = out + QStringLiteral("/tray-badge-%1.png").arg(name);
        const bool saved = sheet(panel, ink).save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        ok &= saved;
    }
    return ok ? 0 : 1;
}
