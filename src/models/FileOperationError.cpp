#include "models/FileOperationError.h"

FileOperationError::FileOperationError(const AppError& error)
    : std::runtime_error(error.localizedDescription.toStdString()), m_error(error)
{
}

FileOperationError FileOperationError::fromErrno(int err, const QString& context)
{
    return FileOperationError(AppError::fromErrno(err, context));
}

bool FileOperationError::isErrno(int err) const
{
    return m_error.code == err && m_error.domain == AppError::fromErrno(err).domain;
}
