// Responsiveness of the preview area:
//  - the longest gap in the GUI event loop while a 24-megapixel JPEG or a 200-page PDF is
//    opened in the preview host (goal < 50 ms), and how long until it is shown;
//  - the folder inspector of a 5,000-entry folder: construction to listing shown (< 200 ms);
//  - 16 thumbnails of 12-megapixel JPEGs ready (< 1.5 s).
// Usage: BenchPreviews [runs]   (runs the offscreen platform unless QT_QPA_PLATFORM is set)
#include "TestEnvironment.h"
#include "fakes/TestLogger.h"
#include "models/FolderListing.h"
#include "views/FolderInspectorView.h"
#include "views/QuickLookHostView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Ticks a zero-interval timer and records the longest time between two ticks.
class GapMeter
{
public:
    GapMeter()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            if (qEnvironmentVariableIsSet("GAPDEBUG") && now - m_last > 30000000)
                std::printf("gap %.1f ms ending at %.1f ms\n", (now - m_last) / 1e6, now / 1e6);
            m_last = now;
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    double stopMs()
    {
        m_timer.stop();
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        return m_longest / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void spin(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void spinFor(int ms)
{
    spin([] { return false; }, ms);
}

QImage photoLikeImage(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(30, 80, 160));
    gradient.setColorAt(0.5, QColor(220, 180, 90));
    gradient.setColorAt(1, QColor(40, 140, 60));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 9));
    for (int x = 0; x < size.width(); x += 97)
        painter.drawLine(x, 0, size.width() - x, size.height());
    return image;
}

void writeJpeg(const QString& path, const QSize& size)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(photoLikeImage(size)))
        qFatal("cannot write %s", qPrintable(path));
}

void writePdf(const QString& path, int pages)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    QFont font = painter.font();
    font.setPointSize(12);
    painter.setFont(font);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawText(QPointF(400, 600),
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
        for (int line = 0; line < 40; ++line)
            painter.drawText(
                QPointF(400, 1000 + line * 250),
                QStringLiteral("Line %1 of a generated document with some text to lay out.")
                    .arg(line + 1));
    }
}

struct Figures
{
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median() const
    {
        auto sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    double first() const { return values.front(); }
};

void report(const char* what, const Figures& figures, const char* unit)
{
    std::printf("%-58s first %8.1f  median %8.1f  max %8.1f %s\n", what, figures.first(),
                figures.median(), figures.max(), unit);
}

// Opens `path` in a shown preview host; returns {longest gap, time until shown} in ms.
std::pair<double, double> openInHost(QWidget& window, LoggerService& logger, const QString& path)
{
    GapMeter meter;
    QElapsedTimer clock;
    meter.start();
    spinFor(20);
    clock.start();
    auto* host = new QuickLookHostView(QUrl::fromLocalFile(path), logger, false, false, &window);
    host->resize(window.size());
    host->show();
    spin([host] { return host->previewKind() != QuickLookHostView::PreviewKind::Loading; }, 20000);
    const double shownMs = clock.nsecsElapsed() / 1e6;
    // Keep measuring while the preview paints and renders its first pages.
    spinFor(500);
    const double gap = meter.stopMs();
    delete host;
    spinFor(50);
    return {gap, shownMs};
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TestEnvironment environment;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    TestLogger log;

    std::printf("Preparing samples...\n");
    const QString jpeg = dir.filePath("photo-24mp.jpg");
    writeJpeg(jpeg, QSize(6000, 4000));
    const QString pdf = dir.filePath("document-200.pdf");
    writePdf(pdf, 200);

    const QString bigFolder = dir.filePath("five-thousand");
    QDir().mkpath(bigFolder);
    for (int i = 0; i < 5000; ++i) {
        const QString name = i % 50 == 0   ? QStringLiteral("Folder %1").arg(i)
                             : i % 7 == 0  ? QStringLiteral("IMG_%1.jpg").arg(i)
                             : i % 11 == 0 ? QStringLiteral("report-%1.pdf").arg(i)
                                           : QStringLiteral("file%1.txt").arg(i);
        if (name.startsWith(QLatin1String("Folder")))
            QDir().mkpath(bigFolder + QLatin1Char('/') + name);
        else
            QFile(bigFolder + QLatin1Char('/') + name).open(QIODevice::WriteOnly);
    }

    const QString photos = dir.filePath("photos");
    QDir().mkpath(photos);
    const QImage twelveMp = photoLikeImage(QSize(4000, 3000));
    for (int i = 1; i <= 16; ++i) {
        QImageWriter writer(photos + QStringLiteral("/photo%1.jpg").arg(i), "jpeg");
        writer.setQuality(90);
        writer.write(twelveMp);
    }
    std::printf("Samples ready (%s). Runs: %d\n\n", qPrintable(dir.path()), runs);

    QWidget window;
    window.resize(840, 540);
    window.show();
    spinFor(100);

    Figures jpegGap, jpegShown, pdfGap, pdfShown;
    for (int run = 0; run < runs; ++run) {
        const auto [gap, shown] = openInHost(window, log.logger, jpeg);
        jpegGap.add(gap);
        jpegShown.add(shown);
    }
    for (int run = 0; run < runs; ++run) {
        const auto [gap, shown] = openInHost(window, log.logger, pdf);
        pdfGap.add(gap);
        pdfShown.add(shown);
    }
    report("24 MP JPEG: longest event-loop gap", jpegGap, "ms");
    report("24 MP JPEG: open to shown", jpegShown, "ms");
    report("200-page PDF: longest event-loop gap", pdfGap, "ms");
    report("200-page PDF: open to shown", pdfShown, "ms");

    Figures listOnly;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        const auto items = FolderListing::list(QUrl::fromLocalFile(bigFolder));
        listOnly.add(clock.nsecsElapsed() / 1e6);
        if (items.size() != 5000)
            std::printf("warning: %lld entries\n", qlonglong(items.size()));
    }
    report("5,000-entry folder: listing alone (worker side)", listOnly, "ms");

    Figures listing, listingGap;
    for (int run = 0; run < runs; ++run) {
        GapMeter meter;
        meter.start();
        QElapsedTimer clock;
        clock.start();
        auto* view =
            new FolderInspectorView(QUrl::fromLocalFile(bigFolder), 123456789, log.logger, &window);
        view->resize(window.size());
        view->show();
        spin([view] { return view->isListingReady(); }, 20000);
        view->repaint(); // the listing as painted, not only as built
        listing.add(clock.nsecsElapsed() / 1e6);
        spinFor(100);
        listingGap.add(meter.stopMs());
        delete view;
        PreviewLoader::threadPool()->waitForDone();
        spinFor(50);
    }
    report("5,000-entry folder: construction to listing painted", listing, "ms");
    report("5,000-entry folder: longest event-loop gap", listingGap, "ms");

    Figures thumbnails, thumbnailGap;
    for (int run = 0; run < runs; ++run) {
        GapMeter meter;
        meter.start();
        QElapsedTimer clock;
        clock.start();
        auto* view = new FolderInspectorView(QUrl::fromLocalFile(photos), 0, log.logger, &window);
        view->resize(window.size());
        view->show();
        bool ready = false;
        QObject::connect(view, &FolderInspectorView::thumbnailsReady, [&ready] { ready = true; });
        spin([&ready] { return ready; }, 20000);
        view->repaint();
        thumbnails.add(clock.nsecsElapsed() / 1e6);
        thumbnailGap.add(meter.stopMs());
        if (view->thumbnails().size() != 16)
            std::printf("warning: %lld thumbnails\n", qlonglong(view->thumbnails().size()));
        delete view;
        spinFor(50);
    }
    report("16 thumbnails of 12 MP JPEGs: construction to painted", thumbnails, "ms");
    report("16 thumbnails: longest event-loop gap", thumbnailGap, "ms");
    return 0;
}
