#include "alarms/core/state_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace zorvel {

namespace {

constexpr const char* kSnoozeHeader = "zorvel-snoozes 1";

void MakeParent(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
}

// Stored texts may hold any byte, tabs and line ends included: each is written as hex.
std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2 + 1);
    out += '=';  // so an empty text is still a field
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::optional<std::string> Unhex(const std::string& field) {
    if (field.empty() || field[0] != '=' || field.size() % 2 == 0)
        return std::nullopt;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 1; i + 1 < field.size(); i += 2) {
        int hi = nibble(field[i]), lo = nibble(field[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::optional<PendingSnooze> ParseSnooze(const std::string& line) {
    std::vector<std::string> f;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        f.push_back(field);
    if (f.size() != 10)
        return std::nullopt;
    PendingSnooze s;
    auto until = Unhex(f[0]), id = Unhex(f[1]), time = Unhex(f[2]), content = Unhex(f[5]),
         ring = Unhex(f[6]), added = Unhex(f[8]);
    if (!until || !id || !time || !content || !ring || !added || id->empty())
        return std::nullopt;
    s.until = *until;
    s.asStored.id = *id;
    s.asStored.alarmTime = *time;
    s.asStored.isEveryday = f[3] == "1";
    s.asStored.isRing = f[4] == "1";
    s.asStored.content = *content;
    s.asStored.ring = *ring;
    try {
        s.asStored.ringType = std::stoi(f[7]);
    } catch (...) {
        return std::nullopt;
    }
    s.asStored.addTime = *added;
    s.deletedAsExpired = f[9] == "1";
    return s;
}

}  // namespace

std::optional<std::time_t> ReadLastSeen(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    std::ifstream in(path);
    long long seconds = 0;
    if (!(in >> seconds) || seconds <= 0)
        return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

bool WriteLastSeen(const std::string& path, std::time_t when) {
    if (path.empty())
        return false;
    MakeParent(path);
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%-20lld\n", static_cast<long long>(when));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::pwrite(fd, line, static_cast<size_t>(length), 0) == length;
    ::close(fd);
    return ok;
}

std::vector<PendingSnooze> ReadSnoozes(const std::string& path) {
    std::vector<PendingSnooze> snoozes;
    if (path.empty())
        return snoozes;
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line != kSnoozeHeader)
        return snoozes;
    while (std::getline(in, line)) {
        if (auto s = ParseSnooze(line))
            snoozes.push_back(std::move(*s));
    }
    return snoozes;
}

bool WriteSnoozes(const std::string& path, const std::vector<PendingSnooze>& snoozes) {
    if (path.empty())
        return false;
    MakeParent(path);
    std::string text = std::string(kSnoozeHeader) + "\n";
    for (const PendingSnooze& s : snoozes) {
        const AlarmClockRecord& a = s.asStored;
        text += Hex(s.until) + '\t' + Hex(a.id) + '\t' + Hex(a.alarmTime) + '\t' +
                (a.isEveryday ? "1" : "0") + '\t' + (a.isRing ? "1" : "0") + '\t' + Hex(a.content) +
                '\t' + Hex(a.ring) + '\t' + std::to_string(a.ringType) + '\t' + Hex(a.addTime) +
                '\t' + (s.deletedAsExpired ? "1" : "0") + '\n';
    }
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    // A snooze is a rare, deliberate act: worth the flush, so a crash cannot lose it.
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

namespace {
std::mutex choicesLock;

std::map<std::string, std::string> ReadChoices(const std::string& path) {
    std::map<std::string, std::string> choices;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && eq > 0)
            choices[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return choices;
}
}  // namespace

std::optional<std::string> ReadChoice(const std::string& path, const std::string& key) {
    if (path.empty())
        return std::nullopt;
    std::lock_guard<std::mutex> hold(choicesLock);
    auto choices = ReadChoices(path);
    auto it = choices.find(key);
    return it == choices.end() ? std::nullopt : std::optional<std::string>(it->second);
}

bool WriteChoice(const std::string& path, const std::string& key, const std::string& value) {
    if (path.empty() || key.empty() || key.find_first_of("=\n") != std::string::npos ||
        value.find('\n') != std::string::npos)
        return false;
    std::lock_guard<std::mutex> hold(choicesLock);
    auto choices = ReadChoices(path);
    choices[key] = value;
    MakeParent(path);
    std::string text;
    for (const auto& [k, v] : choices)
        text += k + '=' + v + '\n';
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::optional<std::time_t> CStateFiles::ReadLastSeen() {
    return zorvel::ReadLastSeen(File("last-seen"));
}

bool CStateFiles::WriteLastSeen(std::time_t when) {
    return !folder_.empty() && zorvel::WriteLastSeen(File("last-seen"), when);
}

std::vector<PendingSnooze> CStateFiles::ReadSnoozes() {
    return zorvel::ReadSnoozes(File("snoozes"));
}

bool CStateFiles::WriteSnoozes(const std::vector<PendingSnooze>& snoozes) {
    return !folder_.empty() && zorvel::WriteSnoozes(File("snoozes"), snoozes);
}

std::optional<std::string> CStateFiles::ReadChoice(const std::string& key) {
    return zorvel::ReadChoice(File("choices"), key);
}

bool CStateFiles::WriteChoice(const std::string& key, const std::string& value) {
    return !folder_.empty() && zorvel::WriteChoice(File("choices"), key, value);
}

}  // namespace zorvel
