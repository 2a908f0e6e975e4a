#pragma once
// Operators' passwords as the books keep them: a salted, slow, standard hash (Argon2id through
// libsodium, its own self-describing text "$argon2id$v=19$m=...,t=...,p=...$salt$hash"), never
// the password itself. Books made before hashing still hold plain passwords; those are
// accepted once and replaced at that login.
#include <QString>
#include <optional>

namespace passwordhash {

// The hash of `password` with a fresh salt; nullopt when the library cannot work (no memory).
std::optional<QString> Hash(const QString& password);

// Whether the stored text is a hash this module made, rather than a plain password.
bool IsHash(const QString& stored);

enum class Match {
    No,
    Yes,
    // The typed password equals a password still stored in plain text: store its hash now.
    YesButPlain,
};
Match Verify(const QString& stored, const QString& typed);

} // namespace passwordhash
