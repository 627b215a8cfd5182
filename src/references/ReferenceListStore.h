#pragma once
#include "db/Database.h"
#include "references/ReferenceTables.h"
#include "app/StoreResult.h"

#include <QCoreApplication>

#include <vector>

namespace references {

// The rows of one reference table as the generic list window shows them, and their deletion.
class ReferenceListStore {
    Q_DECLARE_TR_FUNCTIONS(TKlasifikators)
public:
    ReferenceListStore(db::Database& database, const ReferenceTable& table);

    const ReferenceTable& table() const { return m_table; }

    // Every row except the default row 1, in the table's order, in one query.
    db::ResultSet fetch();

    // The name the delete question shows: "surname first name" for people, GNOS otherwise.
    QString rowName(const db::ResultSet& rows, int row) const;

    // The first row whose name column begins with the text, ignoring case; -1 when none (or the
    // text is empty).
    int quickSearchRow(const db::ResultSet& rows, const QString& text) const;

    // Why a row may not be edited or deleted before the user is asked: empty when it may.
    QString editRefusal(int key) const;
    QString deleteRefusal(bool listEmpty, int key) const;
    QString deleteQuestion(const QString& name) const;

    // Deletes the row with a journal entry, both or neither. A row that other rows refer to is
    // kept and the outcome carries the fixed text followed by the server's reason.
    app::DeleteOutcome remove(int key, const QString& name, int userIsn);

private:
    db::Database& m_db;
    const ReferenceTable& m_table;
};

// Deletes one row of the table (hard delete) and writes the "D" journal entry in one transaction.
// A refusal through a foreign key gives ReferencedRowMessage() + what holds the row in Latvian,
// with the server's text as the details; any other failure "Sistēmas kļūda: " + the server's text.
app::DeleteOutcome DeleteRow(db::Database& database, const QString& table, int key, const QString& name,
                        int userIsn);

// The first row whose field begins with the text, ignoring case (Latvian letters included).
int FindPrefixRow(const db::ResultSet& rows, const QString& field, const QString& text);

// FindPrefixRow over a long list while the user types: the field's texts are folded and sorted
// once, so that each search is a binary search for the range of texts with the prefix and a
// look-up of the lowest row in that range, whatever the list's length.
class PrefixRows {
public:
    PrefixRows() = default;
    PrefixRows(const db::ResultSet& rows, const QString& field);
    // The row FindPrefixRow gives for the text, -1 when none.
    int first(const QString& text) const;

private:
    std::vector<QString> m_texts;  // folded, ascending
    std::vector<int> m_rows;       // the row of each text
    std::vector<int> m_lowest;     // segment tree: the lowest row of each range of m_texts
    std::size_t m_leaves = 0;
};

}  // namespace references
