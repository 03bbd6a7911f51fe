#include <gtest/gtest.h>

#include <string>

#include "settings/core/password_hash.h"
#include "storage/text_codec.h"

namespace {

using namespace zorvel;

TEST(PasswordHashTest, SaltedHashChecksExactly) {
    const std::u16string pwd = u"它's \"秘密\" " + std::u16string(300, u'长');
    constexpr int kQuick = 1000;  // the checks below, not the cost, are the point here
    std::string hash = HashPassword(pwd, kQuick);
    EXPECT_TRUE(hash.starts_with(kPasswordHashPrefix)) << hash;
    EXPECT_NE(hash, HashPassword(pwd, kQuick));  // a fresh salt every time
    EXPECT_TRUE(CheckPassword(pwd, hash));
    EXPECT_FALSE(CheckPassword(pwd.substr(0, pwd.size() - 1), hash));
    EXPECT_FALSE(CheckPassword(u"Abc", HashPassword(u"abc", kQuick)));
    EXPECT_TRUE(CheckPassword(u"", HashPassword(u"", kQuick)));
    EXPECT_FALSE(CheckPassword(u"", hash));

    // Older files hold the plain text; a damaged hash accepts nothing.
    EXPECT_TRUE(CheckPassword(u"旧密码", ToStored(u"旧密码")));
    EXPECT_FALSE(CheckPassword(u"旧密", ToStored(u"旧密码")));
    EXPECT_TRUE(CheckPassword(u"", ""));  // the shipped row
    std::string prefix = kPasswordHashPrefix;
    std::string rest = hash.substr(hash.find('$', prefix.size()));  // "$salt$hash"
    for (const std::string& broken : {prefix, prefix + "0" + rest, prefix + "99999999" + rest,
                                      hash.substr(0, hash.size() - 4), hash + "$x"})
        EXPECT_FALSE(CheckPassword(pwd, broken)) << broken;
}

TEST(PasswordHashTest, TodaysIterationCountAndWhatToStoreAgain) {
    EXPECT_EQ(kPasswordIterations, 600000);
    const std::string current = HashPassword(u"x");
    EXPECT_NE(current.find("$600000$"), std::string::npos) << current;
    EXPECT_FALSE(PasswordNeedsRehash(current));
    // Weaker values are read and should be stored again once the password is given.
    EXPECT_TRUE(PasswordNeedsRehash(HashPassword(u"x", 10000)));
    EXPECT_TRUE(PasswordNeedsRehash(ToStored(u"旧密码")));
    EXPECT_TRUE(PasswordNeedsRehash(""));
    // A damaged value is not "weaker": it accepts nothing and is left for the user to reset.
    EXPECT_FALSE(PasswordNeedsRehash(std::string(kPasswordHashPrefix) + "x$y$z"));
}

// Hashes stored by earlier releases (and by any correct PBKDF2-HMAC-SHA256 with standard
// base64) must keep verifying, byte for byte.
TEST(PasswordHashTest, HashesStoredEarlierStillVerify) {
    struct Case {
        const char* stored;
        std::u16string right;
    };
    const Case cases[] = {
        {"pbkdf2-sha256$1000$AAECAwQFBgcICQoLDA0ODw==$"
         "US9piwxgvM9LwgoMvjNnwL6b/wx+XKOdm1uO63CBFt0=",
         u"密码Ab1"},
        {"pbkdf2-sha256$1$+//++//++//++//++//+Pg==$rgWfgOkAC4Cw89eMm0NKTThiFmOhQTvsebwDaveIQ68=",
         u""},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(CheckPassword(c.right, c.stored)) << c.stored;
        EXPECT_FALSE(CheckPassword(c.right + u"x", c.stored)) << c.stored;
        // Padding, alphabet and count are read strictly: a changed character accepts nothing.
        std::string unpadded = c.stored;
        unpadded.pop_back();
        EXPECT_FALSE(CheckPassword(c.right, unpadded)) << unpadded;
        std::string spaced = c.stored;
        spaced.insert(std::string(kPasswordHashPrefix).size(), " ");
        EXPECT_FALSE(CheckPassword(c.right, spaced)) << spaced;
    }
    // What is written now has the same shape: 16 salt bytes and 32 hash bytes in base64.
    const std::string fresh = HashPassword(u"x", 1);
    EXPECT_EQ(fresh.size(), std::string("pbkdf2-sha256$1$").size() + 24 + 1 + 44) << fresh;
}

}  // namespace
