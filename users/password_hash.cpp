#include "password_hash.h"

#include <sodium.h>

namespace passwordhash {

namespace {

const QLatin1StringView kPrefix("$argon2id$");

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

std::optional<QString> Hash(const QString& password) {
    if (!SodiumReady())
        return std::nullopt;
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // The interactive limits: about a tenth of a second and 64 MB at a counter, per login.
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return std::nullopt;
    return QString::fromLatin1(out);
}

bool IsHash(const QString& stored) {
    return stored.startsWith(kPrefix);
}

Match Verify(const QString& stored, const QString& typed) {
    if (!IsHash(stored))
        return stored == typed ? Match::YesButPlain : Match::No;
    if (!SodiumReady())
        return Match::No;
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0
               ? Match::Yes
               : Match::No;
}

} // namespace passwordhash
