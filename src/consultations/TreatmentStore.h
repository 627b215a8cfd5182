#pragma once
#include "app/StoreResult.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVariant>
#include <optional>

namespace consultations {

// The two lists of manipulations a consultation carries: what is proposed (plan lines,
// O_ARSTPLANS) and what was done and is invoiced (treatment lines, O_ARSTESANA_DT).
enum class LineKind { Plan, Treatment };

// One plan or treatment line as the line dialog edits it.
struct TreatmentLine {
    int isn = 0;            // 0 = new
    int consultation = 0;   // ISKONSULTACIJAHD
    int item = 0;           // ISPRECE, the price-list manipulation
    QString itemName;       // its GNOS
    double quantity = 1;    // DAUDZUMS
    double price = 0;       // CENA
    double maxPrice = 0;    // MAX_CENA (plan lines only)
    double vat = 0;         // NODOKLIS, percent
    QString duration = QStringLiteral("00:00");  // LAIKS of one unit, "hh:nn"
    int tooth = 11;         // ZOBA_NR
    QString notes;          // PIEZIMES
    int planLine = 0;       // ISARSTPLANS: the plan line a treatment line came from
    QVariant stamp;         // IEVDAT_EDIT as read
};

// What choosing a manipulation fills in.
struct PriceChoice {
    int isn = 0;
    QString name;
    double price = 0;     // PARDCENA1
    double maxPrice = 0;  // MAX_CENA
    QString duration;     // LAIKS minutes as "hh:nn"
    double vat = 0;       // NODOKLIS
    QString attached;     // PIEVPRECES
};

// Amount with VAT and time of a list.
struct LineTotals {
    double amount = 0;  // sum of quantity x price x (1 + VAT / 100)
    int minutes = 0;    // sum of quantity x duration
    QString amountText() const;  // "0.00"
    QString timeText() const;    // "hh:nn", hours past 24 kept
};

// A list as its page shows it: the rows of the list query (O_ARSTPLANS.* or O_ARSTESANA_DT.*
// with SUMMA, and PRECE = the manipulation's name), the lines that went further (a plan line
// with a live treatment line, a treatment line on an invoice), and the totals.
struct LineList {
    db::ResultSet rows;
    QSet<int> carriedOn;
    LineTotals totals;
};

// "Uz ārstēšanu": how many of the selected plan lines got a treatment line.
struct MoveResult {
    int moved = 0;
    int selected = 0;
    // "Visi dati pievienoti!" or "Dati pievienoti: moved/selected".
    QString message() const;
};

// The values typed into the line dialog, before they are read.
struct LineInput {
    QString price;
    QString quantity;
    QString maxPrice;
    QString duration;
    QString tooth;
};

// SQL and rules of the plan and treatment lines: the lists with their colours and totals, typed
// completion of manipulations, adding with the attached items, editing, soft delete and moving
// plan lines to treatment. Every change runs in one transaction and is announced when committed;
// an edit over another workstation's later change throws db::StaleRowError and writes nothing.
// The specialist of a line is always the consultation's specialist when the line is written.
class TreatmentStore {
    Q_DECLARE_TR_FUNCTIONS(TAddPlansArstesana)
public:
    explicit TreatmentStore(db::Database& database);

    static QString Table(LineKind kind);

    LineList lines(LineKind kind, int consultation);
    // The totals of list rows (CENA, DAUDZUMS, NODOKLIS, LAIKS).
    static LineTotals Totals(const db::ResultSet& rows);
    // The live treatment lines of a consultation not yet on any invoice, in key order: ISN,
    // ISPRECE, PRECE, DAUDZUMS, CENA, NODOKLIS, LAIKS, ZOBA_NR, PIEZIMES, ISIZPILDITAJS.
    db::ResultSet unbilledTreatment(int consultation);
    std::optional<TreatmentLine> load(LineKind kind, int isn);

    // The first manipulation whose upper-cased name starts with the typed text (or equals it).
    std::optional<QPair<int, QString>> complete(const QString& typed);
    std::optional<PriceChoice> choice(int item);

    // Reads the typed values into the line; the first that does not read is refused with its
    // message and the dialog field to focus ("Cena", "Daudzums", "Max cena", "Ilgums", "Zoba nr").
    static app::CardCheck Read(const LineInput& input, LineKind kind, TreatmentLine& line);

    // Adds the line and a line of the same kind for each of the manipulation's attached items, in
    // one transaction. Returns the key of the line itself. A consultation without a key is
    // refused by the caller before.
    int add(LineKind kind, const TreatmentLine& line, int userIsn, const QDateTime& now = QDateTime::currentDateTime());
    // Stores an edited line (nothing attached is added).
    void update(LineKind kind, const TreatmentLine& line, int userIsn, const QDateTime& now = QDateTime::currentDateTime());
    // Marks the line deleted (DZESTS = 1).
    void remove(LineKind kind, int isn, int userIsn);
    // Makes a treatment line for each selected plan line, in the order given, that has no live
    // treatment line yet; all in one transaction.
    MoveResult moveToTreatment(int consultation, const QList<int>& planLines, int userIsn,
                               const QDateTime& now = QDateTime::currentDateTime());

private:
    db::Database& m_db;
};

}  // namespace consultations
