#pragma once
#include <QString>

namespace app {

// Search text as the patient searches compare it: trimmed and in upper case, Latvian letters
// included ("bērziņš " -> "BĒRZIŅŠ").
QString NormalizeSearchText(const QString& text);

// A name as the patient card stores it: trimmed, the first letter upper case and the rest lower
// case ("ābele" and "ĀBELE" both give "Ābele").
QString CapitalizeName(const QString& text);

// A person's name as look-ups show it: "surname first name", and "Nav noteikts" for the default
// row 1 (stored as first name "Nav", surname "Noteikts", which would read "Noteikts Nav").
QString PersonLabel(int key, const QString& surname, const QString& firstName);

// Whether the character is one of the clinic database's character set (Windows-1257): only those
// can be stored, and the database refuses a compared text that holds any other.
bool IsClinicCharacter(char16_t c);
bool IsClinicText(QStringView text);

}  // namespace app
