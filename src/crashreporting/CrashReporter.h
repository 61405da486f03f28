#pragma once

#include "models/AppError.h"
#include "platform/FatalReportSink.h"

#include <QString>
#include <QVariant>

// The six operations through which the program reports crashes, non-fatal errors,
// breadcrumbs and custom values. Every operation is safe from any thread and does nothing
// until configure() has succeeded.
class CrashReporter : public FatalReportSink
{
public:
    virtual ~CrashReporter() = default;

    // The process-wide reporter.
    static CrashReporter& shared();

    // Reads the options file; false when it cannot be used (nothing is configured then).
    virtual bool configure(const QString& optionsFilePath) = 0;
    virtual void setCollectionEnabled(bool enabled) = 0;
    // value is a bool, an integer or a string.
    virtual void setCustomValue(const QString& key, const QVariant& value) = 0;
    virtual void recordError(const AppError& error) = 0;
    virtual void log(const QString& breadcrumb) = 0;

    // Called by the crash handler while the process dies, possibly inside a signal
    // handler: implementations may only make async-signal-safe calls and must not
    // allocate or lock.
    void writeFatalReport(const FatalReport& report) noexcept override { (void)report; }
};
