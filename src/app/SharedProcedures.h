#pragma once
#include "db/Database.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// Procedures that many windows share. Each runs its own short statements on the transaction or
// connection it is given and never commits: the caller's commit (usually commitRetaining() of the
// default transaction) makes the effect permanent. Database errors propagate as db::DbError.
namespace app {

// ---- Operation journal -------------------------------------------------------------------------

// One O_OPERACIJAS row: who did what to which row. Texts are cut to the column widths (code and
// number 10, table 20, note 100 characters); an invalid document date is stored as NULL.
// The change is also recorded on the transaction (Transaction::touch()), so that the windows
// showing the table hear of it after the commit.
// Codes: "J" new row saved, "L" row changed, "D" row deleted, "PARP" overpayment allocated.
void WriteJournal(db::Transaction& tx, int userIsn, const QString& code, const QString& number,
                  const QString& table, int key, const QString& note, const QDateTime& documentDate);

// ---- Default rows ------------------------------------------------------------------------------

// The tables that keep a default row with ISN 1 ("Nav noteikts", or "Nav" / "Noteikts" for
// people), in the order they are made: N_AGENTS first, because N_KLIENTS refers to its row.
QStringList DefaultRowTables();
// Creates the default row of every table above that lacks it. Running it again creates nothing.
void EnsureDefaultRows(db::Transaction& tx);
// Creates the default row of one table when it has no row 1. The trigger gives the inserted row
// the next generated key; the row is then moved to key 1.
void EnsureDefaultRow(db::Transaction& tx, const QString& table);

// ---- Day locks --------------------------------------------------------------------------------

// False when the day is locked against changes (an O_DIENAS row with FLAG "T"). Callers refuse
// to save with "Datums ir bloķēts, labošanu izdarīt nedrīkst !!!".
bool IsDayOpen(db::Database& database, const QDate& date);

// ---- Look-ups ---------------------------------------------------------------------------------

// The value of one column of the row with the given key, as text (dates dd.MM.yyyy); empty when
// there is no row or the value is NULL. Column and table come from the program and must be plain
// identifiers (std::invalid_argument otherwise); the key is bound.
QString LookupValue(db::Database& database, const QString& column, int key, const QString& table);
// The same value as a number; 0 when there is no row, the value is NULL or not a number.
double LookupNumber(db::Database& database, const QString& column, int key, const QString& table);

// True for a plain SQL identifier (letters, digits, _ and $, not starting with a digit).
bool IsSqlIdentifier(const QString& name);

// Kinds of FindKeyByCode.
enum class CodeKind {
    PersonalCode = 1,  // patient (N_KLIENTS) by personal code
    ItemName = 6,      // price-list item (N_PRECE) by name
};

// Picks one patient when several share a personal code; returns the chosen key or 0.
using DuplicateCodeChooser = std::function<int(const QString& personalCode)>;

// The key of the row whose code or name equals the value, 0 when none. For several patients with
// one personal code the chooser decides (without a chooser the first by key is taken). The value
// is bound as a parameter.
int FindKeyByCode(db::Database& database, CodeKind kind, const QString& value,
                  const DuplicateCodeChooser& chooser = {});

}  // namespace app
