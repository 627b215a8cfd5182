#pragma once
#include "db/Database.h"
#include "reports/Report.h"

#include <QCoreApplication>
#include <QDate>
#include <optional>

namespace billing {

// The clinic's requisites as printed on invoices, from the single N_ISI row.
struct ClinicRequisites {
    QString name;     // ORGNOS
    QString details;  // " Reģ.Nr.… Nod.maks.Nr.… Adrese …"
    QString bank;     // "<bank> Kods <code> Nor.rēķins <account>"
    static ClinicRequisites Read(db::Database& database);
};

// The printed invoice and the planned-payments report, filled from the database once: every row
// and every named value is read before the report is handed out, so that painting and repainting
// the preview reads nothing and a database error stops the print before anything is shown.
// Database errors propagate as db::DbError.
class InvoicePrint {
    Q_DECLARE_TR_FUNCTIONS(TIzrakstisana)
public:
    // The invoice document of one invoice, every line of it with its surcharge or discount
    // applied, the VAT line and the total in words of the total it prints. Nothing when there is
    // no such invoice. defaultVatRate is the clinic's rate printed in the VAT line.
    static std::optional<reports::Report> Invoice(db::Database& database, int invoiceKey, int defaultVatRate);

    // The invoice document of everything invoiced from a consultation's treatment lines (deleted
    // lines left out), over all its invoices, with the total in words of the total it prints,
    // signed by the consultation's specialist. Nothing when no line of the consultation is invoiced.
    static std::optional<reports::Report> ConsultationInvoices(db::Database& database, int consultation,
                                                               int defaultVatRate);

    // "Plānotas izmaksas": every invoice by patient with its debt, the debt of invoices dated
    // before today, the pay-by date and the days overdue on `today`.
    static reports::Report PlannedPayments(db::Database& database, const QDate& today = QDate::currentDate());

    // The VAT line: "PVN <sum> PVN <rate> <-sum>", or "PVN <rate>% " when the invoice has no VAT.
    static QString VatText(double vatSum, int defaultVatRate);

    // The invoices with this number (one, or several when the number is shared): key, date and
    // patient of each.
    struct Match {
        int key = 0;
        QDate date;
        QString patient;
    };
    static QVector<Match> FindByNumber(db::Database& database, const QString& number);
};

}  // namespace billing
