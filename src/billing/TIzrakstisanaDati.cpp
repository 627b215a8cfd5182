#include "billing/TIzrakstisanaDati.h"

#include "app/SharedProcedures.h"
#include "billing/InvoiceNumbering.h"
#include "db/DbError.h"
#include "db/RowStamp.h"

#include <QRegularExpression>
#include <QThread>

namespace billing {

namespace {

QString headerTable() { return QString::fromLatin1(TIzrakstisanaDati::HeaderTable); }
QString lineTable() { return QString::fromLatin1(TIzrakstisanaDati::LineTable); }

QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }
QVariant keyOrNull(int key) { return key > 0 ? QVariant(key) : QVariant(); }
QVariant dateOrNull(const QDate& d) { return d.isValid() ? QVariant(QDateTime(d, QTime(0, 0))) : QVariant(); }

// DATUMS keeps the time of day it was stored with while the day stays the same.
QDateTime storedDateTime(const InvoiceHeader& h) {
    if (h.storedDate.isValid() && h.storedDate.date() == h.date) return h.storedDate;
    return QDateTime(h.date, QTime(0, 0));
}

// The header columns the register writes (all but the totals, which the database keeps, and the
// audit columns).
db::Params headerColumns(const InvoiceHeader& h) {
    return {{QStringLiteral("ISKLIENTS"), h.patient},
            {QStringLiteral("DATUMS"), storedDateTime(h)},
            {QStringLiteral("SERIJA"), textOrNull(h.series.trimmed())},
            {QStringLiteral("NUMURS"), h.number.trimmed()},
            {QStringLiteral("APMAKS_LIDZ"), dateOrNull(h.payBy)},
            {QStringLiteral("APMAKS_SUM"), h.paidSum},
            {QStringLiteral("APMAKS_NR"), textOrNull(h.paymentDocument)},
            {QStringLiteral("APMAKS_DAT"), dateOrNull(h.paymentDate)},
            {QStringLiteral("APMAKSVEIDS"), h.paymentMethod},
            {QStringLiteral("KOMENTARS"), textOrNull(h.comment)}};
}

const QStringList& headerColumnNames() {
    static const QStringList names{QStringLiteral("ISKLIENTS"),  QStringLiteral("DATUMS"),
                                   QStringLiteral("SERIJA"),     QStringLiteral("NUMURS"),
                                   QStringLiteral("APMAKS_LIDZ"), QStringLiteral("APMAKS_SUM"),
                                   QStringLiteral("APMAKS_NR"),  QStringLiteral("APMAKS_DAT"),
                                   QStringLiteral("APMAKSVEIDS"), QStringLiteral("KOMENTARS")};
    return names;
}

db::Params lineColumns(const InvoiceLine& l) {
    return {{QStringLiteral("ISPAVOUTHD"), l.invoice},
            {QStringLiteral("ISPRECE"), keyOrNull(l.item)},
            {QStringLiteral("CENA"), l.price},
            {QStringLiteral("DAUDZUMS"), l.quantity},
            {QStringLiteral("ATLAIDE"), l.discount},
            {QStringLiteral("NODOKLIS"), l.vatRate},
            {QStringLiteral("KOMENTARS"), textOrNull(l.comment)},
            {QStringLiteral("ISARSTESANA"), keyOrNull(l.treatmentLine)}};
}

const QStringList& lineColumnNames() {
    static const QStringList names{QStringLiteral("ISPAVOUTHD"), QStringLiteral("ISPRECE"),  QStringLiteral("CENA"),
                                   QStringLiteral("DAUDZUMS"),   QStringLiteral("ATLAIDE"),  QStringLiteral("NODOKLIS"),
                                   QStringLiteral("KOMENTARS"),  QStringLiteral("ISARSTESANA")};
    return names;
}

QString placeholders(const QStringList& names) {
    QStringList values;
    for (const QString& n : names) values.append(QLatin1Char(':') + n);
    return values.join(QStringLiteral(", "));
}

QString assignments(const QStringList& names) {
    QStringList sets;
    for (const QString& n : names) sets.append(n + QStringLiteral("=:") + n);
    return sets.join(QStringLiteral(", "));
}

bool numberTaken(db::Transaction& tx, const QString& series, const QString& number, int exceptKey) {
    return tx
        .scalar(QStringLiteral("SELECT FIRST 1 ISN FROM O_PAVOUT_HD WHERE NUMURS = :NUMURS "
                               "AND COALESCE(SERIJA, '') = :SERIJA AND ISN <> :ISN"),
                {{QStringLiteral("NUMURS"), number}, {QStringLiteral("SERIJA"), series}, {QStringLiteral("ISN"), exceptKey}})
        .isValid();
}

// The line order as stored ("O_PAVOUT_DT.ISN", "O_PAVOUT_DT.CENA DESC, O_PAVOUT_DT.ISN"); any other
// text would go into the statement as it stands, so it is not used.
QString checkedLineOrder(const QString& order) {
    static const QRegularExpression plain(QStringLiteral(
        "^\\s*O_PAVOUT_DT\\.[A-Z_]+(\\s+(ASC|DESC|ASCENDING|DESCENDING))?\\s*"
        "(,\\s*O_PAVOUT_DT\\.[A-Z_]+(\\s+(ASC|DESC|ASCENDING|DESCENDING))?\\s*)*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString checked =
        order.trimmed().isEmpty() || !plain.match(order).hasMatch() ? QStringLiteral(" O_PAVOUT_DT.ISN ") : order;
    // Ordered by an indexed column the engine walks that whole index (a million lines) instead of
    // sorting the invoice's few: "+0" keeps the index out of the order.
    static const QRegularExpression indexed(QStringLiteral("(O_PAVOUT_DT\\.(ISN|ISPAVOUTHD|ISPRECE|ISARSTESANA))\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString sorted = checked;
    return sorted.replace(indexed, QStringLiteral("\\1+0"));
}

}  // namespace

TIzrakstisanaDati::TIzrakstisanaDati(db::Database& database) : m_db(database) {}

db::ResultSet TIzrakstisanaDati::list(const InvoiceFilter& filter, const InvoiceSort& sort) {
    const InvoiceListQuery q = MakeInvoiceListQuery(filter, sort);
    try {
        return m_db.select(q.sql, q.params);
    } catch (const db::DbError&) {
        if (sort.orderBy().isEmpty()) throw;
    }
    const InvoiceListQuery plain = MakeInvoiceListQuery(filter, sort, false);
    return m_db.select(plain.sql, plain.params);
}

QDate TIzrakstisanaDati::invoiceDate(int key) {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT DATUMS, ISN FROM O_PAVOUT_HD WHERE ISN=:ISN"),
                                         {{QStringLiteral("ISN"), key}});
    return rs.isEmpty() ? QDate() : rs.value(0, 0).toDateTime().date();
}

std::optional<InvoiceHeader> TIzrakstisanaDati::load(int key) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT O_PAVOUT_HD.*, N_KLIENTS.UZVARDS, N_KLIENTS.VARDS FROM O_PAVOUT_HD "
                       "LEFT JOIN N_KLIENTS ON N_KLIENTS.ISN = O_PAVOUT_HD.ISKLIENTS WHERE O_PAVOUT_HD.ISN = :ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.isEmpty()) return std::nullopt;
    auto v = [&](const char* name) { return rs.first(QString::fromLatin1(name)); };
    InvoiceHeader h;
    h.isn = key;
    h.patient = v("ISKLIENTS").toInt();
    if (v("UZVARDS").isValid()) h.patientName = v("UZVARDS").toString() + QLatin1Char(' ') + v("VARDS").toString();
    h.storedDate = v("DATUMS").toDateTime();
    h.date = h.storedDate.date();
    h.series = v("SERIJA").toString();
    h.number = v("NUMURS").toString();
    h.payBy = v("APMAKS_LIDZ").toDateTime().date();
    h.paidSum = v("APMAKS_SUM").toDouble();
    h.readPaidSum = v("APMAKS_SUM");
    h.paymentDocument = v("APMAKS_NR").toString();
    h.paymentDate = v("APMAKS_DAT").toDateTime().date();
    h.paymentMethod = v("APMAKSVEIDS").toInt();
    h.comment = v("KOMENTARS").toString();
    h.total = v("KOPSUMMA").toDouble();
    h.vat = v("PVNSUMMA").toDouble();
    h.net = v("BEZPVNSUMMA").toDouble();
    h.readStamp = v("IEVDAT_EDIT");
    return h;
}

InvoiceHeader TIzrakstisanaDati::create(const QString& number, const QString& series, const QDate& today) {
    InvoiceHeader h;
    h.date = today;
    h.payBy = today.addDays(5);
    h.number = number;
    h.series = series;
    h.numberFromCounter = true;
    return h;
}

QString TIzrakstisanaDati::patientName(int key) {
    if (key <= 0) return QString();
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT UZVARDS, VARDS FROM N_KLIENTS WHERE ISN=:ISN"),
                                         {{QStringLiteral("ISN"), key}});
    return rs.isEmpty() ? QString() : rs.value(0, 0).toString() + QLatin1Char(' ') + rs.value(0, 1).toString();
}

app::CardCheck TIzrakstisanaDati::Validate(const InvoiceHeader& h) {
    if (!h.date.isValid()) return app::CardCheck::fail(tr("Nav ievadīts pavadzīmes datums !!!"), QStringLiteral("DATUMS"));
    if (h.date < QDate(1900, 1, 1))
        return app::CardCheck::fail(tr("Datums nevar būt mazāks par 01.01.1900 !!!"), QStringLiteral("DATUMS"));
    if (h.number.trimmed().isEmpty())
        return app::CardCheck::fail(tr("Nav ievadīts rēķina numurs !!!"), QStringLiteral("NUMURS"));
    // Key 1 is the patient list's "nothing chosen" row.
    if (h.patient < 2) return app::CardCheck::fail(tr("Nav izvēlēts students !!!"), QStringLiteral("ISKLIENTS"));
    return {};
}

void TIzrakstisanaDati::LockNumbering(db::Transaction& tx) {
    // Transactions do not wait for locks: another workstation's numbering holds the row for the
    // few milliseconds of its save, so try again for a while.
    for (int attempt = 0;; ++attempt) {
        try {
            // The engine locks a row only when it is fetched.
            tx.select(QStringLiteral("SELECT ISN FROM N_ISI WITH LOCK"));
            return;
        } catch (const db::DbError& e) {
            if (!e.isLockConflict() || attempt >= 500) throw;
        }
        QThread::msleep(10);
    }
}

int TIzrakstisanaDati::insertHeader(db::Transaction& tx, const InvoiceHeader& h, int userIsn, const QDateTime& now) {
    db::Params p = headerColumns(h);
    p.insert(QStringLiteral("ISUSER_NEW"), keyOrNull(userIsn));
    p.insert(QStringLiteral("IEVDAT_NEW"), now);
    const QStringList& names = headerColumnNames();
    return tx
        .scalar(QStringLiteral("INSERT INTO O_PAVOUT_HD (") + names.join(QStringLiteral(", ")) +
                    QStringLiteral(", ISUSER_NEW, IEVDAT_NEW) VALUES (") + placeholders(names) +
                    QStringLiteral(", :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"),
                p)
        .toInt();
}

InvoiceSave TIzrakstisanaDati::save(const InvoiceHeader& header, int userIsn, const QDateTime& now) {
    InvoiceHeader h = header;
    h.number = h.number.trimmed();
    h.series = h.series.trimmed();
    InvoiceSave result;
    db::Transaction tx(m_db);
    if (h.isn > 0) {
        db::Params p = headerColumns(h);
        p.insert(QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn));
        p.insert(QStringLiteral("IEVDAT_EDIT"), now);
        p.insert(QStringLiteral("ISN"), h.isn);
        // A payment recorded meanwhile changes the paid sum without the stamp: writing back the
        // sum read would lose it.
        QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(h.readStamp, p);
        if (h.readPaidSum.isValid() && !h.readPaidSum.isNull()) {
            where += QStringLiteral(" AND APMAKS_SUM = :READ_PAID");
            p.insert(QStringLiteral("READ_PAID"), h.readPaidSum.toDouble());
        } else {
            where += QStringLiteral(" AND APMAKS_SUM IS NULL");
        }
        if (tx.exec(QStringLiteral("UPDATE O_PAVOUT_HD SET ") + assignments(headerColumnNames()) +
                        QStringLiteral(", ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT") + where,
                    p) == 0)
            throw db::StaleRowError();
        result.key = h.isn;
    } else {
        if (h.numberFromCounter) {
            // Two workstations may offer the same number (each keeps its own counter): under the
            // lock the first stores it, the next finds it taken and moves on.
            LockNumbering(tx);
            int counter = CounterAfterTyped(h.number, 0) - 1;
            while (counter >= 0 && numberTaken(tx, h.series, h.number, 0)) h.number = CounterNumber(++counter, h.series);
        }
        result.key = insertHeader(tx, h, userIsn, now);
    }
    app::WriteJournal(tx, userIsn, header.isn > 0 ? QStringLiteral("L") : QStringLiteral("J"), h.number, headerTable(),
                      result.key, QString(), storedDateTime(h));
    tx.commit();
    result.number = h.number;
    return result;
}

int TIzrakstisanaDati::copy(int key, int userIsn, const QDateTime& now) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT ISN, DATUMS, APMAKS_LIDZ, NUMURS, SERIJA, ISKLIENTS, APMAKS_SUM, APMAKSVEIDS, KOMENTARS "
                       "FROM O_PAVOUT_HD WHERE ISN=:ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.isEmpty()) return 0;
    InvoiceHeader h;
    h.storedDate = rs.first(QStringLiteral("DATUMS")).toDateTime();
    h.date = h.storedDate.date();
    h.payBy = rs.first(QStringLiteral("APMAKS_LIDZ")).toDateTime().date();
    h.patient = rs.first(QStringLiteral("ISKLIENTS")).toInt();
    h.series = rs.first(QStringLiteral("SERIJA")).toString();
    h.paymentMethod = rs.first(QStringLiteral("APMAKSVEIDS")).toInt();
    h.comment = rs.first(QStringLiteral("KOMENTARS")).toString();
    h.number = rs.first(QStringLiteral("NUMURS")).toString().trimmed() + QStringLiteral("-KOPIJA");
    db::Transaction tx(m_db);
    const int newKey = insertHeader(tx, h, userIsn, now);
    app::WriteJournal(tx, userIsn, QStringLiteral("J"), h.number, headerTable(), newKey, QString(), h.storedDate);
    tx.commit();
    return newKey;
}

app::DeleteOutcome TIzrakstisanaDati::remove(int key, int userIsn) {
    app::DeleteOutcome out;
    const std::optional<InvoiceHeader> h = key > 0 ? load(key) : std::nullopt;
    if (!h) {
        out.message = tr("Nav datu, ko dzēst !!!");
        return out;
    }
    const QString paid = tr("Pavadzīmi ar apmaksu dzēst nedrīkst !!!");
    if (h->paidSum != 0) {
        out.message = paid;
        return out;
    }
    db::Transaction tx(m_db);
    app::WriteJournal(tx, userIsn, QStringLiteral("D"), h->number, headerTable(), key, QString(), h->storedDate);
    try {
        // A payment recorded since the invoice was read keeps it.
        if (tx.exec(QStringLiteral("DELETE FROM O_PAVOUT_HD WHERE ISN=:ISN AND (APMAKS_SUM IS NULL OR APMAKS_SUM = 0)"),
                    {{QStringLiteral("ISN"), key}}) == 0) {
            out.message = load(key) ? paid : tr("Nav datu, ko dzēst !!!");
            return out;
        }
    } catch (const db::DbError& e) {
        if (!e.isForeignKey() && !e.isLockConflict()) throw;
        out.message = tr("Dzēst nevar (Iespējams, ka nav izdzēsts rēķina saturs) !!! \n\n (") + e.message() +
                      QLatin1Char(')');
        return out;
    }
    tx.commit();
    out.deleted = true;
    return out;
}

db::ResultSet TIzrakstisanaDati::lines(int invoiceKey, const QString& lineOrder) {
    return m_db.select(
        QStringLiteral("SELECT O_PAVOUT_DT.ISN, O_PAVOUT_DT.ISPAVOUTHD, O_PAVOUT_DT.ISPRECE, O_PAVOUT_DT.CENA, "
                       "O_PAVOUT_DT.DAUDZUMS, N_PRECE.GNOS PRECE, "
                       "O_PAVOUT_DT.CENA*O_PAVOUT_DT.DAUDZUMS*(1+O_PAVOUT_DT.ATLAIDE/100.00)*(1+O_PAVOUT_DT.NODOKLIS/100.00) "
                       "ARPVN, O_PAVOUT_DT.ATLAIDE, O_PAVOUT_DT.NODOKLIS, O_PAVOUT_DT.KOMENTARS, O_PAVOUT_DT.ISUSER_NEW, "
                       "O_PAVOUT_DT.ISUSER_EDIT, O_PAVOUT_DT.IEVDAT_NEW, O_PAVOUT_DT.IEVDAT_EDIT "
                       // Every line has its item (ISPRECE is required): the outer join only makes the
                       // engine start from the invoice's lines instead of the whole price list.
                       "FROM O_PAVOUT_DT LEFT JOIN N_PRECE ON O_PAVOUT_DT.ISPRECE = N_PRECE.ISN WHERE "
                       "O_PAVOUT_DT.ISPAVOUTHD = :ISPAVOUTHD ORDER BY ") +
            checkedLineOrder(lineOrder),
        {{QStringLiteral("ISPAVOUTHD"), invoiceKey}});
}

std::optional<InvoiceLine> TIzrakstisanaDati::loadLine(int key) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT O_PAVOUT_DT.*, N_PRECE.GNOS PRECE FROM O_PAVOUT_DT "
                       "LEFT JOIN N_PRECE ON N_PRECE.ISN = O_PAVOUT_DT.ISPRECE WHERE O_PAVOUT_DT.ISN = :ISN"),
        {{QStringLiteral("ISN"), key}});
    if (rs.isEmpty()) return std::nullopt;
    auto v = [&](const char* name) { return rs.first(QString::fromLatin1(name)); };
    InvoiceLine l;
    l.isn = key;
    l.invoice = v("ISPAVOUTHD").toInt();
    l.item = v("ISPRECE").toInt();
    l.itemName = v("PRECE").toString();
    l.price = v("CENA").toDouble();
    l.quantity = v("DAUDZUMS").toDouble();
    l.discount = v("ATLAIDE").toDouble();
    l.vatRate = v("NODOKLIS").toDouble();
    l.comment = v("KOMENTARS").toString();
    l.treatmentLine = v("ISARSTESANA").toInt();
    l.readStamp = v("IEVDAT_EDIT");
    return l;
}

InvoiceLine TIzrakstisanaDati::NewLine(int invoiceKey) {
    InvoiceLine l;
    l.invoice = invoiceKey;
    l.quantity = 1;
    l.discount = 0;
    return l;
}

std::optional<ItemForLine> TIzrakstisanaDati::itemForLine(int itemKey) {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT GNOS, PARDCENA1, NODOKLIS FROM N_PRECE WHERE ISN=:ISN"),
                                         {{QStringLiteral("ISN"), itemKey}});
    if (rs.isEmpty()) return std::nullopt;
    ItemForLine item;
    item.name = rs.value(0, 0).toString();
    item.vatRate = rs.value(0, 2).toDouble();
    // The price list holds prices with VAT, an invoice line the price without it.
    item.price = rs.value(0, 1).toDouble() / (item.vatRate * 0.01 + 1);
    return item;
}

int TIzrakstisanaDati::insertLine(db::Transaction& tx, const InvoiceLine& l, int userIsn, const QDateTime& now) {
    db::Params p = lineColumns(l);
    p.insert(QStringLiteral("ISUSER_NEW"), keyOrNull(userIsn));
    p.insert(QStringLiteral("IEVDAT_NEW"), now);
    const QStringList& names = lineColumnNames();
    return tx
        .scalar(QStringLiteral("INSERT INTO O_PAVOUT_DT (") + names.join(QStringLiteral(", ")) +
                    QStringLiteral(", ISUSER_NEW, IEVDAT_NEW) VALUES (") + placeholders(names) +
                    QStringLiteral(", :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"),
                p)
        .toInt();
}

int TIzrakstisanaDati::saveLine(const InvoiceLine& line, int userIsn, const QDateTime& now) {
    db::Transaction tx(m_db);
    int key = line.isn;
    if (line.isn > 0) {
        db::Params p = lineColumns(line);
        p.insert(QStringLiteral("ISUSER_EDIT"), keyOrNull(userIsn));
        p.insert(QStringLiteral("IEVDAT_EDIT"), now);
        p.insert(QStringLiteral("ISN"), line.isn);
        const QString where = QStringLiteral(" WHERE ISN=:ISN") + db::UnchangedSince(line.readStamp, p);
        if (tx.exec(QStringLiteral("UPDATE O_PAVOUT_DT SET ") + assignments(lineColumnNames()) +
                        QStringLiteral(", ISUSER_EDIT=:ISUSER_EDIT, IEVDAT_EDIT=:IEVDAT_EDIT") + where,
                    p) == 0)
            throw db::StaleRowError();
    } else {
        key = insertLine(tx, line, userIsn, now);
    }
    const db::ResultSet invoice = tx.select(QStringLiteral("SELECT NUMURS, DATUMS FROM O_PAVOUT_HD WHERE ISN=:ISN"),
                                            {{QStringLiteral("ISN"), line.invoice}});
    app::WriteJournal(tx, userIsn, line.isn > 0 ? QStringLiteral("L") : QStringLiteral("J"),
                      invoice.first(QStringLiteral("NUMURS")).toString(), lineTable(), key, QString(),
                      invoice.first(QStringLiteral("DATUMS")).toDateTime());
    // The invoice's totals changed with it.
    tx.touch(headerTable(), line.invoice);
    tx.commit();
    return key;
}

void TIzrakstisanaDati::deleteLines(const QList<int>& keys, int userIsn) {
    if (keys.isEmpty()) return;
    db::Transaction tx(m_db);
    for (const int key : keys) {
        const db::ResultSet rs = tx.select(
            QStringLiteral("SELECT O_PAVOUT_DT.ISPAVOUTHD, O_PAVOUT_HD.NUMURS, O_PAVOUT_HD.DATUMS FROM O_PAVOUT_DT "
                           "JOIN O_PAVOUT_HD ON O_PAVOUT_HD.ISN = O_PAVOUT_DT.ISPAVOUTHD WHERE O_PAVOUT_DT.ISN = :ISN"),
            {{QStringLiteral("ISN"), key}});
        if (rs.isEmpty()) continue;  // deleted meanwhile
        app::WriteJournal(tx, userIsn, QStringLiteral("D"), rs.value(0, 1).toString(), lineTable(), key, QString(),
                          rs.value(0, 2).toDateTime());
        tx.exec(QStringLiteral("DELETE FROM O_PAVOUT_DT WHERE ISN=:ISN"), {{QStringLiteral("ISN"), key}});
        tx.touch(headerTable(), rs.value(0, 0).toInt());
    }
    tx.commit();
}

InvoiceTotals TIzrakstisanaDati::totals(int invoiceKey) {
    const db::ResultSet rs = m_db.select(
        QStringLiteral("SELECT BEZPVNSUMMA, PVNSUMMA, KOPSUMMA FROM O_PAVOUT_HD WHERE ISN=:ISN"),
        {{QStringLiteral("ISN"), invoiceKey}});
    if (rs.isEmpty()) return {};
    return {rs.value(0, 0).toDouble(), rs.value(0, 1).toDouble(), rs.value(0, 2).toDouble()};
}

int TIzrakstisanaDati::createInvoice(const InvoiceHeader& header, const QVector<InvoiceLine>& lines, int userIsn,
                                     const QDateTime& now) {
    InvoiceHeader h = header;
    h.isn = 0;
    h.number = h.number.trimmed();
    db::Transaction tx(m_db);
    const int key = insertHeader(tx, h, userIsn, now);
    app::WriteJournal(tx, userIsn, QStringLiteral("J"), h.number, headerTable(), key, QString(), storedDateTime(h));
    for (InvoiceLine line : lines) {
        line.isn = 0;
        line.invoice = key;
        const int lineKey = insertLine(tx, line, userIsn, now);
        app::WriteJournal(tx, userIsn, QStringLiteral("J"), h.number, lineTable(), lineKey, QString(),
                          storedDateTime(h));
    }
    tx.commit();
    return key;
}

QString TIzrakstisanaDati::PayRefusal(double total, double paidSum) {
    // Amounts are doubles: 100 − 99.99 comes out a hair above 0.01. What is left counts as paid
    // while it is at most one cent, so 99.99 of 100 is refused and 99.98 is not.
    return total - paidSum < 0.01 + 1e-9 ? tr("Rēķins jau ir apmaksāts !!!") : QString();
}

}  // namespace billing
