#pragma once
#include "db/Database.h"

#include <QString>

namespace patients {

// The key of the patient that best matches a quick-search text, 0 when none: surname and first
// name containing the two words in either order, then surname, first name and personal code
// starting with the text, and finally the phone numbers containing the text as typed. The
// default patient (key 1) is never found. The text is always bound, never pasted into SQL.
int FindPatient(db::Database& database, const QString& text);

}  // namespace patients
