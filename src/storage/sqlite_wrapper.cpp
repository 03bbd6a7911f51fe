#include "storage/sqlite_wrapper.h"

#include <utility>

namespace {
const char* kDatabaseNotOpen = "Database not open";
const char* kNullVM = "Null Virtual Machine pointer";
const char* kBadFieldIndex = "Invalid field index requested";
const char* kBadFieldName = "Invalid field name requested";
}  // namespace

const char* ErrorCodeName(int code) {
    switch (code) {
        case SQLITE_OK:
            return "SQLITE_OK";
        case SQLITE_ERROR:
            return "SQLITE_ERROR";
        case SQLITE_INTERNAL:
            return "SQLITE_INTERNAL";
        case SQLITE_PERM:
            return "SQLITE_PERM";
        case SQLITE_ABORT:
            return "SQLITE_ABORT";
        case SQLITE_BUSY:
            return "SQLITE_BUSY";
        case SQLITE_LOCKED:
            return "SQLITE_LOCKED";
        case SQLITE_NOMEM:
            return "SQLITE_NOMEM";
        case SQLITE_READONLY:
            return "SQLITE_READONLY";
        case SQLITE_INTERRUPT:
            return "SQLITE_INTERRUPT";
        case SQLITE_IOERR:
            return "SQLITE_IOERR";
        case SQLITE_CORRUPT:
            return "SQLITE_CORRUPT";
        case SQLITE_NOTFOUND:
            return "SQLITE_NOTFOUND";
        case SQLITE_FULL:
            return "SQLITE_FULL";
        case SQLITE_CANTOPEN:
            return "SQLITE_CANTOPEN";
        case SQLITE_PROTOCOL:
            return "SQLITE_PROTOCOL";
        case SQLITE_EMPTY:
            return "SQLITE_EMPTY";
        case SQLITE_SCHEMA:
            return "SQLITE_SCHEMA";
        case SQLITE_TOOBIG:
            return "SQLITE_TOOBIG";
        case SQLITE_CONSTRAINT:
            return "SQLITE_CONSTRAINT";
        case SQLITE_MISMATCH:
            return "SQLITE_MISMATCH";
        case SQLITE_MISUSE:
            return "SQLITE_MISUSE";
        case SQLITE_NOLFS:
            return "SQLITE_NOLFS";
        case SQLITE_AUTH:
            return "SQLITE_AUTH";
        case SQLITE_FORMAT:
            return "SQLITE_FORMAT";
        case SQLITE_RANGE:
            return "SQLITE_RANGE";
        case SQLITE_NOTADB:
            return "SQLITE_NOTADB";
        case SQLITE_ROW:
            return "SQLITE_ROW";
        case SQLITE_DONE:
            return "SQLITE_DONE";
        case CPPSQLITE_ERROR:
            return "CPPSQLITE_ERROR";
        default:
            return "UNKNOWN_ERROR";
    }
}

// ---------------------------------------------------------------- exception

CppSQLite3Exception::CppSQLite3Exception(int code, const char* explanation)
    : Code(code),
      Message(sqlite3_mprintf("%s[%d]: %s", ErrorCodeName(code), code,
                              explanation ? explanation : "")) {}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception& other)
    : Code(other.Code), Message(nullptr) {
    if (other.Message)
        Message = sqlite3_mprintf("%s", other.Message);
}

CppSQLite3Exception& CppSQLite3Exception::operator=(const CppSQLite3Exception& other) {
    if (this != &other) {
        char* copy = other.Message ? sqlite3_mprintf("%s", other.Message) : nullptr;
        sqlite3_free(Message);
        Message = copy;
        Code = other.Code;
    }
    return *this;
}

CppSQLite3Exception::~CppSQLite3Exception() {
    sqlite3_free(Message);
}

// ---------------------------------------------------------------- query

CppSQLite3Query::CppSQLite3Query() = default;

CppSQLite3Query::CppSQLite3Query(sqlite3* db, sqlite3_stmt* vm, bool eof)
    : mpDB(db), mpVM(vm), mbEof(eof), mnCols(vm ? sqlite3_column_count(vm) : 0) {}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query&& other) noexcept
    : mpDB(other.mpDB),
      mpVM(std::exchange(other.mpVM, nullptr)),
      mbEof(other.mbEof),
      mnCols(other.mnCols),
      mbOwnVM(other.mbOwnVM) {}

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query&& other) noexcept {
    if (this != &other) {
        try {
            Finalize();
        } catch (...) {
        }
        mpDB = other.mpDB;
        mpVM = std::exchange(other.mpVM, nullptr);
        mbEof = other.mbEof;
        mnCols = other.mnCols;
        mbOwnVM = other.mbOwnVM;
    }
    return *this;
}

CppSQLite3Query::~CppSQLite3Query() {
    try {
        Finalize();
    } catch (...) {
    }
}

void CppSQLite3Query::CheckVM() const {
    if (!mpVM)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, kNullVM);
}

void CppSQLite3Query::CheckIndex(int index) const {
    if (index < 0 || index > mnCols - 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, kBadFieldIndex);
}

int CppSQLite3Query::NumFields() const {
    CheckVM();
    return mnCols;
}

int CppSQLite3Query::FieldIndex(const char* name) const {
    CheckVM();
    if (name) {
        for (int i = 0; i < mnCols; ++i) {
            const char* col = sqlite3_column_name(mpVM, i);
            if (col && std::string_view(col) == name)
                return i;
        }
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, kBadFieldName);
}

int CppSQLite3Query::GetIntField(int index) const {
    CheckVM();
    CheckIndex(index);
    if (sqlite3_column_type(mpVM, index) == SQLITE_NULL)
        return 0;
    return sqlite3_column_int(mpVM, index);
}

std::string CppSQLite3Query::GetTextField(int index) const {
    CheckVM();
    CheckIndex(index);
    if (sqlite3_column_type(mpVM, index) == SQLITE_NULL)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mpVM, index));
    if (!text)
        return {};
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(mpVM, index)));
}

bool CppSQLite3Query::IsEof() const {
    CheckVM();
    return mbEof;
}

void CppSQLite3Query::NextRow() {
    CheckVM();
    int rc = sqlite3_step(mpVM);
    if (rc == SQLITE_DONE) {
        mbEof = true;
    } else if (rc != SQLITE_ROW) {
        rc = sqlite3_finalize(mpVM);
        mpVM = nullptr;
        throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
    }
}

void CppSQLite3Query::Finalize() {
    if (mpVM && mbOwnVM) {
        int rc = sqlite3_finalize(mpVM);
        mpVM = nullptr;
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
    }
}

// ---------------------------------------------------------------- statement

CppSQLite3Statement::CppSQLite3Statement() = default;

CppSQLite3Statement::CppSQLite3Statement(sqlite3* db, sqlite3_stmt* vm) : mpDB(db), mpVM(vm) {}

CppSQLite3Statement::CppSQLite3Statement(CppSQLite3Statement&& other) noexcept
    : mpDB(other.mpDB), mpVM(std::exchange(other.mpVM, nullptr)) {}

CppSQLite3Statement& CppSQLite3Statement::operator=(CppSQLite3Statement&& other) noexcept {
    if (this != &other) {
        try {
            Finalize();
        } catch (...) {
        }
        mpDB = other.mpDB;
        mpVM = std::exchange(other.mpVM, nullptr);
    }
    return *this;
}

CppSQLite3Statement::~CppSQLite3Statement() {
    try {
        Finalize();
    } catch (...) {
    }
}

void CppSQLite3Statement::CheckDB() const {
    if (!mpDB)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, kDatabaseNotOpen);
}

void CppSQLite3Statement::CheckVM() const {
    if (!mpVM)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, kNullVM);
}

void CppSQLite3Statement::BindText(int index, const std::string& value) {
    CheckVM();
    int rc = sqlite3_bind_text(mpVM, index, value.c_str(), static_cast<int>(value.size()),
                               SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, "Error binding string param");
}

void CppSQLite3Statement::BindInt(int index, int value) {
    CheckVM();
    int rc = sqlite3_bind_int(mpVM, index, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, "Error binding int param");
}

int CppSQLite3Statement::Execute() {
    CheckDB();
    CheckVM();
    int rc = sqlite3_step(mpVM);
    if (rc == SQLITE_DONE) {
        int changes = sqlite3_changes(mpDB);
        rc = sqlite3_reset(mpVM);
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
        return changes;
    }
    rc = sqlite3_reset(mpVM);
    throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
}

CppSQLite3Query CppSQLite3Statement::ExecuteQuery() {
    CheckDB();
    CheckVM();
    sqlite3_stmt* vm = std::exchange(mpVM, nullptr);
    int rc = sqlite3_step(vm);
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(mpDB, vm, true);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(mpDB, vm, false);
    rc = sqlite3_finalize(vm);
    throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
}

void CppSQLite3Statement::Reset() {
    if (mpVM) {
        int rc = sqlite3_reset(mpVM);
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
    }
}

void CppSQLite3Statement::Finalize() {
    if (mpVM) {
        int rc = sqlite3_finalize(mpVM);
        mpVM = nullptr;
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
    }
}

// ---------------------------------------------------------------- connection

CppSQLite3DB::CppSQLite3DB() = default;

CppSQLite3DB::~CppSQLite3DB() {
    Close();
}

void CppSQLite3DB::Open(const char* path) {
    int rc = sqlite3_open(path, &mpDB);
    if (rc != SQLITE_OK) {
        CppSQLite3Exception error(rc, mpDB ? sqlite3_errmsg(mpDB) : "");
        Close();
        throw error;
    }
    SetBusyTimeout(mnBusyTimeoutMs);
}

void CppSQLite3DB::Close() {
    if (mpDB) {
        // Statements still open (a query being read) are finalised by SQLite when they end,
        // instead of the close failing and leaking the connection.
        sqlite3_close_v2(mpDB);
        mpDB = nullptr;
    }
}

void CppSQLite3DB::SetBusyTimeout(int ms) {
    mnBusyTimeoutMs = ms;
    if (mpDB)
        sqlite3_busy_timeout(mpDB, mnBusyTimeoutMs);
}

void CppSQLite3DB::CheckDB() const {
    if (!mpDB)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, kDatabaseNotOpen);
}

int CppSQLite3DB::ExecuteUpdate(const char* sql) {
    CheckDB();
    char* error = nullptr;
    int rc = sqlite3_exec(mpDB, sql, nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        return sqlite3_changes(mpDB);
    CppSQLite3Exception e(rc, error ? error : "");
    sqlite3_free(error);
    throw e;
}

sqlite3_stmt* CppSQLite3DB::Compile(const char* sql) {
    CheckDB();
    sqlite3_stmt* vm = nullptr;
    int rc = sqlite3_prepare_v2(mpDB, sql, -1, &vm, nullptr);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
    return vm;
}

CppSQLite3Query CppSQLite3DB::ExecuteQuery(const char* sql) {
    CheckDB();
    sqlite3_stmt* vm = Compile(sql);
    int rc = sqlite3_step(vm);
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(mpDB, vm, true);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(mpDB, vm, false);
    rc = sqlite3_finalize(vm);
    throw CppSQLite3Exception(rc, sqlite3_errmsg(mpDB));
}

CppSQLite3Statement CppSQLite3DB::CompileStatement(const char* sql) {
    return CppSQLite3Statement(mpDB, Compile(sql));
}
