// Renders an SVG icon to square PNGs laid out as in the hicolor icon theme.
// Usage: RenderAppIcon [--name NAME] SVG OUTPUT_DIR SIZE...
// writes OUTPUT_DIR/SIZExSIZE/apps/NAME.png (NAME defaults to the SVG's base name).

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>

namespace {

constexpr char usage[] = "Usage: RenderAppIcon [--name NAME] SVG OUTPUT_DIR SIZE...\n";

} // namespace

int main(int argc, char** argv)
{
    // Paths and rectangles only: painting into a QImage needs no platform plugin, so the
    // build runs it without a display (and without a GUI application object).
    QCoreApplication app(argc, argv);

    QStringList arguments = app.arguments().mid(1);
    QString name;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--name")) {
        name = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.size() < 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    const QString svgPath = arguments.takeFirst();
    const QString outputDirectory = arguments.takeFirst();
    if (name.isEmpty())
        name = QFileInfo(svgPath).completeBaseName();

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "RenderAppIcon: cannot read %s\n", qPrintable(svgPath));
        return 1;
    }
    for (const QString& argument : arguments) {
        bool ok = false;
        const int size = argument.toInt(&ok);
        if (!ok || size <= 0 || size > 4096) {
            std::fprintf(stderr, "RenderAppIcon: bad size %s\n%s", qPrintable(argument), usage);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outputDirectory).arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) ||
            !image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            std::fprintf(stderr, "RenderAppIcon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
