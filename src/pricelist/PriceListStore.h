#pragma once
#include "db/Database.h"
#include "pricelist/PriceListFilter.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

namespace pricelist {

// One price-list group as the tree loads it.
struct PriceGroupRow {
    int isn = 0;
    int parent = 0;  // 0 for a top-level group (NULL reads as 0)
    QString name;
    int depth = 0;   // 1 = top level; 0 when the query gives no depth
};

// One manipulation (N_PRECE row) as the card edits it. Number fields that may be NULL in the
// database are QVariants (invalid = NULL).
struct PriceItem {
    int isn = 0;  // 0 = not yet saved
    int group = 0;
    QString code;     // KODS; empty is stored as NULL
    QString misCode;  // MIS_KODS
    QString name;     // GNOS
    QVariant price;   // PARDCENA1, euro with VAT
    QVariant maxPrice;
    int vat = 0;  // NODOKLIS, percent
    QVariant minutes;  // LAIKS
    int anaesthesia = 0;
    bool rubberDam = false;
    int color = 0;  // 0x00BBGGRR, 0 = none
    QVariant firstNotif;
    QVariant secondNotif;
    QString attached;  // PIEVPRECES, kept as it is
    QString article;   // ARTIKULS
    // IEVDAT_EDIT as read: saving over another workstation's later change is refused.
    QVariant stamp;

    bool operator==(const PriceItem&) const = default;
};

// The answer of an operation that may be refused: the message to show and which card field
// takes the focus. dbError marks a refusal by the database (message = the server's text).
struct PriceListResult {
    enum class Field { None, Name, Group, Code };
    bool ok = true;
    QString message;
    Field focus = Field::None;
    bool dbError = false;
    int key = 0;
    // Refused because another workstation changed or deleted the row since it was read.
    bool stale = false;
    // A delete the database refused: its own text, for the box's details (the message says in
    // Latvian what holds the row).
    QString details;

    static PriceListResult done(int key) { return {true, {}, Field::None, false, key}; }
    static PriceListResult refused(const QString& m, Field f = Field::None) { return {false, m, f, false, 0}; }
};

// What a group move needs from the user: a refusal to show, or a question to confirm.
struct PriceGroupMoveCheck {
    bool allowed = false;
    QString message;  // refusal, or the confirmation question when allowed
};

// SQL and rules of the price list: the group tree, the manipulations, search and quick search.
// Every change runs in its own transaction with its journal row and is committed at once, so that
// other workstations see it and a failure leaves nothing half-written.
class PriceListStore {
    Q_DECLARE_TR_FUNCTIONS(PriceListStore)
public:
    explicit PriceListStore(db::Database& database);

    static constexpr int MaxTreeDepth = 9;
    // The VAT rates the card offers.
    static QList<int> VatRates() { return {0, 12, 21}; }
    static QString NewChildGroupName() { return tr("Jauna grupa (Zem esošās)"); }

    // ---- Groups --------------------------------------------------------------------------------
    // Every group reachable from the top within nine levels, parents before children, in one
    // query (ordered by depth, parent key, name). The default row 1 is never included.
    QVector<PriceGroupRow> allGroups();
    // The groups holding at least one manipulation that matches the filter (ordered by parent key
    // and name). Their ancestors are not added.
    QVector<PriceGroupRow> filteredGroups(const PriceListFilter& filter);
    // The children of one group, optionally only those holding matching manipulations.
    QVector<PriceGroupRow> childGroups(int parent, const PriceListFilter& filter = {});

    // Inserts a top-level group (with the audit columns) or a child of parent; returns its key.
    int addGroup(const QString& name, int parent, int userIsn);
    QString groupName(int isn);
    QString groupCode(int isn);
    // The group card's save: name and code; an empty name is refused.
    PriceListResult saveGroup(int isn, const QString& name, const QString& code, int userIsn);
    // In-place rename in the tree.
    PriceListResult renameGroup(int isn, const QString& name, int userIsn);
    // The checks before a drag-and-drop move of dragged under target, in their order.
    PriceGroupMoveCheck checkMove(int dragged, int target, bool mayAdd);
    // Moves dragged under target (0 = top level) after checking again that the target is not
    // the group itself or one of its descendants (the tree may have changed meanwhile).
    PriceListResult moveGroup(int dragged, int target, int userIsn);
    bool hasChildGroups(int isn);
    // Refused when the group has child groups; a database refusal (the group still holds
    // manipulations) says what holds it, with the server's text as the details, and changes
    // nothing.
    PriceListResult deleteGroup(int isn, int userIsn);

    // ---- Manipulations -------------------------------------------------------------------------
    // The manipulations of one group, narrowed by the filter, in the given order. An order that
    // is not a list of N_PRECE columns falls back to GNOS.
    db::ResultSet items(int group, const PriceListFilter& filter, const QString& order);
    static QString SafeOrder(const QString& order);

    PriceItem newItem(int group, int defaultVat) const;
    PriceItem loadItem(int isn);  // isn 0 in the result when there is no such row
    // The item of one row of a "SELECT * FROM N_PRECE" result (the list already holds it).
    static PriceItem itemFromRow(const db::ResultSet& rows, int row);
    // A new, unsaved manipulation with every value of the given one except its key.
    PriceItem copyOf(int isn);
    // Validates in the card's order (name, group, code unique), then inserts or updates; on
    // success item.isn holds the key.
    PriceListResult saveItem(PriceItem& item, int userIsn);
    // Deletes the manipulations in one transaction: all of them or (on a refusal) none. A
    // manipulation that treatment or invoice lines use is named with what uses it.
    PriceListResult deleteItems(const QList<int>& keys, int userIsn);
    int groupOfItem(int isn);

    // ---- Searching -----------------------------------------------------------------------------
    // "Meklēt preci": the keys of the matching manipulations in key order. "*text" looks for
    // article codes ending in text.
    QList<int> search(const QString& text);
    // The quick search of a group's list: rows are the list as shown (steps on code and name run
    // on them), then the article, price and code queries. 0 when nothing matches.
    int quickSearch(int group, const QString& text, const db::ResultSet& rows);

private:
    PriceListResult refusedDelete(const QString& table, int key, const db::DbError& e, const QString& name);
    QVector<PriceGroupRow> groupRows(const db::ResultSet& rs);
    int parentOf(int isn, bool* found);
    bool isDescendantOrSelf(int candidate, int ancestor);

    db::Database& m_db;
};

}  // namespace pricelist
