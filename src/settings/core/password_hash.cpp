#include "settings/core/password_hash.h"

#include <string_view>
#include <vector>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include "storage/text_codec.h"

namespace zorvel {

namespace {
using Bytes = std::vector<unsigned char>;

constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// A damaged count beyond this would keep the check busy for minutes; what we write stays far
// below it.
constexpr int kMaxIterations = 10000000;

Bytes Derive(const std::u16string& password, const Bytes& salt, int iterations) {
    // OpenSSL's PBKDF2 runs several times faster than a generic HMAC loop, which matters at
    // today's iteration count: the user waits for it.
    const std::string utf8 = Utf16ToUtf8(password);
    Bytes key(kHashBytes);
    if (PKCS5_PBKDF2_HMAC(utf8.data(), static_cast<int>(utf8.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          key.data()) != 1)
        return {};
    return key;
}

// Compares without stopping at the first difference, so timing tells nothing.
bool SameBytes(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

std::string ToBase64(const Bytes& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                  static_cast<int>(bytes.size()));
    text.resize(n);
    return text;
}

// Standard base64 with its padding, nothing else; false for anything damaged.
bool FromBase64(std::string_view text, Bytes* bytes) {
    if (text.empty() || text.size() % 4 != 0)
        return false;
    size_t padding = 0;
    while (padding < 2 && text[text.size() - 1 - padding] == '=')
        ++padding;
    for (size_t i = 0; i < text.size() - padding; ++i) {
        const char c = text[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '+' || c == '/'))
            return false;
    }
    bytes->assign(text.size() / 4 * 3, 0);
    const int n =
        EVP_DecodeBlock(bytes->data(), reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
    if (n < 0 || static_cast<size_t>(n) != bytes->size())
        return false;
    bytes->resize(bytes->size() - padding);
    return true;
}

struct StoredParts {
    std::string_view count, salt, hash;
};
}  // namespace

std::string HashPassword(const std::u16string& password, int iterations) {
    Bytes salt(kSaltBytes);
    if (RAND_bytes(salt.data(), kSaltBytes) != 1)
        return {};  // never a hash with a guessable salt
    const Bytes hash = Derive(password, salt, iterations);
    return std::string(kPasswordHashPrefix) + std::to_string(iterations) + "$" + ToBase64(salt) +
           "$" + ToBase64(hash);
}

namespace {
// The iteration count of a stored hash; 0 for a plain value, -1 for a damaged one.
int StoredIterations(const std::string& stored, StoredParts* parts) {
    std::string_view rest(stored);
    const std::string_view prefix(kPasswordHashPrefix);
    if (!rest.starts_with(prefix))
        return 0;
    rest.remove_prefix(prefix.size());
    const size_t first = rest.find('$');
    if (first == std::string_view::npos)
        return -1;
    const size_t second = rest.find('$', first + 1);
    if (second == std::string_view::npos || rest.find('$', second + 1) != std::string_view::npos)
        return -1;
    parts->count = rest.substr(0, first);
    parts->salt = rest.substr(first + 1, second - first - 1);
    parts->hash = rest.substr(second + 1);
    if (parts->count.empty() || parts->count.size() > 9)
        return -1;
    int iterations = 0;
    for (char c : parts->count) {
        if (c < '0' || c > '9')
            return -1;
        iterations = iterations * 10 + (c - '0');
    }
    return iterations >= 1 && iterations <= kMaxIterations ? iterations : -1;
}
}  // namespace

bool PasswordNeedsRehash(const std::string& stored) {
    StoredParts parts;
    const int iterations = StoredIterations(stored, &parts);
    return iterations >= 0 && iterations < kPasswordIterations;
}

bool CheckPassword(const std::u16string& typed, const std::string& stored) {
    StoredParts parts;
    const int iterations = StoredIterations(stored, &parts);
    if (iterations == 0)
        return FromStored(stored) == typed;
    if (iterations < 0)
        return false;
    Bytes salt, hash;
    if (!FromBase64(parts.salt, &salt) || !FromBase64(parts.hash, &hash) || salt.empty() ||
        hash.size() != kHashBytes)
        return false;
    return SameBytes(Derive(typed, salt, iterations), hash);
}

}  // namespace zorvel
