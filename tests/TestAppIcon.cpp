#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "views/AppIconArtwork.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace {

// How many pixels are close to white and how many are mostly blue, among opaque pixels.
struct Census
{
    int white = 0;
    int blue = 0;
    int opaque = 0;
};

Census census(const QImage& image)
{
    Census c;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QColor color = argb.pixelColor(x, y);
            if (color.alpha() < 250)
                continue;
            ++c.opaque;
            if (color.red() > 235 && color.green() > 235 && color.blue() > 235)
                ++c.white;
            else if (color.blue() > color.red() + 40)
                ++c.blue;
        }
    return c;
}

} // namespace

class TestAppIcon : public QObject
{
    Q_OBJECT

private slots:
    void rendersEverySize_data()
    {
        QTest::addColumn<int>("pixels");
        for (int size : {16, 22, 24, 32, 48, 256, 512})
            QTest::addRow("%d", size) << size;
    }

    void rendersEverySize()
    {
        QFETCH(int, pixels);
        const QImage image = AppIconArtwork::render(pixels);
        QCOMPARE(image.size(), QSize(pixels, pixels));
        // A rounded tile: clear corners, a solid body with a white broom on a blue tile.
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(pixels - 1, 0).alpha(), 0);
        const Census c = census(image);
        const int area = pixels * pixels;
        QVERIFY2(c.opaque > area * 2 / 3, qPrintable(QString::number(c.opaque)));
        // The broom stays a clear shape at every size, not a few stray pixels nor the tile.
        QVERIFY2(c.white > area / 20 && c.white < area / 3, qPrintable(QString::number(c.white)));
        QVERIFY2(c.blue > area / 4, qPrintable(QString::number(c.blue)));
    }

    void smallSizesUseTheSimplifiedDrawing()
    {
        // The simplified tile reaches closer to the edge, so that 16 pixels are well used.
        const int limit = AppIconArtwork::smallArtworkLimit;
        QVERIFY(AppIconArtwork::render(limit).pixelColor(1, limit / 2).alpha() > 200);
        QCOMPARE(AppIconArtwork::render(limit + 8).pixelColor(1, (limit + 8) / 2).alpha(), 0);
    }

    void badSizesGiveNoImage()
    {
        QVERIFY(AppIconArtwork::render(0).isNull());
        QVERIFY(AppIconArtwork::render(-16).isNull());
    }

    void iconCarriesEverySize()
    {
        const QIcon icon = AppIconArtwork::icon();
        QVERIFY(!icon.isNull());
        QList<QSize> expected;
        for (int size : AppIconArtwork::sizes())
            expected.append(QSize(size, size));
        QCOMPARE(icon.availableSizes(), expected);
        // The icon hands out its own renderings, not scaled copies of another size.
        QCOMPARE(icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32),
                 AppIconArtwork::render(16).convertToFormat(QImage::Format_ARGB32));
    }

    void launchGivesTheApplicationAndTheHUDTheIcon()
    {
        const QString downloads = QDir::homePath() + QStringLiteral("/Downloads");
        QVERIFY(QDir().mkpath(downloads));
        AppDelegate::Options options;
        options.downloadsDirectory = downloads;
        options.openHUDAtLaunch = false;
        HudTestServices<> services(QDir::homePath());
        AppDelegate delegate(services.appServices(), options);
        delegate.applicationDidFinishLaunching();

        // The tray glyph only goes up to 64 pixels; the application icon has large sizes.
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(256, 256)), qPrintable(QString::number(sizes.size())));
        QVERIFY(delegate.hudPanel());
        QVERIFY(delegate.hudPanel()->windowIcon().availableSizes().contains(QSize(256, 256)));
        QCOMPARE(delegate.hudPanel()->windowTitle(), QStringLiteral("Stowbird"));
        delegate.applicationWillTerminate();
    }
};

STOWBIRD_TEST_MAIN(TestAppIcon)
#include "TestAppIcon.moc"
