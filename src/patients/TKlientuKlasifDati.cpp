#include "patients/TKlientuKlasifDati.h"

#include "app/PatientFiles.h"
#include "app/SharedProcedures.h"
#include "app/TextNormalize.h"
#include "app/TimeText.h"
#include "references/ReferenceCardStore.h"

namespace patients {

TKlientuKlasifDati::TKlientuKlasifDati(db::Database& database) : m_db(database) {}

QStringList TKlientuKlasifDati::EditedColumns() {
    return {QStringLiteral("UZVARDS"),        QStringLiteral("VARDS"),        QStringLiteral("PERS_KODS"),
            QStringLiteral("DZIM_DAT"),       QStringLiteral("DZIMUMS"),      QStringLiteral("VARDA_DIENA"),
            QStringLiteral("ISKLGRUPA"),      QStringLiteral("ISRAJONS"),     QStringLiteral("ISAGENTS"),
            QStringLiteral("ISBANKA"),        QStringLiteral("BANKAS_KONTS"), QStringLiteral("PILSETA"),
            QStringLiteral("ADRESE"),         QStringLiteral("ZIP_NR"),       QStringLiteral("TELEFONS"),
            QStringLiteral("MOB_TEL"),        QStringLiteral("E_MAIL"),       QStringLiteral("NODARBOSANAS"),
            QStringLiteral("SKOLA"),          QStringLiteral("GIM_ARSTS"),    QStringLiteral("GIM_ARSTS_TEL"),
            QStringLiteral("GIM_ARSTS_MAIL"), QStringLiteral("SAZINAS_VAL"),  QStringLiteral("SEND_SMS"),
            QStringLiteral("SUBSCRIBE_FLAG"), QStringLiteral("KOMENTARS")};
}

QVariantHash TKlientuKlasifDati::open(int key) {
    QVariantHash values;
    if (key == 0) {
        for (const char* c : {"ISBANKA", "ISKLGRUPA", "ISAGENTS", "ISRAJONS", "SUBSCRIBE_FLAG", "SEND_SMS"})
            values.insert(QString::fromLatin1(c), 1);
        // The first choices of the lists: "Vīrietis", "Latviešu".
        values.insert(QStringLiteral("DZIMUMS"), 0);
        values.insert(QStringLiteral("SAZINAS_VAL"), 0);
        return values;
    }
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT * FROM N_KLIENTS WHERE ISN = :ISN"),
                                         {{QStringLiteral("ISN"), qAbs(key)}});
    if (rs.isEmpty()) return values;
    for (int c = 0; c < rs.columnCount(); ++c) values.insert(rs.columns().at(c), rs.value(0, c));
    if (key < 0) {
        for (const char* c : {"ISN", "ISUSER_NEW", "IEVDAT_NEW", "ISUSER_EDIT", "IEVDAT_EDIT"})
            values.remove(QString::fromLatin1(c));
    }
    return values;
}

QVector<LookupItem> TKlientuKlasifDati::lookup(const QString& sql) {
    const db::ResultSet rs = m_db.select(sql);
    QVector<LookupItem> items;
    items.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) items.append({rs.value(r, 0).toInt(), rs.value(r, 1).toString()});
    return items;
}

QVector<LookupItem> TKlientuKlasifDati::banks() {
    return lookup(QStringLiteral("SELECT ISN, GNOS FROM N_BANKA ORDER BY GNOS"));
}
QVector<LookupItem> TKlientuKlasifDati::groups() {
    return lookup(QStringLiteral("SELECT ISN, GNOS FROM N_KLGRUPA ORDER BY GNOS"));
}
QVector<LookupItem> TKlientuKlasifDati::districts() {
    return lookup(QStringLiteral("SELECT ISN, GNOS FROM N_RAJONS ORDER BY GNOS"));
}
QVector<LookupItem> TKlientuKlasifDati::doctors() {
    const db::ResultSet rs = m_db.select(QStringLiteral(
        "SELECT ISN, UZVARDS, VARDS FROM N_AGENTS ORDER BY CASE WHEN ISN=1 THEN 0 ELSE 1 END, UZVARDS, VARDS"));
    QVector<LookupItem> items;
    items.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) {
        const int key = rs.value(r, 0).toInt();
        items.append({key, app::PersonLabel(key, rs.value(r, 1).toString(), rs.value(r, 2).toString())});
    }
    return items;
}

QStringList TKlientuKlasifDati::towns() {
    const db::ResultSet rs =
        m_db.select(QStringLiteral("SELECT DISTINCT PILSETA FROM N_KLIENTS ORDER BY PILSETA"));
    QStringList list;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (!rs.value(r, 0).toString().isEmpty()) list.append(rs.value(r, 0).toString());
    return list;
}

QDate TKlientuKlasifDati::BirthDateFromCode(const QString& personalCode, const QDate& birthDate) {
    const QString code = personalCode.trimmed();
    if (code.size() < 6) return {};
    if (birthDate.isValid() && birthDate >= QDate(1910, 1, 1)) return {};
    bool dayOk = false, monthOk = false, yearOk = false;
    const int day = code.mid(0, 2).toInt(&dayOk);
    const int month = code.mid(2, 2).toInt(&monthOk);
    const int year = code.mid(4, 2).toInt(&yearOk);
    if (!dayOk || !monthOk || !yearOk) return {};
    return QDate(1900 + year, month, day);  // invalid for a code that is no date
}

QString TKlientuKlasifDati::DefaultNameDayMessage() {
    return tr("Šāds vārds nav atrasts vārda dienu sarakstā, tiks ielikts 22. maijs.");
}

NameDayResult TKlientuKlasifDati::lookupNameDay(const QString& firstName, const QString& currentNameDay) {
    NameDayResult result{currentNameDay.trimmed(), {}};
    QString name = app::NormalizeSearchText(firstName);
    if (name.isEmpty()) return result;
    const qsizetype blank = name.indexOf(u' ');
    if (blank > 0) name = name.left(blank);
    const db::ResultSet rs =
        m_db.select(QStringLiteral("SELECT ISN, DATUMS FROM N_SVETKI WHERE upper(gnos)=CAST(:VARDS AS "
                                   "VARCHAR(250)) ORDER BY FLAG, ISN"),
                    {{QStringLiteral("VARDS"), name}});
    if (!rs.isEmpty() && rs.value(0, 1).toDateTime().isValid()) {
        result.nameDay = rs.value(0, 1).toDateTime().date().toString(QStringLiteral("dd.MM"));
    } else if (result.nameDay.size() < 4) {
        result.nameDay = QStringLiteral("22.05");
        result.message = DefaultNameDayMessage();
    }
    return result;
}

app::CardCheck TKlientuKlasifDati::validate(const QVariantHash& values, int key) {
    if (values.value(QStringLiteral("UZVARDS")).toString().trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts klienta uzvārds !!!"), QStringLiteral("UZVARDS"));
    if (values.value(QStringLiteral("VARDS")).toString().trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts klienta vārds !!!"), QStringLiteral("VARDS"));
    const QString code = values.value(QStringLiteral("PERS_KODS")).toString().trimmed();
    if (!code.isEmpty() &&
        m_db.scalar(QStringLiteral("SELECT ISN FROM N_KLIENTS WHERE PERS_KODS=CAST(:PERS_KODS AS "
                                   "VARCHAR(250)) AND ISN!=:ISN"),
                    {{QStringLiteral("PERS_KODS"), code}, {QStringLiteral("ISN"), qMax(key, 0)}})
            .isValid())
        return app::CardCheck::fail(tr("Atkārtojas personas kodi !!!"), QStringLiteral("PERS_KODS"));
    return {};
}

QString TKlientuKlasifDati::SaveFailedMessage() {
    return tr("Korekti saglabāt neizdevās !!!");
}

int TKlientuKlasifDati::save(int key, const QVariantHash& input, const QStringList& files, int userIsn,
                             const std::optional<QVariant>& readStamp) {
    QVariantHash values;
    for (const QString& c : EditedColumns()) values.insert(c, input.value(c));
    values.insert(QStringLiteral("FAILI"), files.isEmpty() ? QVariant() : QVariant(JoinFiles(files)));
    // ISAGENTS may not be NULL: "not chosen" is the default row.
    if (values.value(QStringLiteral("ISAGENTS")).toInt() <= 0) values.insert(QStringLiteral("ISAGENTS"), 1);
    db::Transaction tx(m_db);
    const int isn = references::WriteRow(tx, QStringLiteral("N_KLIENTS"), key, values, userIsn,
                                         key > 0 ? readStamp : std::nullopt);
    app::WriteJournal(tx, userIsn, key <= 0 ? QStringLiteral("J") : QStringLiteral("L"), QString(),
                      QStringLiteral("N_KLIENTS"), isn,
                      input.value(QStringLiteral("UZVARDS")).toString() + QLatin1Char(' ') +
                          input.value(QStringLiteral("VARDS")).toString(),
                      QDateTime());
    tx.commit();
    return isn;
}

QStringList TKlientuKlasifDati::SplitFiles(const QString& stored) { return app::SplitPatientFiles(stored); }

QString TKlientuKlasifDati::JoinFiles(const QStringList& files) { return app::JoinPatientFiles(files); }

QStringList TKlientuKlasifDati::files(int key) {
    return SplitFiles(
        m_db.scalar(QStringLiteral("SELECT FAILI FROM N_KLIENTS WHERE ISN = :ISN"), {{QStringLiteral("ISN"), key}})
            .toString());
}

db::ResultSet TKlientuKlasifDati::history(int key, const QDate& from, const QDate& to) {
    return m_db.select(
        QStringLiteral(
            "SELECT H.NUMURS, H.DATUMS, H.PLAN_DAT, H.PLAN_LAIKS, H.PLAN_ILGUMS ILGUMS, V.GNOS VEIDS, "
            "A.UZVARDS || ' ' || A.VARDS SPECIALISTS, 1 MARKER, H.ISN, CAST(NULL AS VARCHAR(10)) TIME_END "
            "FROM O_KONSULT_PIET_HD H LEFT JOIN N_VEIDI V ON V.ISN = H.ISVEIDS "
            "LEFT JOIN N_AGENTS A ON A.ISN = H.ISIZPILDITAJS "
            "WHERE H.ISKLIENTS = :ISKLIENTS AND H.DATUMS >= :NO AND H.DATUMS < :LIDZ AND COALESCE(H.DZESTS, "
            "0) = 0 "
            "UNION ALL "
            "SELECT K.NUMURS, K.DATUMS, K.DATUMS, K.TIME_START, '00:00', V.GNOS, A.UZVARDS || ' ' || "
            "A.VARDS, 2, K.ISN, "
            "K.TIME_END FROM O_KONSULTACIJA_HD K LEFT JOIN N_VEIDI V ON V.ISN = K.ISVEIDS "
            "LEFT JOIN N_AGENTS A ON A.ISN = K.ISIZPILDITAJS "
            "WHERE K.ISKLIENTS = :ISKLIENTS AND K.DATUMS >= :NO AND K.DATUMS < :LIDZ AND COALESCE(K.DZESTS, "
            "0) = 0 "
            "ORDER BY 2 DESCENDING"),
        {{QStringLiteral("ISKLIENTS"), key},
         {QStringLiteral("NO"), QDateTime(from, QTime(0, 0))},
         {QStringLiteral("LIDZ"), QDateTime(to.addDays(1), QTime(0, 0))}});
}

QString TKlientuKlasifDati::HistoryDuration(const db::ResultSet& rows, int row) {
    if (rows.value(row, QStringLiteral("MARKER")).toInt() != 2)
        return rows.value(row, QStringLiteral("ILGUMS")).toString();
    const int start = app::TimeToMinutes(rows.value(row, QStringLiteral("PLAN_LAIKS")).toString().trimmed());
    const int end = app::TimeToMinutes(rows.value(row, QStringLiteral("TIME_END")).toString().trimmed());
    if (start < 0 || end < 0) return QStringLiteral("00:00");
    return app::MinutesToTime(end - start);
}

QString TKlientuKlasifDati::HistoryKind(int marker) {
    return marker == 2 ? tr("Konsult.") : tr("Pieteik.");
}

}  // namespace patients
