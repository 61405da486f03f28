#include "models/SkipList.h"

#include "platform/JsonFile.h"

#include <nlohmann/json.hpp>

std::optional<QSet<QString>> SkipList::decode(const QByteArray& data)
{
    const nlohmann::json doc = nlohmann::json::parse(data.begin(), data.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_array())
        return std::nullopt;
    QSet<QString> paths;
    paths.reserve(qsizetype(doc.size()));
    for (const auto& entry : doc) {
        if (!entry.is_string())
            return std::nullopt;
        const std::string& s = entry.get_ref<const std::string&>();
        paths.insert(QString::fromUtf8(s.data(), qsizetype(s.size())));
    }
    return paths;
}

QByteArray SkipList::encode(const QSet<QString>& paths)
{
    nlohmann::json doc = nlohmann::json::array();
    for (const QString& path : paths)
        doc.push_back(path.toStdString());
    // Paths that are not valid UTF-8 were decoded lossily already; replace rather than throw.
    const std::string text =
        JsonFile::escapeSlashes(doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    return QByteArray(text.data(), qsizetype(text.size()));
}
