#pragma once
#include "db/ResultSet.h"
#include "db/Transaction.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace db {

// A prepared statement with named parameters. Prepare once, then bind and execute as often as
// needed (the data generator inserts millions of rows this way).
//
//   Statement st(tx, "SELECT ISN, GNOS FROM N_BANKA WHERE GNOS CONTAINING :S");
//   st.bind("S", text);
//   st.execute();
//   while (st.next()) use(st.value(0), st.value("GNOS"));
//
// Bound values follow the parameter's type as the server describes it: a QString or QByteArray
// bound to a blob parameter becomes a text or binary blob, a QByteArray bound to a text
// parameter is passed as raw bytes (OCTETS), an invalid QVariant is NULL.
class Statement {
public:
    Statement(Transaction& tx, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QStringList& parameterNames() const;
    // Throws std::invalid_argument for a name that the statement does not have.
    void bind(const QString& name, const QVariant& value);
    void bind(const Params& params);

    // Runs the statement. A query is then read with next(); a statement with RETURNING has its
    // one row ready for next() as well. Every parameter must have been bound.
    void execute();
    bool next();
    // Rows changed by the last execute() of an INSERT, UPDATE or DELETE.
    int rowsAffected() const;

    int columnCount() const;
    QStringList columnNames() const;
    QVariant value(int column) const;
    QVariant value(const QString& name) const;

    // The optimizer's plan ("PLAN (N_KLIENTS INDEX (...))"), for checks that a query uses an index.
    QString plan() const;

    // Reads the remaining rows of the current execution.
    ResultSet fetchAll();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace db
