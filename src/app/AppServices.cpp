#include "app/AppServices.h"

#include "crashreporting/CrashReporter.h"
#include "platform/FileManagerRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"

AppServices AppServices::shared()
{
    return AppServices{TriageQueueManager::shared(),    ConfigurationService::shared(),
                       LoggerService::shared(),         CrashReporter::shared(),
                       TelemetryService::shared(),      FileExecutionEngine::shared(),
                       UpdateService::shared(),         LaunchAtLoginService::shared(),
                       GlobalShortcutService::shared(), std::make_shared<FileManagerRevealer>()};
}
