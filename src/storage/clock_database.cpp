#include "storage/clock_database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>

#include "storage/schema_sql.h"

namespace zorvel {

const char kDatabaseKey[] = "{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}";
static_assert(sizeof(kDatabaseKey) - 1 == kDatabaseKeyLength);

namespace {
bool IsMissingOrEmpty(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && st.st_size == 0;
}

// The explanation of an error without its "NAME[code]: " head.
std::string ExplanationOf(const CppSQLite3Exception& e) {
    std::string why = e.errorMessage();
    if (auto at = why.find("]: "); at != std::string::npos)
        why.erase(0, at + 3);
    return why;
}

// The same error, naming the file, so every message the user sees says which file it is.
CppSQLite3Exception Named(const CppSQLite3Exception& e, const std::string& path) {
    std::string why = ExplanationOf(e);
    if (why.find(path) != std::string::npos)
        return e;
    return CppSQLite3Exception(e.errorCode(), (why + ": " + path).c_str());
}

[[noreturn]] void ThrowWithPath(CppSQLite3DB& db, const std::string& path) {
    int code = sqlite3_extended_errcode(db.Handle()) & 0xFF;
    std::string why = sqlite3_errmsg(db.Handle());
    db.Close();
    throw CppSQLite3Exception(code, (why + ": " + path).c_str());
}
}  // namespace

void OpenKeyed(CppSQLite3DB& db, const std::string& path) {
    bool create = IsMissingOrEmpty(path);
    if (create) {
        std::error_code ec;
        auto parent = std::filesystem::path(path).parent_path();
        if (!parent.empty())
            std::filesystem::create_directories(parent, ec);
    }
    try {
        db.Open(path.c_str());
    } catch (const CppSQLite3Exception& e) {
        throw Named(e, path);
    }
    if (sqlite3_key(db.Handle(), kDatabaseKey, kDatabaseKeyLength) != SQLITE_OK)
        ThrowWithPath(db, path);
    // SQLCipher 4 reads and writes files of the 3.x format only when told so.
    {
        CppSQLite3Query version = db.ExecuteQuery("PRAGMA cipher_version;");
        if (!version.IsEof()) {
            std::string v = version.GetTextField(0);
            if (!v.empty() && std::atoi(v.c_str()) >= 4)
                db.ExecuteUpdate("PRAGMA cipher_compatibility = 3;");
        }
    }
    if (create) {
        db.ExecuteUpdate(kSchemaSql);
        return;
    }
    // Reading the schema proves that the key fits, with a message that names the file.
    if (sqlite3_exec(db.Handle(), "SELECT count(*) FROM sqlite_master;", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
        ThrowWithPath(db, path);
}

namespace {
// Every change of the schema since the first release, in order: step i brings user_version
// from i to i + 1. Releases already out read and write the first tables by position, so a
// step only ever adds.
const char* const kMigrations[] = {
    "CREATE TABLE IF NOT EXISTS alarmRule(id TEXT PRIMARY KEY, rule TEXT NOT NULL, "
    "skipDate TEXT, pauseUntil TEXT);",
};
}  // namespace

int SchemaVersion(CppSQLite3DB& db) {
    CppSQLite3Query q = db.ExecuteQuery("PRAGMA user_version;");
    return q.IsEof() ? 0 : std::atoi(q.GetTextField(0).c_str());
}

int LatestSchemaVersion() {
    return static_cast<int>(std::size(kMigrations));
}

void MigrateSchema(CppSQLite3DB& db) {
    for (int version = SchemaVersion(db); version < LatestSchemaVersion(); ++version) {
        // Each step lands with its version number or not at all: a crash halfway leaves the
        // file as it was, to be migrated at the next start.
        db.ExecuteUpdate("BEGIN IMMEDIATE;");
        try {
            db.ExecuteUpdate(kMigrations[version]);
            db.ExecuteUpdate(
                ("PRAGMA user_version = " + std::to_string(version + 1) + ";").c_str());
            db.ExecuteUpdate("COMMIT;");
        } catch (const CppSQLite3Exception&) {
            try {
                db.ExecuteUpdate("ROLLBACK;");
            } catch (const CppSQLite3Exception&) {
            }
            throw;
        }
    }
}

}  // namespace zorvel

namespace {

void Bind(CppSQLite3Statement& st, int index, int value) {
    st.BindInt(index, value);
}
void Bind(CppSQLite3Statement& st, int index, bool value) {
    st.BindInt(index, value ? 1 : 0);
}
void Bind(CppSQLite3Statement& st, int index, const std::string& value) {
    st.BindText(index, value);
}

// Integer columns of the record tables are read as text and converted like C's atoi,
// so a stray value reads as a number rather than failing.
int IntOf(const CppSQLite3Query& q, const char* name) {
    return std::atoi(q.GetTextField(name).c_str());
}

void ReadAlarm(const CppSQLite3Query& q, AlarmClockRecord& r) {
    r.addTime = q.GetTextField("addTime");
    r.alarmTime = q.GetTextField("alarmTime");
    r.content = q.GetTextField("content");
    r.id = q.GetTextField("id");
    r.isEveryday = IntOf(q, "isEveryday") != 0;
    r.ring = q.GetTextField("ring");
    r.isRing = IntOf(q, "isRing") != 0;
    r.ringType = static_cast<int>(std::atol(q.GetTextField("ringType").c_str()));
}

void ReadEvent(const CppSQLite3Query& q, EventRecord& r) {
    r.addTime = q.GetTextField("addTime");
    r.content = q.GetTextField("content");
    r.content1 = q.GetTextField("content1");
    r.id = q.GetTextField("id");
    r.lastUpdateTime = q.GetTextField("lastUpdateTime");
}

void ReadNote(const CppSQLite3Query& q, NoteRecord& r) {
    r.addTime = q.GetTextField("addTime");
    r.content = q.GetTextField("content");
    r.id = q.GetTextField("id");
    r.isRing = IntOf(q, "isRing") != 0;
    r.ringTime = q.GetTextField("ringTime");
    r.isShowOnDesktop = IntOf(q, "isShowOnDesktop") != 0;
}

void ReadLog(const CppSQLite3Query& q, LogRecord& r) {
    r.logTime = q.GetTextField("logTime");
    r.content = q.GetTextField("content");
    r.id = q.GetTextField("id");
}

}  // namespace

CClockDatabase::CClockDatabase(std::string path)
    : m_path(std::move(path)), m_db(std::make_unique<CppSQLite3DB>()) {}

CClockDatabase::~CClockDatabase() {
    m_db->Close();
}

void CClockDatabase::Open() {
    if (m_db->IsOpen()) {
        // The file was deleted while the program ran: the connection would go on writing into
        // a file nobody can find again. Say so, then start a new one in its place.
        struct stat st {};
        if (m_transactionDepth > 0 || stat(m_path.c_str(), &st) == 0 || errno != ENOENT)
            return;
        m_db->Close();
        if (m_lostFileListener)
            m_lostFileListener(m_path);
    }
    zorvel::OpenKeyed(*m_db, m_path);
    try {
        zorvel::MigrateSchema(*m_db);
    } catch (const CppSQLite3Exception&) {
        // A read-only or busy file is still read as it is: without the newer tables, alarms
        // follow their every-day flag alone. The next start tries again.
    }
}

bool CClockDatabase::IsOpen() const {
    return m_db->IsOpen();
}

bool CClockDatabase::IsReadOnly() {
    Open();
    if (sqlite3_db_readonly(m_db->Handle(), "main") == 1)
        return true;
    const std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    return access(folder.empty() ? "." : folder.c_str(), W_OK) != 0;
}

CppSQLite3DB& CClockDatabase::Connection() {
    Open();
    return *m_db;
}

template <typename... Args>
int CClockDatabase::Run(const char* sql, const Args&... args) {
    CppSQLite3DB& db = Connection();
    try {
        CppSQLite3Statement st = db.CompileStatement(sql);
        int index = 0;
        (Bind(st, ++index, args), ...);
        int changes = st.Execute();
        st.Finalize();
        return changes;
    } catch (const CppSQLite3Exception& e) {
        if (m_transactionDepth > 0)
            m_transactionFailed = true;
        throw zorvel::Named(e, m_path);
    }
}

template <typename... Args>
bool CClockDatabase::Write(zorvel::StoredTable table, const char* sql, const Args&... args) {
    bool changed = Run(sql, args...) > 0;
    if (changed && m_listener)
        m_listener(table);
    return changed;
}

template <typename... Args>
CppSQLite3Query CClockDatabase::Query(const char* sql, const Args&... args) {
    CppSQLite3DB& db = Connection();
    try {
        CppSQLite3Statement st = db.CompileStatement(sql);
        int index = 0;
        (Bind(st, ++index, args), ...);
        return st.ExecuteQuery();
    } catch (const CppSQLite3Exception& e) {
        throw zorvel::Named(e, m_path);
    }
}

void CClockDatabase::BeginTransaction() {
    if (m_transactionDepth++ > 0)
        return;
    m_transactionFailed = false;
    try {
        // IMMEDIATE: the write lock is taken now, so the writes that follow cannot meet a
        // busy file halfway.
        Connection().ExecuteUpdate("BEGIN IMMEDIATE;");
    } catch (const CppSQLite3Exception& e) {
        m_transactionDepth = 0;
        throw zorvel::Named(e, m_path);
    }
}

void CClockDatabase::CommitTransaction() {
    if (m_transactionDepth <= 0 || --m_transactionDepth > 0)
        return;
    if (m_transactionFailed) {
        // A write inside failed: nothing of it may land, and the caller must hear so.
        m_transactionDepth = 1;
        RollbackTransaction();
        throw CppSQLite3Exception(SQLITE_ABORT,
                                  ("a write failed, nothing was stored: " + m_path).c_str());
    }
    try {
        m_db->ExecuteUpdate("COMMIT;");
    } catch (const CppSQLite3Exception& e) {
        try {
            m_db->ExecuteUpdate("ROLLBACK;");
        } catch (const CppSQLite3Exception&) {
        }
        throw zorvel::Named(e, m_path);
    }
}

void CClockDatabase::RollbackTransaction() {
    if (m_transactionDepth <= 0)
        return;
    m_transactionDepth = 0;
    try {
        m_db->ExecuteUpdate("ROLLBACK;");
    } catch (const CppSQLite3Exception&) {
        // Nothing was begun, or SQLite has rolled back already.
    }
}

namespace zorvel {
CTransaction::CTransaction(CClockDatabase& database) : database_(database) {
    database_.BeginTransaction();
}

CTransaction::~CTransaction() {
    if (!done_)
        database_.RollbackTransaction();
}

void CTransaction::Commit() {
    done_ = true;
    database_.CommitTransaction();
}
}  // namespace zorvel

// ---------------------------------------------------------------- alarms

bool CClockDatabase::InsertAlarmClock(const AlarmClockRecord& r) {
    return Write(zorvel::StoredTable::kAlarms, "insert into alarmClock values(?,?,?,?,?,?,?,?);",
                 r.id, r.alarmTime, r.isEveryday, r.isRing, r.content, r.ring, r.ringType,
                 r.addTime);
}

bool CClockDatabase::UpdateAlarmClock(const AlarmClockRecord& r) {
    return Write(zorvel::StoredTable::kAlarms,
                 "update alarmClock set alarmTime=?,isEveryday=?,isRing=?,content=?,ring=?,"
                 "ringType=? where id=?;",
                 r.alarmTime, r.isEveryday, r.isRing, r.content, r.ring, r.ringType, r.id);
}

bool CClockDatabase::DeleteAlarmClock(const std::string& id) {
    zorvel::CTransaction transaction(*this);
    const bool removed = Run("delete from alarmClock where id=?;", id) > 0;
    if (HasRuleTable())
        Run("delete from alarmRule where id=?;", id);
    transaction.Commit();
    if (removed && m_listener)
        m_listener(zorvel::StoredTable::kAlarms);
    return removed;
}

bool CClockDatabase::HasRuleTable() {
    CppSQLite3Query q =
        Query("select count(*) from sqlite_master where type='table' and name='alarmRule';");
    return !q.IsEof() && std::atoi(q.GetTextField(0).c_str()) > 0;
}

void CClockDatabase::WriteAlarmRule(const std::string& id, const std::string& rule) {
    // Skip and pause stay as they were: they are changed on their own.
    zorvel::CTransaction transaction(*this);
    Run("insert or ignore into alarmRule(id,rule) values(?,?);", id, rule);
    Write(zorvel::StoredTable::kAlarms, "update alarmRule set rule=? where id=?;", rule, id);
    transaction.Commit();
}

void CClockDatabase::WriteAlarmSkipAndPause(const std::string& id, const std::string& rule,
                                            const std::string& skipDate,
                                            const std::string& pauseUntil) {
    zorvel::CTransaction transaction(*this);
    Run("insert or ignore into alarmRule(id,rule) values(?,?);", id, rule);
    Write(zorvel::StoredTable::kAlarms, "update alarmRule set skipDate=?,pauseUntil=? where id=?;",
          skipDate, pauseUntil, id);
    transaction.Commit();
}

void CClockDatabase::ReadAlarmRules(AlarmClockList& records) {
    // The rules are an addition: a table that is missing or damaged leaves every alarm to its
    // every-day flag, and a row without its alarm is never looked at.
    std::map<std::string, AlarmClockRecord*> byId;
    for (const AlarmClockPtr& r : records)
        byId.emplace(r->id, r.get());
    try {
        if (byId.empty() || !HasRuleTable())
            return;
        CppSQLite3Query q = Query("select id,rule,skipDate,pauseUntil from alarmRule;");
        while (!q.IsEof()) {
            const std::string id = q.GetTextField(0);
            if (auto at = byId.find(id); at != byId.end()) {
                at->second->rule = q.GetTextField(1);
                at->second->skipDate = q.GetTextField(2);
                at->second->pauseUntil = q.GetTextField(3);
            }
            q.NextRow();
        }
    } catch (const CppSQLite3Exception&) {
    }
    // Rows sharing an id (a damaged file) share its rule.
    for (const AlarmClockPtr& r : records) {
        const AlarmClockRecord* first = byId[r->id];
        if (first != r.get()) {
            r->rule = first->rule;
            r->skipDate = first->skipDate;
            r->pauseUntil = first->pauseUntil;
        }
    }
}

void CClockDatabase::SelectAlarmClock(const std::string& id, AlarmClockRecord* record) {
    CppSQLite3Query q = Query("select * from alarmClock where id=?;", id);
    if (q.IsEof() || !record)
        return;
    ReadAlarm(q, *record);
    q.Finalize();
    AlarmClockList one{std::make_shared<AlarmClockRecord>(*record)};
    ReadAlarmRules(one);
    *record = *one[0];
}

void CClockDatabase::SelectAllAlarmClocks(AlarmClockList& records) {
    CppSQLite3Query q = Query("select * from alarmClock;");
    while (!q.IsEof()) {
        auto r = std::make_shared<AlarmClockRecord>();
        ReadAlarm(q, *r);
        r->hasRung = false;
        records.push_back(std::move(r));
        q.NextRow();
    }
    q.Finalize();
    ReadAlarmRules(records);
}

// ---------------------------------------------------------------- log

bool CClockDatabase::InsertLog(const LogRecord& r) {
    return Write(zorvel::StoredTable::kLog, "insert into log values(?,?,?);", r.id, r.content,
                 r.logTime);
}

bool CClockDatabase::DeleteLog(const std::string& id) {
    return Write(zorvel::StoredTable::kLog, "delete from log where id=?;", id);
}

void CClockDatabase::SelectAllLogs(std::vector<LogRecord>& records) {
    CppSQLite3Query q = Query("select * from log;");
    while (!q.IsEof()) {
        ReadLog(q, records.emplace_back());
        q.NextRow();
    }
}

// ---------------------------------------------------------------- events

bool CClockDatabase::InsertEvent(const EventRecord& r) {
    // A new event has not been updated yet, whatever the record says.
    return Write(zorvel::StoredTable::kEvents, "insert into event values(?,?,?,?,?);", r.id,
                 r.content, r.content1, r.addTime, std::string());
}

bool CClockDatabase::UpdateEvent(const EventRecord& r) {
    return Write(zorvel::StoredTable::kEvents,
                 "update event set content=?,content1=?,lastUpdateTime=? where id=?;", r.content,
                 r.content1, r.lastUpdateTime, r.id);
}

bool CClockDatabase::DeleteEvent(const std::string& id) {
    return Write(zorvel::StoredTable::kEvents, "delete from event where id=?;", id);
}

void CClockDatabase::SelectEvent(const std::string& id, EventRecord* record) {
    CppSQLite3Query q = Query("select * from event where id=?;", id);
    if (!q.IsEof() && record)
        ReadEvent(q, *record);
}

void CClockDatabase::SelectAllEvents(std::vector<EventRecord>& records) {
    CppSQLite3Query q = Query("select * from event;");
    while (!q.IsEof()) {
        ReadEvent(q, records.emplace_back());
        q.NextRow();
    }
}

// ---------------------------------------------------------------- notes

bool CClockDatabase::InsertNote(const NoteRecord& r) {
    return Write(zorvel::StoredTable::kNotes, "insert into note values(?,?,?,?,?,?);", r.id,
                 r.content, r.isRing, r.ringTime, r.isShowOnDesktop, r.addTime);
}

bool CClockDatabase::UpdateNote(const NoteRecord& r) {
    return Write(zorvel::StoredTable::kNotes,
                 "update note set content=?,isRing=?,ringTime=?,isShowOnDesktop=? where id=?;",
                 r.content, r.isRing, r.ringTime, r.isShowOnDesktop, r.id);
}

bool CClockDatabase::DeleteNote(const std::string& id) {
    return Write(zorvel::StoredTable::kNotes, "delete from note where id=?;", id);
}

void CClockDatabase::SelectNote(const std::string& id, NoteRecord* record) {
    CppSQLite3Query q = Query("select * from note where id=?;", id);
    if (!q.IsEof() && record)
        ReadNote(q, *record);
}

void CClockDatabase::SelectAllNotes(std::vector<NoteRecord>& records) {
    CppSQLite3Query q = Query("select * from note;");
    while (!q.IsEof()) {
        ReadNote(q, records.emplace_back());
        q.NextRow();
    }
}

// ---------------------------------------------------------------- settings row

bool CClockDatabase::ReadSoftSetting(SoftSetting* s) {
    CppSQLite3Query q = Query("select * from softSetting;");
    if (q.IsEof())
        return false;
    if (!s)
        return true;
    s->BDBS = q.GetIntField("BDBS") != 0;
    s->isAutoDelAlarmClock = q.GetIntField("isAutoDelAlarmClock") != 0;
    s->isAutoRun = q.GetIntField("isAutoRun") != 0;
    s->isPwdReq = q.GetIntField("isPwdReq") != 0;
    s->ringPlayType = q.GetIntField("ringPlayType");
    s->ZDBS = q.GetIntField("ZDBS") != 0;
    s->delPwd = q.GetTextField("delPwd");
    s->startupWindow = q.GetIntField("startupWindow");
    s->isRestRemind = q.GetIntField("isRestRemind") != 0;
    s->restRemindInterval = q.GetIntField("restRemindInterval");
    return true;
}

void CClockDatabase::InsertSoftSetting(const SoftSetting& s) {
    Write(zorvel::StoredTable::kSettings,
          "insert into softSetting (isAutoRun,ZDBS,BDBS,isAutoDelAlarmClock,isPwdReq,"
          "ringPlayType,delPwd,startupWindow,isRestRemind,restRemindInterval) "
          "values(?,?,?,?,?,?,?,?,?,?);",
          s.isAutoRun, s.ZDBS, s.BDBS, s.isAutoDelAlarmClock, s.isPwdReq, s.ringPlayType, s.delPwd,
          s.startupWindow, s.isRestRemind ? 1 : 0, s.restRemindInterval);
}

bool CClockDatabase::SetAutoDelAlarmClock(bool v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set isAutoDelAlarmClock=?;",
                 v);
}
bool CClockDatabase::SetAutoRun(bool v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set isAutoRun=?;", v);
}
bool CClockDatabase::SetBDBS(bool v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set BDBS=?;", v);
}
bool CClockDatabase::SetPwdReq(bool v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set isPwdReq=?;", v);
}
bool CClockDatabase::SetRingPlayType(int v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set ringPlayType=?;", v);
}
bool CClockDatabase::SetZDBS(bool v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set ZDBS=?;", v);
}
bool CClockDatabase::SetDelPwd(const std::string& v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set delPwd=?;", v);
}
bool CClockDatabase::SetStartupWindow(int v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set startupWindow=?;", v);
}
bool CClockDatabase::SetRestRemind(int v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set isRestRemind=?;", v);
}
bool CClockDatabase::SetRestRemindInterval(int v) {
    return Write(zorvel::StoredTable::kSettings, "update softSetting set restRemindInterval=?;", v);
}
