#pragma once

#include <sqlcipher/sqlite3.h>

#include <exception>
#include <string>

// Code of errors raised by the wrapper itself rather than by the library.
constexpr int CPPSQLITE_ERROR = 1000;

const char* ErrorCodeName(int code);

// The one error type of the storage layer. Its message reads "%s[%d]: %s":
// the code's name, the code, and the explanation (SQLite's own message where it gave one).
class CppSQLite3Exception : public std::exception {
public:
    CppSQLite3Exception(int code, const char* explanation);
    CppSQLite3Exception(const CppSQLite3Exception& other);
    CppSQLite3Exception& operator=(const CppSQLite3Exception& other);
    ~CppSQLite3Exception() override;

    int errorCode() const { return Code; }
    const char* errorMessage() const { return Message ? Message : ""; }
    const char* what() const noexcept override { return errorMessage(); }

private:
    int Code;
    char* Message;
};

class CppSQLite3Query {
public:
    CppSQLite3Query();
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* vm, bool eof);
    CppSQLite3Query(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query& operator=(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query(const CppSQLite3Query&) = delete;
    CppSQLite3Query& operator=(const CppSQLite3Query&) = delete;
    virtual ~CppSQLite3Query();

    int NumFields() const;
    int FieldIndex(const char* name) const;
    int GetIntField(int index) const;
    std::string GetTextField(int index) const;
    // Convenience: by exact (case-sensitive) column name.
    int GetIntField(const char* name) const { return GetIntField(FieldIndex(name)); }
    std::string GetTextField(const char* name) const { return GetTextField(FieldIndex(name)); }
    bool IsEof() const;
    void NextRow();
    void Finalize();

private:
    void CheckVM() const;
    void CheckIndex(int index) const;

    sqlite3* mpDB = nullptr;
    sqlite3_stmt* mpVM = nullptr;
    bool mbEof = true;
    int mnCols = 0;
    bool mbOwnVM = true;
};

class CppSQLite3Statement {
public:
    CppSQLite3Statement();
    CppSQLite3Statement(sqlite3* db, sqlite3_stmt* vm);
    CppSQLite3Statement(CppSQLite3Statement&& other) noexcept;
    CppSQLite3Statement& operator=(CppSQLite3Statement&& other) noexcept;
    CppSQLite3Statement(const CppSQLite3Statement&) = delete;
    CppSQLite3Statement& operator=(const CppSQLite3Statement&) = delete;
    virtual ~CppSQLite3Statement();

    void BindText(int index, const std::string& value);
    void BindInt(int index, int value);
    int Execute();
    // Steps once and hands the compiled statement to a query; this statement is spent.
    CppSQLite3Query ExecuteQuery();
    void Reset();
    void Finalize();

private:
    void CheckDB() const;
    void CheckVM() const;

    sqlite3* mpDB = nullptr;
    sqlite3_stmt* mpVM = nullptr;
};

class CppSQLite3DB {
public:
    CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;
    virtual ~CppSQLite3DB();

    void Open(const char* path);
    void Close();
    bool IsOpen() const { return mpDB != nullptr; }
    int ExecuteUpdate(const char* sql);
    CppSQLite3Query ExecuteQuery(const char* sql);
    CppSQLite3Statement CompileStatement(const char* sql);
    void SetBusyTimeout(int ms);
    sqlite3* Handle() const { return mpDB; }

private:
    void CheckDB() const;
    sqlite3_stmt* Compile(const char* sql);

    sqlite3* mpDB = nullptr;
    // A locked file is waited for this long before the operation fails; the UI thread waits
    // with it, so it stays short.
    int mnBusyTimeoutMs = 2000;
};
