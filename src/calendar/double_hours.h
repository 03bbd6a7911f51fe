#pragma once

// The text of the double-hour table dialog ("十二时辰"): twelve lines, each ended by a line feed,
// then one blank.

#include <string_view>

namespace zorvel {

std::string_view DoubleHourTableText();

}  // namespace zorvel
