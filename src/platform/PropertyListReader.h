#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// Reads XML property lists (the Apple plist format, as in GoogleService-Info.plist).
// Values map to QVariant: dict -> QVariantMap, array -> QVariantList, string -> QString,
// integer -> qint64, real -> double, true/false -> bool, date -> QDateTime (UTC),
// data -> QByteArray. Binary plists are not supported.
class PropertyListReader
{
public:
    // Files and nesting beyond these limits are refused rather than read.
    static constexpr qint64 maximumFileSize = 4 * 1024 * 1024;
    static constexpr int maximumDepth = 64;

    // The root value of a property list document, or nothing when the text is not a
    // well-formed property list (*errorMessage says why).
    static std::optional<QVariant> parse(const QByteArray& data, QString* errorMessage = nullptr);

    // The root dictionary of the file at path, or nothing when the file cannot be read,
    // is not a property list or its root is not a dictionary.
    static std::optional<QVariantMap> readDictionary(const QString& path,
                                                     QString* errorMessage = nullptr);
};
