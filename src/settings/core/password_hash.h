#pragma once

#include <string>

namespace zorvel {

// The stored form of the delete password: "pbkdf2-sha256$<iterations>$<salt>$<hash>", salt
// and hash in base64, the hash a PBKDF2-HMAC-SHA256 of the UTF-8 password. A value without
// that prefix is a password from an older file, kept as plain stored text.
inline constexpr char kPasswordHashPrefix[] = "pbkdf2-sha256$";
// Current guidance for PBKDF2-HMAC-SHA256. A check takes a noticeable fraction of a second,
// so it never runs on the UI thread.
inline constexpr int kPasswordIterations = 600000;

// A new salted hash of `password`, ready for the settings row.
std::string HashPassword(const std::u16string& password, int iterations = kPasswordIterations);

// Whether `typed` is the password that `stored` (the settings row's value) holds. Exact and
// case-sensitive; an unreadable hash accepts nothing. Hashes of any iteration count and plain
// values from older files are read.
bool CheckPassword(const std::u16string& typed, const std::string& stored);

// Whether a stored value is weaker than what HashPassword writes now (a plain value, or
// fewer iterations), so that a right password should be stored again.
bool PasswordNeedsRehash(const std::string& stored);

}  // namespace zorvel
