#pragma once

#include "storage/records.h"

class CClockDatabase;

namespace zorvel {

// The row a new file is made with (res/schema.sql): the hour spoken, songs played until the
// ring window is closed, everything else off.
SoftSetting ShippedSoftSetting();

// The settings row, read once and kept in memory; every change is written through to the file
// and kept here only once the file has it. A file without the row gets the shipped one
// written back when it is read, and a change finding no row writes the whole row, so a change
// is never reported stored while nothing was. Storage errors raise (CppSQLite3Exception) and
// leave the values as they were.
class CSoftSettings {
public:
    explicit CSoftSettings(CClockDatabase& database);

    // Reads the row (again). Until a read succeeds the values are the shipped ones; a missing
    // row counts as read even when writing it back fails (which raises).
    void Load();
    bool IsLoaded() const { return loaded_; }
    const SoftSetting& value() const { return value_; }
    // True while a write of this object is under way: the database's write listener can tell
    // these writes from those made around it.
    bool IsWriting() const { return writing_; }

    void SetAutoRun(bool on);
    void SetZDBS(bool on);
    void SetBDBS(bool on);
    void SetAutoDelAlarmClock(bool on);
    void SetPwdReq(bool on);
    void SetRingPlayType(int type);
    void SetDelPwd(const std::string& stored);
    void SetStartupWindow(int window);
    void SetRestRemind(bool on);
    void SetRestRemindInterval(int hours);

private:
    template <typename T, typename Arg>
    void Write(T SoftSetting::*field, T value, bool (CClockDatabase::*setter)(Arg));

    CClockDatabase& database_;
    SoftSetting value_;
    bool loaded_ = false;
    bool writing_ = false;
};

}  // namespace zorvel
