#pragma once

#include <QString>

class LoggerService;
struct AppError;
struct TriageItem;

// Writes the log line of a triage action that failed. The log names items by their extension
// only: the description shown to the user may hold the item's name (or, for a partial move,
// the names left behind) and names quoted by the error; the log line holds none of them.
class ActionFailureLog
{
public:
    static void write(LoggerService& logger, const QString& actionName, const AppError& error,
                      const TriageItem& item);
};
