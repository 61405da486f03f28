#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

// Reads XML property lists (the format of GoogleService-Info.plist). Values become
// QString, qint64, double, bool, QDateTime, QByteArray, QVariantList and QVariantMap.
class PropertyList
{
public:
    // The root dictionary of the file, or nothing when it cannot be read, is not a
    // well-formed XML property list or its root is not a dictionary.
    static std::optional<QVariantMap> readDictionary(const QString& path);
    static std::optional<QVariantMap> parseDictionary(const QByteArray& xml);

    // Property lists of this size are refused; real options files are a few KiB.
    static constexpr qint64 maximumSize = 1024 * 1024;
};
