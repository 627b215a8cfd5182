#pragma once
#include "models/ResultTableModel.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

namespace references {

// Which card edits a row of a reference table.
enum class CardKind { None, Agents, Kabinets, Banka, Veidi, Svetki, Klasif, UserGroup };

// One table that the generic list window shows: its caption, the rights code that gates it, the
// card that edits its rows and the grid columns.
struct ReferenceTable {
    QString table;
    QString caption;
    QString rightsCode;
    CardKind card = CardKind::None;
    bool persons = false;  // UZVARDS and VARDS instead of GNOS
    // Row 1 is the "not set" row, hidden and protected. N_SVETKI has none: its row 1 is a real
    // holiday or name day and is listed like any other.
    bool hasDefaultRow = true;
    QVector<models::GridColumn> columns;

    // The column the quick search and the delete question use.
    QString nameField() const { return persons ? QStringLiteral("UZVARDS") : QStringLiteral("GNOS"); }
    // "SELECT * FROM table WHERE ISN!=1 ORDER BY ..." (without the condition for a table that has
    // no default row).
    QString listSql() const;
    // The generator whose value a new row takes.
    QString generator() const { return table + QStringLiteral("GEN"); }
};

// The description of a table, or nullptr for a table the list window does not show.
const ReferenceTable* FindReferenceTable(const QString& table);

// The tables in the order of their rights codes.
QStringList ReferenceTableNames();

// The prefix of the message shown when the database refuses to delete a row that other rows
// refer to; what holds the row follows it.
QString ReferencedRowMessage();

}  // namespace references
