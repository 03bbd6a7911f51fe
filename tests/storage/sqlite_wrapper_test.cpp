#include <gtest/gtest.h>

#include <string>

#include "storage/sqlite_wrapper.h"

namespace {

std::string MessageOf(auto&& action) {
    try {
        action();
    } catch (const CppSQLite3Exception& e) {
        return e.errorMessage();
    }
    return "<no exception>";
}

class MemoryDb : public ::testing::Test {
protected:
    void SetUp() override {
        db.Open(":memory:");
        db.ExecuteUpdate("create table t (id TEXT, n INTEGER, s TEXT);");
        db.ExecuteUpdate("insert into t values ('a', NULL, NULL);");
    }
    CppSQLite3DB db;
};

TEST(ErrorCodeNameTest, NamesKnownCodesAndOnlyThose) {
    EXPECT_STREQ(ErrorCodeName(0), "SQLITE_OK");
    EXPECT_STREQ(ErrorCodeName(25), "SQLITE_RANGE");
    EXPECT_STREQ(ErrorCodeName(100), "SQLITE_ROW");
    EXPECT_STREQ(ErrorCodeName(101), "SQLITE_DONE");
    EXPECT_STREQ(ErrorCodeName(26), "SQLITE_NOTADB");  // a file that is not a database
    EXPECT_STREQ(ErrorCodeName(1000), "CPPSQLITE_ERROR");
    for (int code : {27, 99, -1, 1001, 102})
        EXPECT_STREQ(ErrorCodeName(code), "UNKNOWN_ERROR");
}

TEST(ExceptionTest, MessageFormatAndCopies) {
    CppSQLite3Exception e(5, "database is locked");
    EXPECT_EQ(e.errorCode(), 5);
    EXPECT_STREQ(e.errorMessage(), "SQLITE_BUSY[5]: database is locked");
    CppSQLite3Exception copy(e);
    CppSQLite3Exception assigned(1, nullptr);
    EXPECT_STREQ(assigned.errorMessage(), "SQLITE_ERROR[1]: ");
    assigned = copy;
    EXPECT_STREQ(copy.errorMessage(), e.errorMessage());
    EXPECT_STREQ(assigned.errorMessage(), e.errorMessage());
    EXPECT_NE(copy.errorMessage(), e.errorMessage());  // its own copy of the text
}

TEST(ConnectionTest, ClosedConnectionRefusesWork) {
    CppSQLite3DB closed;
    EXPECT_EQ(MessageOf([&] { closed.ExecuteUpdate("select 1;"); }),
              "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_EQ(MessageOf([&] { closed.ExecuteQuery("select 1;"); }),
              "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_EQ(MessageOf([&] { closed.CompileStatement("select 1;"); }),
              "CPPSQLITE_ERROR[1000]: Database not open");
}

TEST_F(MemoryDb, ErrorsCarryTheLibraryExplanation) {
    EXPECT_EQ(MessageOf([&] { db.CompileStatement("selec nothing"); }),
              "SQLITE_ERROR[1]: near \"selec\": syntax error");
    EXPECT_EQ(MessageOf([&] { db.ExecuteUpdate("insert into missing values(1);"); }),
              "SQLITE_ERROR[1]: no such table: missing");
}

TEST_F(MemoryDb, NullColumnsReadAsZeroAndEmpty) {
    CppSQLite3Query q = db.ExecuteQuery("select * from t;");
    ASSERT_FALSE(q.IsEof());
    EXPECT_EQ(q.GetIntField(q.FieldIndex("n")), 0);
    EXPECT_EQ(q.GetTextField(q.FieldIndex("s")), "");
    EXPECT_EQ(q.GetTextField(0), "a");
}

TEST_F(MemoryDb, FieldChecksRaiseWrapperErrors) {
    CppSQLite3Query q = db.ExecuteQuery("select * from t;");
    EXPECT_EQ(MessageOf([&] { q.GetIntField(3); }),
              "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(MessageOf([&] { q.GetTextField(-1); }),
              "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(MessageOf([&] { q.FieldIndex("ID"); }),
              "CPPSQLITE_ERROR[1000]: Invalid field name requested");
    EXPECT_EQ(MessageOf([&] { q.FieldIndex(nullptr); }),
              "CPPSQLITE_ERROR[1000]: Invalid field name requested");
    q.Finalize();
    EXPECT_EQ(MessageOf([&] { q.IsEof(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(MemoryDb, StatementsBindAndCountChanges) {
    CppSQLite3Statement st = db.CompileStatement("insert into t values (?, ?, ?);");
    st.BindText(1, "it's");
    st.BindInt(2, 42);
    st.BindText(3, std::string("x\0y", 3));
    EXPECT_EQ(st.Execute(), 1);
    st.BindText(1, "b");
    EXPECT_EQ(st.Execute(), 1);  // reusable after the reset
    EXPECT_EQ(MessageOf([&] { st.BindInt(9, 1); }), "SQLITE_RANGE[25]: Error binding int param");
    st.Finalize();
    EXPECT_EQ(MessageOf([&] { st.Execute(); }),
              "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");

    EXPECT_EQ(db.ExecuteUpdate("update t set n = 1;"), 3);
    CppSQLite3Statement sel = db.CompileStatement("select s from t where id = ?;");
    sel.BindText(1, "it's");
    CppSQLite3Query q = sel.ExecuteQuery();
    ASSERT_FALSE(q.IsEof());
    EXPECT_EQ(q.GetTextField(0), std::string("x\0y", 3));
    q.NextRow();
    EXPECT_TRUE(q.IsEof());
}

TEST_F(MemoryDb, FailedStepFinalizesTheStatement) {
    db.ExecuteUpdate("create table u (k INTEGER UNIQUE);");
    db.ExecuteUpdate("insert into u values (1);");
    CppSQLite3Statement st = db.CompileStatement("insert into u values (1);");
    std::string msg = MessageOf([&] { st.Execute(); });
    EXPECT_EQ(msg.rfind("SQLITE_CONSTRAINT[19]: ", 0), 0u) << msg;
}

}  // namespace
