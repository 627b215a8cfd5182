#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace billing {

// One outgoing invoice (O_PAVOUT_HD) as the register edits it. The totals are the database's:
// triggers keep them equal to the sums of the lines, the program only reads them.
struct InvoiceHeader {
    int isn = 0;
    int patient = 0;          // ISKLIENTS; 0 = none chosen
    QString patientName;      // "UZVARDS VARDS"
    QDate date;               // DATUMS
    QDateTime storedDate;     // DATUMS as read (keeps its time of day while the day is unchanged)
    QString series;           // SERIJA
    QString number;           // NUMURS
    // True while the number is the one the workstation's counter offered: a save that finds it
    // taken meanwhile takes the next free one instead of storing it twice.
    bool numberFromCounter = false;
    QDate payBy;              // APMAKS_LIDZ
    double paidSum = 0;       // APMAKS_SUM
    QString paymentDocument;  // APMAKS_NR
    QDate paymentDate;        // APMAKS_DAT
    int paymentMethod = 0;    // APMAKSVEIDS: 0 "Banka", 1 "Kase"
    QString comment;          // KOMENTARS
    double total = 0;         // KOPSUMMA, with VAT
    double vat = 0;           // PVNSUMMA
    double net = 0;           // BEZPVNSUMMA

    // The stamps the save compares with the stored row (stale saves are refused).
    QVariant readStamp;       // IEVDAT_EDIT
    QVariant readPaidSum;     // APMAKS_SUM as read
};

// One invoice line (O_PAVOUT_DT). The price is without VAT; ATLAIDE is a signed percentage
// (positive a surcharge, negative a discount).
struct InvoiceLine {
    int isn = 0;
    int invoice = 0;          // ISPAVOUTHD
    int item = 0;             // ISPRECE
    QString itemName;         // N_PRECE.GNOS
    double price = 0;         // CENA, without VAT, unrounded
    double quantity = 1;      // DAUDZUMS
    double discount = 0;      // ATLAIDE, percent
    double vatRate = 0;       // NODOKLIS, percent
    QString comment;          // KOMENTARS
    int treatmentLine = 0;    // ISARSTESANA; 0 = not made from a treatment line
    QVariant readStamp;       // IEVDAT_EDIT as read

    // CENA × DAUDZUMS × (1 + ATLAIDE/100) × (1 + NODOKLIS/100), unrounded: "Summa ar PVN".
    double totalWithVat() const { return price * quantity * (1 + discount / 100.0) * (1 + vatRate / 100.0); }
};

// The three totals of an invoice as the database keeps them.
struct InvoiceTotals {
    double net = 0;    // BEZPVNSUMMA
    double vat = 0;    // PVNSUMMA
    double total = 0;  // KOPSUMMA
};

// What a line takes from a price-list item: the name, the price without VAT and the VAT rate.
struct ItemForLine {
    QString name;
    double price = 0;
    double vatRate = 0;
};

// An invoice counts as unpaid while the total less the paid sum is at least this much.
constexpr double UnpaidThreshold = 0.005;

}  // namespace billing
