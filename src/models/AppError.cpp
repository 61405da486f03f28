#include "models/AppError.h"

#include <QCoreApplication>

#include <cstring>

AppError AppError::fromErrno(int err, const QString& context)
{
    QString text = QString::fromLocal8Bit(std::strerror(err));
    if (!context.isEmpty())
        text = QCoreApplication::translate("AppError", "%1: %2").arg(context, text);
    return AppError{QStringLiteral("NSPOSIXErrorDomain"), err, text};
}
