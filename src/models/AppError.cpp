#include "models/AppError.h"

#include <cstring>

AppError AppError::fromErrno(int err, const QString& context)
{
    QString text = QString::fromLocal8Bit(std::strerror(err));
    if (!context.isEmpty())
        text = context + QStringLiteral(": ") + text;
    return AppError{QStringLiteral("NSPOSIXErrorDomain"), err, text};
}
