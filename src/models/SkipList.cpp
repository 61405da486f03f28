#include "models/SkipList.h"

#include "models/JsonText.h"

#include <QStringList>

#include <nlohmann/json.hpp>

using nlohmann::json;

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
        const auto inode = entry.find("inode");
        const auto mtime = entry.find("mtime");
        if (inode != entry.end() && inode->is_number_unsigned() && mtime != entry.end() &&
            mtime->is_number_integer()) {
            identity.inode = inode->get<quint64>();
            identity.modifiedNs = mtime->get<qint64>();
        }
        entries.insert(QString::fromStdString(path->get_ref<const std::string&>()), identity);
    }
    return entries;
}

QByteArray SkipList::encode(const Entries& entries)
{
    QStringList sorted = entries.keys();
    sorted.sort();
    json array = json::array();
    for (const QString& path : sorted) {
        json entry = json::object();
        entry["path"] = path.toStdString();
        const Identity identity = entries.value(path);
        if (identity.isValid()) {
            entry["inode"] = identity.inode;
            entry["mtime"] = identity.modifiedNs;
        }
        array.push_back(std::move(entry));
    }
    const std::string text = array.dump(-1, ' ', false, json::error_handler_t::replace);
    return QByteArray::fromStdString(JsonText::escapeSlashes(text));
}
