#pragma once
#include "db/BatchFetch.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QVector>

#include <memory>

namespace journal {

// What the journal lists: the period (inclusive), and optionally one user, one table, one kind of
// operation and a text the note contains.
struct JournalFilter {
    QDate from;
    QDate to;
    int userIsn = 0;     // 0 every user
    QString table;       // empty every table
    QString action;      // empty every kind; "J", "L", "D", "PARP", or DragAndDrop()
    QString noteText;    // empty any note
};

// One log-on of a workstation: who, from when until when, and whether the program ended in order.
struct Logon {
    int isn = 0;
    int userIsn = 0;
    QDateTime start;
    QDateTime end;  // invalid while running, or when the program did not end in order
    QString logoff;  // "OK" when it ended in order
};

class OperationsFetch;

// Reads the operation journal (O_OPERACIJAS) and the log-on journal (O_LOGON). It only reads.
class JournalStore {
    Q_DECLARE_TR_FUNCTIONS(TOperacijuZurnals)
public:
    explicit JournalStore(db::Database& database) : m_db(database) {}

    // The action that stands for the planner's moves: an "L" row with the note "Drag&Drop".
    static QString DragAndDrop() { return QStringLiteral("Drag&Drop"); }
    // The kinds of operations with their captions, in the order the filter offers them.
    static QVector<std::pair<QString, QString>> Actions();
    // The tables whose rows the program journals, with their captions.
    static QVector<std::pair<QString, QString>> Tables();
    static QString TableCaption(const QString& table);
    static QString ActionCaption(const QString& code, const QString& note);

    // User keys and log-on names, by name.
    QVector<std::pair<int, QString>> users();

    // The operations of the filter, newest first. Columns: ISN, IEVDAT, IEVLAIKS, LAIKS (the
    // moment as a timestamp), TAUSTINS, DARBIBA (caption), ISUSER, LIETOTAJS, BAZE, TABULA
    // (caption), ISN_BAZE, NUMURS, DATUMS, PIEZIMES, ISLOGON (0 when no log-on covers it),
    // LOGON_START.
    db::ResultSet operations(const JournalFilter& filter);
    // The same rows read in batches, for a window that shows the first ones at once.
    std::unique_ptr<OperationsFetch> fetchOperations(const JournalFilter& filter);
    // The log-ons that began in the period (one user or every one), newest first. Columns: ISN,
    // ISUSER, LIETOTAJS, START_TIME, END_TIME, LOGOFF, BEIGAS ("OK", or a word for one that did not
    // end in order).
    db::ResultSet logons(const QDate& from, const QDate& to, int userIsn = 0);

    // The log-on an operation of the user at that moment belongs to: the user's last log-on that
    // began at or before it. Logons are sorted by start.
    static const Logon* LogonOf(const QVector<Logon>& userLogons, const QDateTime& moment);

private:
    friend class OperationsFetch;
    QHash<int, QString> userNames();

    db::Database& m_db;
};

// The operations of a filter read in batches from one open query, each row completed with its
// captions, user name and log-on (the columns of JournalStore::operations).
class OperationsFetch {
public:
    OperationsFetch(JournalStore& store, const JournalFilter& filter);
    db::ResultSet next(int maxRows);
    bool atEnd() const { return m_rows->atEnd(); }

private:
    std::unique_ptr<db::BatchFetch> m_rows;
    QHash<int, QVector<Logon>> m_logonsByUser;
    QHash<int, QString> m_names;
    QHash<QString, QString> m_tableCaptions;
    QHash<QString, QString> m_actionCaptions;
};

}  // namespace journal
