#pragma once
#include <QList>
#include <QString>

namespace app {

// A set of record keys kept as one text: every key between two bars, the entries simply
// concatenated (the keys 12 and 345 give "|12||345|"). Membership is a search for bar + key + bar,
// which is how other workstations and older settings read the same text.
QString FormatKeyList(const QList<int>& keys);
// The keys in stored order; text between the bars that is not a whole number is skipped.
QList<int> ParseKeyList(const QString& text);
bool KeyListContains(const QString& text, int key);

}  // namespace app
