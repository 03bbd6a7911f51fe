#include "widgets/password_hash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <string_view>

#include "storage/text_codec.h"

namespace zorvel {

namespace {
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// A stored count beyond this would stall the window; no value we write comes near it.
constexpr int kMaxIterations = 1000000;

QByteArray Derive(const std::u16string& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                              QByteArray::fromStdString(Utf16ToUtf8(password)),
                                              salt, iterations, kHashBytes);
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

bool CheckPassword(const std::u16string& typed, const std::string& stored) {
    std::string_view prefix(kPasswordHashPrefix);
    if (!std::string_view(stored).starts_with(prefix))
        return FromStored(stored) == typed;
    QList<QByteArray> parts = QByteArray::fromStdString(stored.substr(prefix.size())).split('$');
    if (parts.size() != 3)
        return false;
    bool ok = false;
    int iterations = parts[0].toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMaxIterations)
        return false;
    auto salt = QByteArray::fromBase64Encoding(parts[1], QByteArray::AbortOnBase64DecodingErrors);
    auto hash = QByteArray::fromBase64Encoding(parts[2], QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || salt.decoded.isEmpty() || hash.decoded.size() != kHashBytes)
        return false;
    return SameBytes(Derive(typed, salt.decoded, iterations), hash.decoded);
}

}  // namespace zorvel
