#include "patients/PatientListStore.h"
#include "app/TextNormalize.h"
#include "db/Statement.h"
#include "references/ReferenceListStore.h"

namespace patients {

namespace {

// Latvian letters filed under the tab of their base letter.
const QHash<QChar, QChar>& latvianBase() {
    static const QHash<QChar, QChar> map{
        {QChar(0x0100), u'A'}, {QChar(0x010C), u'C'}, {QChar(0x0112), u'E'}, {QChar(0x0122), u'G'},
        {QChar(0x012A), u'I'}, {QChar(0x0136), u'K'}, {QChar(0x013B), u'L'}, {QChar(0x0145), u'N'},
        {QChar(0x0160), u'S'}, {QChar(0x016A), u'U'}, {QChar(0x017D), u'Z'},
    };
    return map;
}

// No name column is wider than this; a longer text cannot match and would overflow the parameter.
constexpr int SearchTextLimit = 200;

}  // namespace

PatientListStore::PatientListStore(db::Database& database) : m_db(database) {}

QStringList PatientListStore::LetterTabs() {
    QStringList tabs{QStringLiteral("*")};
    for (char c = 'A'; c <= 'Z'; ++c) tabs.append(QString(QLatin1Char(c)));
    return tabs;
}

QString PatientListStore::OrderForColumn(int column, const QString& current) {
    switch (column) {
        case 0:
            return DefaultOrder();
        case 1:
            return QStringLiteral(" VARDS, UZVARDS ");
        case 3:
            return QStringLiteral(" TELEFONS ");
        case 4:
            return QStringLiteral(" MOB_TEL ");
        default:
            return current;
    }
}

QString PatientListStore::CheckedOrder(const QString& order) {
    for (int c : {0, 1, 3, 4})
        if (OrderForColumn(c, {}).trimmed() == order.trimmed()) return OrderForColumn(c, {});
    return DefaultOrder();
}

QString PatientListStore::LetterCondition(const QString& letter) {
    if (letter.size() != 1 || letter == QLatin1String("*")) return {};
    QString condition = QStringLiteral("UZVARDS LIKE '") + letter + QStringLiteral("%'");
    for (auto it = latvianBase().cbegin(); it != latvianBase().cend(); ++it)
        if (it.value() == letter.at(0))
            condition += QStringLiteral(" OR UZVARDS LIKE '") + it.key() + QStringLiteral("%'");
    return condition;
}

QString PatientListStore::ListSql(const QString& letter, const QString& order) {
    QString sql = QStringLiteral(
        "SELECT ISN, UZVARDS, VARDS, DZIM_DAT, TELEFONS, MOB_TEL FROM N_KLIENTS  WHERE  ISN!=1 ");
    const QString condition = LetterCondition(letter);
    if (!condition.isEmpty()) sql += QStringLiteral(" AND (") + condition + QStringLiteral(")");
    return sql + QStringLiteral(" ORDER BY ") + CheckedOrder(order);
}

QString PatientListStore::TabForText(const QString& text) {
    const QString s = app::NormalizeSearchText(text);
    if (s.isEmpty()) return QStringLiteral("*");
    QChar c = s.at(0);
    c = latvianBase().value(c, c);
    if (c >= u'A' && c <= u'Z') return QString(c);
    return QStringLiteral("*");
}

db::ResultSet PatientListStore::fetch(const QString& letter, const QString& order) {
    return m_db.select(ListSql(letter, order));
}

int PatientListStore::QuickSearchRow(const db::ResultSet& rows, const QString& text) {
    return references::FindPrefixRow(rows, QStringLiteral("UZVARDS"), text.trimmed());
}

QVector<int> PatientListStore::findKeys(const QString& text) {
    QVector<int> keys;
    const QString s = app::NormalizeSearchText(text);
    if (s.isEmpty() || s.size() > SearchTextLimit) return keys;
    db::ResultSet rows;
    const qsizetype blank = s.indexOf(u' ');
    if (blank > 0) {
        rows = m_db.select(
            QStringLiteral(
                "SELECT ISN FROM N_KLIENTS WHERE ISN!=1 AND ("
                "(UPPER(UZVARDS) CONTAINING CAST(:A AS VARCHAR(250)) AND UPPER(VARDS) CONTAINING CAST(:B AS "
                "VARCHAR(250))) "
                " OR (UPPER(UZVARDS) CONTAINING CAST(:B AS VARCHAR(250)) "
                " AND UPPER(VARDS) CONTAINING CAST(:A AS VARCHAR(250)))) ORDER BY UZVARDS, VARDS, ISN"),
            {{QStringLiteral("A"), s.left(blank)}, {QStringLiteral("B"), s.mid(blank + 1).trimmed()}});
    } else {
        rows = m_db.select(
            QStringLiteral("SELECT ISN FROM N_KLIENTS WHERE ISN!=1 AND (UPPER(UZVARDS) CONTAINING "
                           "CAST(:S AS VARCHAR(250)) OR UPPER(VARDS) CONTAINING CAST(:S AS VARCHAR(250))) "
                           "ORDER BY UZVARDS, VARDS, ISN"),
            {{QStringLiteral("S"), s}});
        if (rows.isEmpty())
            rows = m_db.select(
                QStringLiteral("SELECT N_KLIENTS.ISN FROM N_KLIENTS WHERE N_KLIENTS.ISN!=1 AND "
                               "(N_KLIENTS.TELEFONS CONTAINING CAST(:TELEFONS AS VARCHAR(250)) OR "
                               "N_KLIENTS.MOB_TEL CONTAINING CAST(:TELEFONS AS VARCHAR(250))) "
                               "ORDER BY UZVARDS, VARDS, ISN"),
                {{QStringLiteral("TELEFONS"), text.trimmed()}});
    }
    keys.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) keys.append(rows.value(r, 0).toInt());
    return keys;
}

SearchStep PatientListStore::search(const db::ResultSet& rows, const QString& text, PatientSearch& session) {
    session = {};
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    const int surname = rows.columnIndex(QStringLiteral("UZVARDS"));
    int row = -1;
    for (int r = 0; r < rows.rowCount() && row < 0; ++r)
        if (rows.value(r, surname).toString().compare(t, Qt::CaseInsensitive) == 0) row = r;
    if (row < 0) row = QuickSearchRow(rows, t);
    if (row >= 0) {
        // "Turpināt" goes on to the next shown patient whose surname begins with the text.
        const int isn = rows.columnIndex(QStringLiteral("ISN"));
        session.keys.append(rows.value(row, isn).toInt());
        for (int r = 0; r < rows.rowCount(); ++r)
            if (r != row && rows.value(r, surname).toString().startsWith(t, Qt::CaseInsensitive))
                session.keys.append(rows.value(r, isn).toInt());
        session.next = 1;
        return {row, {}};
    }
    session.keys = findKeys(t);
    return continueSearch(rows, session);
}

SearchStep PatientListStore::continueSearch(const db::ResultSet& rows, PatientSearch& session) {
    if (session.keys.isEmpty()) return {-1, tr("Nav atrasts !!!")};
    // One pass over the shown rows instead of a scan per found key.
    QHash<int, int> rowOfKey;
    const int isn = rows.columnIndex(QStringLiteral("ISN"));
    rowOfKey.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) rowOfKey.insert(rows.value(r, isn).toInt(), r);
    while (session.next < session.keys.size()) {
        const int key = session.keys.at(session.next++);
        const auto it = rowOfKey.constFind(key);
        if (it != rowOfKey.cend()) return {it.value(), {}};
    }
    return {-1, tr("Nav atrasts tekošajā burtā !!!")};
}

QString PatientListStore::editRefusal(int key) {
    return key == 1 ? tr("Tas ir sistēmas parametrs, labot nevar !!!") : QString();
}

QString PatientListStore::deleteRefusal(bool listEmpty, int key) {
    if (listEmpty || key <= 0) return tr("Nav datu, ko dzēst !!!");
    if (key == 1) return tr("Tas ir sistēmas parametrs, dzēst nevar !!!");
    return {};
}

QString PatientListStore::deleteQuestion(const QString& surname, const QString& name) {
    return tr("Vai tiešām vēlaties dzēst ") + surname + QLatin1Char(' ') + name + QStringLiteral(" ?");
}

app::DeleteOutcome PatientListStore::remove(int key, const QString& surnameAndName, int userIsn) {
    return references::DeleteRow(m_db, QStringLiteral("N_KLIENTS"), key, surnameAndName, userIsn);
}

}  // namespace patients
