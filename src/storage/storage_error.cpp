#include "storage/storage_error.h"

#include "storage/sqlite_wrapper.h"

namespace zorvel {

std::string StorageErrorSentence(int code) {
    // Extended codes (SQLITE_READONLY_DIRECTORY and the like) carry their family in the low byte.
    switch (code & 0xFF) {
        case SQLITE_READONLY:
            return "无法保存：数据文件是只读的。";
        case SQLITE_FULL:
            return "无法保存：磁盘已满。";
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "数据文件正被另一个程序锁住，请稍后再试。";
        case SQLITE_NOTADB:
            return "无法读取：这不是 Zorvel 的数据文件，或者它已损坏。";
        case SQLITE_CORRUPT:
            return "无法读取：数据文件已损坏。";
        case SQLITE_CANTOPEN:
            return "无法打开数据文件：文件或它所在的文件夹无法访问。";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "无法访问数据文件：没有权限。";
        case SQLITE_IOERR:
            return "无法读写数据文件：磁盘出错。";
        case SQLITE_NOMEM:
            return "内存不足，数据未能读写。";
        default:
            return "数据文件出错，操作没有完成。";
    }
}

std::string DescribeStorageError(const CppSQLite3Exception& error) {
    return StorageErrorSentence(error.errorCode()) + "\n" + error.errorMessage();
}

}  // namespace zorvel
