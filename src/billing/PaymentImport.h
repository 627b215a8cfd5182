#pragma once
#include "app/SharedProcedures.h"
#include "billing/InvoiceImport.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QString>

namespace billing {

struct PaymentImportResult {
    bool ok = false;
    int imported = 0;        // payments stored
    int skipped = 0;         // lines left out (imported before, or no such patient)
    double allocated = 0;    // allocated to invoices in total
    double overpayment = 0;  // kept as overpayment in total
    // The lines left out, each "Rinda N: why", so that nobody has to guess what was not imported.
    QStringList skippedLines;
    ImportFailure failure;
};

// Payments from a bank's CSV file, ';' between fields, numbered from 1: 1 patient's personal code,
// 2 date, 3 payment document number, 4 amount (received, "." or ","), 5 payment method (0 "Banka",
// 1 "Kase"). Each payment is allocated automatically (oldest invoice first) and what is left is kept
// as its overpayment.
//
// A line whose payment is stored already (same patient, date and number) or whose personal code
// belongs to no patient is left out, so the same file imported twice adds nothing. All or nothing:
// every line is read and checked first, then everything is stored in one transaction; the first
// failure names its line and field and nothing is stored.
class PaymentImport {
    Q_DECLARE_TR_FUNCTIONS(TApmaksas)
public:
    PaymentImport(db::Database& database, int userIsn);

    // Decides which patient is meant when several share a personal code (0 = none: the import
    // stops). Without a chooser such a code stops the import.
    void setDuplicateChooser(app::DuplicateCodeChooser chooser) { m_chooser = std::move(chooser); }
    // The stored order of the unpaid list (empty: oldest first).
    void setUnpaidOrder(const QString& order) { m_order = order; }

    PaymentImportResult run(const QString& csvText, const QDateTime& now = QDateTime::currentDateTime());
    // Reads the file as UTF-8 and runs it; a file that cannot be read fails with line 0.
    PaymentImportResult runFile(const QString& path);

private:
    db::Database& m_db;
    int m_userIsn;
    app::DuplicateCodeChooser m_chooser;
    QString m_order;
};

}  // namespace billing
