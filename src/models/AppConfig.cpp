#include "models/AppConfig.h"

#include "models/JsonText.h"

#include <QCoreApplication>

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>

using nlohmann::json;

namespace {

// Thrown inside decode() only; turned into the error text.
struct DecodeError
{
    std::string message;
};

[[noreturn]] void fail(const std::string& path, const char* what)
{
    throw DecodeError{path + ": " + what};
}

const json& requireKey(const json& object, const char* key, const std::string& path)
{
    const auto it = object.find(key);
    if (it == object.end())
        fail(path, (std::string("missing key \"") + key + "\"").c_str());
    return *it;
}

// Integers may be written as whole floating-point numbers (14.0) but must fit in an int.
int toInt(const json& value, const std::string& path)
{
    if (value.is_number_integer()) {
        if (value.is_number_unsigned()) {
            const auto v = value.get<std::uint64_t>();
            if (v > std::uint64_t(std::numeric_limits<int>::max()))
                fail(path, "integer out of range");
            return int(v);
        }
        const auto v = value.get<std::int64_t>();
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            fail(path, "integer out of range");
        return int(v);
    }
    if (value.is_number_float()) {
        const double v = value.get<double>();
        if (!std::isfinite(v) || v != std::trunc(v) || v < std::numeric_limits<int>::min() ||
            v > std::numeric_limits<int>::max())
            fail(path, "expected an integer");
        return int(v);
    }
    fail(path, "expected an integer");
}

double toDouble(const json& value, const std::string& path)
{
    if (!value.is_number())
        fail(path, "expected a number");
    const double v = value.get<double>();
    // A literal beyond the double range parses as infinity, which could not be written back.
    if (!std::isfinite(v))
        fail(path, "number out of range");
    return v;
}

bool toBool(const json& value, const std::string& path)
{
    if (!value.is_boolean())
        fail(path, "expected a boolean");
    return value.get<bool>();
}

QString toString(const json& value, const std::string& path)
{
    if (!value.is_string())
        fail(path, "expected a string");
    return QString::fromStdString(value.get_ref<const std::string&>());
}

const json& toObject(const json& value, const std::string& path)
{
    if (!value.is_object())
        fail(path, "expected an object");
    return value;
}

const json& toArray(const json& value, const std::string& path)
{
    if (!value.is_array())
        fail(path, "expected an array");
    return value;
}

// An optional general key: absent or null keeps the default.
template <typename T, typename Convert>
void readOptional(const json& object, const char* key, T& target, Convert convert)
{
    const auto it = object.find(key);
    if (it == object.end() || it->is_null())
        return;
    target = convert(*it, std::string("general.") + key);
}

// The extra inboxes: left out rather than failing the document, each with a note.
QStringList decodeInboxes(const json& root, QStringList* notes)
{
    QStringList inboxes;
    const auto it = root.find("additionalInboxes");
    if (it == root.end() || it->is_null())
        return inboxes;
    const auto note = [notes](const QString& text) {
        if (notes)
            notes->append(text);
    };
    if (!it->is_array()) {
        note(QStringLiteral("additionalInboxes: expected an array; no other inbox is watched"));
        return inboxes;
    }
    for (std::size_t i = 0; i < it->size(); ++i) {
        const json& entry = (*it)[i];
        const QString where = QStringLiteral("additionalInboxes[%1]").arg(i);
        if (!entry.is_string()) {
            note(where + QStringLiteral(": expected a folder path; left out"));
            continue;
        }
        const QString path = QString::fromStdString(entry.get_ref<const std::string&>());
        if (path.trimmed().isEmpty())
            note(where + QStringLiteral(": empty path; left out"));
        else
            inboxes.append(path);
    }
    return inboxes;
}

AppConfig decodeRoot(const json& root, QStringList* notes)
{
    toObject(root, "root");
    AppConfig config;

    config.version = toInt(requireKey(root, "version", "root"), "version");

    const json& general = toObject(requireKey(root, "general", "root"), "general");
    readOptional(general, "launchAtLogin", config.general.launchAtLogin, toBool);
    readOptional(general, "globalHotkey", config.general.globalHotkey, toString);
    readOptional(general, "debounceSeconds", config.general.debounceSeconds, toDouble);
    readOptional(general, "autoPurgeInstallersAfterDays",
                 config.general.autoPurgeInstallersAfterDays, toInt);
    readOptional(general, "suggestDestinations", config.general.suggestDestinations, toBool);
    readOptional(general, "anonymousDiagnosticsEnabled", config.general.anonymousDiagnosticsEnabled,
                 toBool);
    QString notice;
    readOptional(general, "notifyNewDownloads", notice, toString);
    if (const auto when = AppConfig::noticeFromKey(notice))
        config.general.notifyNewDownloads = *when;

    const json& slotArray =
        toArray(requireKey(root, "destinationSlots", "root"), "destinationSlots");
    config.destinationSlots.clear();
    config.destinationSlots.reserve(qsizetype(slotArray.size()));
    for (std::size_t i = 0; i < slotArray.size(); ++i) {
        const std::string path = "destinationSlots[" + std::to_string(i) + "]";
        const json& entry = toObject(slotArray[i], path);
        DestinationSlot slot;
        slot.slot = toInt(requireKey(entry, "slot", path), path + ".slot");
        slot.name = toString(requireKey(entry, "name", path), path + ".name");
        slot.path = toString(requireKey(entry, "path", path), path + ".path");
        config.destinationSlots.append(slot);
    }

    const json& patterns =
        toArray(requireKey(root, "autoTrashPatterns", "root"), "autoTrashPatterns");
    config.autoTrashPatterns.clear();
    config.autoTrashPatterns.reserve(qsizetype(patterns.size()));
    for (std::size_t i = 0; i < patterns.size(); ++i)
        config.autoTrashPatterns.append(
            toString(patterns[i], "autoTrashPatterns[" + std::to_string(i) + "]"));
    config.additionalInboxes = decodeInboxes(root, notes);
    return config;
}

} // namespace

QList<DestinationSlot> AppConfig::defaultSlots(const QString& documentsFolder,
                                               const QString& picturesFolder)
{
    // The names are the user's from then on, so they start in the user's language; the
    // folders keep their names.
    const auto name = [](const char* text) {
        return QCoreApplication::translate("AppConfig", text);
    };
    return {
        {1, name(QT_TRANSLATE_NOOP("AppConfig", "Documents")), documentsFolder},
        {2, name(QT_TRANSLATE_NOOP("AppConfig", "Work Projects")),
         QStringLiteral("~/Developer/Projects")},
        {3, name(QT_TRANSLATE_NOOP("AppConfig", "Invoices & Finance")),
         documentsFolder + QStringLiteral("/Finance")},
        {4, name(QT_TRANSLATE_NOOP("AppConfig", "Screenshots")),
         picturesFolder + QStringLiteral("/Screenshots")},
    };
}

QString AppConfig::noticeKey(NewDownloadNotice when)
{
    switch (when) {
    case NewDownloadNotice::Never:
        return QStringLiteral("never");
    case NewDownloadNotice::Always:
        return QStringLiteral("always");
    case NewDownloadNotice::WithoutTray:
        break;
    }
    return QStringLiteral("noTray");
}

std::optional<AppConfig::NewDownloadNotice> AppConfig::noticeFromKey(const QString& key)
{
    for (const NewDownloadNotice when :
         {NewDownloadNotice::Never, NewDownloadNotice::WithoutTray, NewDownloadNotice::Always})
        if (key == noticeKey(when))
            return when;
    return std::nullopt;
}

std::optional<AppConfig> AppConfig::decode(const QByteArray& data, QString* error,
                                           QStringList* notes)
{
    try {
        const json root = json::parse(data.constBegin(), data.constEnd());
        return decodeRoot(root, notes);
    } catch (const DecodeError& e) {
        if (error)
            *error = QString::fromStdString(e.message);
    } catch (const json::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
    }
    return std::nullopt;
}

QByteArray AppConfig::encode() const
{
    // nlohmann::json keeps object members in a std::map, so keys come out sorted.
    json slotArray = json::array();
    for (const DestinationSlot& slot : destinationSlots)
        slotArray.push_back(json{{"slot", slot.slot},
                                 {"name", slot.name.toStdString()},
                                 {"path", slot.path.toStdString()}});
    json patterns = json::array();
    for (const QString& pattern : autoTrashPatterns)
        patterns.push_back(pattern.toStdString());
    json root{
        {"version", version},
        {"general",
         {{"launchAtLogin", general.launchAtLogin},
          {"globalHotkey", general.globalHotkey.toStdString()},
          {"debounceSeconds", general.debounceSeconds},
          {"autoPurgeInstallersAfterDays", general.autoPurgeInstallersAfterDays},
          {"anonymousDiagnosticsEnabled", general.anonymousDiagnosticsEnabled},
          {"suggestDestinations", general.suggestDestinations},
          {"notifyNewDownloads", noticeKey(general.notifyNewDownloads).toStdString()}}},
        {"destinationSlots", slotArray},
        {"autoTrashPatterns", patterns},
    };
    // Left out while there are none: such a file is written as before there were other
    // inboxes.
    if (!additionalInboxes.isEmpty()) {
        json& inboxes = root["additionalInboxes"] = json::array();
        for (const QString& inbox : additionalInboxes)
            inboxes.push_back(inbox.toStdString());
    }
    // A string holding invalid UTF-16 (a lone surrogate) is written with replacement
    // characters rather than failing the save.
    const std::string text = root.dump(2, ' ', false, json::error_handler_t::replace) + '\n';
    return QByteArray::fromStdString(JsonText::escapeSlashes(text));
}
