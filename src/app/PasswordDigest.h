#pragma once
#include <QByteArray>
#include <QString>

namespace app {

// The salted password digest kept in N_USERS.PASWORD: 32 lower-case hex digits of an MD5 digest,
// ":" and the two-character salt, 35 characters in all.
//
// The digest covers salt + password, but only the first N bytes of its UTF-16LE form where N is
// the number of characters, i.e. roughly the salt and the first half of the password. Every stored
// digest was made this way, so the rule must not change or existing users could no longer log on.
//
// An empty salt makes a new one: two upper-case hex digits from the system's random source.
QString MakePasswordDigest(const QString& password, const QString& salt = QString());

// The hashed bytes for a text under the rule above (exposed for tests and tools).
QByteArray PasswordDigestInput(const QString& text);

// True when a stored PASWORD value holds a checkable digest: it has a colon and the part from
// its first colon on is exactly three characters. Any other value (NULL, empty, free text) means
// the user has no password and may log on with anything.
bool HasCheckablePassword(const QString& stored);

// The salt of a checkable stored digest (the two characters after the colon).
QString PasswordSalt(const QString& stored);

// Checks a typed password, exactly as typed (case matters), against a stored value.
bool PasswordMatches(const QString& stored, const QString& typed);

}  // namespace app
