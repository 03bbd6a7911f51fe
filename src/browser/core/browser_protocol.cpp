#include "browser/core/browser_protocol.h"

#include <charconv>

namespace zorvel::browser {

namespace {

// Line ends count as blanks, so a line read with its end parses as one without.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The words of a line, split at runs of blanks.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A positive decimal number written out in full, digits only.
std::optional<std::uint64_t> Number(std::string_view word) {
    std::uint64_t value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || error != std::errc() || stop != end || value == 0)
        return std::nullopt;
    return value;
}

// Printable ASCII without blanks: what an encoded address consists of.
bool IsSendableAddress(std::string_view address) {
    if (address.empty() || address.size() > kMaxLineBytes / 2)
        return false;
    for (char c : address) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> LineReader::Feed(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, newline);
        if (!overlong_) {
            if (partial_.size() + piece.size() > kMaxLineBytes) {
                overlong_ = true;
                partial_.clear();
                partial_.shrink_to_fit();
            } else {
                partial_.append(piece);
            }
        }
        if (newline == std::string_view::npos)
            break;
        if (!overlong_) {
            if (!partial_.empty() && partial_.back() == '\r')
                partial_.pop_back();
            if (!partial_.empty())
                lines.push_back(std::move(partial_));
        }
        partial_.clear();
        overlong_ = false;
        bytes.remove_prefix(newline + 1);
    }
    return lines;
}

std::string OpenLine(std::uint64_t request, std::string_view address) {
    if (request == 0 || !IsSendableAddress(address))
        return {};
    return "open " + std::to_string(request) + " " + std::string(address) + "\n";
}

std::string OpenedLine(std::uint64_t request, std::uint64_t window) {
    return "opened " + std::to_string(request) + " " + std::to_string(window) + "\n";
}

std::string WindowsLine(const std::vector<std::uint64_t>& windows) {
    std::string line = "windows";
    for (std::uint64_t window : windows)
        line += " " + std::to_string(window);
    return line + "\n";
}

std::string ProblemLine(std::string_view text) {
    std::string line = "problem ";
    for (char c : text.substr(0, kMaxLineBytes / 2))
        line += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    return line + "\n";
}

std::optional<OpenRequest> ParseOpen(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() != 3 || words[0] != "open")
        return std::nullopt;
    const std::optional<std::uint64_t> request = Number(words[1]);
    if (!request || !IsSendableAddress(words[2]))
        return std::nullopt;
    return OpenRequest{*request, std::string(words[2])};
}

std::optional<BrowserMessage> ParseBrowserMessage(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.empty())
        return std::nullopt;
    BrowserMessage message;
    if (words[0] == "opened") {
        if (words.size() != 3)
            return std::nullopt;
        const std::optional<std::uint64_t> request = Number(words[1]);
        const std::optional<std::uint64_t> window = Number(words[2]);
        if (!request || !window)
            return std::nullopt;
        message.kind = BrowserMessage::Kind::kOpened;
        message.request = *request;
        message.windows = {*window};
        return message;
    }
    if (words[0] == "windows") {
        message.kind = BrowserMessage::Kind::kWindows;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::optional<std::uint64_t> window = Number(words[i]);
            if (!window)
                return std::nullopt;
            message.windows.push_back(*window);
        }
        return message;
    }
    if (words[0] == "problem") {
        message.kind = BrowserMessage::Kind::kProblem;
        const std::size_t start = line.find("problem") + 7;
        std::string_view text = line.substr(start);
        while (!text.empty() && IsBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back()))
            text.remove_suffix(1);
        message.text = std::string(text);
        return message;
    }
    return std::nullopt;
}

}  // namespace zorvel::browser
