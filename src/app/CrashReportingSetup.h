#pragma once

struct AppConfig;
struct AppServices;

// Configures crash reporting at launch from its options file and the user's settings: whether
// reports (and the measurements) are sent, and what each report says about the system it
// comes from. Without an options file crash reporting is skipped, and logged.
class CrashReportingSetup
{
public:
    static void apply(const AppServices& services, const AppConfig& config);
};
