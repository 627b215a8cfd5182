#include "consultations/PlanPrintout.h"

#include "reports/ReportLayout.h"
#include "reports/ReportValues.h"

namespace consultations {

namespace {

// Numbers as the plan prints them between its texts: in general format ("2", "24.2").
QString general(double value) { return QString::number(value, 'g', 15); }

}  // namespace

QList<int> PlanPrintout::Teeth() {
    QList<int> teeth;
    for (int quadrant = 1; quadrant <= 4; ++quadrant)
        for (int tooth = 1; tooth <= 8; ++tooth) teeth.append(quadrant * 10 + tooth);
    return teeth;
}

PlanPrintout PlanPrintout::Read(db::Database& database, int consultation) {
    PlanPrintout p;
    p.m_rows = database.select(
        QStringLiteral("SELECT O_ARSTPLANS.ISN, O_ARSTPLANS.ZOBA_NR, N_KLIENTS.VARDS || ' ' || N_KLIENTS.UZVARDS KLIENTS, "
                       "O_KONSULTACIJA_HD.DATUMS, O_KONSULTACIJA_HD.NUMURS, O_ARSTPLANS.CENA, O_ARSTPLANS.MAX_CENA, "
                       "O_ARSTPLANS.DAUDZUMS, O_ARSTPLANS.NODOKLIS, O_ARSTPLANS.LAIKS, "
                       "O_ARSTPLANS.CENA * O_ARSTPLANS.DAUDZUMS SUMMA, N_PRECE.GNOS PRECE "
                       "FROM O_ARSTPLANS JOIN O_KONSULTACIJA_HD ON O_KONSULTACIJA_HD.ISN = O_ARSTPLANS.ISKONSULTACIJAHD "
                       "JOIN N_PRECE ON N_PRECE.ISN = O_ARSTPLANS.ISPRECE "
                       "LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = O_KONSULTACIJA_HD.ISKLIENTS "
                       "WHERE O_ARSTPLANS.ISKONSULTACIJAHD = :ISKONSULTACIJAHD AND (O_ARSTPLANS.DZESTS IS NULL OR "
                       "O_ARSTPLANS.DZESTS = 0) ORDER BY O_ARSTPLANS.ZOBA_NR, O_ARSTPLANS.ISN"),
        {{QStringLiteral("ISKONSULTACIJAHD"), consultation}});
    // The header of a plan without lines still names the patient and the consultation.
    const db::ResultSet head = database.select(
        QStringLiteral("SELECT N_KLIENTS.VARDS || ' ' || N_KLIENTS.UZVARDS KLIENTS, O_KONSULTACIJA_HD.DATUMS, "
                       "O_KONSULTACIJA_HD.NUMURS FROM O_KONSULTACIJA_HD LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = "
                       "O_KONSULTACIJA_HD.ISKLIENTS WHERE O_KONSULTACIJA_HD.ISN = :ISN"),
        {{QStringLiteral("ISN"), consultation}});
    p.m_patient = head.first(QStringLiteral("KLIENTS")).toString();
    p.m_date = head.first(QStringLiteral("DATUMS")).toDateTime().date();
    p.m_number = head.first(QStringLiteral("NUMURS")).toString().trimmed();
    p.m_teeth = ToothValues(p.m_rows);
    p.m_totals = TreatmentStore::Totals(p.m_rows);
    return p;
}

QHash<QString, QString> PlanPrintout::ToothValues(const db::ResultSet& rows) {
    QHash<QString, QString> values;
    QHash<int, double> planned, highest;
    for (const int tooth : Teeth()) {
        const QString nn = QString::number(tooth);
        values.insert(QStringLiteral("z") + nn, QString());
        values.insert(QStringLiteral("d") + nn, QString());
        values.insert(QStringLiteral("s") + nn, QString());
    }
    // Every line counts, also two alike on one tooth.
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int tooth = rows.value(r, QStringLiteral("ZOBA_NR")).toInt();
        const QString nn = QString::number(tooth);
        if (!values.contains(QStringLiteral("z") + nn)) continue;
        const double quantity = rows.value(r, QStringLiteral("DAUDZUMS")).toDouble();
        values[QStringLiteral("z") + nn] += rows.value(r, QStringLiteral("PRECE")).toString() + QStringLiteral("; ");
        values[QStringLiteral("d") + nn] += general(quantity) + QStringLiteral("; ");
        planned[tooth] += rows.value(r, QStringLiteral("CENA")).toDouble() * quantity;
        highest[tooth] += rows.value(r, QStringLiteral("MAX_CENA")).toDouble() * quantity;
    }
    for (auto it = planned.cbegin(); it != planned.cend(); ++it) {
        const double s = it.value();
        const double x = highest.value(it.key());
        QString range;
        if (s != 0) range = x > s ? general(s) + u'-' + general(x) : general(s);
        values[QStringLiteral("s") + QString::number(it.key())] = range;
    }
    return values;
}

reports::Report PlanPrintout::report() const {
    reports::Report report(reports::ReportLayout::load(QString::fromLatin1(LayoutName)));
    report.setRows(m_rows);
    reports::ReportValues values;
    for (auto it = m_teeth.cbegin(); it != m_teeth.cend(); ++it) values.set(it.key(), it.value());
    // Named apart from the rows' columns, which a layout's placeholders find first.
    values.set(QStringLiteral("Pacients"), m_patient);
    values.set(QStringLiteral("KonsDatums"), m_date.toString(QStringLiteral("dd.MM.yyyy")));
    values.set(QStringLiteral("KonsNumurs"), m_number);
    values.set(QStringLiteral("KopaSumma"), m_totals.amountText());
    values.set(QStringLiteral("KopaLaiks"), m_totals.timeText());
    report.setValues(values);
    return report;
}

}  // namespace consultations
