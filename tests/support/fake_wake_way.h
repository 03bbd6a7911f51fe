#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/wake_way.h"

namespace zorvel::test {

// A way of waking that works or refuses as told, at once or when the test answers.
class CFakeWakeWay final : public IWakeWay {
public:
    explicit CFakeWakeWay(std::string name, bool worksHere = true)
        : works(worksHere), name_(std::move(name)) {}
    std::string Name() const override { return name_; }
    void Arm(std::time_t at, std::function<void(bool)> done) override {
        arms.push_back(at);
        pending = std::move(done);
        pendingAt = at;
        if (answerAtOnce)
            Answer();
    }
    void Answer() {
        if (auto done = std::exchange(pending, nullptr)) {
            armed = works ? pendingAt : 0;
            done(works);
        }
    }
    void Disarm() override {
        ++disarms;
        armed = 0;
    }

    bool works;
    bool answerAtOnce = true;
    std::vector<std::time_t> arms;
    std::time_t armed = 0;  // what would wake the computer now
    int disarms = 0;
    std::function<void(bool)> pending;
    std::time_t pendingAt = 0;

private:
    std::string name_;
};

}  // namespace zorvel::test
