#include "crashreporting/CrashReporter.h"

#include "crashreporting/LocalCrashReporter.h"

CrashReporter& CrashReporter::shared()
{
    // Never destroyed: threads may still log while the process exits.
    static LocalCrashReporter* reporter = new LocalCrashReporter();
    return *reporter;
}
