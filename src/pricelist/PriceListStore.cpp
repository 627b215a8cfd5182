#include "pricelist/PriceListStore.h"

#include "db/RowStamp.h"

#include "app/DeleteRefusal.h"
#include "app/SharedProcedures.h"
#include "db/Statement.h"

#include <QDateTime>
#include <cmath>
#include <QRegularExpression>
#include <QSet>

namespace pricelist {

namespace {

const QString GroupTable = QStringLiteral("N_PRGRUPA");
const QString ItemTable = QStringLiteral("N_PRECE");

int toInt(const QVariant& v) { return v.isValid() && !v.isNull() ? v.toInt() : 0; }

QVariant nullIfEmpty(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

// The union of one select per depth; the condition of depth d+1 asks for a parent among the rows
// of depth d, so a parent always comes before its children and deeper groups are left out.
QString depthQuery() {
    QStringList selects;
    QString condition = QStringLiteral("(ISPARENT=0 OR ISPARENT IS NULL)");
    for (int d = 1; d <= PriceListStore::MaxTreeDepth; ++d) {
        selects << QStringLiteral("SELECT GNOS, ISPARENT, ISN, %1 FLAG FROM N_PRGRUPA WHERE ISN!=1 AND %2")
                       .arg(d)
                       .arg(condition);
        condition = QStringLiteral("ISPARENT IN (SELECT ISN FROM N_PRGRUPA WHERE %1)").arg(condition);
    }
    return selects.join(QStringLiteral(" UNION ")) + QStringLiteral(" ORDER BY 4, 2, 1 ASCENDING");
}

// Columns of N_PRECE that the list may be ordered by.
const QSet<QString>& itemColumns() {
    static const QSet<QString> columns{
        "ISN", "ISPRGRUPA", "KODS", "MIS_KODS", "GNOS", "LAIKS", "PARDCENA1", "MAX_CENA", "NODOKLIS", "ANESTEZIJA",
        "KOFERDAMS", "COLOR", "FIRST_NOTIF", "SECOND_NOTIF", "ARTIKULS", "ISUSER_NEW", "IEVDAT_NEW", "ISUSER_EDIT",
        "IEVDAT_EDIT"};
    return columns;
}

PriceListResult fromDbError(const db::DbError& e) {
    PriceListResult r;
    r.ok = false;
    r.dbError = true;
    r.message = e.message();
    return r;
}

}  // namespace

PriceListStore::PriceListStore(db::Database& database) : m_db(database) {}

// ---- Groups ------------------------------------------------------------------------------------

QVector<PriceGroupRow> PriceListStore::groupRows(const db::ResultSet& rs) {
    QVector<PriceGroupRow> out;
    out.reserve(rs.rowCount());
    const int flag = rs.columnIndex(QStringLiteral("FLAG"));
    for (int r = 0; r < rs.rowCount(); ++r) {
        PriceGroupRow g;
        g.isn = toInt(rs.value(r, "ISN"));
        g.parent = toInt(rs.value(r, "ISPARENT"));
        g.name = rs.value(r, "GNOS").toString();
        g.depth = flag >= 0 ? toInt(rs.value(r, flag)) : 0;
        out.append(g);
    }
    return out;
}

QVector<PriceGroupRow> PriceListStore::allGroups() { return groupRows(m_db.select(depthQuery())); }

QVector<PriceGroupRow> PriceListStore::filteredGroups(const PriceListFilter& filter) {
    const PriceListFilter::Condition c = filter.condition();
    if (c.isEmpty()) return allGroups();
    const db::ResultSet keys = m_db.select(
        QStringLiteral("SELECT N_PRECE.ISPRGRUPA FROM N_PRECE WHERE ") + c.sql + QStringLiteral(" GROUP BY N_PRECE.ISPRGRUPA"),
        c.params);
    QStringList list;
    for (int r = 0; r < keys.rowCount(); ++r)
        if (const QVariant k = keys.value(r, 0); k.isValid() && !k.isNull()) list << QString::number(k.toInt());
    if (list.isEmpty()) return {};
    // The keys come from the database as integers; nothing typed is pasted here.
    return groupRows(m_db.select(
        QStringLiteral("SELECT N_PRGRUPA.GNOS, N_PRGRUPA.ISPARENT, N_PRGRUPA.ISN FROM N_PRGRUPA WHERE N_PRGRUPA.ISN!=1 "
                       "AND N_PRGRUPA.ISN IN(") +
        list.join(QLatin1Char(',')) +
        QStringLiteral(") GROUP BY N_PRGRUPA.GNOS, N_PRGRUPA.ISPARENT, N_PRGRUPA.ISN ORDER BY 2,1 ASCENDING")));
}

QVector<PriceGroupRow> PriceListStore::childGroups(int parent, const PriceListFilter& filter) {
    const PriceListFilter::Condition c = filter.condition();
    QString sql = QStringLiteral("SELECT GNOS, ISPARENT, ISN FROM N_PRGRUPA  WHERE  ISPARENT=:ISPARENT ");
    db::Params params = c.params;
    params.insert(QStringLiteral("ISPARENT"), parent);
    if (!c.isEmpty())
        sql += QStringLiteral(" AND N_PRGRUPA.ISN IN(SELECT N_PRECE.ISPRGRUPA FROM N_PRECE WHERE ") + c.sql +
               QStringLiteral(")");
    sql += QStringLiteral(" ORDER BY ISPARENT, GNOS ASCENDING");
    return groupRows(m_db.select(sql, params));
}

int PriceListStore::addGroup(const QString& name, int parent, int userIsn) {
    db::Transaction tx(m_db);
    const int key = tx.scalar(QStringLiteral("INSERT INTO N_PRGRUPA (GNOS, ISPARENT, ISUSER_NEW, IEVDAT_NEW) values "
                                             "(:GNOS, :ISPARENT, :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"),
                              {{"GNOS", name},
                               {"ISPARENT", parent},
                               {"ISUSER_NEW", userIsn},
                               {"IEVDAT_NEW", QDateTime::currentDateTime()}})
                        .toInt();
    app::WriteJournal(tx, userIsn, QStringLiteral("J"), QString(), GroupTable, key, QString(), QDateTime());
    tx.commit();
    return key;
}

QString PriceListStore::groupName(int isn) {
    return m_db.scalar(QStringLiteral("SELECT GNOS FROM N_PRGRUP WHERE ISN = :Isn"), {{"Isn", isn}}).toString();
}

QString PriceListStore::groupCode(int isn) {
    return m_db.scalar(QStringLiteral("SELECT GRUPKODS FROM N_PRGRUPA WHERE ISN = :Isn"), {{"Isn", isn}}).toString();
}

PriceListResult PriceListStore::saveGroup(int isn, const QString& name, const QString& code, int userIsn) {
    if (name.trimmed().isEmpty()) return PriceListResult::refused(tr("Nav ievadīts grupas nosaukums !!!"), PriceListResult::Field::Name);
    try {
        db::Transaction tx(m_db);
        tx.exec(QStringLiteral("UPDATE N_PRGRUPA SET GNOS=:GNOS, GRUPKODS=:GRUPKODS, ISUSER_EDIT=:ISUSER_EDIT, "
                               "IEVDAT_EDIT=:IEVDAT_EDIT WHERE ISN=:ISN"),
                {{"GNOS", name.trimmed()},
                 {"GRUPKODS", nullIfEmpty(code)},
                 {"ISUSER_EDIT", userIsn},
                 {"IEVDAT_EDIT", QDateTime::currentDateTime()},
                 {"ISN", isn}});
        app::WriteJournal(tx, userIsn, QStringLiteral("L"), QString(), GroupTable, isn, QString(), QDateTime());
        tx.commit();
    } catch (const db::DbError& e) {
        return fromDbError(e);
    }
    return PriceListResult::done(isn);
}

PriceListResult PriceListStore::renameGroup(int isn, const QString& name, int userIsn) {
    Q_UNUSED(userIsn);
    if (name.trimmed().isEmpty()) return PriceListResult::refused(tr("Nav ievadīts grupas nosaukums !!!"), PriceListResult::Field::Name);
    try {
        db::Transaction tx(m_db);
        if (tx.select(QStringLiteral("SELECT GNOS FROM N_PRGRUP WHERE ISN = :Isn"), {{"Isn", isn}}).isEmpty())
            return PriceListResult::refused(tr("Ieraksts nav atrasts !!!"));
        tx.exec(QStringLiteral("UPDATE N_PRGRUP SET GNOS=:GNOS WHERE ISN=:ISN"), {{"GNOS", name}, {"ISN", isn}});
        tx.touch(GroupTable, isn);
        tx.commit();
    } catch (const db::DbError& e) {
        return fromDbError(e);
    }
    return PriceListResult::done(isn);
}

int PriceListStore::parentOf(int isn, bool* found) {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT ISN, ISPARENT FROM N_PRGRUP WHERE ISN = :Isn"), {{"Isn", isn}});
    *found = !rs.isEmpty();
    return *found ? toInt(rs.value(0, "ISPARENT")) : 0;
}

bool PriceListStore::isDescendantOrSelf(int candidate, int ancestor) {
    // Walks up from candidate to the top. The visited set stops the walk on a damaged tree whose
    // parent links form a loop.
    QSet<int> visited;
    int current = candidate;
    while (current > 0 && !visited.contains(current)) {
        if (current == ancestor) return true;
        visited.insert(current);
        bool found = false;
        const int parent = parentOf(current, &found);
        if (!found || parent == current) break;
        current = parent;
    }
    return false;
}

PriceGroupMoveCheck PriceListStore::checkMove(int dragged, int target, bool mayAdd) {
    if (!mayAdd) return {false, tr("Jums nav tiesības pārvietot grupas !!!")};
    if (dragged == target) return {false, tr("Pašu zem sevis pārvietot nedrīkst !!!")};
    if (isDescendantOrSelf(target, dragged)) return {false, tr("Pārvietot zem sava apakšzara nedrīkst !!!")};
    const db::ResultSet rs =
        m_db.select(QStringLiteral("SELECT ISN, ISPARENT, GNOS FROM N_PRGRUP WHERE ISN = :Isn"), {{"Isn", dragged}});
    if (rs.isEmpty()) return {false, tr("Ieraksts nav atrasts !!!")};
    const QString name = rs.value(0, "GNOS").toString().trimmed();
    return {true, tr("Vai tiešām vēlaties pārvietot grupu %1 zem %2 ?").arg(name, groupName(target).trimmed())};
}

PriceListResult PriceListStore::moveGroup(int dragged, int target, int userIsn) {
    Q_UNUSED(userIsn);
    try {
        if (target != 0) {
            if (dragged == target) return PriceListResult::refused(tr("Pašu zem sevis pārvietot nedrīkst !!!"));
            if (isDescendantOrSelf(target, dragged))
                return PriceListResult::refused(tr("Pārvietot zem sava apakšzara nedrīkst !!!"));
        }
        db::Transaction tx(m_db);
        const int n = target == 0
                          ? tx.exec(QStringLiteral("UPDATE N_PRGRUP SET ISPARENT=0 WHERE ISN=:ISN"), {{"ISN", dragged}})
                          : tx.exec(QStringLiteral("UPDATE N_PRGRUP SET ISPARENT=:ISPARENT WHERE ISN=:ISN"),
                                    {{"ISPARENT", target}, {"ISN", dragged}});
        if (n == 0) return PriceListResult::refused(tr("Ieraksts nav atrasts !!!"));
        tx.touch(GroupTable, dragged);
        tx.commit();
    } catch (const db::DbError& e) {
        return fromDbError(e);
    }
    return PriceListResult::done(dragged);
}

bool PriceListStore::hasChildGroups(int isn) {
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM N_PRGRUPA WHERE ISPARENT=:ISN AND ISN!=:ISN"), {{"ISN", isn}})
               .toInt() > 0;
}

PriceListResult PriceListStore::deleteGroup(int isn, int userIsn) {
    if (hasChildGroups(isn)) return PriceListResult::refused(tr("Dzēst nedrīkst, dotajai grupai ir apakšgrupas !!!"));
    try {
        db::Transaction tx(m_db);
        tx.exec(QStringLiteral("DELETE FROM N_PRGRUPA WHERE ISN=:IsnA"), {{"IsnA", isn}});
        app::WriteJournal(tx, userIsn, QStringLiteral("D"), QString(), GroupTable, isn, QString(), QDateTime());
        tx.commit();
    } catch (const db::DbError& e) {
        if (e.isForeignKey()) return refusedDelete(GroupTable, isn, e, QString());
        return fromDbError(e);
    }
    return PriceListResult::done(isn);
}

// ---- Manipulations -----------------------------------------------------------------------------

QString PriceListStore::SafeOrder(const QString& order) {
    static const QRegularExpression part(
        QStringLiteral("^\\s*(?:N_PRECE\\.)?([A-Za-z_0-9]+)(\\s+(ASC|DESC|ASCENDING|DESCENDING))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList parts = order.split(QLatin1Char(','));
    for (const QString& p : parts) {
        const QRegularExpressionMatch m = part.match(p);
        if (!m.hasMatch() || !itemColumns().contains(m.captured(1).toUpper())) return QStringLiteral("GNOS");
    }
    return order.trimmed().isEmpty() ? QStringLiteral("GNOS") : order.trimmed();
}

db::ResultSet PriceListStore::items(int group, const PriceListFilter& filter, const QString& order) {
    const PriceListFilter::Condition c = filter.condition();
    QString sql = QStringLiteral("SELECT * FROM N_PRECE WHERE N_PRECE.ISPRGRUPA=:ISPRGRUPA ");
    db::Params params = c.params;
    params.insert(QStringLiteral("ISPRGRUPA"), group);
    if (!c.isEmpty()) sql += QStringLiteral(" AND ") + c.sql;
    sql += QStringLiteral(" ORDER BY ") + SafeOrder(order);
    return m_db.select(sql, params);
}

PriceItem PriceListStore::newItem(int group, int defaultVat) const {
    PriceItem item;
    item.group = group;
    item.vat = defaultVat;
    return item;
}

PriceItem PriceListStore::loadItem(int isn) {
    const db::ResultSet rs = m_db.select(QStringLiteral("SELECT * FROM N_PRECE WHERE ISN = :ISN"), {{"ISN", isn}});
    return rs.isEmpty() ? PriceItem() : itemFromRow(rs, 0);
}

PriceItem PriceListStore::itemFromRow(const db::ResultSet& rs, int row) {
    PriceItem item;
    auto v = [&](const char* name) { return rs.value(row, QString::fromLatin1(name)); };
    auto num = [&](const char* name) {
        const QVariant x = v(name);
        return x.isValid() && !x.isNull() ? x : QVariant();
    };
    item.isn = toInt(v("ISN"));
    item.group = toInt(v("ISPRGRUPA"));
    item.code = v("KODS").toString();
    item.misCode = v("MIS_KODS").toString();
    item.name = v("GNOS").toString();
    item.price = num("PARDCENA1");
    item.maxPrice = num("MAX_CENA");
    item.vat = toInt(v("NODOKLIS"));
    item.minutes = num("LAIKS");
    item.anaesthesia = toInt(v("ANESTEZIJA"));
    item.rubberDam = toInt(v("KOFERDAMS")) == 1;
    item.color = toInt(v("COLOR"));
    item.firstNotif = num("FIRST_NOTIF");
    item.secondNotif = num("SECOND_NOTIF");
    item.attached = v("PIEVPRECES").toString();
    item.article = v("ARTIKULS").toString();
    item.stamp = v("IEVDAT_EDIT");
    return item;
}

PriceItem PriceListStore::copyOf(int isn) {
    PriceItem item = loadItem(isn);
    item.isn = 0;
    return item;
}

PriceListResult PriceListStore::saveItem(PriceItem& item, int userIsn) {
    using Field = PriceListResult::Field;
    item.name = item.name.trimmed();
    if (item.name.isEmpty()) return PriceListResult::refused(tr("Obligāti jāievada preces nosaukums !!!"), Field::Name);
    if (item.group <= 0) return PriceListResult::refused(tr("Obligāti jāizvēlās preces grupa !!!"), Field::Group);
    try {
        // An empty code is stored as NULL, which never equals another code: several items may be
        // without a code as long as the database accepts them.
        if (!item.code.isEmpty() &&
            !m_db.select(QStringLiteral("SELECT GNOS, ISN FROM N_PRECE WHERE N_PRECE.KODS =:KODS AND N_PRECE.ISN != :ISN"),
                         {{"KODS", item.code}, {"ISN", item.isn}})
                 .isEmpty())
            return PriceListResult::refused(tr("Manipulācijas kods nedrīkst atkārtoties !!!"), Field::Code);

        db::Params p{{"ISPRGRUPA", item.group},
                     {"KODS", nullIfEmpty(item.code)},
                     {"MIS_KODS", nullIfEmpty(item.misCode)},
                     {"GNOS", item.name},
                     {"LAIKS", item.minutes},
                     {"PARDCENA1", item.price},
                     {"MAX_CENA", item.maxPrice},
                     {"NODOKLIS", item.vat},
                     {"ANESTEZIJA", item.anaesthesia},
                     {"KOFERDAMS", item.rubberDam ? 1 : 0},
                     {"COLOR", item.color},
                     {"FIRST_NOTIF", item.firstNotif},
                     {"SECOND_NOTIF", item.secondNotif},
                     {"PIEVPRECES", nullIfEmpty(item.attached)},
                     {"ARTIKULS", nullIfEmpty(item.article)},
                     {"U", userIsn},
                     {"D", QDateTime::currentDateTime()}};
        db::Transaction tx(m_db);
        const bool inserting = item.isn == 0;
        int key = item.isn;
        if (inserting) {
            key = tx.scalar(QStringLiteral(
                                "INSERT INTO N_PRECE (ISPRGRUPA, KODS, MIS_KODS, GNOS, LAIKS, PARDCENA1, MAX_CENA, NODOKLIS, "
                                "ANESTEZIJA, KOFERDAMS, COLOR, FIRST_NOTIF, SECOND_NOTIF, PIEVPRECES, ARTIKULS, ISUSER_NEW, "
                                "IEVDAT_NEW) VALUES (:ISPRGRUPA, :KODS, :MIS_KODS, :GNOS, :LAIKS, :PARDCENA1, :MAX_CENA, "
                                ":NODOKLIS, :ANESTEZIJA, :KOFERDAMS, :COLOR, :FIRST_NOTIF, :SECOND_NOTIF, :PIEVPRECES, "
                                ":ARTIKULS, :U, :D) RETURNING ISN"),
                            p)
                      .toInt();
        } else {
            p.insert(QStringLiteral("ISN"), item.isn);
            const QString unchanged = db::UnchangedSince(item.stamp, p);
            const int n = tx.exec(
                QStringLiteral("UPDATE N_PRECE SET ISPRGRUPA=:ISPRGRUPA, KODS=:KODS, MIS_KODS=:MIS_KODS, GNOS=:GNOS, "
                               "LAIKS=:LAIKS, PARDCENA1=:PARDCENA1, MAX_CENA=:MAX_CENA, NODOKLIS=:NODOKLIS, "
                               "ANESTEZIJA=:ANESTEZIJA, KOFERDAMS=:KOFERDAMS, COLOR=:COLOR, FIRST_NOTIF=:FIRST_NOTIF, "
                               "SECOND_NOTIF=:SECOND_NOTIF, PIEVPRECES=:PIEVPRECES, ARTIKULS=:ARTIKULS, ISUSER_EDIT=:U, "
                               "IEVDAT_EDIT=:D WHERE ISN=:ISN") + unchanged,
                p);
            if (n == 0) {
                PriceListResult stale = PriceListResult::refused(db::StaleRowError::Message());
                stale.stale = true;
                return stale;
            }
        }
        app::WriteJournal(tx, userIsn, inserting ? QStringLiteral("J") : QStringLiteral("L"), item.code, ItemTable, key,
                          QString(), QDateTime());
        tx.commit();
        item.isn = key;
        // A new row has no change stamp yet; a changed one has the stamp just written.
        item.stamp = inserting ? QVariant() : p.value(QStringLiteral("D"));
    } catch (const db::DbError& e) {
        return fromDbError(e);
    }
    return PriceListResult::done(item.isn);
}

PriceListResult PriceListStore::deleteItems(const QList<int>& keys, int userIsn) {
    try {
        db::Transaction tx(m_db);
        for (int key : keys) {
            app::WriteJournal(tx, userIsn, QStringLiteral("D"), QString(), ItemTable, key, QString(), QDateTime());
            tx.exec(QStringLiteral("DELETE FROM N_PRECE WHERE ISN=:ISN"), {{"ISN", key}});
        }
        tx.commit();
    } catch (const db::DbError& e) {
        if (!e.isForeignKey() || keys.isEmpty()) return fromDbError(e);
        // The engine names the refused row; with several selected the user learns which one.
        int key = app::RefusedKey(e.message());
        if (!keys.contains(key)) key = keys.first();
        const QString name = keys.size() > 1 ? m_db.scalar(QStringLiteral("SELECT GNOS FROM N_PRECE WHERE ISN=:ISN"), {{"ISN", key}}).toString()
                                             : QString();
        return refusedDelete(ItemTable, key, e, name);
    }
    return {};
}

PriceListResult PriceListStore::refusedDelete(const QString& table, int key, const db::DbError& e, const QString& name) {
    const app::DeleteRefusal refusal = app::ExplainRefusedDelete(m_db, table, key, e, name);
    PriceListResult r = PriceListResult::refused(refusal.message);
    r.details = refusal.details;
    return r;
}

int PriceListStore::groupOfItem(int isn) {
    return toInt(m_db.select(QStringLiteral("SELECT ISN, ISPRGRUPA FROM N_PRECE WHERE ISN=:ISN"), {{"ISN", isn}})
                     .first(QStringLiteral("ISPRGRUPA")));
}

// ---- Searching ---------------------------------------------------------------------------------

QList<int> PriceListStore::search(const QString& text) {
    const QString t = text.trimmed().toUpper();
    if (t.isEmpty()) return {};
    db::ResultSet rs;
    if (t.startsWith(QLatin1Char('*')) && t.size() > 1) {
        // "*" before an article code: the articles ending in the rest of the text.
        rs = m_db.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE UPPER(ARTIKULS) LIKE :A ESCAPE '\\' ORDER BY ISN"),
                         {{"A", QString(QStringLiteral("%") + EscapeLike(t.mid(1)))}});
    } else {
        rs = m_db.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE  UPPER(KODS)= :T OR UPPER(MIS_KODS)= :T OR GNOS= :T "
                                        "OR UPPER(GNOS) STARTING WITH :T OR UPPER(GNOS) CONTAINING :T ORDER BY ISN"),
                         {{"T", t}});
    }
    QList<int> keys;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (const int k = toInt(rs.value(r, 0)); k != 1) keys << k;  // the default row is never listed
    return keys;
}

int PriceListStore::quickSearch(int group, const QString& text, const db::ResultSet& rows) {
    if (text.isEmpty()) return 0;
    const int isn = rows.columnIndex(QStringLiteral("ISN"));
    for (const char* field : {"KODS", "GNOS"}) {
        const int c = rows.columnIndex(QString::fromLatin1(field));
        if (c < 0 || isn < 0) continue;
        for (int r = 0; r < rows.rowCount(); ++r)
            if (rows.value(r, c).toString().startsWith(text, Qt::CaseInsensitive)) return toInt(rows.value(r, isn));
    }
    db::ResultSet rs;
    bool number = false;
    const double price = ParsePrice(text, &number);
    if (text.startsWith(QLatin1Char('*'))) {
        rs = m_db.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE ISPRGRUPA=:ISPRGRUPA AND ARTIKULS LIKE :ARTIKULS ESCAPE '\\'"),
                         {{"ISPRGRUPA", group}, {"ARTIKULS", QString(QStringLiteral("%") + EscapeLike(text.mid(1)))}});
    } else if (number) {
        rs = m_db.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE ISPRGRUPA=:ISPRGRUPA AND Round(PARDCENA1,2)=:PARDCENA1"),
                         {{"ISPRGRUPA", group}, {"PARDCENA1", std::round(price * 100) / 100}});
    } else {
        rs = m_db.select(QStringLiteral("SELECT ISN FROM N_PRECE WHERE ISPRGRUPA=:ISPRGRUPA AND UPPER(KODS) STARTING WITH :ARTIKULS"),
                         {{"ISPRGRUPA", group}, {"ARTIKULS", text.toUpper()}});
    }
    return rs.isEmpty() ? 0 : toInt(rs.value(0, 0));
}

}  // namespace pricelist
