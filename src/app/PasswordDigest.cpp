#include "app/PasswordDigest.h"

#include <QRandomGenerator>

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace app {

namespace {

QByteArray md5(const QByteArray& bytes) {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), bytes.constData(), size_t(bytes.size())) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
        throw std::runtime_error("MD5 digest failed");
    return QByteArray(reinterpret_cast<const char*>(digest), int(length));
}

// A new salt: ten random non-negative integers in decimal, digested, first two hex digits.
QString newSalt() {
    QString seed;
    auto* random = QRandomGenerator::system();
    for (int i = 0; i < 10; ++i) seed += QString::number(random->bounded(std::numeric_limits<int>::max()));
    return QString::fromLatin1(md5(PasswordDigestInput(seed)).toHex().toUpper().left(2));
}

}  // namespace

QByteArray PasswordDigestInput(const QString& text) {
    // QString holds UTF-16 code units in host order; build the little-endian bytes explicitly.
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes.left(text.size());
}

QString MakePasswordDigest(const QString& password, const QString& salt) {
    const QString s = salt.isEmpty() ? newSalt() : salt;
    const QByteArray digest = md5(PasswordDigestInput(s + password));
    return QString::fromLatin1(digest.toHex().toLower()) + u':' + s;
}

bool HasCheckablePassword(const QString& stored) {
    const qsizetype colon = stored.indexOf(u':');
    return colon >= 0 && stored.size() - colon == 3;
}

QString PasswordSalt(const QString& stored) {
    const qsizetype colon = stored.indexOf(u':');
    return colon < 0 ? QString() : stored.mid(colon + 1, 2);
}

bool PasswordMatches(const QString& stored, const QString& typed) {
    if (!HasCheckablePassword(stored)) return true;
    return MakePasswordDigest(typed, PasswordSalt(stored)) == stored;
}

}  // namespace app
