#include "app/core/reset_password.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <ostream>

#include "platform/core/instance_lock.h"
#include "storage/clock_manager.h"

namespace zorvel {

namespace {

bool IsYes(std::string answer) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    answer.erase(answer.begin(), std::find_if_not(answer.begin(), answer.end(), blank));
    answer.erase(std::find_if_not(answer.rbegin(), answer.rend(), blank).base(), answer.end());
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes" || answer == "是";
}

}  // namespace

bool ClearDeletePassword(CClockManager& manager) {
    CClockDatabase& database = manager.Database();
    CTransaction transaction(database);
    SoftSetting setting;
    database.ReadSoftSetting(&setting);
    if (setting.delPwd.empty() && !setting.isPwdReq)
        return false;
    database.SetDelPwd("");
    database.SetPwdReq(false);
    manager.AddLog(u"密码已重置");
    transaction.Commit();
    return true;
}

int RunResetPassword(const ResetPasswordRequest& request, const Clock& clock, std::istream& in,
                     std::ostream& out, std::ostream& err) {
    const std::string& path = request.databasePath;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        // Opening it would make a new file, which holds no password anyway.
        err << "zorvel: 找不到数据文件 " << path << "，没有密码需要重置。\n";
        return 1;
    }

    // The lock the running program holds on this file: while the command has it, no Zorvel
    // can start on the file, and a running one makes it stop here.
    CInstanceLock lock;
    switch (lock.AcquireFile(path + ".lock", kResetPasswordLockText)) {
        case CInstanceLock::State::kFirst:
            break;
        case CInstanceLock::State::kAlreadyRunning:
            err << "zorvel: Zorvel 正在使用 " << path
                << "。请先从时钟的菜单选“退出”，再重置密码。\n";
            return 1;
        case CInstanceLock::State::kFailed:
            err << "zorvel: 无法锁定 " << path << ".lock，没有重置密码。\n";
            return 1;
    }

    try {
        CStore store(path, clock);
        SoftSetting setting;
        store.Database().ReadSoftSetting(&setting);
        if (setting.delPwd.empty() && !setting.isPwdReq) {
            out << "没有设置密码，无需重置。\n";
            return 0;
        }
        if (!request.yes) {
            if (!request.interactive) {
                err << "zorvel: 没有终端可以确认。要在脚本中重置密码，请加上 --yes。\n";
                return 1;
            }
            out << "这将清除修改和删除闹钟、记事所需的密码（数据文件 " << path
                << "）。\n确定要重置密码吗？[y/N] " << std::flush;
            std::string answer;
            if (!std::getline(in, answer) || !IsYes(answer)) {
                out << "没有重置密码。\n";
                return 1;
            }
        }
        ClearDeletePassword(store.Manager());
    } catch (const CppSQLite3Exception& e) {
        err << "zorvel: 无法重置密码：" << e.errorMessage() << "\n";
        return 1;
    }
    out << "密码已重置。\n";
    return 0;
}

}  // namespace zorvel
