#pragma once
#include <QString>

namespace db {

// The clinic's database keeps its text in WIN1257 (Baltic), whatever the connection speaks. A
// text with a character outside it is refused by the engine with "Cannot transliterate
// character", which names neither the field nor the line; these let the program say so first.

// True when every character of the text has a place in WIN1257.
bool FitsDatabaseCharset(const QString& text);

// The characters of the text that WIN1257 lacks, each once, in order of appearance.
QString CharactersOutsideDatabaseCharset(const QString& text);

}  // namespace db
