#include "models/TriageSessionStats.h"

#include <limits>

namespace {

template <typename Enum, size_t N>
std::optional<Enum> fromRaw(const QString& raw, const Enum (&cases)[N])
{
    for (Enum value : cases) {
        if (rawValue(value) == raw)
            return value;
    }
    return std::nullopt;
}

} // namespace

QString rawValue(ActionType type)
{
    switch (type) {
    case ActionType::slotRoute:
        return QStringLiteral("slot_route");
    case ActionType::trash:
        return QStringLiteral("trash");
    case ActionType::customFolder:
        return QStringLiteral("custom_folder");
    case ActionType::skip:
        return QStringLiteral("skip");
    case ActionType::rename:
        return QStringLiteral("rename");
    }
    return {};
}

QString rawValue(InputMethod input)
{
    switch (input) {
    case InputMethod::keyboard:
        return QStringLiteral("keyboard");
    case InputMethod::mouse:
        return QStringLiteral("mouse");
    }
    return {};
}

QString rawValue(FileCategory category)
{
    switch (category) {
    case FileCategory::screenshot:
        return QStringLiteral("screenshot");
    case FileCategory::image:
        return QStringLiteral("image");
    case FileCategory::document:
        return QStringLiteral("document");
    case FileCategory::archiveOrInstaller:
        return QStringLiteral("archive_installer");
    case FileCategory::code:
        return QStringLiteral("code");
    case FileCategory::media:
        return QStringLiteral("media");
    case FileCategory::other:
        return QStringLiteral("other");
    }
    return {};
}

std::optional<ActionType> actionTypeFromRawValue(const QString& raw)
{
    static const ActionType cases[] = {ActionType::slotRoute, ActionType::trash,
                                       ActionType::customFolder, ActionType::skip,
                                       ActionType::rename};
    return fromRaw(raw, cases);
}

std::optional<InputMethod> inputMethodFromRawValue(const QString& raw)
{
    static const InputMethod cases[] = {InputMethod::keyboard, InputMethod::mouse};
    return fromRaw(raw, cases);
}

std::optional<FileCategory> fileCategoryFromRawValue(const QString& raw)
{
    static const FileCategory cases[] = {FileCategory::screenshot, FileCategory::image,
                                         FileCategory::document,   FileCategory::archiveOrInstaller,
                                         FileCategory::code,       FileCategory::media,
                                         FileCategory::other};
    return fromRaw(raw, cases);
}

TriageSessionStats TriageSessionStats::begin(qint64 initialItemCount, const QDateTime& startTime)
{
    TriageSessionStats stats;
    stats.sessionID = QUuid::createUuid();
    stats.startTime = startTime;
    stats.initialItemCount = initialItemCount;
    return stats;
}

qint64 TriageSessionStats::count(const QMap<QString, qint64>& counts, const QString& key)
{
    return counts.value(key, 0);
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}
