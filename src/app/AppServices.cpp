#include "app/AppServices.h"

#include "BuildSettings.h"
#include "crashreporting/LocalCrashReporter.h"
#include "platform/BundleResources.h"
#include "platform/FileManagerRevealer.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "platform/SystemJournal.h"
#include "platform/UserDefaults.h"
#include "platform/XdgAutostartBackend.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/HistoryStore.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/MeasurementDispatcher.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"

#include <cstdlib>

namespace {

// The logger whose last lines are waited for at exit (the program's root is never
// destroyed, so its logger's destructor does not run).
LoggerService* exitLogger = nullptr;

// Makes a logger the one LoggerService::shared() returns while the services built after it
// live. Every part is handed the logger it uses; shared() names the same one for code that
// is no part of the program's services.
struct SharedLogger
{
    explicit SharedLogger(LoggerService& logger)
    {
        LoggerService::setShared(&logger);
        if (!exitLogger) {
            // Gives the writer a moment at exit so that the last lines ("Application
            // terminating.") reach the file.
            std::atexit([] {
                if (exitLogger)
                    exitLogger->waitForWritten(2000);
            });
        }
        exitLogger = &logger;
    }
    ~SharedLogger()
    {
        exitLogger = nullptr;
        LoggerService::setShared(nullptr);
    }
    SharedLogger(const SharedLogger&) = delete;
    SharedLogger& operator=(const SharedLogger&) = delete;
};

} // namespace

// Declared in the order they are built: each is made from those above it.
struct AppServices::Root::Parts
{
    SystemJournal journal;
    LocalCrashReporter crashReporter;
    LoggerService logger{StoragePaths::stateDirectory(), crashReporter, journal};
    SharedLogger sharedLogger{logger};
    ConfigurationService config;
    TriageQueueManager queue{StoragePaths::stateDirectory()};
    // Shows files in the file manager, for the window and for the file engine.
    std::shared_ptr<ItemRevealer> revealer = std::make_shared<FileManagerRevealer>();
    FileExecutionEngine engine{std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()),
                               revealer, logger, crashReporter};
    MeasurementDispatcher dispatcher{QStringLiteral(STOWBIRD_MEASUREMENT_ENDPOINT),
                                     BundleResources::optionsFilePath(),
                                     BundleResources::infoDictionary()};
    TelemetryService telemetry{UserDefaults::open(), crashReporter, &dispatcher};
    UpdateService updates{QUrl(QStringLiteral(STOWBIRD_UPDATE_FEED_URL)),
                          BundleResources::version(), UserDefaults::open()};
    // Registers the binary that is running, so that an installed copy starts itself at login.
    LaunchAtLoginService launchAtLogin{
        std::make_unique<XdgAutostartBackend>(XdgAutostartBackend::defaultAutostartDirectory(),
                                              XdgAutostartBackend::currentExecutablePath())};
    GlobalShortcutService globalShortcut;
    // The history opens its file on a thread of its own: nothing here waits for the disk.
    // Its undos restore from the same trash the file engine moves to.
    std::shared_ptr<HistoryStore> history = std::make_shared<HistoryStore>(
        HistoryStore::defaultDatabasePath(),
        std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), logger);
};

AppServices::Root::Root() : m_parts(std::make_unique<Parts>()) {}

AppServices::Root::~Root() = default;

AppServices AppServices::Root::services() const
{
    Parts& parts = *m_parts;
    return AppServices{parts.queue,          parts.config,   parts.logger,  parts.crashReporter,
                       parts.telemetry,      parts.engine,   parts.updates, parts.launchAtLogin,
                       parts.globalShortcut, parts.revealer, parts.history};
}
