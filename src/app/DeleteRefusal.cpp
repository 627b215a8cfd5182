#include "app/DeleteRefusal.h"

#include "app/SharedProcedures.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>

namespace app {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(DeleteRefusal)
};

// A table's rows as a count names them: singular and plural.
struct Noun {
    QString one;
    QString many;
};

Noun nounOf(const QString& table) {
    static const QMap<QString, Noun> nouns{
        {QStringLiteral("N_USERS"), {Tr::tr("lietotājs"), Tr::tr("lietotāji")}},
        {QStringLiteral("N_KLIENTS"), {Tr::tr("pacients"), Tr::tr("pacienti")}},
        {QStringLiteral("N_PRECE"), {Tr::tr("manipulācija"), Tr::tr("manipulācijas")}},
        {QStringLiteral("N_PRGRUPA"), {Tr::tr("apakšgrupa"), Tr::tr("apakšgrupas")}},
        {QStringLiteral("O_KONSULT_PIET_HD"), {Tr::tr("pieteikums"), Tr::tr("pieteikumi")}},
        {QStringLiteral("O_KONSULTACIJA_HD"), {Tr::tr("konsultācija"), Tr::tr("konsultācijas")}},
        {QStringLiteral("O_ARSTPLANS"), {Tr::tr("ārstēšanas plāna rinda"), Tr::tr("ārstēšanas plāna rindas")}},
        {QStringLiteral("O_ARSTESANA_DT"), {Tr::tr("ārstēšanas rinda"), Tr::tr("ārstēšanas rindas")}},
        {QStringLiteral("O_PAVOUT_HD"), {Tr::tr("rēķins"), Tr::tr("rēķini")}},
        {QStringLiteral("O_PAVOUT_DT"), {Tr::tr("rēķina rinda"), Tr::tr("rēķina rindas")}},
        {QStringLiteral("O_APMAKS_HD"), {Tr::tr("maksājums"), Tr::tr("maksājumi")}},
        {QStringLiteral("O_APMAKS_DT"), {Tr::tr("maksājuma sadalījums"), Tr::tr("maksājuma sadalījumi")}},
    };
    const auto it = nouns.constFind(table);
    if (it != nouns.cend()) return *it;
    return {Tr::tr("ieraksts tabulā %1").arg(table), Tr::tr("ieraksti tabulā %1").arg(table)};
}

// The row's owner as the sentence begins: "Pacientam ir …".
QString ownerOf(const QString& table) {
    static const QMap<QString, QString> owners{
        {QStringLiteral("N_KLIENTS"), Tr::tr("Pacientam")},
        {QStringLiteral("N_AGENTS"), Tr::tr("Speciālistam")},
        {QStringLiteral("N_KABINETI"), Tr::tr("Kabinetam")},
        {QStringLiteral("N_BANKA"), Tr::tr("Bankai")},
        {QStringLiteral("N_RAJONS"), Tr::tr("Novadam")},
        {QStringLiteral("N_KLGRUPA"), Tr::tr("Pacientu grupai")},
        {QStringLiteral("N_VEIDI"), Tr::tr("Konsultāciju veidam")},
        {QStringLiteral("N_USERGROUP"), Tr::tr("Lietotāju grupai")},
        {QStringLiteral("N_PRECE"), Tr::tr("Manipulācijai")},
        {QStringLiteral("N_PRGRUPA"), Tr::tr("Manipulāciju grupai")},
        {QStringLiteral("O_KONSULT_PIET_HD"), Tr::tr("Pieteikumam")},
        {QStringLiteral("O_KONSULTACIJA_HD"), Tr::tr("Konsultācijai")},
        {QStringLiteral("O_PAVOUT_HD"), Tr::tr("Rēķinam")},
        {QStringLiteral("O_APMAKS_HD"), Tr::tr("Maksājumam")},
    };
    return owners.value(table, Tr::tr("Ierakstam"));
}

// Latvian numbers agree with their last digit: 1, 21, 101 take the singular, 11 the plural.
QString counted(int n, const Noun& noun) {
    const bool one = n % 10 == 1 && n % 100 != 11;
    return QString::number(n) + u' ' + (one ? noun.one : noun.many);
}

}  // namespace

QString ReferencedRowLead() {
    return QCoreApplication::translate("TKlasifikators", "Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n");
}

QString RefusingForeignKey(const QString& engineMessage) {
    static const QRegularExpression fk(QStringLiteral("FOREIGN KEY constraint \"([^\"]+)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    return fk.match(engineMessage).captured(1);
}

int RefusedKey(const QString& engineMessage) {
    static const QRegularExpression key(QStringLiteral("Problematic key value is \\(\"[^\"]+\" = (-?\\d+)\\)"),
                                        QRegularExpression::CaseInsensitiveOption);
    return key.match(engineMessage).captured(1).toInt();
}

QVector<HoldingRows> RowsHolding(db::Database& database, const QString& table, int key,
                                 const QString& refusingForeignKey) {
    // Every single-column foreign key that refers to the table: constraint, referring table, column.
    const db::ResultSet keys = database.select(
        QStringLiteral(
            "SELECT TRIM(RC.RDB$CONSTRAINT_NAME) FK, TRIM(RC.RDB$RELATION_NAME) TBL, TRIM(S.RDB$FIELD_NAME) COL "
            "FROM RDB$RELATION_CONSTRAINTS RC "
            "JOIN RDB$REF_CONSTRAINTS R ON R.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
            "JOIN RDB$RELATION_CONSTRAINTS PK ON PK.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
            "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
            "WHERE RC.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' AND TRIM(PK.RDB$RELATION_NAME) = CAST(:T AS VARCHAR(63)) "
            "AND (SELECT COUNT(*) FROM RDB$INDEX_SEGMENTS S2 WHERE S2.RDB$INDEX_NAME = RC.RDB$INDEX_NAME) = 1 "
            "ORDER BY 2, 3"),
        {{QStringLiteral("T"), table}});
    // The referring tables in order, the refusing one first, each with its columns.
    QStringList tables;
    QMap<QString, QStringList> columns;
    for (int r = 0; r < keys.rowCount(); ++r) {
        const QString t = keys.value(r, 1).toString();
        const QString c = keys.value(r, 2).toString();
        if (!IsSqlIdentifier(t) || !IsSqlIdentifier(c)) continue;
        if (!tables.contains(t)) {
            if (keys.value(r, 0).toString() == refusingForeignKey)
                tables.prepend(t);
            else
                tables.append(t);
        } else if (keys.value(r, 0).toString() == refusingForeignKey) {
            tables.move(tables.indexOf(t), 0);
        }
        columns[t].append(c);
    }
    QVector<HoldingRows> holding;
    for (const QString& t : tables) {
        QStringList conditions;
        for (const QString& c : columns.value(t)) conditions.append(c + QStringLiteral(" = :K"));
        const int n = database
                          .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + t + QStringLiteral(" WHERE ") +
                                      conditions.join(QStringLiteral(" OR ")),
                                  {{QStringLiteral("K"), key}})
                          .toInt();
        if (n > 0) holding.append({t, n});
    }
    return holding;
}

QString HoldingRowsSentence(const QString& table, const QVector<HoldingRows>& rows, const QString& name) {
    if (rows.isEmpty()) return {};
    QStringList parts;
    for (const HoldingRows& h : rows) parts.append(counted(h.count, nounOf(h.table)));
    QString list = parts.takeLast();
    if (!parts.isEmpty()) list = parts.join(QStringLiteral(", ")) + Tr::tr(" un ") + list;
    QString owner = ownerOf(table);
    if (!name.trimmed().isEmpty()) owner += QStringLiteral(" \"") + name.trimmed() + u'"';
    return owner + Tr::tr(" ir ") + list + u'.';
}

DeleteRefusal ExplainRefusedDelete(db::Database& database, const QString& table, int key, const db::DbError& error,
                                   const QString& name) {
    DeleteRefusal refusal;
    refusal.details = error.message();
    QString sentence;
    try {
        sentence = HoldingRowsSentence(table, RowsHolding(database, table, key, RefusingForeignKey(error.message())), name);
    } catch (const db::DbError&) {
        sentence.clear();
    }
    // Without a sentence the engine's text is all there is to say.
    refusal.message = ReferencedRowLead() + (sentence.isEmpty() ? error.message() : sentence);
    return refusal;
}

}  // namespace app
