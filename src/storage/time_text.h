#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "platform/core/clock.h"

namespace zorvel {

// "%Y-%m-%d %H:%M:%S" in local time: the form of every stored time.
std::string FormatTimeText(std::time_t t);
std::string FormatTimeText(TimePoint t);

// Reads "%Y-%m-%d %H:%M:%S" (local time). Surrounding blanks are allowed; anything else
// that does not fit the form, or a date that does not exist, gives nothing.
std::optional<std::time_t> ParseTimeText(const std::string& text);

}  // namespace zorvel
