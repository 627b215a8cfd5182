#pragma once
#include "db/Database.h"

#include <QString>

// The numbering of consultations, shared by the consultation register and by the appointment
// editor's hand-over to a visit. Consultation numbers are texts; the program makes plain decimal
// numbers ("125") and, for a consultation made from a request, the request number, "-" and a
// plain number ("57-126"). Numbers with "-" never take part in the plain numbering.
namespace app {

// One more than the greatest plain consultation number by value (not by text: "10" is greater
// than "9"), ignoring numbers with "-" and any that are not digits only; "1" for the first
// consultation. Empty when the greatest number is too long to count on (the user types one).
QString NextConsultationNumber(db::Database& database);

// The number of a consultation made from a request: the trimmed request number, "-" and the next
// plain number ("-1" when the next plain number cannot be counted).
QString VisitConsultationNumber(db::Database& database, const QString& requestNumber);

}  // namespace app
