#pragma once

#include <QString>

class FatalReportSink;

// Writes the crash report when the process dies of an uncaught C++ exception
// (std::set_terminate) or a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL):
// to standard output and, atomically, to the crash file, replacing the previous report;
// then hands the crash to the crash reporter. Everything the signal path needs is prepared
// by install(), so that it runs on write(2) and friends alone.
class CrashHandler
{
public:
    // Installs the handlers (again, with new paths, when called twice). reporter may be
    // null.
    static void install(const QString& crashFilePath, FatalReportSink* reporter);
};
