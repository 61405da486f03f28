#include "platform/CrashHandler.h"
#include "platform/PrivateStorage.h"

#include "platform/FatalReportSink.h"
#include "platform/PosixWrite.h"
#include "platform/UtcTimestamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <typeinfo>
#include <unistd.h>

namespace {

constexpr const char* header =
    "==================== FATAL UNCAUGHT EXCEPTION ====================\n";
constexpr const char* footer = "==================================================================";
constexpr int maximumFrames = 128;
constexpr int fatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};

// Everything below is prepared by install() and only read while crashing.
char g_crashPath[PATH_MAX];
char g_crashTemporaryPath[PATH_MAX];
char g_crashDirectory[PATH_MAX];
std::atomic<FatalReportSink*> g_reporter{nullptr};
// Set by the first thread that starts a report; later crashes (the abort that follows a
// terminate handler, a second thread faulting) leave that report alone.
std::atomic_flag g_reporting = ATOMIC_FLAG_INIT;
void* g_frames[maximumFrames];
char g_faultReason[64];
alignas(16) char g_alternateStack[64 * 1024];

void writeReport(int fd, const char* timestamp, const char* name, const char* reason,
                 int frameCount) noexcept
{
    PosixWrite::text(fd, header);
    PosixWrite::text(fd, "Timestamp: ");
    PosixWrite::text(fd, timestamp);
    PosixWrite::text(fd, "\nName: ");
    PosixWrite::text(fd, name);
    PosixWrite::text(fd, "\nReason: ");
    PosixWrite::text(fd, reason);
    PosixWrite::text(fd, "\nCall Stack:\n");
    // backtrace_symbols_fd writes one frame per line without allocating.
    if (frameCount > 0)
        backtrace_symbols_fd(g_frames, frameCount, fd);
    PosixWrite::text(fd, footer);
}

// mkdir -p on a copy of the prepared folder path, with stack storage only.
void makeFolders() noexcept
{
    char path[PATH_MAX];
    std::strcpy(path, g_crashDirectory);
    for (char* p = path + 1; *p; ++p) {
        if (*p != '/')
            continue;
        *p = '\0';
        ::mkdir(path, 0700);
        *p = '/';
    }
    ::mkdir(path, 0700);
}

// The report to standard output, then to the crash file (temporary file and rename, so a
// reader never sees half a report), then to the crash reporter.
void report(const char* name, const char* reason, int frameCount) noexcept
{
    char timestamp[UtcTimestamp::length + 1];
    UtcTimestamp::formatNow(timestamp);
    if (!reason || !*reason)
        reason = "Unknown";

    writeReport(STDOUT_FILENO, timestamp, name, reason, frameCount);
    PosixWrite::text(STDOUT_FILENO, "\n");

    if (g_crashPath[0] != '\0' && g_crashTemporaryPath[0] != '\0') {
        makeFolders();
        const int fd = ::open(g_crashTemporaryPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            writeReport(fd, timestamp, name, reason, frameCount);
            ::fsync(fd);
            ::close(fd);
            ::rename(g_crashTemporaryPath, g_crashPath);
        }
    }

    if (FatalReportSink* reporter = g_reporter.load())
        reporter->writeFatalReport(FatalReport{timestamp, name, reason, g_frames, frameCount});
}

const char* signalName(int signal) noexcept
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGABRT:
        return "SIGABRT";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    }
    return "SIGNAL";
}

const char* signalDescription(int signal) noexcept
{
    switch (signal) {
    case SIGSEGV:
        return "Segmentation fault";
    case SIGABRT:
        return "Aborted";
    case SIGBUS:
        return "Bus error";
    case SIGFPE:
        return "Floating-point exception";
    case SIGILL:
        return "Illegal instruction";
    }
    return "Fatal signal";
}

// "Segmentation fault at 0x1234" into g_faultReason, without printf.
const char* faultReason(int signal, const siginfo_t* info) noexcept
{
    const char* description = signalDescription(signal);
    if (!info || (signal != SIGSEGV && signal != SIGBUS) || info->si_code == SI_USER ||
        info->si_code == SI_TKILL)
        return description;
    char* out = g_faultReason;
    const char* end = g_faultReason + sizeof g_faultReason - 1;
    for (const char* p = description; *p && out < end; ++p)
        *out++ = *p;
    for (const char* p = " at 0x"; *p && out < end; ++p)
        *out++ = *p;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    bool started = false;
    for (int shift = int(sizeof address * 8) - 4; shift >= 0 && out < end; shift -= 4) {
        const unsigned digit = unsigned(address >> shift) & 0xfu;
        if (!digit && !started && shift > 0)
            continue;
        started = true;
        *out++ = "0123456789abcdef"[digit];
    }
    *out = '\0';
    return g_faultReason;
}

void onFatalSignal(int signal, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    if (!g_reporting.test_and_set()) {
        const int frameCount = backtrace(g_frames, maximumFrames);
        report(signalName(signal), faultReason(signal, info), frameCount);
    }
    // Die of the same signal with the default action, so the exit status tells the truth.
    struct sigaction defaults
    {
    };
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    sigaction(signal, &defaults, nullptr);
    errno = savedErrno;
    raise(signal);
}

std::string demangle(const char* mangled)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    if (status != 0 || !readable)
        return mangled;
    std::string result(readable);
    std::free(readable);
    return result;
}

[[noreturn]] void onTerminate()
{
    if (!g_reporting.test_and_set()) {
        std::string name = "std::terminate";
        std::string reason;
        if (std::current_exception()) {
            if (const std::type_info* type = abi::__cxa_current_exception_type())
                name = demangle(type->name());
            try {
                std::rethrow_exception(std::current_exception());
            } catch (const std::exception& e) {
                reason = e.what() ? e.what() : "";
            } catch (...) {
            }
        }
        const int frameCount = backtrace(g_frames, maximumFrames);
        report(name.c_str(), reason.c_str(), frameCount);
    }
    std::abort();
}

bool copyPath(const QByteArray& path, char* out)
{
    if (path.isEmpty() || path.size() >= PATH_MAX) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, path.constData(), std::size_t(path.size()));
    out[path.size()] = '\0';
    return true;
}

} // namespace

void CrashHandler::install(const QString& crashFilePath, FatalReportSink* reporter)
{
    const QString absolute = QFileInfo(crashFilePath).absoluteFilePath();
    const QString folder = QFileInfo(absolute).absolutePath();
    PrivateStorage::makeFolder(folder);
    if (!copyPath(QFile::encodeName(absolute), g_crashPath) ||
        !copyPath(QFile::encodeName(absolute + QStringLiteral(".tmp")), g_crashTemporaryPath) ||
        !copyPath(QFile::encodeName(folder), g_crashDirectory)) {
        g_crashPath[0] = '\0';
        g_crashTemporaryPath[0] = '\0';
    }
    g_reporter.store(reporter);

    // The first backtrace() loads the unwinder, which allocates: do it now, not while
    // crashing.
    backtrace(g_frames, maximumFrames);

    // Handlers run on their own stack so that a stack overflow can still be reported.
    stack_t stack{};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action
    {
    };
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : fatalSignals)
        sigaction(signal, &action, nullptr);

    std::set_terminate(onTerminate);
}
