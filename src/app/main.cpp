#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "platform/UiTranslations.h"
#include "services/TriageActionController.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTranslator>

#include <algorithm>
#include <iterator>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// How long --quit waits for the running copy to be gone.
constexpr int quitWaitMs = 10000;

constexpr char usage[] =
    "Usage: stowbird [--background | --toggle | --quit | --status] [--help] [--version]\n"
    "\n"
    "Stowbird keeps your Downloads folder empty: it watches the folder,\n"
    "queues finished downloads and lets you file each one with a key.\n"
    "\n"
    "Options:\n"
    "      --background  Start in the tray without opening the window; when Stowbird\n"
    "                    runs already, leave its window as it is.\n"
    "      --toggle      Show the running Stowbird's window, or hide it when it is\n"
    "                    shown; start Stowbird with its window when it is not running.\n"
    "      --quit        Ask the running Stowbird to quit and wait until it has\n"
    "                    (status 1 when it is not running, 3 when it does not answer\n"
    "                    or does not end).\n"
    "      --status      Print the running Stowbird's waiting count and exit\n"
    "                    (status 1 when it is not running, 3 when it runs\n"
    "                    but does not answer); what keeps it from seeing new\n"
    "                    downloads, as its window and tray say, goes to standard error.\n"
    "  -h, --help        Show this help and exit.\n"
    "  -v, --version     Show the version and exit.\n"
    "\n"
    "Launching Stowbird again while it runs opens its window.\n";

// What this launch asks for; at most one of these.
enum class Mode { Launch, Background, Toggle, Quit, Status };

struct Arguments
{
    Mode mode = Mode::Launch;
};

// A mistake on the command line: one line saying what, and where to read more.
int badUsage(const char* message, const char* arg)
{
    std::fprintf(stderr, "stowbird: %s '%s'\nTry 'stowbird --help' for more information.\n",
                 message, arg);
    return 2;
}

// Answers --help and --version without starting the GUI. Returns -1 to go on.
int handleCommandLine(int argc, char** argv, Arguments* arguments)
{
    static constexpr struct
    {
        const char* name;
        Mode mode;
    } modes[] = {{"--background", Mode::Background},
                 {"--toggle", Mode::Toggle},
                 {"--quit", Mode::Quit},
                 {"--status", Mode::Status}};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const auto mode = std::find_if(std::begin(modes), std::end(modes), [arg](const auto& m) {
            return std::strcmp(arg, m.name) == 0;
        });
        if (mode != std::end(modes)) {
            if (arguments->mode != Mode::Launch && arguments->mode != mode->mode)
                return badUsage("only one of --background, --toggle, --quit and --status, not",
                                arg);
            arguments->mode = mode->mode;
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
        return badUsage(arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
    }
    return -1;
}

// --status and --quit talk to the running copy without a GUI of their own.
int askRunningInstance(int argc, char** argv, Mode mode)
{
    QCoreApplication core(argc, argv);
    SingleInstance instance;
    const auto notAnswering = [] {
        // Stopped (SIGSTOP, a debugger), hung, or on its way out.
        std::puts("Stowbird is running but does not answer (it may be stopped or busy)");
        return 3;
    };
    if (mode == Mode::Quit) {
        if (!instance.askRunningInstanceToQuit()) {
            if (instance.isLockHeld())
                return notAnswering();
            std::puts("Stowbird is not running");
            return 1;
        }
        // It holds its lock until the process is gone: done only once that is so. Quit
        // cancels file actions in flight and waits briefly for readers, well within this.
        const QDeadlineTimer deadline(quitWaitMs);
        while (instance.isLockHeld() && !deadline.hasExpired())
            QThread::msleep(50);
        if (instance.isLockHeld()) {
            std::puts("Stowbird was asked to quit but is still running");
            return 3;
        }
        return 0;
    }
    const std::optional<QByteArray> answer = instance.queryRunningInstance();
    if (!answer && instance.isLockHeld())
        return notAnswering();
    if (!answer) {
        std::puts("Stowbird is not running");
        return 1;
    }
    // What keeps it from doing its job goes to standard error: the count stays one line.
    for (const QByteArray& line : answer->split('\t')) {
        const bool problem = line.startsWith("window: ") || line.startsWith("tray: ");
        std::fprintf(problem ? stderr : stdout, "%s\n", line.constData());
    }
    return 0;
}

// The answer to --status: the waiting count and whether the window is shown, then what the
// window's status line says and what stops the program from doing its job.
QByteArray statusAnswer(const AppDelegate& delegate)
{
    const bool shown = delegate.hudPanel() && delegate.hudPanel()->isVisible();
    QString answer = QStringLiteral("waiting=%1 hud=%2")
                         .arg(delegate.waitingCount())
                         .arg(shown ? QStringLiteral("shown") : QStringLiteral("hidden"));
    // The window's status line, when it shows one; the answer is one line, so it follows a
    // tab and --status prints it on a line of its own.
    if (const TriageActionController* actions = delegate.actions()) {
        if (const std::optional<StatusLine> line = actions->status())
            answer += QStringLiteral("\tstatus: ") +
                      QString(line->text).replace(u'\t', u' ').replace(u'\n', u' ');
    }
    // What stops it from doing its job, as the window's strip and the tray's tooltip say.
    if (delegate.problems().isEmpty())
        return answer.toUtf8();
    if (const TriageContainerView* view = delegate.containerView())
        answer += QStringLiteral("\twindow: ") + view->problemText().replace(u'\n', u' ');
    answer += QStringLiteral("\ttray: ") + delegate.trayToolTip().replace(u'\n', u' ');
    return answer.toUtf8();
}

// What a second launch, a signal and the end of the event loop ask of the running program.
void connectRequests(SingleInstance& instance, const TerminationSignals& signalWatcher,
                     const QApplication& app, AppDelegate& delegate)
{
    instance.setStatusProvider([&delegate] { return statusAnswer(delegate); });
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     &AppDelegate::openHUD);
    QObject::connect(&instance, &SingleInstance::toggleRequested, &delegate, [&delegate] {
        if (delegate.hudPanel() && delegate.hudPanel()->isVisible())
            delegate.dismissHUD();
        else
            delegate.openHUD();
    });
    QObject::connect(&instance, &SingleInstance::quitRequested, &delegate, &AppDelegate::quitApp);
    QObject::connect(&signalWatcher, &TerminationSignals::terminationRequested, &delegate,
                     &AppDelegate::quitApp);
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
}

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    if (const int status = handleCommandLine(argc, argv, &arguments); status >= 0)
        return status;

    if (arguments.mode == Mode::Status || arguments.mode == Mode::Quit)
        return askRunningInstance(argc, argv, arguments.mode);

    QApplication app(argc, argv);
    // The session's language, before any window is built.
    UiTranslations::install(QLocale::system());
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

    // One Stowbird per user: a second launch opens the running one's HUD (shows or hides it
    // with --toggle, leaves it as it is with --background) and leaves.
    SingleInstance instance;
    const QByteArray forward = arguments.mode == Mode::Background
                                   ? InstanceMessage::backgroundRequest()
                               : arguments.mode == Mode::Toggle ? InstanceMessage::toggleRequest()
                                                                : InstanceMessage::openHUDRequest();
    switch (instance.claim(1000, forward)) {
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
    options.openHUDAtLaunch = arguments.mode != Mode::Background;
    // Every service, built once and kept for the life of the process.
    static AppServices::Root* const root = new AppServices::Root;
    AppDelegate delegate(root->services(), options);
    connectRequests(instance, signalWatcher, app, delegate);
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
