#include "storage/settings_cache.h"

#include "storage/clock_database.h"

void LoadSettingsCache(SettingsCache& c, const SoftSetting& s) {
    c.ZDBS = s.ZDBS ? 1 : 0;
    c.BDBS = s.BDBS ? 1 : 0;
    c.isRestRemind = s.isRestRemind;
    c.restRemindInterval = s.restRemindInterval;
}

void LoadSettingsCache(SettingsCache& cache, CClockDatabase& database) {
    SoftSetting s;
    database.ReadSoftSetting(&s);
    LoadSettingsCache(cache, s);
}
