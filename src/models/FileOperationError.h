#pragma once

#include "models/AppError.h"

#include <stdexcept>

// Thrown by every operation that touches the user's files. It carries the error value that
// the caller shows in its status line (and, where the engine says so, logs and reports).
class FileOperationError : public std::runtime_error
{
public:
    explicit FileOperationError(const AppError& error);

    // An error for a failed system call; context says what was being done. Contexts never
    // hold a file name or path, because some of these errors end up in the log.
    static FileOperationError fromErrno(int err, const QString& context);

    const AppError& error() const { return m_error; }
    // True when this error is the system error err (EEXIST, EXDEV, ...).
    bool isErrno(int err) const;

private:
    AppError m_error;
};
