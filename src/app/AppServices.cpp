#include "app/AppServices.h"

#include "crashreporting/CrashReporter.h"
#include "platform/FileManagerRevealer.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/HistoryStore.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"

AppServices AppServices::shared()
{
    // The history opens its file on a thread of its own: nothing here waits for the disk.
    // Its undos restore from the same trash the file engine moves to.
    return AppServices{TriageQueueManager::shared(),
                       ConfigurationService::shared(),
                       LoggerService::shared(),
                       CrashReporter::shared(),
                       TelemetryService::shared(),
                       FileExecutionEngine::shared(),
                       UpdateService::shared(),
                       LaunchAtLoginService::shared(),
                       GlobalShortcutService::shared(),
                       std::make_shared<FileManagerRevealer>(),
                       std::make_shared<HistoryStore>(
                           HistoryStore::defaultDatabasePath(),
                           std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()))};
}
