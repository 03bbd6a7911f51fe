#pragma once

#include <string>

class CppSQLite3Exception;

namespace zorvel {

// What a storage failure means to the person using the program: one plain sentence (UTF-8),
// chosen by the error's code, for the failures a person can do something about (a read-only
// file, a full disk, a file locked by another program, a file that is not ours), and a general
// one for the rest.
std::string StorageErrorSentence(int code);

// The sentence, a line break, and the error's own text ("SQLITE_READONLY[8]: ..."), which
// names the file and helps whoever looks into it.
std::string DescribeStorageError(const CppSQLite3Exception& error);

}  // namespace zorvel
