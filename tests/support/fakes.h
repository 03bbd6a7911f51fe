#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "alarms/core/state_files.h"
#include "platform/autostart.h"
#include "platform/clock_setter.h"
#include "platform/desktop_notifier.h"
#include "platform/power_control.h"
#include "platform/program_launcher.h"
#include "platform/session_sleep.h"
#include "platform/song_player.h"
#include "platform/url_opener.h"
#include "support/fake_clock.h"

namespace zorvel::test {

// A player that "plays" until the test ends the song.
class CFakeSongPlayer final : public ISongPlayer {
public:
    void Play(const QString& path, bool loop) override {
        ++plays;
        lastPath = path;
        looping = loop;
        stopped = !error.isEmpty();
    }
    void Stop() override { stopped = true; }
    bool IsStopped() const override { return stopped; }
    QString ErrorText() const override { return error; }
    void EndSong() { stopped = true; }

    int plays = 0;
    QString lastPath;
    bool looping = false;
    bool stopped = true;
    QString error;
};

// Records what was asked of the power control.
class CFakePowerControl final : public IPowerControl {
public:
    bool Reboot() override {
        calls.push_back("Reboot");
        return true;
    }
    bool PowerOff() override {
        calls.push_back("PowerOff");
        return true;
    }
    std::vector<QString> calls;
};

// Records the programs it was asked to start.
class CFakeProgramLauncher final : public IProgramLauncher {
public:
    bool StartDetached(const QString& commandLine) override {
        started.push_back(commandLine);
        return true;
    }
    std::vector<QString> started;
};

// An autostart entry that exists only in memory; `fail` makes every change fail.
class CFakeAutostart final : public IAutostart {
public:
    bool IsEnabled() const override { return enabled; }
    bool Enable() override {
        ++changes;
        enabled = enabled || !fail;
        return !fail;
    }
    bool Disable() override {
        ++changes;
        enabled = enabled && fail;
        return !fail;
    }
    bool enabled = false;
    bool fail = false;
    int changes = 0;
};

// Records the times it was asked to set and answers with `answer` when the test calls
// Answer() (or at once when `answerAtOnce`).
class CFakeClockSetter final : public IClockSetter {
public:
    void SetTime(std::int64_t utcMicroseconds,
                 std::function<void(const ClockSetResult&)> done) override {
        requests.push_back(utcMicroseconds);
        pending = std::move(done);
        if (answerAtOnce)
            Answer();
    }
    void Answer() {
        if (auto done = std::exchange(pending, nullptr))
            done(answer);
    }
    std::vector<std::int64_t> requests;
    std::function<void(const ClockSetResult&)> pending;
    ClockSetResult answer{true, false, {}};
    bool answerAtOnce = true;
};

// Keeps the notices posted; the test chooses their actions.
class CFakeNotifier final : public IDesktopNotifier {
public:
    struct Posted {
        DesktopNotice notice;
        std::function<void(const QString&)> onAction;
        bool withdrawn = false;
    };
    quint64 Post(const DesktopNotice& notice,
                 std::function<void(const QString&)> onAction) override {
        posted.push_back({notice, std::move(onAction), false});
        return posted.size();
    }
    void Withdraw(quint64 notice) override { posted.at(notice - 1).withdrawn = true; }
    // The user chose `action` on notice `index` (as the server tells it: once).
    void Choose(size_t index, const QString& action) {
        if (auto onAction = std::exchange(posted.at(index).onAction, nullptr))
            onAction(action);
    }
    std::vector<Posted> posted;
};

// Keeps the addresses it is given; a set `failure` is reported for each.
class CFakeUrlOpener final : public IUrlOpener {
public:
    void Open(const QUrl& url, Failed failed) override {
        opened.push_back(url);
        if (!failure.isEmpty() && failed)
            failed(failure);
    }
    std::vector<QUrl> opened;
    QString failure;
};

// The session's sleep on demand: the test sends the signals and reads the locks.
class CFakeSessionSleep final : public ISessionSleep {
public:
    void SetSleepHandler(std::function<void(bool)> h) override { handler = std::move(h); }
    void HoldSleepDelay(bool hold) override { sleepDelay = hold; }
    void HoldIdleBlock(bool hold) override { idleBlock = hold; }
    void Send(bool goingToSleep) { handler(goingToSleep); }
    std::function<void(bool)> handler;
    bool sleepDelay = false;
    bool idleBlock = false;
};

// Keeps last-seen, the snoozes and the choices in memory.
class CFakeStateStore final : public IStateStore {
public:
    std::optional<std::time_t> ReadLastSeen() override { return lastSeen; }
    bool WriteLastSeen(std::time_t when) override { return lastSeen = when, true; }
    std::vector<PendingSnooze> ReadSnoozes() override { return snoozes; }
    bool WriteSnoozes(const std::vector<PendingSnooze>& s) override { return snoozes = s, true; }
    std::optional<std::string> ReadChoice(const std::string& key) override {
        auto it = choices.find(key);
        return it == choices.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool WriteChoice(const std::string& key, const std::string& value) override {
        return choices[key] = value, true;
    }
    std::string Where() const override { return "memory"; }

    std::optional<std::time_t> lastSeen;
    std::vector<PendingSnooze> snoozes;
    std::map<std::string, std::string> choices;
};

}  // namespace zorvel::test
