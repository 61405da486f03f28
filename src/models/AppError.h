#pragma once

#include <QString>

// An error value as the services hand it around: a domain, a code and a description
// that can be shown to the user. It is what the logger prints after " | Error: " and
// what the crash reporter records as a non-fatal error.
struct AppError
{
    QString domain;
    int code = 0;
    QString localizedDescription;

    // An error for a failed system call, in the POSIX domain, described by strerror.
    static AppError fromErrno(int err, const QString& context = {});

    bool operator==(const AppError&) const = default;
};
