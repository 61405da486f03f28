#include "models/JsonText.h"

std::string JsonText::escapeSlashes(const std::string& json)
{
    std::string out;
    out.reserve(json.size() + json.size() / 8);
    for (char c : json) {
        if (c == '/')
            out += "\\/";
        else
            out += c;
    }
    return out;
}
