#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "services/TriageActionController.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char usage[] = "Usage: stowbird [--background] [--status] [--help] [--version]\n"
                         "\n"
                         "Stowbird keeps your Downloads folder empty: it watches the folder,\n"
                         "queues finished downloads and lets you file each one with a key.\n"
                         "\n"
                         "Options:\n"
                         "      --background  Start in the tray without opening the window.\n"
                         "      --status      Print the running Stowbird's waiting count and exit\n"
                         "                    (status 1 when it is not running, 3 when it runs\n"
                         "                    but does not answer).\n"
                         "  -h, --help        Show this help and exit.\n"
                         "  -v, --version     Show the version and exit.\n"
                         "\n"
                         "Launching Stowbird again while it runs opens its window.\n";

struct Arguments
{
    bool background = false;
    bool status = false;
};

// Answers --help and --version without starting the GUI. Returns -1 to go on.
int handleCommandLine(int argc, char** argv, Arguments* arguments)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--background") == 0) {
            arguments->background = true;
            continue;
        }
        if (std::strcmp(arg, "--status") == 0) {
            arguments->status = true;
            continue;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0) {
            std::printf("stowbird %s\n", STOWBIRD_VERSION);
            return 0;
        }
        // Options Qt itself understands (-platform, -style, ...) pass through.
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "-style") == 0 ||
            std::strcmp(arg, "-display") == 0) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "stowbird: unknown option '%s'\n\n%s", arg, usage);
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    if (const int status = handleCommandLine(argc, argv, &arguments); status >= 0)
        return status;

    if (arguments.status) {
        // No GUI needed to ask the running instance.
        QCoreApplication core(argc, argv);
        SingleInstance instance;
        const std::optional<QByteArray> answer = instance.queryRunningInstance();
        if (!answer && instance.isLockHeld()) {
            // Stopped (SIGSTOP, a debugger), hung, or on its way out.
            std::puts("Stowbird is running but does not answer (it may be stopped or busy)");
            return 3;
        }
        if (!answer) {
            std::puts("Stowbird is not running");
            return 1;
        }
        std::puts(QByteArray(*answer).replace('\t', '\n').constData());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stowbird"));
    QApplication::setOrganizationName(QStringLiteral("stowbird"));
    QApplication::setApplicationDisplayName(QStringLiteral("Stowbird"));
    QApplication::setDesktopFileName(QStringLiteral("com.stowbird.Stowbird"));
    QApplication::setApplicationVersion(QStringLiteral(STOWBIRD_VERSION));
    // The program lives in the tray: hiding the HUD must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // From here on SIGTERM, SIGINT and SIGHUP quit through the normal path (once the event
    // loop runs), also while the program is ending.
    TerminationSignals signalWatcher;

    // One Stowbird per user: a second launch opens the running one's HUD and leaves.
    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::Primary:
        break;
    case SingleInstance::Claim::ForwardedToRunning:
        return 0;
    case SingleInstance::Claim::RunningButSilent:
        // Starting a second copy would have two programs filing the same downloads.
        std::fprintf(stderr, "stowbird: Stowbird is already running but did not answer within a "
                             "second (it may be busy or stopped); not starting a second copy\n");
        return 1;
    case SingleInstance::Claim::Unavailable:
        std::fprintf(stderr,
                     "stowbird: %s; starting anyway, but a second launch will not find this "
                     "one\n",
                     qPrintable(instance.errorString()));
        break;
    }

    AppDelegate::Options options;
    options.openHUDAtLaunch = !arguments.background;
    AppDelegate delegate(AppServices::shared(), options);
    instance.setStatusProvider([&delegate] {
        const bool shown = delegate.hudPanel() && delegate.hudPanel()->isVisible();
        QString answer = QStringLiteral("waiting=%1 hud=%2")
                             .arg(delegate.waitingCount())
                             .arg(shown ? QStringLiteral("shown") : QStringLiteral("hidden"));
        // The window's status line, when it shows one; the answer is one line, so it
        // follows a tab and --status prints it on a line of its own.
        if (const TriageActionController* actions = delegate.actions()) {
            if (const std::optional<StatusLine> line = actions->status())
                answer += QStringLiteral("\tstatus: ") +
                          QString(line->text).replace(u'\t', u' ').replace(u'\n', u' ');
        }
        return answer.toUtf8();
    });
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     &AppDelegate::openHUD);
    QObject::connect(&signalWatcher, &TerminationSignals::terminationRequested, &delegate,
                     &AppDelegate::quitApp);
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);

    delegate.applicationDidFinishLaunching();
    const int status = app.exec();

    // Quit cancelled the file actions in flight; what may still run are the readers behind
    // previews, thumbnails and listings, and a cancelled action blocked on a file system
    // that does not answer. This instance answers no more, but holds the lock
    // until the process is gone: a launch meanwhile waits for it rather than start beside it.
    instance.stopAnsweringKeepLock();
    if (!delegate.waitForBackgroundReaders(AppDelegate::backgroundReadersGraceMs)) {
        // One is stuck (a read that never returns): the destructors from here on would wait
        // for it for ever. The log is on disk; nothing else is left to finish.
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(status);
    }
    return status;
}
