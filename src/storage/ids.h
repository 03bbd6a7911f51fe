#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zorvel {

// A new braced GUID text of 38 characters, e.g. {7C9E6679-7425-40de-944B-E07FC1F90AE7}:
// upper-case hex except the third group, which is lower case.
std::string NewIdText();

// Formats 16 GUID bytes (first three groups little-endian, as a Windows GUID) as above.
std::string FormatGuid(const unsigned char bytes[16]);

// Tests replace the random source to exercise its failure; returning false means
// "no random bytes", and ids must then still be unique. nullptr restores the system source.
using RandomSource = std::function<bool(void* buffer, size_t size)>;
void SetRandomSourceForTesting(RandomSource source);

}  // namespace zorvel
