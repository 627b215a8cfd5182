#pragma once
#include "app/SharedProcedures.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QString>

namespace billing {

// Why an import stopped: the line of the file (from 1), its text, the field (from 1; 0 when the
// database refused the line as a whole) and the reason.
struct ImportFailure {
    int line = 0;
    QString text;
    int field = 0;
    QString reason;
    // "Kaut kas nav kārtībā !!!\n" + the line, then where and why.
    QString message() const;
};

struct ImportResult {
    bool ok = false;
    int invoices = 0;  // headers made
    int lines = 0;     // lines inserted
    ImportFailure failure;
};

// Invoices from a CSV file: one invoice line per record, ';' between fields, numbered from 1:
// 1 patient's personal code, 2 date, 3 series, 4 number, 5 pay-by date, 6 comment, 7 payment
// method, 8 item name, 9 price without VAT, 10 quantity, 11 VAT %, 12 surcharge(+)/discount(-) %,
// 13 line comment. Consecutive records of one patient, date and number make one invoice (an
// invoice stored before with them gets the lines). Decimals take "." or ",".
//
// All or nothing: every record is read and checked first, then everything is stored in one
// transaction; the first failure names its line and field and nothing is stored, so the corrected
// file can simply be imported again.
class InvoiceImport {
    Q_DECLARE_TR_FUNCTIONS(TIzrakstisana)
public:
    InvoiceImport(db::Database& database, int userIsn);

    // Decides which patient is meant when several share a personal code (0 = none: the import
    // stops). Without a chooser such a code stops the import.
    void setDuplicateChooser(app::DuplicateCodeChooser chooser) { m_chooser = std::move(chooser); }

    ImportResult run(const QString& csvText, const QDateTime& now = QDateTime::currentDateTime());
    // Reads the file as UTF-8 and runs it; a file that cannot be read fails with line 0.
    ImportResult runFile(const QString& path);

private:
    db::Database& m_db;
    int m_userIsn;
    app::DuplicateCodeChooser m_chooser;
};

}  // namespace billing
