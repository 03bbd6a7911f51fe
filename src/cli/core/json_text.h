#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small writer for the command line's JSON: objects of strings, numbers, booleans and
// nulls, keys in the order given, so the output is stable from release to release.
namespace zorvel::json {

// `text` (valid UTF-8) as a JSON string, quotes included; control characters are escaped.
std::string Quote(std::string_view text);

class Object {
public:
    Object& Text(std::string_view key, std::string_view value);
    Object& TextOrNull(std::string_view key, std::string_view value);  // null for ""
    Object& Number(std::string_view key, long long value);
    Object& Bool(std::string_view key, bool value);
    Object& Raw(std::string_view key, std::string raw);  // an array or object already written
    std::string Str() const;

private:
    std::vector<std::pair<std::string, std::string>> members_;
};

// "[\n  {...},\n  {...}\n]" with one element per line.
std::string Array(const std::vector<std::string>& elements);

}  // namespace zorvel::json
