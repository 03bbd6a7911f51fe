#include "app/core/reset_password.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/core/instance_lock.h"
#include "support/temp_db.h"

namespace zorvel {
namespace {

// A file whose password nobody can give: the stored hash is damaged.
class ResetPasswordTest : public test::TempDatabaseTest {
protected:
    void SetUp() override {
        database().SetDelPwd("pbkdf2-sha256$abc$$");
        database().SetPwdReq(true);
    }
    SoftSetting Stored() {
        SoftSetting s;
        database().ReadSoftSetting(&s);
        return s;
    }
    bool Locked() { return !Stored().delPwd.empty() && Stored().isPwdReq; }
    // Runs the command as on a terminal that answers `answer` (nullptr: no terminal).
    int Run(const char* answer, bool yes = false) {
        out.str({});
        err.str({});
        std::istringstream in(answer ? answer : "");
        return RunResetPassword({dbPath, yes, answer != nullptr}, clock, in, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ResetPasswordTest, ClearsPasswordAndSwitchOnlyWhenConfirmed) {
    // No terminal to ask on, and no --yes: refused.
    EXPECT_EQ(Run(nullptr), 1);
    EXPECT_NE(err.str().find("--yes"), std::string::npos) << err.str();
    // Anything but yes leaves it as it was.
    for (const char* answer : {"\n", "n\n", "no\n", "yes please\n", ""}) {
        EXPECT_EQ(Run(answer), 1) << answer;
        EXPECT_NE(out.str().find("[y/N]"), std::string::npos);
    }
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(StoredLogTexts().empty());

    EXPECT_EQ(Run(" Y \n"), 0) << err.str();
    EXPECT_NE(out.str().find("密码已重置"), std::string::npos) << out.str();
    EXPECT_EQ(Stored().delPwd, "");
    EXPECT_FALSE(Stored().isPwdReq);
    EXPECT_EQ(StoredLogTexts(), std::vector<std::u16string>{u"密码已重置"});

    // Nothing left to clear: said, and no second log line.
    EXPECT_EQ(Run(nullptr, true), 0);
    EXPECT_EQ(StoredLogTexts().size(), 1u);
    EXPECT_FALSE(ClearDeletePassword(manager()));

    // A switch left on without a password is cleared too; --yes needs no terminal.
    database().SetPwdReq(true);
    EXPECT_EQ(Run(nullptr, true), 0) << err.str();
    EXPECT_FALSE(Stored().isPwdReq);
    EXPECT_EQ(StoredLogTexts().size(), 2u);
}

TEST_F(ResetPasswordTest, StopsWhileZorvelUsesTheFileAndNeverMakesOne) {
    {
        CInstanceLock running;
        ASSERT_EQ(running.AcquireFile(dbPath + ".lock", "闹钟程序已在运行中!"),
                  CInstanceLock::State::kFirst);
        EXPECT_EQ(Run(nullptr, true), 1);
        EXPECT_NE(err.str().find("正在使用"), std::string::npos) << err.str();
        EXPECT_TRUE(Locked());
    }
    const std::string missing = dir.File("elsewhere/zorvel.db3");
    std::istringstream none;
    EXPECT_EQ(RunResetPassword({missing, true, false}, clock, none, out, err), 1);
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_EQ(Run(nullptr, true), 0);  // the lock was let go
    EXPECT_FALSE(Locked());
}

}  // namespace
}  // namespace zorvel
