#pragma once
#include "db/Database.h"
#include "db/DbError.h"

#include <QString>
#include <QVector>

namespace app {

// The rows of one table that refer to a row, by one or more of that table's foreign keys.
struct HoldingRows {
    QString table;
    int count = 0;
};

// What the user is told when the database refuses to delete a row that other rows refer to: the
// lead text, then in Latvian what holds the row ("Pacientam ir 3 rēķini un 2 konsultācijas."),
// and the engine's own text for the box's details.
struct DeleteRefusal {
    QString message;
    QString details;
};

// "Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n", the text every refused delete
// begins with.
QString ReferencedRowLead();

// The foreign key named in the engine's refusal ("violation of FOREIGN KEY constraint "FK_X" on
// table …"); empty when the text names none.
QString RefusingForeignKey(const QString& engineMessage);
// The key value the engine's refusal names ("Problematic key value is ("ISN" = 23)"); 0 if none.
int RefusedKey(const QString& engineMessage);

// The rows that refer to row `key` of `table`, one entry per referring table (rows that refer
// through several of its keys counted once), read from the foreign keys the database itself
// declares. The table of the refusing foreign key comes first; tables without rows are left out.
QVector<HoldingRows> RowsHolding(db::Database& database, const QString& table, int key,
                                 const QString& refusingForeignKey = QString());

// "Pacientam ir 3 rēķini un 2 konsultācijas." with the Latvian names of the tables (and the
// number's agreement: 1 rēķins, 21 rēķins, 11 rēķini); name, when given, follows the owner in
// quotes. Empty when nothing holds the row.
QString HoldingRowsSentence(const QString& table, const QVector<HoldingRows>& rows, const QString& name = QString());

// The whole refusal of deleting row `key` of `table` that the database refused with `error`
// (a foreign-key refusal). When the counting itself fails, the message carries the engine's text
// as before.
DeleteRefusal ExplainRefusedDelete(db::Database& database, const QString& table, int key, const db::DbError& error,
                                   const QString& name = QString());

}  // namespace app
