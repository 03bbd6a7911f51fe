#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "storage/records.h"

namespace zorvel {

// A snooze still to ring: the alarm rings again at `until` (stored text).
struct PendingSnooze {
    std::string until;
    AlarmClockRecord asStored;      // the alarm as stored when it was snoozed
    bool deletedAsExpired = false;  // taken out of storage as expired while it rang
};

// The small files kept beside the database in the user's state folder. None of them is
// precious: one that cannot be read counts as absent.

// The last moment the program was seen running.
std::optional<std::time_t> ReadLastSeen(const std::string& path);
// Overwritten in place with one write of a fixed width, so a crash never leaves half a
// number behind and no rename makes the file system flush every minute.
bool WriteLastSeen(const std::string& path, std::time_t when);

// The pending snoozes, so that they survive a restart.
std::vector<PendingSnooze> ReadSnoozes(const std::string& path);
// Written whole to a new file that then replaces the old one.
bool WriteSnoozes(const std::string& path, const std::vector<PendingSnooze>& snoozes);

// What the user chose that has no column in the settings row, one "key=value" a line in the
// file "choices": whether to wake the computer for alarms, the answer about starting at login.
std::optional<std::string> ReadChoice(const std::string& path, const std::string& key);
// Replaces (or adds) one key, keeping the others; the window thread and the alarm engine may
// both write, so writes are taken one at a time.
bool WriteChoice(const std::string& path, const std::string& key, const std::string& value);

// The same kept things as a service, so that the engine and the windows can be given another
// keeper (tests keep them in memory). Safe from any thread.
class IStateStore {
public:
    virtual ~IStateStore() = default;
    virtual std::optional<std::time_t> ReadLastSeen() = 0;
    virtual bool WriteLastSeen(std::time_t when) = 0;
    virtual std::vector<PendingSnooze> ReadSnoozes() = 0;
    virtual bool WriteSnoozes(const std::vector<PendingSnooze>& snoozes) = 0;
    virtual std::optional<std::string> ReadChoice(const std::string& key) = 0;
    virtual bool WriteChoice(const std::string& key, const std::string& value) = 0;
    // Where a failed write went, for the log.
    virtual std::string Where() const = 0;
};

// The files last-seen, snoozes and choices in a state folder (with a trailing '/'); with no
// folder nothing is kept: reads find nothing and writes fail.
class CStateFiles : public IStateStore {
public:
    explicit CStateFiles(std::string folder) : folder_(std::move(folder)) {}
    std::optional<std::time_t> ReadLastSeen() override;
    bool WriteLastSeen(std::time_t when) override;
    std::vector<PendingSnooze> ReadSnoozes() override;
    bool WriteSnoozes(const std::vector<PendingSnooze>& snoozes) override;
    std::optional<std::string> ReadChoice(const std::string& key) override;
    bool WriteChoice(const std::string& key, const std::string& value) override;
    std::string Where() const override { return folder_; }

private:
    std::string File(const char* name) const { return folder_.empty() ? "" : folder_ + name; }
    std::string folder_;
};

}  // namespace zorvel
