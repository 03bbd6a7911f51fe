#include "settings/settings_service.h"
#include "platform/log_categories.h"
#include "storage/clock_database.h"

CSettingsService::CSettingsService(CClockDatabase& database, QObject* parent)
    : QObject(parent), settings_(database) {
    qRegisterMetaType<SoftSetting>();
}

void CSettingsService::Load() {
    settings_.Load();
    stale_ = false;
    emit Changed(settings_.value());
}

bool CSettingsService::TryLoad() {
    try {
        settings_.Load();
        stale_ = false;
        return true;
    } catch (const CppSQLite3Exception& e) {
        qCWarning(lcSettings) << e.errorMessage();
        return false;
    }
}

const SoftSetting& CSettingsService::value() {
    // Changed goes out from the event loop: a reader that asks in the middle of its own work
    // is not called back into it.
    if ((!settings_.IsLoaded() || stale_) && TryLoad())
        QMetaObject::invokeMethod(
            this, [this] { emit Changed(settings_.value()); }, Qt::QueuedConnection);
    return settings_.value();
}

void CSettingsService::Invalidate() {
    stale_ = true;
}

void CSettingsService::Refresh() {
    if (stale_ && TryLoad())
        emit Changed(settings_.value());
}

template <typename Setter>
void CSettingsService::Change(Setter&& setter) {
    setter(settings_);
    emit Changed(settings_.value());
}

void CSettingsService::SetAutoRun(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetAutoRun(on); });
}
void CSettingsService::SetZDBS(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetZDBS(on); });
}
void CSettingsService::SetBDBS(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetBDBS(on); });
}
void CSettingsService::SetAutoDelAlarmClock(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetAutoDelAlarmClock(on); });
}
void CSettingsService::SetPwdReq(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetPwdReq(on); });
}
void CSettingsService::SetRingPlayType(int type) {
    Change([type](zorvel::CSoftSettings& s) { s.SetRingPlayType(type); });
}
void CSettingsService::SetDelPwd(const std::string& stored) {
    Change([&stored](zorvel::CSoftSettings& s) { s.SetDelPwd(stored); });
}
void CSettingsService::SetStartupWindow(int window) {
    Change([window](zorvel::CSoftSettings& s) { s.SetStartupWindow(window); });
}
void CSettingsService::SetRestRemind(bool on) {
    Change([on](zorvel::CSoftSettings& s) { s.SetRestRemind(on); });
}
void CSettingsService::SetRestRemindInterval(int hours) {
    Change([hours](zorvel::CSoftSettings& s) { s.SetRestRemindInterval(hours); });
}
