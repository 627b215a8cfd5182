#include "billing/InvoicePrint.h"

#include "billing/AmountInWords.h"
#include "reports/ReportLayout.h"
#include "reports/ReportValues.h"

#include <cmath>

namespace billing {

namespace {

QString money(double v) { return QString::number(v, 'f', 2); }

// The invoice document from its title values (NUMURS, DATUMS, APMAKS_LIDZ and the patient's
// KLIENTS, ADRESE, PERS_KODS, BANKAS_KONTS, BANKA, KODS, ZIP_NR in the first row of head) and its
// line rows (ARTIKULS, PRECE, DAUDZUMS, CENA, SUMMA, PVNSUMMA, ...), with the total in words of
// the total printed.
reports::Report invoiceReport(db::Database& database, const db::ResultSet& head, db::ResultSet rows,
                              const QString& comment, double total, int defaultVatRate, const QString& signature) {
    double vatSum = 0;
    for (int r = 0; r < rows.rowCount(); ++r) vatSum += rows.value(r, QStringLiteral("PVNSUMMA")).toDouble();
    const ClinicRequisites clinic = ClinicRequisites::Read(database);
    auto h = [&](const char* name) { return head.first(QString::fromLatin1(name)); };
    reports::ReportValues values;
    values.set(QStringLiteral("shVardsUzvards"), signature)
        .set(QStringLiteral("SumLatVal"), AmountInWords(total, QStringLiteral("EUR"), QString()))
        .set(QStringLiteral("shGnos"), clinic.name)
        .set(QStringLiteral("lbRekviziti"), clinic.details)
        .set(QStringLiteral("shBanka"), clinic.bank)
        .set(QStringLiteral("shHeader1"), QCoreApplication::translate("TIzrakstisana", "Cena ar atl, bez PVN (EUR)"))
        .set(QStringLiteral("shHeader2"), QCoreApplication::translate("TIzrakstisana", "Kopā bez PVN (EUR)"))
        .set(QStringLiteral("shPVN"), InvoicePrint::VatText(vatSum, defaultVatRate))
        .set(QStringLiteral("shBankaMaksatajs"), h("BANKA"))
        .set(QStringLiteral("shBankasKods"), h("KODS"))
        .set(QStringLiteral("NUMURS"), h("NUMURS"))
        .set(QStringLiteral("DATUMS"), h("DATUMS").toDateTime().date())
        .set(QStringLiteral("APMAKS_LIDZ"), h("APMAKS_LIDZ").toDateTime().date())
        .set(QStringLiteral("KLIENTS"), h("KLIENTS"))
        .set(QStringLiteral("ADRESE"), h("ADRESE"))
        .set(QStringLiteral("PERS_KODS"), h("PERS_KODS"))
        .set(QStringLiteral("BANKAS_KONTS"), h("BANKAS_KONTS"))
        .set(QStringLiteral("BANKA"), h("BANKA"))
        .set(QStringLiteral("KODS"), h("KODS"))
        .set(QStringLiteral("ZIP_NR"), h("ZIP_NR"))
        .set(QStringLiteral("KOMENTARS"), comment)
        .set(QStringLiteral("PVN_KOPSUMMA"), vatSum)
        .set(QStringLiteral("KOPSUMMA"), total);
    const db::ResultSet lineRows = rows;
    values.set(QStringLiteral("shCena"), [lineRows](int row) -> QVariant {
        return row >= 0 && row < lineRows.rowCount() ? QVariant(money(lineRows.value(row, QStringLiteral("CENA")).toDouble()))
                                                     : QVariant();
    });
    values.set(QStringLiteral("shSumma"), [lineRows](int row) -> QVariant {
        return row >= 0 && row < lineRows.rowCount() ? QVariant(money(lineRows.value(row, QStringLiteral("SUMMA")).toDouble()))
                                                     : QVariant();
    });
    reports::Report report(reports::ReportLayout::load(QStringLiteral("invoice")));
    report.setRows(std::move(rows));
    report.setValues(values);
    return report;
}

}  // namespace

ClinicRequisites ClinicRequisites::Read(db::Database& database) {
    const db::ResultSet rs = database.select(QStringLiteral(
        "SELECT n_isi.orgnos, n_isi.reg_nr, n_isi.pvn_kods, n_isi.orgadr, n_isi.banknos, n_isi.bankkods, "
        "n_isi.bankkonts FROM N_ISI"));
    ClinicRequisites r;
    if (rs.isEmpty()) return r;
    auto v = [&](int c) { return rs.value(0, c).toString().trimmed(); };
    r.name = rs.value(0, 0).toString();
    r.details = QStringLiteral(" Reģ.Nr.") + v(1) + QStringLiteral(" Nod.maks.Nr.") + v(2) + QStringLiteral(" Adrese ") + v(3);
    r.bank = v(4) + QStringLiteral(" Kods ") + v(5) + QStringLiteral(" Nor.rēķins ") + v(6);
    return r;
}

QString InvoicePrint::VatText(double vatSum, int defaultVatRate) {
    if (qAbs(vatSum) < 0.005) return QStringLiteral("PVN ") + QString::number(defaultVatRate) + QStringLiteral("% ");
    return QStringLiteral("PVN ") + money(vatSum) + QStringLiteral(" PVN ") + QString::number(defaultVatRate) +
           QLatin1Char(' ') + money(0 - vatSum);
}

std::optional<reports::Report> InvoicePrint::Invoice(db::Database& database, int invoiceKey, int defaultVatRate) {
    const db::Params key{{QStringLiteral("ISN"), invoiceKey}};
    // The invoice's own data; the comment is the note of the consultation the invoice was made
    // from, or else the invoice's own comment.
    const db::ResultSet head = database.select(
        QStringLiteral(
            "SELECT H.NUMURS, H.DATUMS, H.APMAKS_LIDZ, H.KOPSUMMA, H.PVNSUMMA, H.BEZPVNSUMMA, H.KOMENTARS RK, "
            "K.VARDS || ' ' || K.UZVARDS KLIENTS, K.ADRESE, K.PERS_KODS, K.BANKAS_KONTS, B.GNOS BANKA, B.KODS, K.ZIP_NR, "
            "(SELECT FIRST 1 KH.PIEZIMES FROM O_PAVOUT_DT D JOIN O_ARSTESANA_DT A ON A.ISN = D.ISARSTESANA "
            " JOIN O_KONSULTACIJA_HD KH ON KH.ISN = A.ISKONSULTACIJAHD WHERE D.ISPAVOUTHD = H.ISN ORDER BY D.ISN + 0) KK "
            "FROM O_PAVOUT_HD H LEFT JOIN N_KLIENTS K ON K.ISN = H.ISKLIENTS LEFT JOIN N_BANKA B ON B.ISN = K.ISBANKA "
            "WHERE H.ISN = :ISN"),
        key);
    if (head.isEmpty()) return std::nullopt;
    // Every line of the invoice, whatever made it, with the surcharge or discount in its price so
    // that the lines add up to the invoice's totals. ("D.ISN + 0": sorting the invoice's lines,
    // not walking the key index of all lines.)
    db::ResultSet rows = database.select(
        QStringLiteral(
            "SELECT N_PRECE.KODS ARTIKULS, N_PRECE.GNOS PRECE, D.DAUDZUMS, D.NODOKLIS, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) CENABEZPVN, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * D.DAUDZUMS SUMMABEZPVN, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * (1 + COALESCE(D.NODOKLIS, 0) / 100.00) CENA, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * (1 + COALESCE(D.NODOKLIS, 0) / 100.00) * D.DAUDZUMS SUMMA, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * D.DAUDZUMS * COALESCE(D.NODOKLIS, 0) / 100.00 PVNSUMMA "
            "FROM O_PAVOUT_DT D LEFT JOIN N_PRECE ON N_PRECE.ISN = D.ISPRECE WHERE D.ISPAVOUTHD = :ISN ORDER BY D.ISN + 0"),
        key);
    auto h = [&](const char* name) { return head.first(QString::fromLatin1(name)); };
    const QString comment = h("KK").toString().isEmpty() ? h("RK").toString() : h("KK").toString();
    return invoiceReport(database, head, std::move(rows), comment, h("KOPSUMMA").toDouble(), defaultVatRate, QString());
}

std::optional<reports::Report> InvoicePrint::ConsultationInvoices(db::Database& database, int consultation,
                                                                  int defaultVatRate) {
    const db::Params key{{QStringLiteral("ISN"), consultation}};
    // Every invoice line made from a treatment line of the consultation still recorded, in the
    // order the lines were invoiced.
    db::ResultSet rows = database.select(
        QStringLiteral(
            "SELECT H.ISN HISN, H.NUMURS HNUMURS, H.DATUMS HDATUMS, H.APMAKS_LIDZ HAPMAKS_LIDZ, N_PRECE.KODS ARTIKULS, N_PRECE.GNOS PRECE, "
            "D.DAUDZUMS, D.NODOKLIS, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) CENABEZPVN, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * D.DAUDZUMS SUMMABEZPVN, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * (1 + COALESCE(D.NODOKLIS, 0) / 100.00) CENA, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * (1 + COALESCE(D.NODOKLIS, 0) / 100.00) * D.DAUDZUMS SUMMA, "
            "D.CENA * (1 + COALESCE(D.ATLAIDE, 0) / 100.00) * D.DAUDZUMS * COALESCE(D.NODOKLIS, 0) / 100.00 PVNSUMMA "
            "FROM O_ARSTESANA_DT A JOIN O_PAVOUT_DT D ON D.ISARSTESANA = A.ISN "
            "JOIN O_PAVOUT_HD H ON H.ISN = D.ISPAVOUTHD LEFT JOIN N_PRECE ON N_PRECE.ISN = D.ISPRECE "
            "WHERE A.ISKONSULTACIJAHD = :ISN AND (A.DZESTS IS NULL OR A.DZESTS = 0) ORDER BY D.ISN + 0"),
        key);
    if (rows.isEmpty()) return std::nullopt;
    const db::ResultSet patient = database.select(
        QStringLiteral("SELECT KH.PIEZIMES KK, K.VARDS || ' ' || K.UZVARDS KLIENTS, K.ADRESE, K.PERS_KODS, "
                       "K.BANKAS_KONTS, B.GNOS BANKA, B.KODS, K.ZIP_NR, "
                       "IIF(KH.ISIZPILDITAJS > 1, TRIM(S.VARDS || ' ' || S.UZVARDS), '') SPECIALISTS "
                       "FROM O_KONSULTACIJA_HD KH LEFT JOIN N_KLIENTS K ON K.ISN = KH.ISKLIENTS "
                       "LEFT JOIN N_BANKA B ON B.ISN = K.ISBANKA LEFT JOIN N_AGENTS S ON S.ISN = KH.ISIZPILDITAJS "
                       "WHERE KH.ISN = :ISN"),
        key);
    // The title names every invoice printed (125_1, 125_2) with the first one's dates.
    QStringList numbers;
    QList<int> seen;
    double total = 0;
    for (int r = 0; r < rows.rowCount(); ++r) {
        total += rows.value(r, QStringLiteral("SUMMA")).toDouble();
        const int invoice = rows.value(r, QStringLiteral("HISN")).toInt();
        if (seen.contains(invoice)) continue;
        seen.append(invoice);
        numbers.append(rows.value(r, QStringLiteral("HNUMURS")).toString().trimmed());
    }
    QStringList columns = patient.columns();
    columns << QStringLiteral("NUMURS") << QStringLiteral("DATUMS") << QStringLiteral("APMAKS_LIDZ");
    db::ResultSet head(columns);
    db::ResultSet::Row row = patient.isEmpty() ? db::ResultSet::Row(patient.columns().size()) : patient.row(0);
    row << numbers.join(QStringLiteral(", ")) << rows.value(0, QStringLiteral("HDATUMS"))
        << rows.value(0, QStringLiteral("HAPMAKS_LIDZ"));
    head.append(row);
    // The words are those of the total printed here, never of lines not invoiced yet.
    // The consultation's specialist signs.
    return invoiceReport(database, head, std::move(rows), head.first(QStringLiteral("KK")).toString(),
                         std::round(total * 100) / 100, defaultVatRate, head.first(QStringLiteral("SPECIALISTS")).toString());
}

reports::Report InvoicePrint::PlannedPayments(db::Database& database, const QDate& today) {
    // Every invoice once, also those not made from a consultation; the consultation number is
    // that of the invoice's first consultation.
    const db::ResultSet read = database.select(QStringLiteral(
        "SELECT H.ISN, H.ISKLIENTS, H.DATUMS, H.NUMURS, H.KOPSUMMA, H.APMAKS_SUM, H.APMAKS_LIDZ, "
        "K.DZIM_DAT, K.UZVARDS, K.VARDS, "
        "(SELECT FIRST 1 KH.NUMURS FROM O_PAVOUT_DT D JOIN O_ARSTESANA_DT A ON A.ISN = D.ISARSTESANA "
        " JOIN O_KONSULTACIJA_HD KH ON KH.ISN = A.ISKONSULTACIJAHD WHERE D.ISPAVOUTHD = H.ISN ORDER BY D.ISN + 0) KNUMURS "
        "FROM O_PAVOUT_HD H JOIN N_KLIENTS K ON K.ISN = H.ISKLIENTS "
        "ORDER BY K.UZVARDS, K.VARDS, H.ISKLIENTS, H.DATUMS, H.ISN"));
    QStringList columns = read.columns();
    columns << QStringLiteral("PARADS") << QStringLiteral("NOILGUMS") << QStringLiteral("KAVETAS");
    db::ResultSet rows(columns);
    rows.reserve(read.rowCount());
    for (int r = 0; r < read.rowCount(); ++r) {
        db::ResultSet::Row row = read.row(r);
        const double debt = read.value(r, QStringLiteral("KOPSUMMA")).toDouble() -
                            read.value(r, QStringLiteral("APMAKS_SUM")).toDouble();
        const QDate date = read.value(r, QStringLiteral("DATUMS")).toDateTime().date();
        const QDate payBy = read.value(r, QStringLiteral("APMAKS_LIDZ")).toDateTime().date();
        const qint64 late = payBy.isValid() ? payBy.daysTo(today) : 0;
        row << debt << (date < today ? debt : 0.0) << (late > 0 ? QVariant(late) : QVariant());
        rows.append(row);
    }
    const QString orgName = database.scalar(QStringLiteral("SELECT ORGNOS FROM N_ISI")).toString();
    reports::ReportValues values;
    values.set(QStringLiteral("ORGNOS"), orgName)
        .set(QStringLiteral("EndOfMonth"), QDate(today.year(), today.month(), today.daysInMonth()));
    reports::Report report(reports::ReportLayout::load(QStringLiteral("planned_payments")));
    report.setRows(std::move(rows));
    report.setValues(values);
    report.setPrintTime(QDateTime(today, QTime::currentTime()));
    return report;
}

QVector<InvoicePrint::Match> InvoicePrint::FindByNumber(db::Database& database, const QString& number) {
    const db::ResultSet rs = database.select(
        QStringLiteral("SELECT H.ISN, H.DATUMS, K.UZVARDS || ' ' || K.VARDS FROM O_PAVOUT_HD H "
                       "LEFT JOIN N_KLIENTS K ON K.ISN = H.ISKLIENTS WHERE H.NUMURS = :NUMURS ORDER BY H.ISN"),
        {{QStringLiteral("NUMURS"), number.trimmed().left(20)}});
    QVector<Match> matches;
    for (int r = 0; r < rs.rowCount(); ++r)
        matches.append({rs.value(r, 0).toInt(), rs.value(r, 1).toDateTime().date(), rs.value(r, 2).toString()});
    return matches;
}

}  // namespace billing
