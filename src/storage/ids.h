#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zorvel {

// Fills the buffer with random bytes; false means "no random bytes", and ids must then
// still be unique.
using RandomSource = std::function<bool(void* buffer, size_t size)>;

// A new braced GUID text of 38 characters, e.g. {7C9E6679-7425-40de-944B-E07FC1F90AE7}:
// upper-case hex except the third group, which is lower case. From the system's random
// bytes, or from `source`.
std::string NewIdText();
std::string NewIdText(const RandomSource& source);

// Formats 16 GUID bytes (first three groups little-endian, as a Windows GUID) as above.
std::string FormatGuid(const unsigned char bytes[16]);

}  // namespace zorvel
