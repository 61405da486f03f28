#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QUuid>

#include <optional>

// The telemetry kind of a triage decision. Not to be confused with the undo record's
// ActionRecord::ActionType, which describes what happened on disk.
enum class ActionType { slotRoute, trash, customFolder, skip, rename };

// How the user started an action.
enum class InputMethod { keyboard, mouse };

// The coarse kind of a triaged file; the only thing about a file that telemetry keeps.
enum class FileCategory { screenshot, image, document, archiveOrInstaller, code, media, other };

// Raw values are the strings stored in the session maps and sent in events.
QString rawValue(ActionType type);
QString rawValue(InputMethod input);
QString rawValue(FileCategory category);
std::optional<ActionType> actionTypeFromRawValue(const QString& raw);
std::optional<InputMethod> inputMethodFromRawValue(const QString& raw);
std::optional<FileCategory> fileCategoryFromRawValue(const QString& raw);

// What happened during one triage session. Counters are signed 64-bit and stop at the
// maximum rather than wrapping.
struct TriageSessionStats
{
    QUuid sessionID;
    QDateTime startTime;
    qint64 initialItemCount = 0;
    qint64 filesTriaged = 0;
    QMap<QString, qint64> actionCounts;
    QMap<QString, qint64> inputMethodCounts;
    QMap<QString, qint64> categoryCounts;
    qint64 undoCount = 0;
    qint64 quicklookCount = 0;

    // A fresh session: new identifier, every count 0.
    static TriageSessionStats begin(qint64 initialItemCount, const QDateTime& startTime);

    // The entry of a map, 0 when missing.
    static qint64 count(const QMap<QString, qint64>& counts, const QString& key);

    bool operator==(const TriageSessionStats&) const = default;
};

// a + b, held at the largest value instead of overflowing.
qint64 saturatingAdd(qint64 a, qint64 b);
