#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

// The persisted list of skipped paths: a JSON array of strings.
class SkipList
{
public:
    // The set of paths, or nothing when the document is not a JSON array of strings.
    static std::optional<QSet<QString>> decode(const QByteArray& json);

    // A compact JSON array of the paths in sorted order, "/" escaped as "\/".
    static QByteArray encode(const QSet<QString>& paths);
};
