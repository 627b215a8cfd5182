#pragma once
#include "consultations/TreatmentStore.h"
#include "db/Database.h"
#include "reports/Report.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace consultations {

// The treatment plan as printed: every plan line of the consultation with the patient's name, the
// consultation's date and number (the list bands), and for each tooth of the four quadrants the
// values the layout names zNN (the planned manipulations, each followed by "; "), dNN (their
// quantities, likewise) and sNN (the price range "S-X", or S, or empty when S is 0; S = sum of
// price x quantity, X = sum of maximum price x quantity).
class PlanPrintout {
public:
    // The layout under reports/.
    static constexpr const char* LayoutName = "plans";

    // Reads the plan of a consultation.
    static PlanPrintout Read(db::Database& database, int consultation);
    // The tooth values of plan rows (ZOBA_NR, PRECE, CENA, MAX_CENA, DAUDZUMS).
    static QHash<QString, QString> ToothValues(const db::ResultSet& rows);
    // 11..18, 21..28, 31..38, 41..48.
    static QList<int> Teeth();

    const db::ResultSet& rows() const { return m_rows; }
    const QHash<QString, QString>& toothValues() const { return m_teeth; }
    const LineTotals& totals() const { return m_totals; }
    QString patient() const { return m_patient; }

    // The report, its rows and named values set.
    reports::Report report() const;

private:
    db::ResultSet m_rows;
    QHash<QString, QString> m_teeth;
    LineTotals m_totals;
    QString m_patient;
    QString m_number;
    QDate m_date;
};

}  // namespace consultations
