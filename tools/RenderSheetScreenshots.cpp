// Renders the shortcut sheet and the preferences sheet over a stand-in triage window, and the
// update window with release notes, in a light and a dark palette, to PNG files for the
// documentation:
//   SheetScreenshots <output folder>
// Run with QT_QPA_PLATFORM=offscreen; it uses a temporary home like the tests.
#include "ScreenshotPalettes.h"
#include "TestEnvironment.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/ScriptedShortcutBackend.h"
#include "platform/XdgAutostartBackend.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "services/LaunchAtLoginService.h"
#include "services/TelemetryService.h"
#include "services/UpdateService.h"
#include "views/CheatSheetOverlay.h"
#include "views/SettingsSheet.h"
#include "views/SettingsView.h"
#include "views/UpdateWindow.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>

#include <cstdio>
#include <memory>

namespace {

// A plain window with a header line, enough to show what the scrim dims.
class StandInWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        QFont font = painter.font();
        font.setPixelSize(13);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(16, 0, 400, 40), Qt::AlignVCenter, QStringLiteral("Stowbird"));
        painter.fillRect(QRect(0, 40, width(), 1), palette().color(QPalette::Mid));
        painter.fillRect(QRect(0, 41, 420, height() - 41), palette().color(QPalette::Base));
    }
};

bool save(QWidget& window, const QString& path)
{
    // Let pending layout requests settle, as the event loop would before the first paint.
    QApplication::processEvents();
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    FakeCrashReporter reporter;
    ConfigurationService config(environment.root() + QStringLiteral("/config"));
    LaunchAtLoginService login(std::make_unique<XdgAutostartBackend>(
        XdgAutostartBackend::defaultAutostartDirectory(), QCoreApplication::applicationFilePath()));
    UpdateService updates(
        QUrl(), QStringLiteral("1.0"),
        std::make_unique<QSettings>(environment.root() + "/updates.conf", QSettings::IniFormat));
    TelemetryService telemetry(
        std::make_unique<QSettings>(environment.root() + "/defaults.conf", QSettings::IniFormat),
        reporter, nullptr);

    // The desktop-wide shortcut as an X11 session binds it.
    GlobalShortcutService shortcut;
    shortcut.start(QStringLiteral("Alt+Shift+D"), std::make_unique<ScriptedShortcutBackend>());
    bool ok = true;
    const QPalette light = ScreenshotPalettes::light();
    for (const auto& [name, palette] :
         {std::pair{QStringLiteral("light"), light},
          std::pair{QStringLiteral("dark"), ScreenshotPalettes::dark()}}) {
        QApplication::setPalette(palette);
        {
            StandInWindow window;
            window.resize(840, 540);
            CheatSheetOverlay overlay(
                shortcut, [] {}, &window);
            overlay.show();
            window.show();
            ok &= save(window, out + QStringLiteral("/cheat-sheet-%1.png").arg(name));
        }
        {
            // The smallest window the HUD allows: every caption still on one line.
            StandInWindow window;
            window.resize(760, 480);
            CheatSheetOverlay overlay(
                shortcut, [] {}, &window);
            overlay.show();
            window.show();
            ok &= save(window, out + QStringLiteral("/cheat-sheet-minimum-%1.png").arg(name));
        }
        {
            StandInWindow window;
            window.resize(840, 540);
            SettingsSheet sheet(
                config, login, updates, telemetry, shortcut, [] {}, &window);
            window.show();
            ok &= save(window, out + QStringLiteral("/settings-%1.png").arg(name));
        }
        {
            // Notes as a feed sends them, with markup that is dropped (an image, a style, a
            // script) beside what is kept.
            UpdateWindow window;
            window.showUpdateAvailable(
                QStringLiteral("1.2"), QStringLiteral("1.1"),
                QStringLiteral("<h3>What's new</h3><ul><li><b>Faster triage</b>: keys are never "
                               "dropped during a long move</li><li>Undo checks that the file is "
                               "still the one it moved</li></ul><img src=\"file:///dev/zero\">"
                               "<style>p{color:red}</style><script>x()</script><p>Details at "
                               "<a href=\"https://example.org/notes\">example.org</a>.</p>"),
                QUrl(QStringLiteral("https://example.org/Stowbird-1.2.tar.gz")));
            window.resize(480, 360);
            ok &= save(window, out + QStringLiteral("/update-available-%1.png").arg(name));
        }
    }
    return ok ? 0 : 1;
}
