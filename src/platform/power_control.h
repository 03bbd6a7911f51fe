#pragma once

#include <QString>
#include <vector>

// Restarting and switching off the computer. The Linux implementation asks logind over D-Bus;
// tests use the fake, which only records what was asked.
class IPowerControl {
public:
    virtual ~IPowerControl() = default;
    // Both return at once; false when the request could not even be sent.
    virtual bool Reboot() = 0;
    virtual bool PowerOff() = 0;
};

class CLogindPowerControl final : public IPowerControl {
public:
    bool Reboot() override;
    bool PowerOff() override;

private:
    bool Call(const char* method);
};
