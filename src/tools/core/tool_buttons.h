#pragma once

#include <span>
#include <string_view>

namespace zorvel::tools {

// What a button of the tools page does.
enum class ToolAction {
    kBuiltInBrowser,  // opens `url` in a browser window of ours
    kDefaultBrowser,  // opens `url` in the desktop's own browser
    kDoubleHours,     // the double-hour table
    kNetworkTime,     // the network time dialog
};

struct ToolButton {
    std::string_view caption;
    std::string_view objectName;
    ToolAction action;
    std::string_view url;  // empty for the two local dialogs
};

// The seventeen buttons in reading order: three to a row, six rows, the last row holding two.
std::span<const ToolButton> ToolButtons();

inline constexpr int kToolColumns = 3;

}  // namespace zorvel::tools
