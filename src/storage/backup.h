#pragma once

#include <string>

#include "calendar/civil_date.h"

// Copies of the one database file: backups taken while the program runs, the check a file
// must pass before it replaces the live one, and the daily copies kept beside it. Messages
// are for the user (Chinese) and name the file.
namespace zorvel {

// Copies the keyed database at `source` to `dest` with SQLite's online backup, so the copy is
// consistent while other connections write. The copy is written beside `dest` and renamed
// into place, so a failed backup never leaves a half file under the chosen name. Raises
// std::runtime_error with the reason.
void BackupDatabase(const std::string& source, const std::string& dest);

// Why `path` may not replace the live database ("" when it may): it must open with the key,
// pass `integrity_check`, hold the five tables, and every row of them must read.
std::string RestoreRefusal(const std::string& path);

// Replaces the contents of the live database at `live` with those of `candidate` after the
// check above; the contents replaced are kept first as `<live>.before-restore`. Done through
// the backup API into the live file, so connections that have it open see the new contents
// at their next statement. Raises std::runtime_error with the reason; nothing changes then.
void RestoreDatabase(const std::string& live, const std::string& candidate);

// "zorvel-备份-2026-12-10.db3": what the backup dialog offers.
std::string DefaultBackupName(const CivilDate& day);

// Once a day: a copy in `backups/` beside the live file, named by the day, the newest
// `keep` kept. Returns the copy's path, or "" when today's copy was there already.
std::string KeepDailyBackup(const std::string& live, const CivilDate& today, int keep = 7);

}  // namespace zorvel
