#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The few lines Zorvel and its browser program exchange over the browser's standard input and
// output, one message a line:
//   to the browser:    "open <request> <address>"  a new window showing the address
//                      (end of input)              close every window and end
//   from the browser:  "opened <request> <window>" the request was carried out
//                      "windows <window>..."       the windows open now, in opening order
//                      "problem <text>"            pages cannot be shown; the browser ends
// Requests and windows are positive numbers; an address is sent encoded, without blanks.
// Lines that say anything else are ignored, so either side may learn new words first.
namespace zorvel::browser {

// Longer lines are dropped whole: nothing either side sends comes near it, and a runaway
// writer must not make the reader hold memory without end.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Cuts a byte stream into lines (without their "\n", a trailing "\r" removed). Empty lines
// and lines longer than kMaxLineBytes are skipped.
class LineReader {
public:
    std::vector<std::string> Feed(std::string_view bytes);

private:
    std::string partial_;
    bool overlong_ = false;
};

struct OpenRequest {
    std::uint64_t request = 0;
    std::string address;
};

struct BrowserMessage {
    enum class Kind { kOpened, kWindows, kProblem };
    Kind kind = Kind::kWindows;
    std::uint64_t request = 0;           // kOpened
    std::vector<std::uint64_t> windows;  // kOpened: the one window; kWindows: all of them
    std::string text;                    // kProblem
};

// Each returns the line with its "\n". OpenLine returns an empty string for what cannot be
// sent: a request of 0, or an address that is empty, too long or not encoded (blanks, control
// characters, non-ASCII).
std::string OpenLine(std::uint64_t request, std::string_view address);
std::string OpenedLine(std::uint64_t request, std::uint64_t window);
std::string WindowsLine(const std::vector<std::uint64_t>& windows);
// Control characters in the text become blanks, so the text stays one line.
std::string ProblemLine(std::string_view text);

std::optional<OpenRequest> ParseOpen(std::string_view line);
std::optional<BrowserMessage> ParseBrowserMessage(std::string_view line);

}  // namespace zorvel::browser
