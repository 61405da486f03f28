#include "models/SkipList.h"

#include "platform/JsonFile.h"

#include <QStringList>

#include <nlohmann/json.hpp>

using nlohmann::json;

std::optional<QSet<QString>> SkipList::decode(const QByteArray& data)
{
    const json root = json::parse(data.constBegin(), data.constEnd(), nullptr, false);
    if (!root.is_array())
        return std::nullopt;
    QSet<QString> paths;
    paths.reserve(qsizetype(root.size()));
    for (const json& entry : root) {
        if (!entry.is_string())
            return std::nullopt;
        paths.insert(QString::fromStdString(entry.get_ref<const std::string&>()));
    }
    return paths;
}

QByteArray SkipList::encode(const QSet<QString>& paths)
{
    QStringList sorted(paths.begin(), paths.end());
    sorted.sort();
    json array = json::array();
    for (const QString& path : sorted)
        array.push_back(path.toStdString());
    const std::string text = array.dump(-1, ' ', false, json::error_handler_t::replace);
    return QByteArray::fromStdString(JsonFile::escapeSlashes(text));
}
