// Renders the preview host and the folder inspector offscreen, in a light and a dark
// palette, to PNG files. Usage: RenderPreviewScreenshots OUTPUT_FOLDER
#include "PreviewTestFiles.h"
#include "ScreenshotPalettes.h"
#include "TestEnvironment.h"
#include "fakes/TestLogger.h"
#include "views/FolderInspectorView.h"
#include "views/QuickLookHostView.h"
#include "views/SymbolIcons.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QStyle>
#include <QStyleFactory>

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <functional>

namespace {

const QSize previewSize(520, 480);

void spin(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A small landscape: sky, sun, hills.
QImage landscape(const QSize& size, int variant)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int hue = (200 + variant * 37) % 360;
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 235));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 250));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(size.width() * 0.72, size.height() * 0.3, size.height() * 0.14);
    sun.setColorAt(0, QColor(255, 236, 170));
    sun.setColorAt(1, QColor(255, 200, 90));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(size.width() * 0.72, size.height() * 0.3), size.height() * 0.12,
                        size.height() * 0.12);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hill;
        const double base = size.height() * (0.55 + layer * 0.13);
        hill.moveTo(0, size.height());
        hill.lineTo(0, base);
        for (int x = 0; x <= size.width(); x += size.width() / 8)
            hill.quadTo(x + size.width() / 16.0,
                        base - size.height() * (0.08 + 0.04 * ((x / 7 + layer + variant) % 3)),
                        x + size.width() / 8.0, base);
        hill.lineTo(size.width(), size.height());
        painter.setBrush(QColor::fromHsv((110 + layer * 12 + variant * 9) % 360, 120 + layer * 30,
                                         170 - layer * 40));
        painter.drawPath(hill);
    }
    return image;
}

void writePdf(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(144);
    QPainter painter(&writer);
    const QString lorem = QStringLiteral(
        "Stowbird keeps the Downloads folder empty by showing each finished download once, "
        "with a preview and a single key for where it should go. This report sums up the "
        "quarter: what arrived, what was filed, and what was thrown away.");
    for (int page = 0; page < 3; ++page) {
        if (page > 0)
            writer.newPage();
        QFont title(QStringLiteral("DejaVu Serif"), 22, QFont::Bold);
        painter.setFont(title);
        painter.setPen(QColor(30, 50, 90));
        painter.drawText(QRectF(100, 100, 900, 80),
                         page == 0 ? QStringLiteral("Quarterly Report")
                                   : QStringLiteral("Section %1").arg(page + 1));
        painter.fillRect(QRectF(100, 190, 920, 4), QColor(30, 90, 180));
        QFont body(QStringLiteral("DejaVu Serif"), 11);
        painter.setFont(body);
        painter.setPen(Qt::black);
        for (int paragraph = 0; paragraph < 5; ++paragraph)
            painter.drawText(QRectF(100, 240 + paragraph * 150, 920, 140), Qt::TextWordWrap, lorem);
        painter.fillRect(QRectF(100, 1040, 420, 180), QColor(220, 232, 248));
        painter.fillRect(QRectF(600, 1040, 420, 180), QColor(248, 232, 220));
    }
}

const char* sourceText =
    "#include <QCoreApplication>\n"
    "#include <QDir>\n"
    "\n"
    "// Lists the Downloads folder, newest first.\n"
    "int main(int argc, char** argv)\n"
    "{\n"
    "    QCoreApplication app(argc, argv);\n"
    "    const QDir downloads(QDir::homePath() + \"/Downloads\");\n"
    "    const auto entries = downloads.entryInfoList(QDir::Files, QDir::Time);\n"
    "    for (const QFileInfo& entry : entries) {\n"
    "        qInfo(\"%s  %lld bytes\", qPrintable(entry.fileName()), entry.size());\n"
    "    }\n"
    "    return entries.isEmpty() ? 1 : 0;\n"
    "}\n";

// A release tarball as projects publish them: a top folder, the program, its desktop files.
void writeReleaseTarball(const QString& path)
{
    const struct
    {
        const char* name;
        int size; // -1: a folder
    } members[] = {
        {"stowbird-0.1.0/", -1},
        {"stowbird-0.1.0/bin/", -1},
        {"stowbird-0.1.0/bin/stowbird", 1934512},
        {"stowbird-0.1.0/share/", -1},
        {"stowbird-0.1.0/share/applications/", -1},
        {"stowbird-0.1.0/share/applications/com.stowbird.Stowbird.desktop", 412},
        {"stowbird-0.1.0/share/metainfo/com.stowbird.Stowbird.metainfo.xml", 2388},
        {"stowbird-0.1.0/share/icons/hicolor/scalable/apps/com.stowbird.Stowbird.svg", 6120},
        {"stowbird-0.1.0/share/icons/hicolor/256x256/apps/com.stowbird.Stowbird.png", 31877},
        {"stowbird-0.1.0/share/icons/hicolor/128x128/apps/com.stowbird.Stowbird.png", 12403},
        {"stowbird-0.1.0/share/icons/hicolor/48x48/apps/com.stowbird.Stowbird.png", 3210},
        {"stowbird-0.1.0/share/doc/stowbird/README.md", 9342},
        {"stowbird-0.1.0/share/doc/stowbird/LICENSE", 1071},
        {"stowbird-0.1.0/share/doc/stowbird/changelog.md", 4188},
        {"stowbird-0.1.0/install.sh", 1580},
    };
    archive* writer = archive_write_new();
    archive_write_set_format_pax_restricted(writer);
    archive_write_add_filter_gzip(writer);
    archive_write_open_filename(writer, QFile::encodeName(path).constData());
    QRandomGenerator random(3);
    for (const auto& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, member.name);
        archive_entry_set_filetype(entry, member.size < 0 ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, member.size < 0 ? 0755 : 0644);
        archive_entry_set_size(entry, std::max(0, member.size));
        archive_write_header(writer, entry);
        if (member.size > 0) {
            QByteArray data(member.size, '\0');
            random.fillRange(reinterpret_cast<quint32*>(data.data()), member.size / 4);
            archive_write_data(writer, data.constData(), std::size_t(data.size()));
        }
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

void save(QWidget& widget, const QString& path)
{
    if (!widget.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Every bundled symbol at 24 px with its name, to check the drawings at a glance.
void renderSymbolSheet(const QString& out)
{
    const QStringList names = QDir(QStringLiteral(":/symbols")).entryList();
    const int columns = 4;
    const int rows = (int(names.size()) + columns - 1) / columns;
    QImage sheet(QSize(columns * 215, rows * 44 + 8), QImage::Format_ARGB32_Premultiplied);
    const QPalette palette = QApplication::palette();
    sheet.fill(palette.color(QPalette::Window));
    QPainter painter(&sheet);
    QFont font = QApplication::font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int i = 0; i < names.size(); ++i) {
        const QString symbol = QString(names.at(i)).chopped(4);
        const QPoint origin(8 + (i % columns) * 215, 8 + (i / columns) * 44);
        painter.drawPixmap(origin,
                           SymbolIcons::pixmap(symbol, 24, palette.color(QPalette::WindowText)));
        painter.setPen(palette.color(QPalette::WindowText));
        painter.drawText(QRect(origin + QPoint(32, 0), QSize(180, 24)), Qt::AlignVCenter, symbol);
    }
    painter.end();
    sheet.save(out);
    std::printf("%s\n", qPrintable(out));
}

void renderHost(const QString& file, LoggerService& logger, const QString& out)
{
    QuickLookHostView host(QUrl::fromLocalFile(file), logger);
    host.resize(previewSize);
    host.show();
    spin([&] { return host.previewKind() != QuickLookHostView::PreviewKind::Loading; }, 10000);
    spin([] { return false; }, 800); // PDF pages render on their own thread
    save(host, out);
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    QApplication::setFont(font);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    TestLogger log;

    QTemporaryDir dir;
    const QString image = dir.filePath("Lake at dawn.jpg");
    landscape(QSize(1600, 1067), 0).save(image, "jpeg", 92);
    const QString pdf = dir.filePath("Quarterly Report.pdf");
    writePdf(pdf);
    const QString source = dir.filePath("list_downloads.cpp");
    TestFiles::writeFile(source, sourceText);
    const QString package = dir.filePath("stowbird_0.1.0_amd64.deb");
    TestFiles::writeFile(package, QByteArray(4321987, '\x1f'));
    const QString archive = dir.filePath("stowbird-0.1.0-linux-x86_64.tar.gz");
    writeReleaseTarball(archive);

    const QString folder = dir.filePath("Holiday Photos 2024");
    for (int i = 1; i <= 7; ++i)
        landscape(QSize(900, 600), i)
            .save(folder.isEmpty() ? QString()
                                   : PreviewTestFiles::prepare(
                                         folder + QStringLiteral("/IMG_%1.jpg").arg(1000 + i * 7)),
                  "jpeg", 85);
    TestFiles::writeFile(folder + "/itinerary.pdf", "%PDF-1.4");
    TestFiles::writeFile(folder + "/notes.txt", QByteArray(2048, 'n'));
    TestFiles::writeFile(folder + "/Booking confirmation.pdf", QByteArray(180000, 'p'));
    QDir().mkpath(folder + "/Raw");
    TestFiles::writeFile(folder + "/Raw/a.cr2", "x");
    TestFiles::writeFile(folder + "/Raw/b.cr2", "x");
    QDir().mkpath(folder + "/Videos");
    TestFiles::writeFile(folder + "/.DS_Store", "hidden");

    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? ScreenshotPalettes::dark() : ScreenshotPalettes::light());
        const QString suffix = dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png");
        renderSymbolSheet(out + "/symbols" + suffix);
        renderHost(image, log.logger, out + "/preview-image" + suffix);
        renderHost(pdf, log.logger, out + "/preview-pdf" + suffix);
        renderHost(source, log.logger, out + "/preview-text" + suffix);
        renderHost(package, log.logger, out + "/preview-generic" + suffix);
        renderHost(archive, log.logger, out + "/preview-archive" + suffix);

        FolderInspectorView inspector(QUrl::fromLocalFile(folder), 7345000, log.logger);
        inspector.resize(previewSize);
        inspector.show();
        bool thumbnails = false;
        QObject::connect(&inspector, &FolderInspectorView::thumbnailsReady,
                         [&] { thumbnails = true; });
        spin([&] { return thumbnails; }, 10000);
        spin([] { return false; }, 100);
        save(inspector, out + "/folder-inspector" + suffix);

        inspector.activateThumbnail(2);
        spin(
            [&] {
                return inspector.childPreview() && inspector.childPreview()->previewKind() !=
                                                       QuickLookHostView::PreviewKind::Loading;
            },
            10000);
        spin([] { return false; }, 100);
        save(inspector, out + "/folder-child-preview" + suffix);
    }
    return 0;
}
