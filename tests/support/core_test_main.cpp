#include <gtest/gtest.h>

#include "support/temp_db.h"

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    // Local-time texts in the tests are written for China Standard Time.
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    zorvel::test::UseTemporaryDatabaseForProcess();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
