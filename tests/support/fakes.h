#pragma once

#include <QString>
#include <vector>

#include "platform/power_control.h"
#include "platform/program_launcher.h"
#include "platform/song_player.h"
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

}  // namespace zorvel::test
