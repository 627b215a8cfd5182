#include "patients/PatientSearch.h"

#include "app/TextNormalize.h"

namespace patients {

namespace {

// Longest typed text the search compares (the widest column it searches is 200).
constexpr int TypedTextLimit = 250;

}  // namespace

int FindPatient(db::Database& database, const QString& text) {
    const QString s = app::NormalizeSearchText(text);
    // No column searched is wider than this, so a longer text cannot match anything.
    if (s.isEmpty() || text.size() > TypedTextLimit) return 0;
    // A character the clinic's character set does not have can be in no stored name or number;
    // the database would refuse the whole statement instead of finding nothing.
    const bool byRules = app::IsClinicText(s);
    const bool byPhone = app::IsClinicText(text);
    const qsizetype blank = s.indexOf(u' ');
    const QString a = blank < 0 ? s : s.left(blank);
    const QString b = blank < 0 ? s : s.mid(blank + 1);

    // The parameters are cast because the server otherwise sizes each one after the column it is
    // compared with, and a typed text longer than, say, PERS_KODS would be an error, not a miss.
    const db::ResultSet rows = !byRules ? db::ResultSet() : database.select(
        QStringLiteral(
            "SELECT 1 FLAG, N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN<>1 AND "
            "((UPPER(UZVARDS) CONTAINING CAST(:B AS VARCHAR(250)) AND UPPER(VARDS) CONTAINING CAST(:A AS VARCHAR(250))) OR "
            "(UPPER(UZVARDS) CONTAINING CAST(:A AS VARCHAR(250)) AND UPPER(VARDS) CONTAINING CAST(:B AS VARCHAR(250)))) "
            "UNION SELECT 2 FLAG, N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN<>1 AND "
            "upper(N_KLIENTS.UZVARDS) STARTING WITH CAST(:S AS VARCHAR(250)) "
            "UNION SELECT 3 FLAG, N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN<>1 AND "
            "upper(N_KLIENTS.VARDS) STARTING WITH CAST(:S AS VARCHAR(250)) "
            "UNION SELECT 4 FLAG, N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN<>1 AND "
            "upper(N_KLIENTS.PERS_KODS) STARTING WITH CAST(:S AS VARCHAR(250)) "
            "ORDER BY 1, 2"),
        {{QStringLiteral("A"), a}, {QStringLiteral("B"), b}, {QStringLiteral("S"), s}});
    if (!rows.isEmpty() && rows.value(0, 0).toInt() > 0) return rows.value(0, 1).toInt();

    // Phone numbers are matched as typed: blanks or a leading "+" belong to the number.
    if (!byPhone) return 0;
    const QVariant key = database.scalar(
        QStringLiteral("SELECT N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN<>1 AND "
                       "(N_KLIENTS.TELEFONS CONTAINING CAST(:TELEFONS AS VARCHAR(250)) OR "
                       "N_KLIENTS.MOB_TEL CONTAINING CAST(:TELEFONS AS VARCHAR(250))) "
                       "ORDER BY N_KLIENTS.ISN"),
        {{QStringLiteral("TELEFONS"), text}});
    return key.isValid() ? key.toInt() : 0;
}

}  // namespace patients
