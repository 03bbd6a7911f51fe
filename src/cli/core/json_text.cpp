#include "cli/core/json_text.h"

#include <cstdio>

namespace zorvel::json {

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

Object& Object::Text(std::string_view key, std::string_view value) {
    members_.emplace_back(std::string(key), Quote(value));
    return *this;
}

Object& Object::TextOrNull(std::string_view key, std::string_view value) {
    members_.emplace_back(std::string(key), value.empty() ? "null" : Quote(value));
    return *this;
}

Object& Object::Number(std::string_view key, long long value) {
    members_.emplace_back(std::string(key), std::to_string(value));
    return *this;
}

Object& Object::Bool(std::string_view key, bool value) {
    members_.emplace_back(std::string(key), value ? "true" : "false");
    return *this;
}

Object& Object::Raw(std::string_view key, std::string raw) {
    members_.emplace_back(std::string(key), std::move(raw));
    return *this;
}

std::string Object::Str() const {
    std::string out = "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (i)
            out += ", ";
        out += Quote(members_[i].first) + ": " + members_[i].second;
    }
    return out + "}";
}

std::string Array(const std::vector<std::string>& elements) {
    if (elements.empty())
        return "[]";
    std::string out = "[\n";
    for (std::size_t i = 0; i < elements.size(); ++i)
        out += "  " + elements[i] + (i + 1 < elements.size() ? ",\n" : "\n");
    return out + "]";
}

}  // namespace zorvel::json
