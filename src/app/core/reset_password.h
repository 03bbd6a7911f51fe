#pragma once

#include <iosfwd>
#include <string>

#include "platform/core/clock.h"

class CClockManager;

namespace zorvel {

// Clears the delete password and the switch that asks for it, and logs "密码已重置", all in
// one transaction. False (nothing written) when neither was set.
bool ClearDeletePassword(CClockManager& manager);

// What `zorvel --reset-password` works with.
struct ResetPasswordRequest {
    std::string databasePath;
    bool yes = false;          // --yes: no question (scripts and tests have no terminal)
    bool interactive = false;  // `in` is a terminal the question can be asked on
};

// The whole command. It takes the lock the running program holds beside the database, so it
// stops when Zorvel is using the file; asks on `in` unless `yes`, and refuses without a
// terminal to ask on. Messages go to `out`, failures to `err`. Returns the exit code: 0 when
// the password was cleared (or none was set), 1 when nothing was done.
int RunResetPassword(const ResetPasswordRequest& request, const Clock& clock, std::istream& in,
                     std::ostream& out, std::ostream& err);

// Stored in the lock file while the command runs: what a Zorvel started meanwhile shows.
inline constexpr char kResetPasswordLockText[] = "正在重置密码，请稍后再启动 Zorvel。";

}  // namespace zorvel
