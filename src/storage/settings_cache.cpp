#include "storage/settings_cache.h"

#include "storage/clock_database.h"

SettingsCache& g_settingsCache() {
    static SettingsCache cache;
    return cache;
}

void LoadSettingsCache(const SoftSetting& s) {
    SettingsCache& c = g_settingsCache();
    c.ZDBS = s.ZDBS ? 1 : 0;
    c.BDBS = s.BDBS ? 1 : 0;
    c.isRestRemind = s.isRestRemind;
    c.restRemindInterval = s.restRemindInterval;
}

void LoadSettingsCacheFromStorage() {
    SoftSetting s;
    {
        CClockDatabase db;
        db.ReadSoftSetting(&s);
    }
    LoadSettingsCache(s);
}
