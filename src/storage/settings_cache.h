#pragma once

#include "storage/records.h"

// The four settings the timers read every second or minute, kept in memory for the run.
// The application owns the one cache, filled once at start-up; the settings page writes
// through to it on each change.
struct SettingsCache {
    int ZDBS = 0;
    int BDBS = 0;
    bool isRestRemind = false;
    int restRemindInterval = 1;
};

class CClockDatabase;

// Copies the cached four from a settings row.
void LoadSettingsCache(SettingsCache& cache, const SoftSetting& setting);
// Reads the row from storage and copies the four; storage errors raise.
void LoadSettingsCache(SettingsCache& cache, CClockDatabase& database);
