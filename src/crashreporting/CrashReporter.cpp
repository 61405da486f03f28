#include "crashreporting/CrashReporter.h"

namespace {

// Placeholder until the local crash reporter exists: accepts every call and does nothing.
class NullCrashReporter final : public CrashReporter
{
public:
    bool configure(const QString&) override { return false; }
    void setCollectionEnabled(bool) override {}
    void setCustomValue(const QString&, const QVariant&) override {}
    void recordError(const AppError&) override {}
    void log(const QString&) override {}
};

} // namespace

CrashReporter& CrashReporter::shared()
{
    static NullCrashReporter reporter;
    return reporter;
}
