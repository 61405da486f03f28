#include "services/ActionFailureLog.h"

#include "models/AppError.h"
#include "models/TriageItem.h"
#include "platform/FileMover.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"

#include <QRegularExpression>

void ActionFailureLog::write(LoggerService& logger, const QString& actionName,
                             const AppError& error, const TriageItem& item)
{
    QString logged = error.localizedDescription;
    if (error.code == FileMover::partialMoveCode)
        logged = QStringLiteral("part of the folder stayed where it was (changed during the "
                                "copy, still being written or not removable)");
    else if (!item.filename.isEmpty())
        logged.replace(item.filename,
                       QStringLiteral("item (.%1)").arg(FileExecutionEngine::logToken(item)));
    // Names the errors quote ("x" already exists ...).
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    logged.replace(quoted, QStringLiteral("\"…\""));
    logger.log(QStringLiteral("ERROR"),
               QStringLiteral("Action '%1' failed | Error: %2").arg(actionName, logged));
}
