// Build-time tool: makes the shipped template database from the schema.
#include <cstdio>
#include <filesystem>

#include "storage/clock_database.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.db3\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::remove(argv[1], ec);
    try {
        CClockDatabase db(argv[1]);
        db.Open();  // a missing file is made from the schema
        if (!db.ReadSoftSetting(nullptr))
            throw CppSQLite3Exception(SQLITE_CORRUPT, "the schema made no settings row");
    } catch (const CppSQLite3Exception& e) {
        std::fprintf(stderr, "%s\n", e.errorMessage());
        return 1;
    }
    return 0;
}
