#include "settings/core/soft_settings.h"

#include "storage/clock_database.h"

namespace zorvel {

namespace {
// Marks the writes of one operation as this object's own.
class Writing {
public:
    explicit Writing(bool& flag) : flag_(flag) { flag_ = true; }
    ~Writing() { flag_ = false; }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;

private:
    bool& flag_;
};
}  // namespace

SoftSetting ShippedSoftSetting() {
    SoftSetting s;
    s.ZDBS = true;
    s.ringPlayType = 2;
    s.restRemindInterval = 1;
    return s;
}

CSoftSettings::CSoftSettings(CClockDatabase& database)
    : database_(database), value_(ShippedSoftSetting()) {}

void CSoftSettings::Load() {
    SoftSetting read = ShippedSoftSetting();
    const bool found = database_.ReadSoftSetting(&read);
    value_ = read;
    loaded_ = true;
    if (!found) {
        // Without the row every setter would change nothing, silently. A file that cannot
        // take it raises here; the shipped values stand meanwhile, and each change tries again.
        Writing writing(writing_);
        database_.InsertSoftSetting(read);
    }
}

template <typename T, typename Arg>
void CSoftSettings::Write(T SoftSetting::*field, T value, bool (CClockDatabase::*setter)(Arg)) {
    Writing writing(writing_);
    SoftSetting next = value_;
    next.*field = value;
    if (!(database_.*setter)(value))
        database_.InsertSoftSetting(next);  // the row went missing: the whole row, with this
    value_ = next;
}

void CSoftSettings::SetAutoRun(bool on) {
    Write(&SoftSetting::isAutoRun, on, &CClockDatabase::SetAutoRun);
}
void CSoftSettings::SetZDBS(bool on) {
    Write(&SoftSetting::ZDBS, on, &CClockDatabase::SetZDBS);
}
void CSoftSettings::SetBDBS(bool on) {
    Write(&SoftSetting::BDBS, on, &CClockDatabase::SetBDBS);
}
void CSoftSettings::SetAutoDelAlarmClock(bool on) {
    Write(&SoftSetting::isAutoDelAlarmClock, on, &CClockDatabase::SetAutoDelAlarmClock);
}
void CSoftSettings::SetPwdReq(bool on) {
    Write(&SoftSetting::isPwdReq, on, &CClockDatabase::SetPwdReq);
}
void CSoftSettings::SetRingPlayType(int type) {
    Write(&SoftSetting::ringPlayType, type, &CClockDatabase::SetRingPlayType);
}
void CSoftSettings::SetDelPwd(const std::string& stored) {
    Write(&SoftSetting::delPwd, stored, &CClockDatabase::SetDelPwd);
}
void CSoftSettings::SetStartupWindow(int window) {
    Write(&SoftSetting::startupWindow, window, &CClockDatabase::SetStartupWindow);
}
void CSoftSettings::SetRestRemind(bool on) {
    // The column is written as 0 or 1 like the other switches.
    Write(&SoftSetting::isRestRemind, on, &CClockDatabase::SetRestRemind);
}
void CSoftSettings::SetRestRemindInterval(int hours) {
    Write(&SoftSetting::restRemindInterval, hours, &CClockDatabase::SetRestRemindInterval);
}

}  // namespace zorvel
