#include "widgets/password_hash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QRandomGenerator>
#include <string_view>

#include <openssl/evp.h>

#include "storage/text_codec.h"

namespace zorvel {

namespace {
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// A damaged count beyond this would keep the check busy for minutes; what we write stays far
// below it.
constexpr int kMaxIterations = 10000000;

QByteArray Derive(const std::u16string& password, const QByteArray& salt, int iterations) {
    // OpenSSL's PBKDF2 runs several times faster than a generic HMAC loop, which matters at
    // today's iteration count: the user waits for it.
    const std::string utf8 = Utf16ToUtf8(password);
    QByteArray key(kHashBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(utf8.data(), static_cast<int>(utf8.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          reinterpret_cast<unsigned char*>(key.data())) != 1)
        return QByteArray();
    return key;
}

// Compares without stopping at the first difference, so timing tells nothing.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
}  // namespace

std::string HashPassword(const std::u16string& password, int iterations) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          kSaltBytes / sizeof(quint32));
    QByteArray hash = Derive(password, salt, iterations);
    return std::string(kPasswordHashPrefix) + std::to_string(iterations) + "$" +
           salt.toBase64().toStdString() + "$" + hash.toBase64().toStdString();
}

namespace {
// The iteration count of a stored hash; 0 for a plain value, -1 for a damaged one.
int StoredIterations(const std::string& stored, QList<QByteArray>* parts) {
    std::string_view prefix(kPasswordHashPrefix);
    if (!std::string_view(stored).starts_with(prefix))
        return 0;
    *parts = QByteArray::fromStdString(stored.substr(prefix.size())).split('$');
    if (parts->size() != 3)
        return -1;
    bool ok = false;
    int iterations = (*parts)[0].toInt(&ok);
    return ok && iterations >= 1 && iterations <= kMaxIterations ? iterations : -1;
}
}  // namespace

bool PasswordNeedsRehash(const std::string& stored) {
    QList<QByteArray> parts;
    const int iterations = StoredIterations(stored, &parts);
    return iterations >= 0 && iterations < kPasswordIterations;
}

bool CheckPassword(const std::u16string& typed, const std::string& stored) {
    QList<QByteArray> parts;
    const int iterations = StoredIterations(stored, &parts);
    if (iterations == 0)
        return FromStored(stored) == typed;
    if (iterations < 0)
        return false;
    auto salt = QByteArray::fromBase64Encoding(parts[1], QByteArray::AbortOnBase64DecodingErrors);
    auto hash = QByteArray::fromBase64Encoding(parts[2], QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || salt.decoded.isEmpty() || hash.decoded.size() != kHashBytes)
        return false;
    return SameBytes(Derive(typed, salt.decoded, iterations), hash.decoded);
}

}  // namespace zorvel
