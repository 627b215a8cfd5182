#include "patients/PersonalCodeMatches.h"

namespace patients {

QVector<PatientChoice> PatientsWithPersonalCode(db::Database& database, const QString& personalCode) {
    const db::ResultSet rows =
        database.select(QStringLiteral("SELECT ISN, VARDS, UZVARDS FROM N_KLIENTS WHERE PERS_KODS=CAST(:PERS_KODS AS VARCHAR(250)) ORDER BY ISN"),
                        {{QStringLiteral("PERS_KODS"), personalCode}});
    QVector<PatientChoice> out;
    out.reserve(rows.rowCount());
    for (int i = 0; i < rows.rowCount(); ++i)
        out.append({rows.value(i, QStringLiteral("ISN")).toInt(),
                    rows.value(i, QStringLiteral("UZVARDS")).toString() + u' ' + rows.value(i, QStringLiteral("VARDS")).toString()});
    return out;
}

}  // namespace patients
