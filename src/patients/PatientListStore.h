#pragma once
#include "db/BatchFetch.h"
#include "db/Database.h"
#include "app/StoreResult.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVector>
#include <memory>

namespace db {
class Statement;
}

namespace patients {

// Where a "Meklēt" search stands: the keys it found, in list order, and the next one to try for
// "Turpināt".
struct PatientSearch {
    QVector<int> keys;
    int next = 0;
};

// The outcome of one search step: the row to move to (-1 = none) or the message to show.
struct SearchStep {
    int row = -1;
    QString message;
};

// The patient list is read in batches (see db::BatchFetch).
using PatientListFetch = db::BatchFetch;

// The patient list: its query by letter tab and order, the searches and the delete. Every list
// is one query; the searches bind the typed text.
class PatientListStore {
    Q_DECLARE_TR_FUNCTIONS(TKlienti)
public:
    explicit PatientListStore(db::Database& database);

    // "*" and "A" ... "Z".
    static QStringList LetterTabs();
    static QString DefaultOrder() { return QStringLiteral(" UZVARDS, VARDS "); }
    // The order a click on a grid column title selects (columns: surname, first name, birth date,
    // phone, mobile phone); the current order for a column that does not sort.
    static QString OrderForColumn(int column, const QString& current);
    // An order text from the settings is used only when it is one of ours; otherwise the default.
    static QString CheckedOrder(const QString& order);
    // "UZVARDS LIKE 'A%' OR UZVARDS LIKE 'Ā%'" for letters with a Latvian variant; empty for "*".
    static QString LetterCondition(const QString& letter);
    static QString ListSql(const QString& letter, const QString& order);
    // The tab a quick-search text belongs to: its first letter without the Latvian mark, "*"
    // when it does not start with a letter A ... Z.
    static QString TabForText(const QString& text);

    db::ResultSet fetch(const QString& letter, const QString& order);

    // Quick search: the first row whose surname begins with the text, ignoring case.
    static int QuickSearchRow(const db::ResultSet& rows, const QString& text);

    // "Meklēt": first the shown rows by surname (equal, then beginning with the text); otherwise
    // the database by surname and first name (two words in either order) or, failing that, by
    // phone number. The session keeps the found keys for "Turpināt".
    SearchStep search(const db::ResultSet& rows, const QString& text, PatientSearch& session);
    static SearchStep continueSearch(const db::ResultSet& rows, PatientSearch& session);
    // The keys the database search finds, in list order; the default patient is never found.
    QVector<int> findKeys(const QString& text);

    static QString editRefusal(int key);
    static QString deleteRefusal(bool listEmpty, int key);
    static QString deleteQuestion(const QString& surname, const QString& name);
    // Hard delete with a journal entry. A patient whom appointments, consultations, invoices or
    // payments refer to is kept: the database refuses and the outcome says why.
    app::DeleteOutcome remove(int key, const QString& surnameAndName, int userIsn);

private:
    db::Database& m_db;
};

}  // namespace patients
