#include "app/SharedProcedures.h"

#include "app/TextNormalize.h"
#include "app/TimeText.h"

#include <QRegularExpression>
#include <QTime>

#include <stdexcept>

namespace app {

namespace {

// Longest typed or imported text the look-ups compare (the widest column they search is 200).
constexpr int TypedTextLimit = 250;

QVariant dateOrNull(const QDateTime& dt) { return dt.isValid() ? QVariant(dt) : QVariant(); }

bool isPeopleTable(const QString& table) {
    return table == QLatin1String("N_KLIENTS") || table == QLatin1String("N_AGENTS");
}

void requireIdentifier(const QString& name) {
    if (!IsSqlIdentifier(name))
        throw std::invalid_argument("not an SQL identifier: " + name.toStdString());
}

QString valueText(const QVariant& v) {
    if (!v.isValid()) return QString();
    switch (v.typeId()) {
        case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                            : dt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        }
        case QMetaType::Double: return QString::number(v.toDouble(), 'g', 15);
        default: return v.toString();
    }
}

}  // namespace

void WriteJournal(db::Transaction& tx, int userIsn, const QString& code, const QString& number,
                  const QString& table, int key, const QString& note, const QDateTime& documentDate) {
    // Every journalled change is a change of that table's row for the windows that show it.
    tx.touch(table, key);
    const QDateTime now = QDateTime::currentDateTime();
    tx.exec(QStringLiteral("INSERT INTO O_OPERACIJAS (TAUSTINS, ISUSER, IEVDAT, IEVLAIKS, DATUMS, NUMURS, BAZE, "
                           "ISN_BAZE, PIEZIMES) VALUES (:TAUSTINS, :ISUSER, :IEVDAT, :IEVLAIKS, :DATUMS, :NUMURS, "
                           ":BAZE, :ISN_BAZE, :PIEZIMES)"),
            {{QStringLiteral("TAUSTINS"), code.left(10)},
             {QStringLiteral("ISUSER"), userIsn},
             {QStringLiteral("IEVDAT"), now.date()},
             {QStringLiteral("IEVLAIKS"), now.time().toString(QStringLiteral("HH:mm:ss"))},
             {QStringLiteral("DATUMS"), dateOrNull(documentDate)},
             {QStringLiteral("NUMURS"), number.left(10)},
             {QStringLiteral("BAZE"), table.left(20)},
             {QStringLiteral("ISN_BAZE"), key},
             {QStringLiteral("PIEZIMES"), note.left(100)}});
}

QStringList DefaultRowTables() {
    // N_KABINETI comes twice on purpose: the second pass only confirms its row.
    return {QStringLiteral("N_AGENTS"),    QStringLiteral("N_BANKA"),   QStringLiteral("N_KABINETI"),
            QStringLiteral("N_KLGRUPA"),   QStringLiteral("N_RAJONS"),  QStringLiteral("N_KLIENTS"),
            QStringLiteral("N_PRGRUPA"),   QStringLiteral("N_PRECE"),   QStringLiteral("N_USERGROUP"),
            QStringLiteral("N_KABINETI"),  QStringLiteral("N_VEIDI")};
}

void EnsureDefaultRows(db::Transaction& tx) {
    for (const QString& table : DefaultRowTables()) EnsureDefaultRow(tx, table);
}

void EnsureDefaultRow(db::Transaction& tx, const QString& table) {
    requireIdentifier(table);
    if (tx.scalar(QStringLiteral("SELECT ISN FROM ") + table + QStringLiteral(" WHERE ISN=1")).isValid()) return;
    // The key comes back from the insert itself: reading the generator or the highest key could
    // pick up a row another workstation inserted at the same moment.
    const QVariant key =
        isPeopleTable(table)
            ? tx.scalar(QStringLiteral("INSERT INTO ") + table +
                        QStringLiteral(" (ISN, VARDS, UZVARDS) VALUES (1, 'Nav', 'Noteikts') RETURNING ISN"))
            : tx.scalar(QStringLiteral("INSERT INTO ") + table +
                            QStringLiteral(" (ISN, GNOS) VALUES (1, :GNOS) RETURNING ISN"),
                        {{QStringLiteral("GNOS"), QStringLiteral("Nav noteikts")}});
    if (key.toInt() > 1)
        tx.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ISN=1 WHERE ISN=:ISN"),
                {{QStringLiteral("ISN"), key.toInt()}});
}

bool IsDayOpen(db::Database& database, const QDate& date) {
    const db::ResultSet rows = database.select(QStringLiteral("SELECT ISN, FLAG FROM O_DIENAS WHERE DATUMS=:DATUMS"),
                                               {{QStringLiteral("DATUMS"), date}});
    for (int i = 0; i < rows.rowCount(); ++i)
        if (rows.value(i, 0).toInt() > 0 && rows.value(i, 1).toString() == QLatin1String("T")) return false;
    return true;
}

bool IsSqlIdentifier(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]{0,62}$"));
    return re.match(name).hasMatch();
}

namespace {

QVariant lookup(db::Database& database, const QString& column, int key, const QString& table) {
    requireIdentifier(column);
    requireIdentifier(table);
    return database.scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table +
                               QStringLiteral(" WHERE ISN = :ISN"),
                           {{QStringLiteral("ISN"), key}});
}

}  // namespace

QString LookupValue(db::Database& database, const QString& column, int key, const QString& table) {
    return valueText(lookup(database, column, key, table));
}

double LookupNumber(db::Database& database, const QString& column, int key, const QString& table) {
    const QVariant v = lookup(database, column, key, table);
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0.0;
}

int FindKeyByCode(db::Database& database, CodeKind kind, const QString& value, const DuplicateCodeChooser& chooser) {
    if (kind != CodeKind::ItemName && kind != CodeKind::PersonalCode) throw std::invalid_argument("unknown code kind");
    // A value longer than the column cannot equal any row (and would not fit the parameter).
    if (value.size() > TypedTextLimit) return 0;
    if (kind == CodeKind::ItemName) {
        const QVariant key = database.scalar(
            QStringLiteral("SELECT ISN FROM N_PRECE WHERE GNOS=CAST(:GNOS AS VARCHAR(250)) ORDER BY ISN"),
            {{QStringLiteral("GNOS"), value}});
        return key.isValid() ? key.toInt() : 0;
    }
    const db::ResultSet rows = database.select(
        QStringLiteral("SELECT ISN FROM N_KLIENTS WHERE PERS_KODS=CAST(:PERS_KODS AS VARCHAR(250)) ORDER BY ISN"),
        {{QStringLiteral("PERS_KODS"), value}});
    if (rows.isEmpty()) return 0;
    if (rows.rowCount() == 1 || !chooser) return rows.value(0, 0).toInt();
    return chooser(value);
}

}  // namespace app
