#include "consultations/TreatmentStore.h"

#include "app/TimeText.h"
#include "db/DbError.h"
#include "db/RowStamp.h"
#include "db/Transaction.h"
#include "pricelist/AttachedItems.h"

#include <cmath>

namespace consultations {

namespace {

const QString PlanTable = QStringLiteral("O_ARSTPLANS");
const QString TreatmentTable = QStringLiteral("O_ARSTESANA_DT");

// Minutes of a stored duration "hh:nn"; 0 for a text that is none.
int durationMinutes(const QString& text) {
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() != 2) return 0;
    bool hoursOk = false, minutesOk = false;
    const int hours = parts.at(0).trimmed().toInt(&hoursOk);
    const int minutes = parts.at(1).trimmed().toInt(&minutesOk);
    return hoursOk && minutesOk ? hours * 60 + minutes : 0;
}

// A typed number; a decimal comma is read as the point.
std::optional<double> typedNumber(const QString& text) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QVariant textOrNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

// The specialist a line is written with: the consultation's, as stored now.
QVariant specialistOf(db::Transaction& tx, int consultation) {
    return tx.scalar(QStringLiteral("SELECT ISIZPILDITAJS FROM O_KONSULTACIJA_HD WHERE ISN = :ISN"),
                     {{QStringLiteral("ISN"), consultation}});
}

// The columns of an inserted line (the keys and audit columns are added by the caller).
db::Params lineValues(const TreatmentLine& line) {
    return {{QStringLiteral("ISKONSULTACIJAHD"), line.consultation},
            {QStringLiteral("ISPRECE"), line.item},
            {QStringLiteral("DAUDZUMS"), line.quantity},
            {QStringLiteral("CENA"), line.price},
            {QStringLiteral("NODOKLIS"), line.vat},
            {QStringLiteral("LAIKS"), line.duration},
            {QStringLiteral("PIEZIMES"), textOrNull(line.notes)},
            {QStringLiteral("ZOBA_NR"), line.tooth},
            {QStringLiteral("MAX_CENA"), line.maxPrice}};
}

const QString InsertPlan = QStringLiteral(
    "INSERT INTO O_ARSTPLANS (ISKONSULTACIJAHD, ISPRECE, ISIZPILDITAJS, DAUDZUMS, CENA, NODOKLIS, LAIKS, PIEZIMES, "
    "ISUSER_NEW, ISUSER_EDIT, IEVDAT_NEW, IEVDAT_EDIT, ZOBA_NR, MAX_CENA) VALUES (:ISKONSULTACIJAHD, :ISPRECE, "
    ":ISIZPILDITAJS, :DAUDZUMS, :CENA, :NODOKLIS, :LAIKS, :PIEZIMES, :ISUSER_NEW, :ISUSER_EDIT, :IEVDAT_NEW, "
    ":IEVDAT_EDIT, :ZOBA_NR, :MAX_CENA) RETURNING ISN");
const QString InsertTreatment = QStringLiteral(
    "INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, ISIZPILDITAJS, DAUDZUMS, CENA, NODOKLIS, LAIKS, PIEZIMES, "
    "ISUSER_NEW, ISUSER_EDIT, IEVDAT_NEW, IEVDAT_EDIT, ZOBA_NR) VALUES (:ISKONSULTACIJAHD, :ISPRECE, :ISIZPILDITAJS, "
    ":DAUDZUMS, :CENA, :NODOKLIS, :LAIKS, :PIEZIMES, :ISUSER_NEW, :ISUSER_EDIT, :IEVDAT_NEW, :IEVDAT_EDIT, :ZOBA_NR) "
    "RETURNING ISN");

}  // namespace

QString LineTotals::amountText() const { return QString::number(amount, 'f', 2); }

QString LineTotals::timeText() const { return app::MinutesToTime(minutes); }

QString MoveResult::message() const {
    if (moved == selected) return TreatmentStore::tr("Visi dati pievienoti!");
    return TreatmentStore::tr("Dati pievienoti: ") + QString::number(moved) + u'/' + QString::number(selected);
}

TreatmentStore::TreatmentStore(db::Database& database) : m_db(database) {}

QString TreatmentStore::Table(LineKind kind) { return kind == LineKind::Plan ? PlanTable : TreatmentTable; }

LineList TreatmentStore::lines(LineKind kind, int consultation) {
    const db::Params key{{QStringLiteral("ISKONSULTACIJA"), consultation}};
    LineList list;
    db::ResultSet carried;
    if (kind == LineKind::Plan) {
        list.rows = m_db.select(
            QStringLiteral("SELECT O_ARSTPLANS.*, N_PRECE.GNOS PRECE FROM O_ARSTPLANS, N_PRECE WHERE O_ARSTPLANS.ISPRECE "
                           "= N_PRECE.ISN AND (O_ARSTPLANS.DZESTS IS NULL OR O_ARSTPLANS.DZESTS=0) AND "
                           "O_ARSTPLANS.ISKONSULTACIJAHD = :ISKONSULTACIJA ORDER BY O_ARSTPLANS.ISN"),
            key);
        // The plan lines that have a live treatment line: drawn green. One query for the list
        // instead of one for every cell drawn.
        carried = m_db.select(
            QStringLiteral("SELECT DISTINCT T.ISARSTPLANS FROM O_ARSTESANA_DT T, O_ARSTPLANS P WHERE P.ISN = "
                           "T.ISARSTPLANS AND P.ISKONSULTACIJAHD = :ISKONSULTACIJA AND (T.DZESTS IS NULL OR "
                           "T.DZESTS = 0)"),
            key);
    } else {
        list.rows = m_db.select(
            QStringLiteral("SELECT O_ARSTESANA_DT.*, O_ARSTESANA_DT.CENA*O_ARSTESANA_DT.DAUDZUMS SUMMA, N_PRECE.GNOS "
                           "PRECE FROM O_ARSTESANA_DT, N_PRECE WHERE O_ARSTESANA_DT.ISPRECE = N_PRECE.ISN AND "
                           "(O_ARSTESANA_DT.DZESTS IS NULL OR O_ARSTESANA_DT.DZESTS=0) AND "
                           "O_ARSTESANA_DT.ISKONSULTACIJAHD = :ISKONSULTACIJA ORDER BY O_ARSTESANA_DT.ISN"),
            key);
        // The treatment lines on an invoice.
        carried = m_db.select(
            QStringLiteral("SELECT DISTINCT D.ISARSTESANA FROM O_PAVOUT_DT D, O_ARSTESANA_DT T WHERE T.ISN = "
                           "D.ISARSTESANA AND T.ISKONSULTACIJAHD = :ISKONSULTACIJA"),
            key);
    }
    for (int r = 0; r < carried.rowCount(); ++r) list.carriedOn.insert(carried.value(r, 0).toInt());
    list.totals = Totals(list.rows);
    return list;
}

LineTotals TreatmentStore::Totals(const db::ResultSet& rows) {
    LineTotals totals;
    double minutes = 0;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const double quantity = rows.value(r, QStringLiteral("DAUDZUMS")).toDouble();
        const double price = rows.value(r, QStringLiteral("CENA")).toDouble();
        const double vat = rows.value(r, QStringLiteral("NODOKLIS")).toDouble();
        totals.amount += quantity * price * (1 + vat * 0.01);
        minutes += quantity * durationMinutes(rows.value(r, QStringLiteral("LAIKS")).toString());
    }
    totals.minutes = int(std::lround(minutes));
    return totals;
}

db::ResultSet TreatmentStore::unbilledTreatment(int consultation) {
    return m_db.select(
        QStringLiteral("SELECT T.ISN, T.ISPRECE, N.GNOS PRECE, T.DAUDZUMS, T.CENA, T.NODOKLIS, T.LAIKS, T.ZOBA_NR, "
                       "T.PIEZIMES, T.ISIZPILDITAJS FROM O_ARSTESANA_DT T JOIN N_PRECE N ON N.ISN = T.ISPRECE "
                       "WHERE T.ISKONSULTACIJAHD = :ISKONSULTACIJA AND (T.DZESTS IS NULL OR T.DZESTS = 0) AND NOT "
                       "EXISTS (SELECT 1 FROM O_PAVOUT_DT D WHERE D.ISARSTESANA = T.ISN) ORDER BY T.ISN"),
        {{QStringLiteral("ISKONSULTACIJA"), consultation}});
}

std::optional<TreatmentLine> TreatmentStore::load(LineKind kind, int isn) {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT L.*, N_PRECE.GNOS PRECE FROM ") + Table(kind) +
                                             QStringLiteral(" L LEFT JOIN N_PRECE ON N_PRECE.ISN = L.ISPRECE "
                                                            "WHERE L.ISN = :ISN"),
                                         {{QStringLiteral("ISN"), isn}});
    if (rs.isEmpty()) return std::nullopt;
    auto v = [&](const char* name) { return rs.first(QString::fromLatin1(name)); };
    TreatmentLine line;
    line.isn = isn;
    line.consultation = v("ISKONSULTACIJAHD").toInt();
    line.item = v("ISPRECE").toInt();
    line.itemName = v("PRECE").toString();
    line.quantity = v("DAUDZUMS").toDouble();
    line.price = v("CENA").toDouble();
    if (kind == LineKind::Plan) line.maxPrice = v("MAX_CENA").toDouble();
    else line.planLine = v("ISARSTPLANS").toInt();
    line.vat = v("NODOKLIS").toDouble();
    line.duration = v("LAIKS").toString().trimmed();
    line.tooth = v("ZOBA_NR").toInt();
    line.notes = v("PIEZIMES").toString();
    line.stamp = v("IEVDAT_EDIT");
    return line;
}

std::optional<QPair<int, QString>> TreatmentStore::complete(const QString& typed) {
    const QString text = typed.toUpper();
    if (text.trimmed().isEmpty()) return std::nullopt;
    // The default row "Nav noteikts" is no manipulation.
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT FIRST 1 ISN, GNOS FROM N_PRECE WHERE ISN > 1 AND ((UPPER(GNOS) STARTING WITH :TEXT) OR "
                       "(UPPER(GNOS) = :TEXT)) ORDER BY GNOS, ISN"),
        {{QStringLiteral("TEXT"), text}});
    if (rs.isEmpty()) return std::nullopt;
    return QPair<int, QString>(rs.value(0, 0).toInt(), rs.value(0, 1).toString());
}

std::optional<PriceChoice> TreatmentStore::choice(int item) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT ISN, GNOS, PARDCENA1, MAX_CENA, LAIKS, NODOKLIS, PIEVPRECES FROM N_PRECE WHERE ISN = :ISN"),
        {{QStringLiteral("ISN"), item}});
    if (rs.isEmpty()) return std::nullopt;
    PriceChoice c;
    c.isn = item;
    c.name = rs.first(QStringLiteral("GNOS")).toString();
    c.price = rs.first(QStringLiteral("PARDCENA1")).toDouble();
    c.maxPrice = rs.first(QStringLiteral("MAX_CENA")).toDouble();
    c.duration = app::MinutesToTime(rs.first(QStringLiteral("LAIKS")).toInt());
    c.vat = rs.first(QStringLiteral("NODOKLIS")).toDouble();
    c.attached = rs.first(QStringLiteral("PIEVPRECES")).toString();
    return c;
}

app::CardCheck TreatmentStore::Read(const LineInput& input, LineKind kind, TreatmentLine& line) {
    // A value that does not read is refused: written empty, it would drop the line from every
    // total and invoice.
    const std::optional<double> price = typedNumber(input.price);
    if (!price) return app::CardCheck::fail(tr("Nekorekta cena !!!"), QStringLiteral("Cena"));
    const std::optional<double> quantity = typedNumber(input.quantity);
    if (!quantity) return app::CardCheck::fail(tr("Nekorekts daudzums !!!"), QStringLiteral("Daudzums"));
    std::optional<double> maxPrice = 0.0;
    if (kind == LineKind::Plan) {
        maxPrice = typedNumber(input.maxPrice);
        if (!maxPrice) return app::CardCheck::fail(tr("Nekorekta maksimālā cena !!!"), QStringLiteral("Max cena"));
    }
    QString duration = input.duration.trimmed();
    if (duration.isEmpty() || app::IsEmptyTime(duration))
        duration = QStringLiteral("00:00");
    else
        duration = app::NormalTimeText(duration);
    if (!app::IsValidTime(duration)) return app::CardCheck::fail(tr("Nekorekts laiks !!!"), QStringLiteral("Ilgums"));
    bool toothOk = false;
    const int tooth = input.tooth.trimmed().toInt(&toothOk);
    if (!toothOk || tooth < 0) return app::CardCheck::fail(tr("Nekorekts zoba numurs !!!"), QStringLiteral("Zoba nr"));
    line.price = *price;
    line.quantity = *quantity;
    line.maxPrice = *maxPrice;
    line.duration = duration;
    line.tooth = tooth;
    return {};
}

int TreatmentStore::add(LineKind kind, const TreatmentLine& line, int userIsn, const QDateTime& now) {
    const QString& table = Table(kind);
    const QString& insert = kind == LineKind::Plan ? InsertPlan : InsertTreatment;
    db::Transaction tx(m_db);
    const QVariant specialist = specialistOf(tx, line.consultation);
    auto write = [&](const TreatmentLine& l) {
        db::Params p = lineValues(l);
        if (kind == LineKind::Treatment) p.remove(QStringLiteral("MAX_CENA"));
        p.insert(QStringLiteral("ISIZPILDITAJS"), specialist);
        p.insert(QStringLiteral("ISUSER_NEW"), userIsn);
        p.insert(QStringLiteral("ISUSER_EDIT"), userIsn);
        p.insert(QStringLiteral("IEVDAT_NEW"), now);
        p.insert(QStringLiteral("IEVDAT_EDIT"), now);
        const int key = tx.scalar(insert, p).toInt();
        tx.touch(table, key);
        return key;
    };
    const int key = write(line);
    // The manipulation's attached items: one more line each, at the price and quantity the price
    // list gives them.
    const QString attached = tx.scalar(QStringLiteral("SELECT PIEVPRECES FROM N_PRECE WHERE ISN = :ISN"),
                                       {{QStringLiteral("ISN"), line.item}})
                                 .toString();
    for (const pricelist::AttachedItem& a : pricelist::ParseAttachedItems(attached)) {
        const db::ResultSet item = tx.select(
            QStringLiteral("SELECT LAIKS, NODOKLIS, MAX_CENA FROM N_PRECE WHERE ISN = :ISN"), {{QStringLiteral("ISN"), a.item}});
        // An item taken off the price list since cannot be added.
        if (item.isEmpty()) continue;
        TreatmentLine extra = line;
        extra.item = a.item;
        extra.price = a.price;
        extra.quantity = a.quantity;
        extra.duration = app::MinutesToTime(item.first(QStringLiteral("LAIKS")).toInt());
        extra.vat = item.first(QStringLiteral("NODOKLIS")).toDouble();
        extra.maxPrice = item.first(QStringLiteral("MAX_CENA")).toDouble();
        write(extra);
    }
    tx.commit();
    return key;
}

void TreatmentStore::update(LineKind kind, const TreatmentLine& line, int userIsn, const QDateTime& now) {
    db::Params p{{QStringLiteral("ISPRECE"), line.item},
                 {QStringLiteral("DAUDZUMS"), line.quantity},
                 {QStringLiteral("ZOBA_NR"), line.tooth},
                 {QStringLiteral("CENA"), line.price},
                 {QStringLiteral("NODOKLIS"), line.vat},
                 {QStringLiteral("LAIKS"), line.duration},
                 {QStringLiteral("PIEZIMES"), textOrNull(line.notes)},
                 {QStringLiteral("ISUSER_EDIT"), userIsn},
                 {QStringLiteral("IEVDAT_EDIT"), now},
                 {QStringLiteral("ISN"), line.isn}};
    QString sql;
    if (kind == LineKind::Plan) {
        p.insert(QStringLiteral("MAX_CENA"), line.maxPrice);
        sql = QStringLiteral("UPDATE O_ARSTPLANS SET ISPRECE=:ISPRECE, DAUDZUMS=:DAUDZUMS, ZOBA_NR=:ZOBA_NR, CENA=:CENA, "
                             "MAX_CENA=:MAX_CENA, NODOKLIS=:NODOKLIS, LAIKS=:LAIKS, PIEZIMES=:PIEZIMES, "
                             "ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT WHERE ISN=:ISN");
    } else {
        sql = QStringLiteral("UPDATE O_ARSTESANA_DT SET ISPRECE=:ISPRECE, DAUDZUMS=:DAUDZUMS, CENA=:CENA, "
                             "NODOKLIS=:NODOKLIS, LAIKS=:LAIKS, PIEZIMES=:PIEZIMES, ZOBA_NR=:ZOBA_NR, "
                             "ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT WHERE ISN=:ISN");
    }
    // Neither over another workstation's later change nor onto a deleted line.
    sql += db::UnchangedSince(line.stamp, p) + QStringLiteral(" AND (DZESTS IS NULL OR DZESTS = 0)");
    db::Transaction tx(m_db);
    if (tx.exec(sql, p) == 0) throw db::StaleRowError();
    tx.touch(Table(kind), line.isn);
    tx.commit();
}

void TreatmentStore::remove(LineKind kind, int isn, int userIsn) {
    db::Transaction tx(m_db);
    tx.exec(QStringLiteral("UPDATE ") + Table(kind) +
                QStringLiteral(" SET DZESTS=1, ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT WHERE ISN=:ISN"),
            {{QStringLiteral("ISUSER_EDIT"), userIsn},
             {QStringLiteral("IEVDAT_EDIT"), QDateTime::currentDateTime()},
             {QStringLiteral("ISN"), isn}});
    tx.touch(Table(kind), isn);
    tx.commit();
}

MoveResult TreatmentStore::moveToTreatment(int consultation, const QList<int>& planLines, int userIsn,
                                           const QDateTime& now) {
    MoveResult result;
    result.selected = int(planLines.size());
    // All or nothing: a failure half-way leaves neither the counted lines nor the rest.
    db::Transaction tx(m_db);
    const QVariant specialist = specialistOf(tx, consultation);
    for (const int plan : planLines) {
        if (tx.scalar(QStringLiteral("SELECT ISN FROM O_ARSTESANA_DT WHERE ISARSTPLANS = :ISARSTPLANS AND (DZESTS = 0 "
                                     "OR DZESTS IS NULL)"),
                      {{QStringLiteral("ISARSTPLANS"), plan}})
                .isValid())
            continue;
        const db::ResultSet rs = tx.select(
            QStringLiteral("SELECT * FROM O_ARSTPLANS WHERE ISN = :ISN AND ISKONSULTACIJAHD = :K AND (DZESTS IS NULL OR "
                           "DZESTS = 0)"),
            {{QStringLiteral("ISN"), plan}, {QStringLiteral("K"), consultation}});
        // A line deleted meanwhile on another workstation is not treated.
        if (rs.isEmpty()) continue;
        auto v = [&](const char* name) { return rs.first(QString::fromLatin1(name)); };
        const int key = tx.scalar(
                              QStringLiteral("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, ISIZPILDITAJS, "
                                             "DAUDZUMS, CENA, NODOKLIS, LAIKS, PIEZIMES, ISUSER_NEW, ISUSER_EDIT, "
                                             "IEVDAT_NEW, IEVDAT_EDIT, ISARSTPLANS, ZOBA_NR) VALUES "
                                             "(:ISKONSULTACIJAHD, :ISPRECE, :ISIZPILDITAJS, :DAUDZUMS, :CENA, "
                                             ":NODOKLIS, :LAIKS, :PIEZIMES, :ISUSER_NEW, :ISUSER_EDIT, :IEVDAT_NEW, "
                                             ":IEVDAT_EDIT, :ISARSTPLANS, :ZOBA_NR) RETURNING ISN"),
                              {{QStringLiteral("ISKONSULTACIJAHD"), consultation},
                               {QStringLiteral("ISPRECE"), v("ISPRECE")},
                               {QStringLiteral("ISIZPILDITAJS"), specialist},
                               {QStringLiteral("DAUDZUMS"), v("DAUDZUMS")},
                               {QStringLiteral("CENA"), v("CENA")},
                               {QStringLiteral("NODOKLIS"), v("NODOKLIS")},
                               {QStringLiteral("LAIKS"), v("LAIKS")},
                               {QStringLiteral("PIEZIMES"), v("PIEZIMES")},
                               {QStringLiteral("ISUSER_NEW"), userIsn},
                               {QStringLiteral("ISUSER_EDIT"), userIsn},
                               {QStringLiteral("IEVDAT_NEW"), now},
                               {QStringLiteral("IEVDAT_EDIT"), now},
                               {QStringLiteral("ISARSTPLANS"), plan},
                               {QStringLiteral("ZOBA_NR"), v("ZOBA_NR")}})
                              .toInt();
        tx.touch(TreatmentTable, key);
        ++result.moved;
    }
    tx.commit();
    return result;
}

}  // namespace consultations
