#pragma once

#include <string>

// Text-level helpers for the JSON documents Stowbird writes.
class JsonText
{
public:
    // Escapes every "/" as "\\/" in serialized JSON. Only valid on JSON text where "/" can
    // occur solely inside strings, which is true of every document nlohmann::json dumps.
    static std::string escapeSlashes(const std::string& json);
};
