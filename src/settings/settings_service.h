#pragma once

#include <QObject>

#include "settings/core/soft_settings.h"

// The settings of the running program: the row read once, every change written through it and
// announced by Changed. Windows read their settings here, never from the file; the alarm
// engine gets each new set through Changed.
class CSettingsService : public QObject {
    Q_OBJECT
public:
    explicit CSettingsService(CClockDatabase& database, QObject* parent = nullptr);

    // Reads the row now (restoring a missing one); raises when the file cannot be read.
    void Load();
    // The settings, read on first use (and again after Invalidate). A file that cannot be read
    // leaves the last values known, the shipped ones at first; the error goes to the log.
    const SoftSetting& value();
    bool IsLoaded() const { return settings_.IsLoaded(); }
    // Whether the write under way is the service's own.
    bool IsWriting() const { return settings_.IsWriting(); }
    // The row was written around the service: the next use reads it again.
    void Invalidate();
    // Reads an invalidated row again now and tells Changed.
    void Refresh();

    // Each setter writes through and then tells Changed; storage errors raise and change
    // nothing.
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

signals:
    void Changed(const SoftSetting& settings);

private:
    template <typename Setter>
    void Change(Setter&& setter);
    bool TryLoad();

    zorvel::CSoftSettings settings_;
    bool stale_ = false;
};
