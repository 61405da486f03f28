#include "app/CrashReportingSetup.h"

#include "app/AppServices.h"
#include "crashreporting/CrashReporter.h"
#include "models/AppConfig.h"
#include "platform/BundleResources.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"

#include <QSysInfo>

void CrashReportingSetup::apply(const AppServices& services, const AppConfig& config)
{
    LoggerService& logger = services.logger;
    CrashReporter& reporter = services.crashReporter;
    const QString optionsPath = BundleResources::optionsFilePath();
    if (optionsPath.isEmpty() || !reporter.configure(optionsPath)) {
        logger.info(QStringLiteral(
            "Crash reporting options (GoogleService-Info.plist) not loaded; crash reporting "
            "skipped."));
        return;
    }
    logger.info(QStringLiteral("Crash reporter initialized successfully."));

    const bool diagnostics = config.general.anonymousDiagnosticsEnabled;
    reporter.setCollectionEnabled(diagnostics);
    services.telemetry.setIsEnabled(diagnostics);

    // The distribution and its release ("Debian GNU/Linux 12 (bookworm)") and the kernel:
    // together they say which system a crash happened on.
    reporter.setCustomValue(QStringLiteral("os_version"), QSysInfo::prettyProductName());
    reporter.setCustomValue(QStringLiteral("kernel_version"), QSysInfo::kernelVersion());
    reporter.setCustomValue(QStringLiteral("cpu_arch"), QSysInfo::currentCpuArchitecture());
    reporter.setCustomValue(QStringLiteral("launch_at_login"), services.launchAtLogin.isEnabled());
    reporter.setCustomValue(QStringLiteral("configured_slots_count"),
                            int(config.destinationSlots.size()));
    reporter.setCustomValue(QStringLiteral("lifetime_triaged"),
                            services.telemetry.lifetimeFilesTriaged());
}
