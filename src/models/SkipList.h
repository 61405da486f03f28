#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

// The on-disk form of the skipped paths: one compact JSON array of strings, each "/"
// escaped as "\/".
class SkipList
{
public:
    // The set of strings in a JSON array of strings; nothing for anything else.
    static std::optional<QSet<QString>> decode(const QByteArray& data);
    static QByteArray encode(const QSet<QString>& paths);
};
