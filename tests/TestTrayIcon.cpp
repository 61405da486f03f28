// The tray icon: its badge read at every tray size, at scale 1 and 2, on a light and on a
// dark panel; and a click on it, which shows the window or puts it away. The click runs on
// the real program with a StatusNotifierItem watcher on a private session bus, so that the
// program has a tray icon to click.
#include "HudTestServices.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "views/TrayBadgeIcon.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

const QColor lightPanel(0xef, 0xf0, 0xf1);
const QColor darkPanel(0x20, 0x23, 0x26);

// Relative luminance and contrast ratio as WCAG defines them.
double luminance(QRgb rgb)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

double contrast(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QImage onPanel(QImage icon, const QColor& panel)
{
    icon.setDevicePixelRatio(1.0);
    QImage result(icon.size(), QImage::Format_RGB32);
    result.fill(panel);
    QPainter(&result).drawImage(0, 0, icon);
    return result;
}

// Squared steps between neighbouring pixels: a sharp edge counts fully, a blurred one
// (spread over two pixels) half.
double sharpness(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y + 1 < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x) {
            const double here = luminance(image.pixel(x, y));
            sum += std::pow(luminance(image.pixel(x + 1, y)) - here, 2) +
                   std::pow(luminance(image.pixel(x, y + 1)) - here, 2);
        }
    return sum;
}

} // namespace

class TestTrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void everyCountDrawsItsOwnBadge()
    {
        QCOMPARE(TrayBadgeIcon::badgeText(0), QString());
        QCOMPARE(TrayBadgeIcon::badgeText(9), QStringLiteral("9"));
        QCOMPARE(TrayBadgeIcon::badgeText(10), QStringLiteral("10"));
        QCOMPARE(TrayBadgeIcon::badgeText(99), QStringLiteral("99"));
        QCOMPARE(TrayBadgeIcon::badgeText(100), QStringLiteral("99+"));
        // At the smallest size too, no two counts up to 99+ look alike (nothing cut off)...
        QSet<QByteArray> seen;
        for (int count = 0; count <= 100; ++count) {
            const QImage image = TrayBadgeIcon::render(16, 1.0, count);
            seen.insert(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(seen.size(), 101);
        // ...and every count above 99 looks like 100.
        QCOMPARE(TrayBadgeIcon::render(22, 2.0, 12345), TrayBadgeIcon::render(22, 2.0, 100));
    }

    void badgeFitsAndReadsOnBothPanels_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("count");
        for (int size : {16, 22, 24, 32})
            for (qreal ratio : {1.0, 2.0})
                for (int count : {1, 7, 13, 99, 100})
                    QTest::addRow("%dpx@%gx:%d", size, ratio, count) << size << ratio << count;
    }

    void badgeFitsAndReadsOnBothPanels()
    {
        QFETCH(int, size);
        QFETCH(qreal, ratio);
        QFETCH(int, count);
        const int pixels = int(size * ratio);

        // Painted on a canvas three times as large, nothing lands outside the icon.
        QImage canvas(3 * pixels, 3 * pixels, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.translate(pixels, pixels);
            TrayBadgeIcon::paint(painter, size, ratio, count);
        }
        const QRect icon(pixels, pixels, pixels, pixels);
        int outside = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                outside += !icon.contains(x, y) && qAlpha(canvas.pixel(x, y)) > 0;
        QCOMPARE(outside, 0);

        // Inside the badge's outline: the pill and the digits.
        const TrayBadgeIcon::Layout layout = TrayBadgeIcon::layout(size, ratio, count);
        const qreal inset = layout.outline + ratio;
        QPainterPath inner;
        inner.addRoundedRect(layout.pill.adjusted(inset, inset, -inset, -inset),
                             layout.radius - inset, layout.radius - inset);
        const QImage picture = TrayBadgeIcon::render(size, ratio, count);
        QCOMPARE(picture.size(), QSize(pixels, pixels));
        for (const QColor& panel : {lightPanel, darkPanel}) {
            const QImage shown = onPanel(picture, panel);
            QList<double> badge;
            QRect digits;
            for (int y = 0; y < pixels; ++y)
                for (int x = 0; x < pixels; ++x)
                    if (inner.contains(QPointF(x + 0.5, y + 0.5))) {
                        badge.append(luminance(shown.pixel(x, y)));
                        if (badge.last() > 0.5)
                            digits |= QRect(x, y, 1, 1);
                    }
            QVERIFY(!badge.isEmpty());
            std::sort(badge.begin(), badge.end());
            const double pill = badge[badge.size() / 4];
            // The digits are drawn large: at least 40 % of the icon's height...
            QVERIFY2(digits.height() >= int(0.4 * pixels),
                     qPrintable(QString::number(digits.height())));
            // ...in a colour of at least 4.5:1 against the pill, and not only at a few
            // pixels: at least half the digits' height of such pixels per character.
            const auto solid = std::count_if(badge.begin(), badge.end(),
                                             [&](double l) { return contrast(l, pill) >= 4.5; });
            QVERIFY2(solid >= TrayBadgeIcon::badgeText(count).size() * layout.digitHeight / 2,
                     qPrintable(QString::number(solid)));
            // The badge stands out from the panel by its fill or by its outline (3:1).
            const QPoint edge(int(layout.pill.center().x()),
                              int(layout.pill.top() + layout.outline / 2));
            const double panelLuminance = luminance(panel.rgb());
            const double outstanding =
                std::max(contrast(pill, panelLuminance),
                         contrast(luminance(shown.pixel(edge)), panelLuminance));
            QVERIFY2(outstanding >= 3.0, qPrintable(QString::number(outstanding)));
        }
    }

    void scaleTwoIsDrawnAtScaleTwo()
    {
        for (int size : {16, 22, 24, 32}) {
            const QIcon icon = TrayBadgeIcon::icon(13);
            const QPixmap twice = icon.pixmap(QSize(size, size), 2.0);
            QCOMPARE(twice.size(), QSize(2 * size, 2 * size));
            QCOMPARE(twice.devicePixelRatio(), 2.0);
            const QImage sharp = onPanel(twice.toImage(), darkPanel);
            const QImage once = onPanel(icon.pixmap(QSize(size, size), 1.0).toImage(), darkPanel);
            // Not the small picture enlarged: neither in blocks of 2 x 2 pixels...
            int blocks = 0;
            for (int y = 0; y < sharp.height(); y += 2)
                for (int x = 0; x < sharp.width(); x += 2)
                    blocks += sharp.pixel(x, y) != sharp.pixel(x + 1, y) ||
                              sharp.pixel(x, y) != sharp.pixel(x, y + 1) ||
                              sharp.pixel(x, y) != sharp.pixel(x + 1, y + 1);
            QVERIFY2(blocks > size * size / 10, qPrintable(QString::number(blocks)));
            // ...nor resampled: edges as sharp as at scale 1, over twice their length (an
            // enlargement comes to about 1, a larger picture made smaller to about 1.6).
            const double ratio = sharpness(sharp) / sharpness(once);
            QVERIFY2(ratio > 1.9, qPrintable(QString::number(ratio)));
        }
    }

    void clickOnTheTrayTogglesTheWindow()
    {
        PrivateSessionBus bus;
        if (bus.address().isEmpty())
            QSKIP("dbus-daemon is not installed (package dbus)");
        // Before anything in the process opens the session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address());
        QProcess watcher;
        watcher.start(QStringLiteral(FAKE_DESKTOP_SERVICES), {QStringLiteral("--watcher")});
        QVERIFY(watcher.waitForStarted(5000));
        QByteArray output;
        while (!output.contains("READY") && watcher.waitForReadyRead(5000))
            output += watcher.readAllStandardOutput();
        QVERIFY(output.contains("READY"));

        AppDelegate::Options options;
        options.downloadsDirectory = QDir::homePath() + QStringLiteral("/Downloads");
        options.bindGlobalShortcut = false;
        HudTestServices<> services(QDir::homePath());
        AppDelegate delegate(services.appServices(), options);
        delegate.applicationDidFinishLaunching();
        QTRY_VERIFY_WITH_TIMEOUT(delegate.statusItem(), 5000);
        TriageHUDPanel* window = delegate.hudPanel();
        auto inFront = [window] {
            return QGuiApplication::focusWindow() == window->windowHandle();
        };
        QTRY_VERIFY(inFront());
        auto click = [&](QSystemTrayIcon::ActivationReason reason) {
            emit delegate.statusItem()->activated(reason);
        };

        // In front: a click puts it away; the next brings it back, in front.
        click(QSystemTrayIcon::Trigger);
        QVERIFY(!window->isVisible());
        click(QSystemTrayIcon::Trigger);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(inFront());
        click(QSystemTrayIcon::MiddleClick);
        QVERIFY(window->isVisible());

        // The panel took the focus as it was clicked: the window was in front all the same.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(QGuiApplication::focusWindow() == other.windowHandle());
        click(QSystemTrayIcon::Trigger);
        QVERIFY(!window->isVisible());

        // Behind another window for a while: a click brings it to the front.
        click(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(inFront());
        other.activateWindow();
        QTRY_VERIFY(QGuiApplication::focusWindow() == other.windowHandle());
        QTRY_VERIFY(!delegate.isHUDInFront());
        click(QSystemTrayIcon::Trigger);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(inFront());

        delegate.applicationWillTerminate();
        watcher.terminate();
        watcher.waitForFinished(5000);
    }
};

STOWBIRD_TEST_MAIN(TestTrayIcon)
#include "TestTrayIcon.moc"
