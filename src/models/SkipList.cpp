#include "models/SkipList.h"

#include "models/JsonText.h"

#include <QStringList>

#include <nlohmann/json.hpp>

#include <type_traits>

using nlohmann::json;

namespace {

QByteArray dump(const json& document)
{
    const std::string text = document.dump(-1, ' ', false, json::error_handler_t::replace);
    return QByteArray::fromStdString(JsonText::escapeSlashes(text));
}

template <typename T> T numberOr(const json& object, const char* key, T fallback)
{
    const auto it = object.find(key);
    const bool fits = std::is_unsigned_v<T> ? it != object.end() && it->is_number_unsigned()
                                            : it != object.end() && it->is_number_integer();
    if (!fits)
        return fallback;
    return it->get<T>();
}

} // namespace

bool SkipList::Identity::isSameFile(const Identity& now) const
{
    if (!isValid() || !now.isValid() || inode != now.inode)
        return false;
    if (device != 0 && now.device != 0 && device != now.device)
        return false;
    // A freed inode number is soon given to the next new file; its birth time tells them
    // apart.
    return bornNs == 0 || now.bornNs == 0 || bornNs == now.bornNs;
}

bool SkipList::Identity::isCompletedBy(const Identity& now) const
{
    return (device == 0 && now.device != 0) || (bornNs == 0 && now.bornNs != 0);
}

std::optional<SkipList::Entries> SkipList::decode(const QByteArray& data)
{
    const json root = json::parse(data.constBegin(), data.constEnd(), nullptr, false);
    if (!root.is_array())
        return std::nullopt;
    Entries entries;
    entries.reserve(qsizetype(root.size()));
    for (const json& entry : root) {
        if (entry.is_string()) {
            entries.insert(QString::fromStdString(entry.get_ref<const std::string&>()), {});
            continue;
        }
        if (!entry.is_object())
            return std::nullopt;
        const auto path = entry.find("path");
        if (path == entry.end() || !path->is_string())
            return std::nullopt;
        Identity identity;
        identity.inode = numberOr<quint64>(entry, "inode", 0);
        if (identity.isValid()) {
            identity.device = numberOr<quint64>(entry, "device", 0);
            identity.bornNs = numberOr<qint64>(entry, "born", 0);
        }
        entries.insert(QString::fromStdString(path->get_ref<const std::string&>()), identity);
    }
    return entries;
}

QByteArray SkipList::encodePaths(const QList<QString>& paths)
{
    QStringList sorted = paths;
    sorted.sort();
    json array = json::array();
    for (const QString& path : std::as_const(sorted))
        array.push_back(path.toStdString());
    return dump(array);
}

QByteArray SkipList::encodeIdentities(const Entries& entries)
{
    QStringList sorted = entries.keys();
    sorted.sort();
    json array = json::array();
    for (const QString& path : std::as_const(sorted)) {
        json entry = json::object();
        entry["path"] = path.toStdString();
        const Identity identity = entries.value(path);
        if (identity.isValid()) {
            entry["device"] = identity.device;
            entry["inode"] = identity.inode;
            entry["born"] = identity.bornNs;
        }
        array.push_back(std::move(entry));
    }
    return dump(array);
}
