#include "storage/backup.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "storage/clock_database.h"
#include "storage/sqlite_wrapper.h"

namespace zorvel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTables[] = {"alarmClock", "event", "note", "log", "softSetting"};

[[noreturn]] void Fail(const std::string& message) {
    throw std::runtime_error(message);
}

// Opens a file that must already be there: OpenKeyed would make a new database in its place.
void OpenExisting(CppSQLite3DB& db, const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        Fail("找不到文件 " + path);
    if (fs::file_size(path, ec) == 0 || ec)
        Fail(path + " 是空文件，不是 Zorvel 的数据文件");
    // A file busy with a run of writes is waited for; only a file that cannot be read with
    // the key is refused.
    for (int tries = 0;; ++tries) {
        try {
            OpenKeyed(db, path);
            return;
        } catch (const CppSQLite3Exception& e) {
            const bool busy = e.errorCode() == SQLITE_BUSY || e.errorCode() == SQLITE_LOCKED;
            if (!busy)
                Fail(path + " 不是 Zorvel 的数据文件，或已损坏");
            if (tries == 10)
                Fail(path + " 正被其他程序占用，请稍后再试");
        }
    }
}

// Copies every page of `from` into `to`. A writer holding the source is waited for a while
// rather than failing the copy at once.
void CopyPages(CppSQLite3DB& from, CppSQLite3DB& to, const std::string& what) {
    sqlite3_backup* backup = sqlite3_backup_init(to.Handle(), "main", from.Handle(), "main");
    if (!backup)
        Fail(what + "：" + sqlite3_errmsg(to.Handle()));
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 200; ++tries) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        Fail(what + "：" + sqlite3_errstr(rc));
}

std::string DayText(const CivilDate& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

}  // namespace

void BackupDatabase(const std::string& source, const std::string& dest) {
    const std::string part = dest + ".part";
    std::error_code ec;
    fs::remove(part, ec);
    try {
        CppSQLite3DB from;
        OpenExisting(from, source);
        {
            CppSQLite3DB to;
            OpenKeyed(to, part);
            CopyPages(from, to, "备份 " + dest + " 失败");
        }
        fs::rename(part, dest, ec);
        if (ec)
            Fail("备份 " + dest + " 失败：" + ec.message());
    } catch (const CppSQLite3Exception& e) {
        fs::remove(part, ec);
        Fail("备份 " + dest + " 失败：" + e.errorMessage());
    } catch (...) {
        fs::remove(part, ec);
        throw;
    }
}

std::string RestoreRefusal(const std::string& path) {
    try {
        CppSQLite3DB db;
        OpenExisting(db, path);
        CppSQLite3Query check = db.ExecuteQuery("PRAGMA integrity_check;");
        if (check.IsEof() || check.GetTextField(0) != "ok")
            return path + " 已损坏（完整性检查未通过）";
        check.Finalize();
        for (const char* table : kTables) {
            CppSQLite3Statement st = db.CompileStatement(
                "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?;");
            st.BindText(1, table);
            CppSQLite3Query found = st.ExecuteQuery();
            if (found.IsEof() || found.GetIntField(0) == 0)
                return path + " 缺少数据表 " + table;
        }
        for (const char* table : kTables) {
            CppSQLite3Query rows =
                db.ExecuteQuery((std::string("SELECT * FROM ") + table + ";").c_str());
            for (; !rows.IsEof(); rows.NextRow())
                for (int i = 0; i < rows.NumFields(); ++i)
                    (void)rows.GetTextField(i);
        }
    } catch (const std::runtime_error& e) {
        return e.what();
    } catch (const CppSQLite3Exception& e) {
        return path + " 的数据无法读取：" + e.errorMessage();
    }
    return {};
}

void RestoreDatabase(const std::string& live, const std::string& candidate) {
    if (std::string refusal = RestoreRefusal(candidate); !refusal.empty())
        Fail(refusal);
    std::error_code ec;
    if (fs::equivalent(live, candidate, ec))
        Fail(candidate + " 就是正在使用的数据文件");
    BackupDatabase(live, live + ".before-restore");
    try {
        CppSQLite3DB from;
        OpenExisting(from, candidate);
        CppSQLite3DB to;
        OpenExisting(to, live);
        to.SetBusyTimeout(5000);
        CopyPages(from, to, "恢复 " + candidate + " 失败");
        // A backup from an older release is brought up to this one, as any file opened is.
        MigrateSchema(to);
    } catch (const CppSQLite3Exception& e) {
        Fail("恢复 " + candidate + " 失败：" + e.errorMessage());
    }
}

std::string DefaultBackupName(const CivilDate& day) {
    return "zorvel-备份-" + DayText(day) + ".db3";
}

std::string KeepDailyBackup(const std::string& live, const CivilDate& today, int keep) {
    const fs::path folder = fs::path(live).parent_path() / "backups";
    const std::string prefix = "zorvel-";
    const fs::path copy = folder / (prefix + DayText(today) + ".db3");
    std::error_code ec;
    if (fs::exists(copy, ec))
        return {};
    fs::create_directories(folder, ec);
    if (ec)
        Fail("无法创建备份文件夹 " + folder.string() + "：" + ec.message());
    BackupDatabase(live, copy.string());
    // Names sort by day, so the oldest come first.
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 10 + 4 && name.starts_with(prefix) &&
            name.ends_with(".db3"))
            copies.push_back(entry.path());
    }
    std::sort(copies.begin(), copies.end());
    for (std::size_t i = 0; i + keep < copies.size(); ++i)
        fs::remove(copies[i], ec);
    return copy.string();
}

}  // namespace zorvel
