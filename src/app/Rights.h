#pragma once
#include <QString>

namespace app {

// Permissions of a rights-string entry, in their stored order.
enum Permission { View = 0, Change = 1, Add = 2, Delete = 3 };

// The rights test. A rights string is a run of 7-character entries "cc_PPPP": a two-digit function
// code, "_", and "T"/"F" for view, change, add and delete. The user "ADMIN" has every right;
// a code without an entry (including codes no user is ever given, such as "27" and "28") is refused.
bool HasRight(const QString& userName, const QString& rights, const QString& code, int permission);


}  // namespace app
