#pragma once
#include "app/StoreResult.h"
#include "billing/Invoice.h"
#include "billing/InvoiceList.h"
#include "db/BatchFetch.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QVector>
#include <memory>
#include <optional>

namespace billing {

// What a header save did: the key stored and the number it was stored under (the next free one
// when the counter's number was taken meanwhile), or the refusal (nothing was stored).
struct InvoiceSave {
    int key = 0;
    QString number;
    app::CardCheck refusal;
    bool ok() const { return refusal.ok(); }
};

// The invoice register's data: the list, one invoice and its lines, the checks before a save,
// saving, copying and deleting invoices and lines, the totals, and making a whole invoice from
// given lines in one call. Every change is one transaction with its journal rows; a save over
// another workstation's later change throws db::StaleRowError and writes nothing. Other database
// errors propagate as db::DbError unless a method says otherwise.
class TIzrakstisanaDati {
    Q_DECLARE_TR_FUNCTIONS(TIzrakstisana)
public:
    static constexpr const char* HeaderTable = "O_PAVOUT_HD";
    static constexpr const char* LineTable = "O_PAVOUT_DT";
    // The rights code of the register.
    static constexpr const char* RightsCode = "27";

    explicit TIzrakstisanaDati(db::Database& database);

    // The list of the filter in the sort's order. When the ordered statement is refused the list
    // is read once more without its order.
    db::ResultSet list(const InvoiceFilter& filter, const InvoiceSort& sort);
    // The same list read in batches (the window shows the first rows at once), with the same
    // retry without the order.
    std::unique_ptr<db::BatchFetch> fetchList(const InvoiceFilter& filter, const InvoiceSort& sort);
    // The date of an invoice (invalid when there is no such invoice): where the filter moves to
    // show it.
    QDate invoiceDate(int key);

    std::optional<InvoiceHeader> load(int key);
    // A new invoice of the day: the number and series the counter gives, due in five days.
    InvoiceHeader create(const QString& number, const QString& series, const QDate& today = QDate::currentDate());
    // "UZVARDS VARDS" of a patient; empty for none.
    QString patientName(int key);

    // The checks before saving, in their order; the first failing one answers with its message
    // and the field to focus (DATUMS, NUMURS, ISKLIENTS).
    static app::CardCheck Validate(const InvoiceHeader& header);
    // Stores a checked header with the audit columns and the journal entry ("J" new, "L" changed).
    // A new invoice whose number the counter offered takes the next free number when another
    // invoice of the series holds it by now; the check and the insert are serialised between
    // workstations. An update is refused (StaleRowError) when the row or its paid sum changed
    // since it was read.
    InvoiceSave save(const InvoiceHeader& header, int userIsn, const QDateTime& now = QDateTime::currentDateTime());
    // A copy of the invoice without its lines and payment, numbered "<number>-KOPIJA"; its key.
    // 0 when the invoice is gone.
    int copy(int key, int userIsn, const QDateTime& now = QDateTime::currentDateTime());
    // Deletes the invoice. Refusals come back as the message to show: no invoice, a payment, or
    // the database's refusal while lines remain (its own text in `details`).
    app::DeleteOutcome remove(int key, int userIsn);

    // The lines query of the register, in the line order (" O_PAVOUT_DT.ISN " when empty; an order
    // that is not a plain column list of O_PAVOUT_DT is not used).
    db::ResultSet lines(int invoiceKey, const QString& lineOrder = QString());
    std::optional<InvoiceLine> loadLine(int key);
    // A new line of the invoice: quantity 1, no surcharge or discount.
    static InvoiceLine NewLine(int invoiceKey);
    // The item's name, its price without VAT (the price list's price with VAT ÷ (1 + VAT/100),
    // unrounded) and its VAT rate; nothing when there is no such item.
    std::optional<ItemForLine> itemForLine(int itemKey);
    // Stores a line with the journal entry on the invoice; its key. Refused (StaleRowError) when
    // the line changed since it was read.
    int saveLine(const InvoiceLine& line, int userIsn, const QDateTime& now = QDateTime::currentDateTime());
    // Deletes the lines in one transaction with a journal entry each; nothing when any refuses.
    void deleteLines(const QList<int>& keys, int userIsn);
    InvoiceTotals totals(int invoiceKey);

    // A whole invoice from given lines in one transaction: the header as given (its number
    // unchanged, no counter), then every line, each journalled; the new key.
    int createInvoice(const InvoiceHeader& header, const QVector<InvoiceLine>& lines, int userIsn,
                      const QDateTime& now = QDateTime::currentDateTime());

    // The invoice of a consultation's treatment lines not invoiced yet, in one transaction: numbered
    // "<consultation number>_<n>" with the smallest n from 1 that no invoice holds, dated on the
    // consultation's day, due five days later, paid at the cash desk; each line at the item's VAT
    // rate of today's price list, linked to its treatment line. Nothing (and nothing written) when
    // every line is invoiced already. Serialised between workstations with the numbering, so two
    // at once never bill one line twice.
    struct ConsultationInvoice {
        int key = 0;
        QString number;
        QDate date;
        int lines = 0;
    };
    std::optional<ConsultationInvoice> invoiceConsultation(int consultation, int userIsn,
                                                           const QDateTime& now = QDateTime::currentDateTime());

    // "Rēķins jau ir apmaksāts !!!" when no more than a cent is left to pay; empty otherwise.
    static QString PayRefusal(double total, double paidSum);

    // Serialises numbering between workstations for the rest of the transaction (a lock on the
    // single N_ISI row, waiting a little while another workstation holds it).
    static void LockNumbering(db::Transaction& tx);

private:
    int insertHeader(db::Transaction& tx, const InvoiceHeader& header, int userIsn, const QDateTime& now);
    int insertLine(db::Transaction& tx, const InvoiceLine& line, int userIsn, const QDateTime& now);
    db::Database& m_db;
};

}  // namespace billing
