#pragma once

#include <QString>

// An error value as the services hand it around: a domain, a code and a description
// that can be shown to the user. It is what the logger prints after " | Error: " and
// what the crash reporter records as a non-fatal error.
//
// How failures are reported, everywhere:
// - The code is never a bare number: an errno value in the POSIX domain (fromErrno), or a
//   named Code below in a com.stowbird domain (make). The file actions keep their own named
//   constants (FileExecutionEngine, FileMover, CancelToken) in the file engine's domain.
// - A platform call that fails throws an AppError (a file action a FileOperationError,
//   which carries one); a service that cannot go on returns false or nothing and hands the
//   AppError or its message to its caller or listeners. Nothing reports a success that did
//   not happen.
// - Every failure is logged through the service's ServiceLog at ERROR, with the AppError
//   when there is one.
// - A failure that stops Stowbird from doing its job (a folder it cannot watch, history or
//   settings it cannot write) is also raised on BlockingProblems, which the window and the
//   tray show until the cause is gone.
struct AppError
{
    // Stowbird's own failure codes, by name. The values are stable: they reach the log and
    // the crash reports.
    enum class Code : int {
        // The login item (com.stowbird.autostart).
        AutostartFolderNotCreated = 1,
        AutostartEntryNotWritten = 2,
        ProgramFileMissing = 3,
        AutostartEntryNotRemoved = 4,
    };

    QString domain;
    int code = 0;
    QString localizedDescription;

    // An error for a failed system call, in the POSIX domain, described by strerror.
    static AppError fromErrno(int err, const QString& context = {});
    // An error with one of the named codes.
    static AppError make(const QString& domain, Code code, const QString& description)
    {
        return AppError{domain, int(code), description};
    }

    bool operator==(const AppError&) const = default;
};
