#include "demo/DemoData.h"

#include "app/PasswordDigest.h"
#include "app/UserNameCodec.h"
#include "db/Database.h"
#include "db/Statement.h"
#include "demo/DemoNames.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace demo {

Sizes sizesFor(Scale scale) {
    Sizes s;
    switch (scale) {
        case Scale::Demo:
            s = {1, 300, 2000, 1500, 4, 1250, 1250};
            break;
        case Scale::Clinic:
            s = {10, 60000, 400000, 300000, 4, 250000, 250000};
            break;
        case Scale::Large:
            s = {10, 300000, 2000000, 1500000, 4, 1250000, 1250000};
            break;
    }
    return s;
}

bool parseScale(const QString& text, Scale* scale) {
    if (text == QLatin1String("demo")) *scale = Scale::Demo;
    else if (text == QLatin1String("clinic")) *scale = Scale::Clinic;
    else if (text == QLatin1String("large")) *scale = Scale::Large;
    else return false;
    return true;
}

namespace {

constexpr int BatchRows = 20000;
std::atomic<bool> g_stopRequested{false};
const QString Now = QStringLiteral("now");

double round2(double x) { return std::floor(x * 100.0 + 0.5) / 100.0; }

QString hhmm(int minutes) {
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// Tooth numbers of the periodontal grid, in its column order.
const QList<int>& teeth() {
    static const QList<int> t = [] {
        QList<int> r;
        for (int k = 0; k < 32; ++k) {
            const int q = k / 8, i = k % 8;
            r.append((q == 0 || q == 2) ? (q + 1) * 10 + i + 1 : (q + 1) * 10 + 8 - i);
        }
        return r;
    }();
    return t;
}

// Bulk loading: the foreign keys and secondary indexes of the big tables are taken away for the
// load and put back at its end, when the database checks every reference and builds each index in
// one pass. Row by row they cost the engine several times the insert itself. The invoice totals
// trigger rests too; restore() has the database work out every invoice's totals with the same
// procedure the trigger calls.
//
// Whatever ends the load (success, an error, an interruption), every object taken away is put
// back, each in a transaction of its own, so that one that cannot be restored (the loaded rows
// break it) neither undoes nor stops the others.
class BulkLoad {
public:
    explicit BulkLoad(db::Database& database) : m_db(database) {}
    ~BulkLoad() { restore(); }

    void begin(const QStringList& tables) {
        const QString list = QLatin1Char('\'') + tables.join(QStringLiteral("','")) + QLatin1Char('\'');
        const db::ResultSet fks = m_db.select(QStringLiteral(
            "SELECT TRIM(C.RDB$CONSTRAINT_NAME), TRIM(C.RDB$RELATION_NAME), TRIM(S.RDB$FIELD_NAME), "
            "TRIM(P.RDB$RELATION_NAME) FROM RDB$RELATION_CONSTRAINTS C "
            "JOIN RDB$REF_CONSTRAINTS R ON R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
            "JOIN RDB$RELATION_CONSTRAINTS P ON P.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
            "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
            "WHERE C.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' AND C.RDB$RELATION_NAME IN (%1) ORDER BY 1").arg(list));
        const db::ResultSet indexes = m_db.select(QStringLiteral(
            "SELECT TRIM(I.RDB$INDEX_NAME) FROM RDB$INDICES I WHERE I.RDB$RELATION_NAME IN (%1) "
            "AND COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 AND COALESCE(I.RDB$INDEX_INACTIVE, 0) = 0 AND NOT EXISTS "
            "(SELECT 1 FROM RDB$RELATION_CONSTRAINTS C WHERE C.RDB$INDEX_NAME = I.RDB$INDEX_NAME) ORDER BY 1").arg(list));
        for (int r = 0; r < fks.rowCount(); ++r) {
            const QString name = fks.value(r, 0).toString();
            if (name == QLatin1String("FK_O_PAVOUT_DT_ISPAVOUTHD")) continue;
            // Only what was taken away is put back.
            m_db.executeImmediate(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(fks.value(r, 1).toString(), name));
            m_restore.append(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 FOREIGN KEY (%3) REFERENCES %4 (ISN)")
                                 .arg(fks.value(r, 1).toString(), name, fks.value(r, 2).toString(), fks.value(r, 3).toString()));
        }
        for (int r = 0; r < indexes.rowCount(); ++r) {
            const QString name = indexes.value(r, 0).toString();
            m_db.executeImmediate(QStringLiteral("ALTER INDEX %1 INACTIVE").arg(name));
            m_restore.append(QStringLiteral("ALTER INDEX %1 ACTIVE").arg(name));
        }
        if (tables.contains(QLatin1String("O_PAVOUT_DT"))) {
            m_db.executeImmediate(QStringLiteral("ALTER TRIGGER O_PAVOUT_DT_TOTALS INACTIVE"));
            m_restore.append(QStringLiteral(
                "EXECUTE BLOCK AS DECLARE ISN INTEGER; BEGIN FOR SELECT ISN FROM O_PAVOUT_HD INTO :ISN DO "
                "EXECUTE PROCEDURE O_PAVOUT_HD_RECALC :ISN; END"));
            m_restore.append(QStringLiteral("ALTER TRIGGER O_PAVOUT_DT_TOTALS ACTIVE"));
        }
        m_db.commitRetaining();
    }

    // Puts every key, index and trigger back; returns one line for each that could not be.
    QStringList restore() {
        QStringList failures;
        while (!m_restore.isEmpty()) {
            const QString statement = m_restore.takeFirst();
            try {
                m_db.executeImmediate(statement);
            } catch (const db::DbError& e) {
                failures.append(statement.left(160) + QStringLiteral(": ") + e.message().simplified());
            } catch (const std::exception& e) {
                failures.append(statement.left(160) + QStringLiteral(": ") + QString::fromUtf8(e.what()));
            }
        }
        return failures;
    }

private:
    db::Database& m_db;
    QStringList m_restore;
};

}  // namespace

struct DemoDataGenerator::Impl {
    db::Database& database;
    Sizes sizes;
    QRandomGenerator rng;
    QDate today;
    Progress progress;
    std::unique_ptr<db::Transaction> tx;

    struct Item {
        int key;
        double price;  // with VAT
        int vat;
        int minutes;
    };
    struct Patient {
        int key;
        int specialist;
    };
    struct Request {
        QDate plan, taken;
        int minute, duration;
        int patient, specialist, room, type, taker;
        bool cancelled, waiting;
        int key = 0;
        QString number;
    };
    struct Line {
        int key;
        int item;
        double price;  // without VAT
        double quantity;
    };
    struct Consultation {
        QDate date;
        int patient;
        int specialist;
        int room;
        int type;
        int request;  // index into requests, -1 for a plain visit
        int minute, duration;
        int key = 0;
        QString number;
        QList<Line> lines;
    };
    struct Invoice {
        int consultation;
        double discount;  // ATLAIDE of every line
        double total = 0;
        double paid = 0;
        QString paymentNumber;
        QDate paymentDate;
        int paymentMethod = 1;
        int key = 0;
    };
    struct Allocation {
        int invoice;
        double amount;
    };
    struct Payment {
        int patient;
        QDate date;
        QString number;
        int method;
        double amount;     // received
        double allocated;  // SUMMA
        QList<Allocation> allocations;
    };

    QList<int> specialists, rooms, types, banks, districts, groups, userGroups, users;
    QList<Item> items;
    QVector<Patient> patients;
    QVector<QDate> workdays;
    std::vector<Request> requests;
    std::vector<Consultation> consultations;
    std::vector<Invoice> invoices;
    std::vector<Payment> payments;

    Impl(db::Database& d, Scale scale, quint32 seed, QDate t) : database(d), sizes(sizesFor(scale)), rng(seed), today(t) {}

    int between(int lo, int hi) { return lo >= hi ? lo : int(rng.bounded(lo, hi + 1)); }
    bool chance(double p) { return rng.generateDouble() < p; }
    template <typename T>
    const T& pick(const QList<T>& list) { return list.at(int(rng.bounded(int(list.size())))); }
    QDateTime stamp(const QDate& day) { return QDateTime(day, QTime(between(8, 19), between(0, 59), between(0, 59))); }

    // Rows of one table, committed every BatchRows and reported with their rate.
    class Batch {
    public:
        Batch(Impl& impl, QString table) : m_impl(impl), m_table(std::move(table)) { m_timer.start(); }
        void row() {
            if (++m_rows % BatchRows == 0) {
                m_impl.tx->commitAndBegin();
                report();
                stopIfAsked();
            }
        }
        void finish() {
            m_impl.tx->commitAndBegin();
            report();
            // Small tables never reach a batch boundary: a stop is also noticed at each table's end.
            stopIfAsked();
        }

    private:
        static void stopIfAsked() {
            if (g_stopRequested.load()) throw db::DbError(QStringLiteral("Demonstrācijas datu veidošana pārtraukta."));
        }
        void report() {
            if (!m_impl.progress) return;
            const double seconds = qMax<qint64>(1, m_timer.elapsed()) / 1000.0;
            m_impl.progress(m_table, m_rows, m_rows / seconds);
        }
        Impl& m_impl;
        QString m_table;
        qint64 m_rows = 0;
        QElapsedTimer m_timer;
    };

    int insert(db::Statement& st) {
        st.execute();
        st.next();
        return st.value(0).toInt();
    }

    void journal(db::Statement& st, const QString& table, int key, const QString& number, const QDate& date) {
        st.bind("TAUSTINS", QStringLiteral("J"));
        st.bind("ISUSER", users.isEmpty() ? QVariant() : QVariant(users.first()));
        st.bind("IEVDAT", date);
        st.bind("IEVLAIKS", QStringLiteral("%1:%2:%3").arg(between(8, 19), 2, 10, QLatin1Char('0'))
                                .arg(between(0, 59), 2, 10, QLatin1Char('0'))
                                .arg(between(0, 59), 2, 10, QLatin1Char('0')));
        st.bind("DATUMS", QDateTime(date, QTime(0, 0)));
        st.bind("NUMURS", number.trimmed().left(10));
        st.bind("BAZE", table);
        st.bind("ISN_BAZE", key);
        st.bind("PIEZIMES", QString());
        st.execute();
    }

    QString journalSql() const {
        return QStringLiteral(
            "INSERT INTO O_OPERACIJAS (TAUSTINS, ISUSER, IEVDAT, IEVLAIKS, DATUMS, NUMURS, BAZE, ISN_BAZE, PIEZIMES) "
            "VALUES (:TAUSTINS, :ISUSER, :IEVDAT, :IEVLAIKS, :DATUMS, :NUMURS, :BAZE, :ISN_BAZE, :PIEZIMES)");
    }

    static void checkEmpty(db::Database& database) {
        const int n = database.scalar(QStringLiteral(
                                          "SELECT (SELECT COUNT(*) FROM N_KLIENTS WHERE ISN > 1) + "
                                          "(SELECT COUNT(*) FROM O_KONSULT_PIET_HD) + (SELECT COUNT(*) FROM O_PAVOUT_HD) FROM N_ISI"))
                            .toInt();
        if (n > 0)
            throw db::DbError(QStringLiteral("Datu bāzē jau ir pacienti vai dokumenti; demonstrācijas datus "
                                             "pievieno tikai tukšai datu bāzei."));
    }

    void buildCalendar() {
        const QDate start = sizes.years == 1 ? today.addYears(-1) : QDate(today.year() - sizes.years + 1, 1, 1);
        for (QDate d = start; d <= today.addDays(42); d = d.addDays(1)) {
            if (d.dayOfWeek() > 5) continue;
            const int md = d.month() * 100 + d.day();
            if (md == 101 || md == 501 || md == 504 || md == 623 || md == 624 || md == 1118 || md == 1224 ||
                md == 1225 || md == 1226 || md == 1231)
                continue;
            workdays.append(d);
        }
    }

    void clinic() {
        tx->exec(QStringLiteral(
            "UPDATE N_ISI SET ORGNOS = 'SIA \"Zobārstniecības klīnika Demo\"', ORGADR = 'Brīvības iela 100, Rīga, LV-1001', "
            "REG_NR = '40003000000', REG_NR_ZOBARST = 'ZP-0001', PVN_KODS = 'LV40003000000', BANKNOS = 'Demo banka', "
            "BANKKODS = 'DEMOLV22', BANKKONTS = 'LV00DEMO0000000000000', DIREKT_FIO = 'Ilze Bērziņa', "
            "DIREKT_TEL = '+371 67000000', DIREKTAMATS = 'Valdes priekšsēdētāja', USER_MAIL = 'klinika@example.com', "
            "HOST_OUT = 'localhost'"));
    }

    void referenceLists() {
        db::Transaction& t = *tx;
        const QDateTime created(today.addYears(-sizes.years), QTime(9, 0));
        db::Statement agent(t, QStringLiteral(
            "INSERT INTO N_AGENTS (UZVARDS, VARDS, PERS_KODS, SPECIALITATE, COLOR, BLOKETS, NESTRADA_DATUMS, "
            "NESTRADA_DIENAS, ISUSER_NEW, IEVDAT_NEW) VALUES (:U, :V, :P, :S, :C, 0, :ND, :NW, NULL, :T) RETURNING ISN"));
        const QStringList specialities{"Zobārsts", "Zobārsts", "Zobārsts", "Mutes ķirurgs", "Ortodonts",
                                       "Zobu higiēniste", "Zobu protēzists", "Periodontologs", "Bērnu zobārsts",
                                       "Asistente"};
        const QList<int> colours{0x00A0E0FF, 0x00C0FFC0, 0x00FFD0A0, 0x00D0D0FF, 0x00FFC0FF,
                                 0x00C0FFFF, 0x00A0C0E0, 0x00E0E0A0, 0x00F0B0B0, 0x00B0F0D0};
        for (int i = 0; i < 10; ++i) {
            const bool female = i % 3 != 1;
            const auto& sn = pick(names::surnames());
            agent.bind("U", female ? sn.female : sn.male);
            agent.bind("V", pick(female ? names::femaleFirstNames() : names::maleFirstNames()));
            agent.bind("P", QVariant());
            agent.bind("S", specialities[i]);
            agent.bind("C", colours[i]);
            // Non-receiving times in the stored line format: "day|time|" and a line break.
            QString byDate, byWeekday;
            if (i % 3 == 0) byDate = today.addDays(7 + i).toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("|VISI|\r\n");
            if (i % 2 == 0) byWeekday = QStringLiteral("%1|VISI|\r\n").arg(1 + i % 5);
            if (i % 4 == 1) byWeekday += QStringLiteral("VISI|12:00-13:00|\r\n");
            agent.bind("ND", byDate.isEmpty() ? QVariant() : QVariant(byDate));
            agent.bind("NW", byWeekday.isEmpty() ? QVariant() : QVariant(byWeekday));
            agent.bind("T", created);
            specialists.append(insert(agent));
        }
        auto simple = [&](const QString& table, const QStringList& values, QList<int>* keys) {
            db::Statement st(t, QStringLiteral("INSERT INTO %1 (GNOS, ISUSER_NEW, IEVDAT_NEW) VALUES (:G, NULL, :T) RETURNING ISN").arg(table));
            for (const QString& v : values) {
                st.bind("G", v);
                st.bind("T", created);
                keys->append(insert(st));
            }
        };
        db::Statement room(t, QStringLiteral("INSERT INTO N_KABINETI (KODS, GNOS, APRAKSTS) VALUES (:K, :G, :A) RETURNING ISN"));
        for (int i = 1; i <= 6; ++i) {
            room.bind("K", QString::number(100 + i));
            room.bind("G", i == 6 ? QStringLiteral("Rentgena kabinets") : QStringLiteral("%1. kabinets").arg(i));
            room.bind("A", i == 6 ? QStringLiteral("Panorāmas rentgens un datortomogrāfs") : QString());
            rooms.append(insert(room));
        }
        db::Statement type(t, QStringLiteral(
            "INSERT INTO N_VEIDI (GNOS, TIPS, NEED_SEND_MAIL_KLIENTAM, NEED_SEND_MAIL_IZPILDITAJAM, "
            "NEED_SEND_MAIL_PIETEICEJAM) VALUES (:G, 0, :A, 'F', 'F') RETURNING ISN"));
        for (const QString& g : {"Pirmreizēja vizīte", "Atkārtota vizīte", "Sāpes", "Plombēšana", "Kanālu ārstēšana",
                                 "Ekstrakcija", "Profesionālā higiēna", "Protezēšana", "Implantācija",
                                 "Ortodontija", "Bērnu vizīte", "Konsultācija"}) {
            type.bind("G", g);
            type.bind("A", types.size() % 2 ? QStringLiteral("T") : QStringLiteral("F"));
            types.append(insert(type));
        }
        db::Statement bank(t, QStringLiteral("INSERT INTO N_BANKA (GNOS, KODS) VALUES (:G, :K) RETURNING ISN"));
        for (const auto& [g, k] : QList<QPair<QString, QString>>{{"Swedbank", "HABALV22"}, {"SEB banka", "UNLALV2X"},
                                                                  {"Citadele", "PARXLV22"}, {"Luminor", "RIKOLV2X"},
                                                                  {"Rietumu banka", "RTMBLV2X"}}) {
            bank.bind("G", g);
            bank.bind("K", k);
            banks.append(insert(bank));
        }
        simple(QStringLiteral("N_RAJONS"), {"Rīga", "Jūrmala", "Ķekavas novads", "Mārupes novads", "Ogres novads",
                                            "Siguldas novads", "Jelgavas novads", "Tukuma novads"}, &districts);
        simple(QStringLiteral("N_KLGRUPA"), {"Pieaugušie", "Bērni", "Pensionāri", "Uzņēmuma darbinieki", "VIP"}, &groups);
        simple(QStringLiteral("N_USERGROUP"), {"Administratori", "Reģistratūra", "Ārsti", "Grāmatvedība"}, &userGroups);

        // Users: the log-on name is stored encoded, the password as a salted digest (the password
        // of each demo user is its name in lower case).
        db::Statement user(t, QStringLiteral(
            "INSERT INTO N_USERS (GNOS, PASWORD, IESPEJAS, ISUSERGROUP, ISAGENTS) VALUES (:G, :P, :R, :UG, :A) RETURNING ISN"));
        const QList<std::tuple<QString, QString, int, int>> demoUsers{
            {"ADMIN", QString(), 0, 0},
            {"REGISTRATURA", "00_TTTF01_TTTF10_TTTF11_TFFF", 1, 9},
            {"ARSTS", "00_TTTF02_TTTT03_TTTF04_TTTF10_TTTF11_TTTT", 2, 0},
            {"GRAMATVEDE", "00_TFFF05_TTTT06_TTTT07_TTTF", 3, 0}};
        for (const auto& [name, rights, group, agentIndex] : demoUsers) {
            user.bind("G", app::EncodeUserName(name));
            user.bind("P", name == QLatin1String("ADMIN") ? QVariant() : QVariant(app::MakePasswordDigest(name.toLower())));
            user.bind("R", rights);
            user.bind("UG", userGroups.value(group, 1));
            user.bind("A", agentIndex > 0 ? QVariant(specialists.value(agentIndex)) : QVariant());
            users.append(insert(user));
        }
        tx->commitRetaining();
    }

    void priceList() {
        db::Transaction& t = *tx;
        QList<int> groupKeys;
        db::Statement group(t, QStringLiteral(
            "INSERT INTO N_PRGRUPA (GNOS, GRUPKODS, ISPARENT) VALUES (:G, :K, :P) RETURNING ISN"));
        for (const auto& g : names::priceGroups()) {
            group.bind("G", g.name);
            group.bind("K", g.code);
            group.bind("P", g.parent < 0 ? 0 : groupKeys.at(g.parent));
            groupKeys.append(insert(group));
        }
        db::Statement item(t, QStringLiteral(
            "INSERT INTO N_PRECE (ISPRGRUPA, KODS, MIS_KODS, GNOS, LAIKS, PARDCENA1, MAX_CENA, NODOKLIS, ANESTEZIJA, "
            "KOFERDAMS, COLOR, FIRST_NOTIF, SECOND_NOTIF, PIEVPRECES, ARTIKULS) VALUES (:G, :K, :M, :N, :L, :C, :MC, :V, "
            ":A, :KF, :COL, :F1, :F2, :PP, :ART) RETURNING ISN"));
        const QList<names::PriceItem> list = names::priceItems();
        int anaesthesia = 0;
        for (int i = 0; i < list.size(); ++i) {
            const auto& p = list[i];
            const double price = std::round(p.price * 100) / 100;
            item.bind("G", groupKeys.at(p.group));
            item.bind("K", QStringLiteral("%1%2").arg(names::priceGroups().at(p.group).code).arg(i + 1, 3, 10, QLatin1Char('0')));
            item.bind("M", i % 5 == 0 ? QVariant(QStringLiteral("M%1").arg(1000 + i)) : QVariant());
            item.bind("N", p.name);
            item.bind("L", p.minutes);
            item.bind("C", price);
            item.bind("MC", std::round(price * 1.3));
            item.bind("V", p.vat);
            item.bind("A", p.name.contains(QLatin1String("ekstrakcija")) ? 1 : 0);
            item.bind("KF", p.name.contains(QLatin1String("koferdam")) ? 1 : 0);
            item.bind("COL", i % 17 == 0 ? QVariant(0x00C0E0FF) : QVariant());
            item.bind("F1", p.reminderDays > 0 ? QVariant(p.reminderDays) : QVariant());
            item.bind("F2", p.reminderDays > 0 ? QVariant(p.reminderDays * 2) : QVariant());
            // Extractions bring the infiltration anaesthesia along: "key_price+quantity|".
            const bool attach = anaesthesia > 0 && p.name.contains(QLatin1String("ekstrakcija"));
            item.bind("PP", attach ? QVariant(QStringLiteral("%1_12.00+1|").arg(anaesthesia)) : QVariant());
            item.bind("ART", QStringLiteral("A-%1").arg(5000 + i));
            const int key = insert(item);
            if (p.name == QStringLiteral("Infiltrācijas anestēzija")) anaesthesia = key;
            items.append({key, price, p.vat, p.minutes});
        }
        // The anaesthesia comes after the extractions in the list: attach it now.
        if (anaesthesia > 0)
            t.exec(QStringLiteral("UPDATE N_PRECE SET PIEVPRECES = :PP WHERE GNOS CONTAINING 'ekstrakcija' AND ISN > 1"),
                   {{"PP", QStringLiteral("%1_12.00+1|").arg(anaesthesia)}});
        tx->commitRetaining();
    }

    QString personalCode(const QDate& birth) {
        const int century = birth.year() < 1900 ? 0 : birth.year() < 2000 ? 1 : 2;
        return QStringLiteral("%1%2%3-%4%5")
            .arg(birth.day(), 2, 10, QLatin1Char('0'))
            .arg(birth.month(), 2, 10, QLatin1Char('0'))
            .arg(birth.year() % 100, 2, 10, QLatin1Char('0'))
            .arg(century)
            .arg(between(0, 9999), 4, 10, QLatin1Char('0'));
    }

    void patientRegister() {
        db::Statement st(*tx, QStringLiteral(
            "INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS, DZIM_DAT, DZIMUMS, VARDA_DIENA, ISKLGRUPA, ISRAJONS, "
            "ISAGENTS, ISBANKA, BANKAS_KONTS, PILSETA, ADRESE, ZIP_NR, TELEFONS, MOB_TEL, E_MAIL, NODARBOSANAS, "
            "SAZINAS_VAL, SEND_SMS, SUBSCRIBE_FLAG, KOMENTARS, ISUSER_NEW, IEVDAT_NEW) VALUES (:UZVARDS, :VARDS, "
            ":PERS_KODS, :DZIM_DAT, :DZIMUMS, :VARDA_DIENA, :ISKLGRUPA, :ISRAJONS, :ISAGENTS, :ISBANKA, :BANKAS_KONTS, "
            ":PILSETA, :ADRESE, :ZIP_NR, :TELEFONS, :MOB_TEL, :E_MAIL, :NODARBOSANAS, :SAZINAS_VAL, :SEND_SMS, "
            ":SUBSCRIBE_FLAG, :KOMENTARS, :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"));
        db::Statement log(*tx, journalSql());
        Batch batch(*this, QStringLiteral("N_KLIENTS"));
        patients.reserve(sizes.patients);
        for (int i = 0; i < sizes.patients; ++i) {
            const bool female = chance(0.55);
            const auto& sn = pick(names::surnames());
            const QString surname = female ? sn.female : sn.male;
            const QString first = pick(female ? names::femaleFirstNames() : names::maleFirstNames());
            const QDate birth = today.addDays(-between(3 * 365, 90 * 365));
            const int doctor = pick(specialists);
            const QDate registered = qMin(today, workdays.at(int(rng.bounded(int(workdays.size())))));
            const QString email = names::asciiFold(first) + QLatin1Char('.') + names::asciiFold(surname) +
                                  QString::number(i) + QStringLiteral("@example.com");
            st.bind("UZVARDS", surname);
            st.bind("VARDS", first);
            st.bind("PERS_KODS", chance(0.97) ? QVariant(personalCode(birth)) : QVariant());
            st.bind("DZIM_DAT", QDateTime(birth, QTime(0, 0)));
            st.bind("DZIMUMS", female ? 1 : 0);
            const QString day = names::nameDay(first);
            st.bind("VARDA_DIENA", day.isEmpty() ? QVariant() : QVariant(day));
            st.bind("ISKLGRUPA", birth.daysTo(today) < 18 * 365 ? groups.at(1) : pick(groups));
            st.bind("ISRAJONS", pick(districts));
            st.bind("ISAGENTS", doctor);
            st.bind("ISBANKA", chance(0.3) ? QVariant(pick(banks)) : QVariant(1));
            st.bind("BANKAS_KONTS", QVariant());
            st.bind("PILSETA", pick(names::towns()));
            st.bind("ADRESE", QStringLiteral("%1 %2-%3").arg(pick(names::streets())).arg(between(1, 120)).arg(between(1, 60)));
            st.bind("ZIP_NR", QStringLiteral("LV-%1").arg(between(1001, 5999)));
            st.bind("TELEFONS", chance(0.2) ? QVariant(QStringLiteral("67%1").arg(between(100000, 999999))) : QVariant());
            st.bind("MOB_TEL", chance(0.92) ? QVariant(QStringLiteral("2%1").arg(between(1000000, 9999999))) : QVariant());
            st.bind("E_MAIL", chance(0.6) ? QVariant(email) : QVariant());
            st.bind("NODARBOSANAS", pick(names::occupations()));
            st.bind("SAZINAS_VAL", chance(0.8) ? 0 : chance(0.7) ? 1 : 2);
            st.bind("SEND_SMS", chance(0.85) ? 1 : 0);
            st.bind("SUBSCRIBE_FLAG", chance(0.4) ? 1 : 0);
            st.bind("KOMENTARS", chance(0.05) ? QVariant(QStringLiteral("Alerģija pret penicilīnu.")) : QVariant());
            st.bind("ISUSER_NEW", users.value(1));
            st.bind("IEVDAT_NEW", stamp(registered));
            const int key = insert(st);
            patients.append({key, doctor});
            journal(log, QStringLiteral("N_KLIENTS"), key, QString(), registered);
            batch.row();
        }
        batch.finish();
    }

    void planRequests() {
        const int n = sizes.appointments;
        requests.reserve(n);
        for (int i = 0; i < n; ++i) {
            Request r;
            r.plan = workdays.at(int(rng.bounded(int(workdays.size()))));
            r.taken = r.plan.addDays(-between(0, 30));
            if (r.taken > today) r.taken = today;
            r.minute = 8 * 60 + 30 * between(0, 23);
            r.duration = chance(0.5) ? 60 : chance(0.6) ? 30 : 90;
            r.patient = int(rng.bounded(int(patients.size())));
            r.specialist = chance(0.7) ? patients[r.patient].specialist : pick(specialists);
            r.room = rooms.at(specialists.indexOf(r.specialist) % 5);
            r.type = pick(types);
            r.taker = specialists.at(9);
            r.cancelled = chance(0.05);
            r.waiting = r.plan > today && chance(0.1);
            requests.push_back(r);
        }
        std::stable_sort(requests.begin(), requests.end(),
                         [](const Request& a, const Request& b) { return a.taken < b.taken; });
        for (size_t i = 0; i < requests.size(); ++i)
            requests[i].number = QString::number(i + 1).rightJustified(20, QLatin1Char(' '));
    }

    void insertRequests() {
        QString columns = QStringLiteral("NUMURS, DATUMS, ISKLIENTS, ISPIETEICEJS, ISIZPILDITAJS, ISASISTENTS, "
                                         "ISKABINETS, ISVEIDS, PLAN_DAT, PLAN_LAIKS, PLAN_ILGUMS, PIEZIMES, CALL_STATUS, "
                                         "PIRMS_DATUMA, PROTEZ_MATERIALS, ISSMSSENT, ISEMAILSENT, DZESTS, ISUSER_NEW, IEVDAT_NEW");
        QString values = QStringLiteral(":NUMURS, :DATUMS, :ISKLIENTS, :ISPIETEICEJS, :ISIZPILDITAJS, :ISASISTENTS, "
                                        ":ISKABINETS, :ISVEIDS, :PLAN_DAT, :PLAN_LAIKS, :PLAN_ILGUMS, :PIEZIMES, :CALL_STATUS, "
                                        ":PIRMS_DATUMA, :PROTEZ_MATERIALS, :ISSMSSENT, :ISEMAILSENT, :DZESTS, :ISUSER_NEW, :IEVDAT_NEW");
        for (int d = 1; d <= 7; ++d) {
            columns += QStringLiteral(", DIENA%1, DIENA%1_NO, DIENA%1_LIDZ").arg(d);
            values += QStringLiteral(", :D%1, :D%1N, :D%1L").arg(d);
        }
        db::Statement st(*tx, QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (%1) VALUES (%2) RETURNING ISN").arg(columns, values));
        const QStringList problems{"", "", "", "Sāp zobs apakšā pa kreisi", "Izkritusi plombe", "Kārtējā pārbaude",
                                   "Jūtīgums pret aukstu", "Asiņo smaganas", "Jāizņem šuves"};
        Batch batch(*this, QStringLiteral("O_KONSULT_PIET_HD"));
        for (Request& r : requests) {
            st.bind("NUMURS", r.number);
            st.bind("DATUMS", stamp(r.taken));
            st.bind("ISKLIENTS", patients[r.patient].key);
            st.bind("ISPIETEICEJS", r.taker);
            st.bind("ISIZPILDITAJS", r.specialist);
            st.bind("ISASISTENTS", chance(0.3) ? specialists.at(9) : 1);
            st.bind("ISKABINETS", r.room);
            st.bind("ISVEIDS", r.type);
            st.bind("PLAN_DAT", QDateTime(r.plan, QTime(0, 0)));
            st.bind("PLAN_LAIKS", hhmm(r.minute));
            st.bind("PLAN_ILGUMS", hhmm(r.duration));
            const QString problem = pick(problems);
            st.bind("PIEZIMES", problem.isEmpty() ? QVariant() : QVariant(problem));
            st.bind("CALL_STATUS", r.plan > today ? between(0, 2) : 0);
            st.bind("PIRMS_DATUMA", r.waiting ? 1 : 0);
            st.bind("PROTEZ_MATERIALS", chance(0.05) ? between(1, 3) : 0);
            const bool past = r.plan <= today;
            st.bind("ISSMSSENT", past && chance(0.7) ? 1 : 0);
            st.bind("ISEMAILSENT", past && chance(0.3) ? 1 : 0);
            st.bind("DZESTS", r.cancelled ? QVariant(1) : QVariant());
            st.bind("ISUSER_NEW", users.value(1));
            st.bind("IEVDAT_NEW", stamp(r.taken));
            for (int d = 1; d <= 7; ++d) {
                const bool can = r.waiting && (d <= 5) && chance(0.6);
                st.bind(QStringLiteral("D%1").arg(d), r.waiting ? QVariant(can ? QStringLiteral("V") : QStringLiteral("N")) : QVariant());
                st.bind(QStringLiteral("D%1N").arg(d), can ? QVariant(QStringLiteral("08:00")) : QVariant());
                st.bind(QStringLiteral("D%1L").arg(d), can ? QVariant(QStringLiteral("18:00")) : QVariant());
            }
            r.key = insert(st);
            batch.row();
        }
        batch.finish();
    }

    void planConsultations() {
        // Visits made from requests carry the request number; plain visits get numbers of their own.
        int pastLive = 0;
        for (const Request& r : requests) pastLive += (r.plan <= today && !r.cancelled);
        const int fromRequests = qMin(pastLive, sizes.consultations * 5 / 6);
        const double p = pastLive ? double(fromRequests) / pastLive : 0;
        consultations.reserve(sizes.consultations + 100);
        for (int i = 0; i < int(requests.size()); ++i) {
            const Request& r = requests[i];
            if (r.plan > today || r.cancelled || !chance(p)) continue;
            consultations.push_back({r.plan, r.patient, r.specialist, r.room, r.type, i, r.minute, r.duration});
        }
        const int plain = qMax(0, sizes.consultations - int(consultations.size()));
        for (int i = 0; i < plain; ++i) {
            QDate day;
            do day = workdays.at(int(rng.bounded(int(workdays.size()))));
            while (day > today);
            const int patient = int(rng.bounded(int(patients.size())));
            consultations.push_back({day, patient, patients[patient].specialist, rooms.first(), pick(types), -1,
                                     8 * 60 + 30 * between(0, 23), 60});
        }
        std::stable_sort(consultations.begin(), consultations.end(),
                         [](const Consultation& a, const Consultation& b) { return a.date < b.date; });
        int plainNumber = 0;
        for (Consultation& c : consultations)
            c.number = c.request >= 0 ? requests[c.request].number.trimmed() + QStringLiteral("-1")
                                      : QString::number(++plainNumber);
    }

    QString chartText() {
        // Records "position+key[index]value|", positions in order, as the chart stores them.
        static const QStringList crowns{"C", "Pla", "Plk", "Plk", "Plp", "CS", "Onl"};
        QString s;
        for (int pos = 0; pos < 32; ++pos) {
            const int r = between(0, 99);
            if (r < 3) {
                s += QStringLiteral("%1+stEx/|").arg(pos);
            } else if (r < 5) {
                s += QStringLiteral("%1+kz0MK_K|%1+kz1MK_K|%1+kz2MK_K|%1+kz3MK_K|%1+kz4MK_K|").arg(pos);
            } else if (r < 15) {
                s += QStringLiteral("%1+kz%2%3|").arg(pos).arg(between(0, 4)).arg(pick(crowns));
            } else if (r < 17) {
                s += QStringLiteral("%1+kz4Plk|%1+el0%2|%1+sk0kan_pild/|").arg(pos).arg(between(0, 3));
            }
        }
        return s;
    }

    QString perioRow(int maxLevel, double density) {
        QString s;
        for (int tooth : teeth())
            if (chance(density)) s += QStringLiteral("%1_%2|").arg(tooth).arg(between(1, maxLevel));
        return s;
    }

    void insertConsultations() {
        static const QStringList questions{"KUNGIS_ZARNAS", "SIRDS_ASINSVADI", "NIERES", "EPILEPSIJA", "DIABETS",
                                           "ASINS_RECESANA", "ASINS_SLIMIBAS", "IZMAINITS_SPIEDIENS", "ALERGIJA",
                                           "HEPATITS", "AIDS"};
        QString columns = QStringLiteral(
            "NUMURS, DATUMS, ISKLIENTS, ISKONSULTPIET, ISIZPILDITAJS, ISASISTENTS, ISKABINETS, ISVEIDS, TIME_START, "
            "TIME_END, PIEZIMES, DIAGNOZE, ZOBU_KARTE, ZOBUFORMULA, GLOTADA, SAKODIENS, MUTES_HIGIENA, KABATAS, "
            "KUSTIGUMS, APLIKUMS, ZOBAKMENS, ISUSER_NEW, IEVDAT_NEW");
        QString values = QStringLiteral(
            ":NUMURS, :DATUMS, :ISKLIENTS, :ISKONSULTPIET, :ISIZPILDITAJS, :ISASISTENTS, :ISKABINETS, :ISVEIDS, "
            ":TIME_START, :TIME_END, :PIEZIMES, :DIAGNOZE, :ZOBU_KARTE, :ZOBUFORMULA, :GLOTADA, :SAKODIENS, "
            ":MUTES_HIGIENA, :KABATAS, :KUSTIGUMS, :APLIKUMS, :ZOBAKMENS, :ISUSER_NEW, :IEVDAT_NEW");
        for (const QString& q : questions) {
            columns += QStringLiteral(", %1, %1_CMT").arg(q);
            values += QStringLiteral(", :%1, :%1_CMT").arg(q);
        }
        db::Statement st(*tx, QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (%1) VALUES (%2) RETURNING ISN").arg(columns, values));
        const QString lineColumns = QStringLiteral(
            "ISKONSULTACIJAHD, ISPRECE, ISIZPILDITAJS, ZOBA_NR, DAUDZUMS, CENA, NODOKLIS, LAIKS, PIEZIMES, ISUSER_NEW, IEVDAT_NEW");
        const QString lineValues = QStringLiteral(
            ":ISKONSULTACIJAHD, :ISPRECE, :ISIZPILDITAJS, :ZOBA_NR, :DAUDZUMS, :CENA, :NODOKLIS, :LAIKS, :PIEZIMES, :ISUSER_NEW, :IEVDAT_NEW");
        db::Statement plan(*tx, QStringLiteral("INSERT INTO O_ARSTPLANS (%1, MAX_CENA) VALUES (%2, :MAX_CENA) RETURNING ISN")
                                    .arg(lineColumns, lineValues));
        db::Statement treat(*tx, QStringLiteral("INSERT INTO O_ARSTESANA_DT (%1, ISARSTPLANS) VALUES (%2, :ISARSTPLANS) RETURNING ISN")
                                     .arg(lineColumns, lineValues));
        db::Statement log(*tx, journalSql());
        const QStringList diagnoses{"", "", "K02.1 Dentīna kariess", "K04.0 Pulpīts", "K05.1 Hronisks gingivīts",
                                    "K03.6 Zobu nogulsnējumi", "K08.1 Zobu zaudējums"};
        Batch batch(*this, QStringLiteral("O_KONSULTACIJA_HD"));
        Batch lines(*this, QStringLiteral("O_ARSTPLANS + O_ARSTESANA_DT"));
        for (Consultation& c : consultations) {
            const int user = users.value(2);
            const QDateTime when(c.date, QTime(c.minute / 60, c.minute % 60));
            st.bind("NUMURS", c.number);
            st.bind("DATUMS", QDateTime(c.date, QTime(0, 0)));
            st.bind("ISKLIENTS", patients[c.patient].key);
            st.bind("ISKONSULTPIET", c.request >= 0 ? QVariant(requests[c.request].key) : QVariant());
            st.bind("ISIZPILDITAJS", c.specialist);
            st.bind("ISASISTENTS", chance(0.4) ? specialists.at(9) : 1);
            st.bind("ISKABINETS", c.room);
            st.bind("ISVEIDS", c.type);
            st.bind("TIME_START", hhmm(c.minute));
            st.bind("TIME_END", hhmm(qMin(c.minute + c.duration, 24 * 60)));
            st.bind("PIEZIMES", chance(0.3) ? QVariant(QStringLiteral("Pacients apmierināts, nākamā vizīte pēc pusgada.")) : QVariant());
            const QString dg = pick(diagnoses);
            st.bind("DIAGNOZE", dg.isEmpty() ? QVariant() : QVariant(dg));
            const bool status = chance(0.3);
            st.bind("ZOBU_KARTE", chartText());
            st.bind("ZOBUFORMULA", status ? perioRow(3, 0.1) : QString());
            st.bind("GLOTADA", status ? QStringLiteral("Bez patoloģijas") : QString());
            st.bind("SAKODIENS", status ? QStringLiteral("Ortognātisks") : QString());
            st.bind("MUTES_HIGIENA", between(0, 2));
            st.bind("KABATAS", status ? perioRow(6, 0.3) : QString());
            st.bind("KUSTIGUMS", status ? perioRow(4, 0.1) : QString());
            st.bind("APLIKUMS", status ? perioRow(3, 0.2) : QString());
            st.bind("ZOBAKMENS", status ? perioRow(3, 0.2) : QString());
            st.bind("ISUSER_NEW", user);
            st.bind("IEVDAT_NEW", when);
            for (const QString& q : questions) {
                const bool yes = chance(0.04);
                st.bind(q, yes ? 1 : 0);
                st.bind(QString(q + QStringLiteral("_CMT")), yes ? QStringLiteral("Lieto medikamentus") : QString());
            }
            c.key = insert(st);
            journal(log, QStringLiteral("O_KONSULTACIJA_HD"), c.key, c.number, c.date);
            batch.row();

            auto bindLine = [&](db::Statement& s, int itemIndex, double quantity, int tooth) {
                const Item& it = items.at(itemIndex);
                s.bind("ISKONSULTACIJAHD", c.key);
                s.bind("ISPRECE", it.key);
                s.bind("ISIZPILDITAJS", c.specialist);
                s.bind("ZOBA_NR", tooth);
                s.bind("DAUDZUMS", quantity);
                s.bind("CENA", it.price / (1 + it.vat / 100.0));
                s.bind("NODOKLIS", double(it.vat));
                s.bind("LAIKS", hhmm(it.minutes));
                s.bind("PIEZIMES", QVariant());
                s.bind("ISUSER_NEW", user);
                s.bind("IEVDAT_NEW", when);
            };
            QList<QPair<int, int>> planned;  // plan key, item index
            const int planCount = chance(0.3) ? between(1, 3) : 0;
            for (int i = 0; i < planCount; ++i) {
                const int itemIndex = int(rng.bounded(int(items.size())));
                bindLine(plan, itemIndex, 1, pick(teeth()));
                plan.bind("MAX_CENA", std::round(items.at(itemIndex).price * 1.3));
                planned.append({insert(plan), itemIndex});
                lines.row();
            }
            const int count = between(1, 2 * sizes.treatmentLinesPerConsultation - 1);
            for (int i = 0; i < count; ++i) {
                const bool fromPlan = i < planned.size() && chance(0.7);
                const int itemIndex = fromPlan ? planned[i].second : int(rng.bounded(int(items.size())));
                const double quantity = chance(0.9) ? 1 : 2;
                bindLine(treat, itemIndex, quantity, pick(teeth()));
                treat.bind("ISARSTPLANS", fromPlan ? QVariant(planned[i].first) : QVariant());
                const Item& it = items.at(itemIndex);
                c.lines.append({insert(treat), itemIndex, it.price / (1 + it.vat / 100.0), quantity});
                lines.row();
            }
        }
        batch.finish();
        lines.finish();
    }

    static double lineTotal(const Item& it, const Line& l, double discount) {
        return l.price * l.quantity * (1 + discount / 100.00) * (1 + it.vat / 100.00);
    }

    void planInvoicesAndPayments() {
        const double p = consultations.empty() ? 0 : double(sizes.invoices) / consultations.size();
        QVector<QList<int>> byPatient(patients.size());
        for (int i = 0; i < int(consultations.size()); ++i) {
            const Consultation& c = consultations[i];
            if (c.lines.isEmpty() || !chance(p)) continue;
            Invoice inv{i, chance(0.05) ? -10.0 : 0.0};
            for (const Line& l : c.lines) inv.total += lineTotal(items.at(l.item), l, inv.discount);
            byPatient[c.patient].append(int(invoices.size()));
            invoices.push_back(inv);
        }
        // Each patient pays oldest invoice first; some pay two at once, some overpay, the most
        // recent may still be open.
        int cashNumber = 0, bankNumber = 0;
        for (int patient = 0; patient < byPatient.size(); ++patient) {
            QList<int> open;
            for (int idx : byPatient[patient]) {
                open.append(idx);
                const QDate issued = consultations[invoices[idx].consultation].date;
                if (issued > today.addDays(-20) && chance(0.5)) continue;
                if (chance(0.06)) continue;  // pays it together with the next one
                Payment pay;
                pay.patient = patient;
                pay.date = qMin(today, issued.addDays(between(0, 10)));
                pay.method = chance(0.7) ? 1 : 0;
                pay.number = pay.method == 1 ? QStringLiteral("K-%1").arg(++cashNumber, 6, 10, QLatin1Char('0'))
                                             : QStringLiteral("B-%1").arg(++bankNumber, 6, 10, QLatin1Char('0'));
                double debt = 0;
                for (int o : open) debt += invoices[o].total - invoices[o].paid;
                pay.amount = round2(debt);
                if (chance(0.05)) pay.amount = std::ceil(pay.amount / 10.0) * 10.0 + 10.0;  // overpayment
                double remaining = pay.amount;
                QList<int> stillOpen;
                for (int o : open) {
                    Invoice& inv = invoices[o];
                    const double owed = inv.total - inv.paid;
                    const double applied = qMin(remaining, owed);
                    if (remaining > 0 && owed > 0 && std::fabs(applied) >= 0.005) {
                        pay.allocations.append({o, applied});
                        inv.paid += applied;
                        inv.paymentNumber = pay.number;
                        inv.paymentDate = pay.date;
                        inv.paymentMethod = pay.method;
                        remaining -= applied;
                    }
                    if (inv.total - inv.paid >= 0.005) stillOpen.append(o);
                }
                open = stillOpen;
                double allocated = 0;
                for (const Allocation& a : pay.allocations) allocated += a.amount;
                pay.allocated = allocated;
                payments.push_back(pay);
            }
        }
    }

    void insertInvoices() {
        db::Statement hd(*tx, QStringLiteral(
            "INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, SERIJA, NUMURS, APMAKS_LIDZ, KOMENTARS, ISUSER_NEW, IEVDAT_NEW, "
            "APMAKSVEIDS, APMAKS_SUM, APMAKS_NR, APMAKS_DAT) VALUES (:ISKLIENTS, :DATUMS, :SERIJA, :NUMURS, :APMAKS_LIDZ, "
            ":KOMENTARS, :ISUSER_NEW, :IEVDAT_NEW, :APMAKSVEIDS, :APMAKS_SUM, :APMAKS_NR, :APMAKS_DAT) RETURNING ISN"));
        db::Statement dt(*tx, QStringLiteral(
            "INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS, NODOKLIS, ATLAIDE, KOMENTARS, ISUSER_NEW, "
            "ISUSER_EDIT, IEVDAT_NEW, IEVDAT_EDIT, ISARSTESANA) VALUES (:ISPAVOUTHD, :ISPRECE, :CENA, :DAUDZUMS, "
            ":NODOKLIS, :ATLAIDE, :KOMENTARS, :ISUSER_NEW, :ISUSER_EDIT, :IEVDAT_NEW, :IEVDAT_EDIT, :ISARSTESANA) RETURNING ISN"));
        db::Statement log(*tx, journalSql());
        Batch batch(*this, QStringLiteral("O_PAVOUT_HD"));
        Batch lineBatch(*this, QStringLiteral("O_PAVOUT_DT"));
        for (Invoice& inv : invoices) {
            const Consultation& c = consultations[inv.consultation];
            const QDateTime created(c.date, QTime(18, 0));
            const QString number = c.number + QStringLiteral("_1");
            hd.bind("ISKLIENTS", patients[c.patient].key);
            hd.bind("DATUMS", QDateTime(c.date, QTime(0, 0)));
            hd.bind("SERIJA", QString());
            hd.bind("NUMURS", number);
            hd.bind("APMAKS_LIDZ", QDateTime(c.date.addDays(5), QTime(0, 0)));
            hd.bind("KOMENTARS", QVariant());
            hd.bind("ISUSER_NEW", users.value(2));
            hd.bind("IEVDAT_NEW", created);
            hd.bind("APMAKSVEIDS", inv.paymentMethod);
            hd.bind("APMAKS_SUM", inv.paid);
            hd.bind("APMAKS_NR", inv.paymentNumber.isEmpty() ? QVariant() : QVariant(inv.paymentNumber));
            hd.bind("APMAKS_DAT", inv.paymentDate.isValid() ? QVariant(QDateTime(inv.paymentDate, QTime(0, 0))) : QVariant());
            inv.key = insert(hd);
            journal(log, QStringLiteral("O_PAVOUT_HD"), inv.key, number, c.date);
            batch.row();
            for (const Line& l : c.lines) {
                dt.bind("ISPAVOUTHD", inv.key);
                dt.bind("ISPRECE", items.at(l.item).key);
                dt.bind("CENA", l.price);
                dt.bind("DAUDZUMS", l.quantity);
                dt.bind("NODOKLIS", double(items.at(l.item).vat));
                dt.bind("ATLAIDE", inv.discount);
                dt.bind("KOMENTARS", QVariant());
                dt.bind("ISUSER_NEW", users.value(2));
                dt.bind("ISUSER_EDIT", users.value(2));
                dt.bind("IEVDAT_NEW", created);
                dt.bind("IEVDAT_EDIT", created);
                dt.bind("ISARSTESANA", l.key);
                insert(dt);
                lineBatch.row();
            }
        }
        batch.finish();
        lineBatch.finish();
    }

    void insertPayments() {
        db::Statement hd(*tx, QStringLiteral(
            "INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, NUMURS, SUMMA, PARPALIKUMS, APMAKSVEIDS, ISUSER_NEW, IEVDAT_NEW) "
            "VALUES (:ISKLIENTS, :DATUMS, :NUMURS, :SUMMA, :PARPALIKUMS, :APMAKSVEIDS, :ISUSER_NEW, :IEVDAT_NEW) RETURNING ISN"));
        db::Statement dt(*tx, QStringLiteral(
            "INSERT INTO O_APMAKS_DT (DATUMS, ISAPMAKSHD, ISPAVOUTHD, NUMURS, SUMMA) "
            "VALUES (:DATUMS, :ISAPMAKSHD, :ISPAVOUTHD, :NUMURS, :SUMMA) RETURNING ISN"));
        db::Statement log(*tx, journalSql());
        Batch batch(*this, QStringLiteral("O_APMAKS_HD + O_APMAKS_DT"));
        for (const Payment& p : payments) {
            hd.bind("ISKLIENTS", patients[p.patient].key);
            hd.bind("DATUMS", QDateTime(p.date, QTime(0, 0)));
            hd.bind("NUMURS", p.number);
            hd.bind("SUMMA", p.allocated);
            hd.bind("PARPALIKUMS", p.amount - p.allocated);
            hd.bind("APMAKSVEIDS", p.method);
            hd.bind("ISUSER_NEW", users.value(3));
            hd.bind("IEVDAT_NEW", stamp(p.date));
            const int key = insert(hd);
            journal(log, QStringLiteral("O_APMAKS_HD"), key, p.number, p.date);
            batch.row();
            for (const Allocation& a : p.allocations) {
                const Invoice& inv = invoices[a.invoice];
                const Consultation& c = consultations[inv.consultation];
                dt.bind("DATUMS", QDateTime(c.date, QTime(0, 0)));
                dt.bind("ISAPMAKSHD", key);
                dt.bind("ISPAVOUTHD", inv.key);
                dt.bind("NUMURS", QString(c.number + QStringLiteral("_1")));
                dt.bind("SUMMA", a.amount);
                insert(dt);
                batch.row();
            }
        }
        batch.finish();
    }

    void daysAndLogons() {
        db::Statement day(*tx, QStringLiteral("INSERT INTO O_DIENAS (ISN, DATUMS, FLAG) VALUES (1,:DATUMS,:FLAG)"));
        Batch batch(*this, QStringLiteral("O_DIENAS + O_LOGON"));
        const QDate lockedBefore = today.addDays(-60);
        for (QDate d(workdays.first().year(), 1, 1); d <= QDate(today.year() + 1, 12, 31); d = d.addDays(1)) {
            day.bind("DATUMS", d);
            day.bind("FLAG", d < lockedBefore ? QStringLiteral("T") : QStringLiteral("F"));
            day.execute();
            batch.row();
        }
        db::Statement logon(*tx, QStringLiteral(
            "INSERT INTO O_LOGON (ISUSER, START_TIME, END_TIME, LOGOFF) VALUES (:U, :S, :E, 'OK')"));
        for (const QDate& d : workdays) {
            if (d > today) break;
            for (int u = 1; u < users.size(); ++u) {
                logon.bind("U", users[u]);
                logon.bind("S", QDateTime(d, QTime(8, between(0, 30))));
                logon.bind("E", QDateTime(d, QTime(18, between(0, 59))));
                logon.execute();
                batch.row();
            }
        }
        batch.finish();
    }
};

DemoDataGenerator::DemoDataGenerator(db::Database& database, Scale scale, quint32 seed, QDate today)
    : d(std::make_unique<Impl>(database, scale, seed, today)) {}

DemoDataGenerator::~DemoDataGenerator() = default;

void DemoDataGenerator::setProgress(Progress progress) { d->progress = std::move(progress); }

void DemoDataGenerator::requestStop() { g_stopRequested.store(true); }

void DemoDataGenerator::requireEmpty(db::Database& database) { Impl::checkEmpty(database); }

void DemoDataGenerator::run() {
    // A stop asked for before the load began (while a caller prepared it) is not forgotten.
    if (g_stopRequested.load()) throw db::DbError(QStringLiteral("Demonstrācijas datu veidošana pārtraukta."));
    Impl::checkEmpty(d->database);
    BulkLoad bulk(d->database);
    QString failure;
    try {
        bulk.begin({"N_KLIENTS", "O_KONSULT_PIET_HD", "O_KONSULTACIJA_HD", "O_ARSTPLANS", "O_ARSTESANA_DT",
                    "O_PAVOUT_HD", "O_PAVOUT_DT", "O_APMAKS_HD", "O_APMAKS_DT", "O_OPERACIJAS", "O_DIENAS", "O_LOGON"});
        d->tx = std::make_unique<db::Transaction>(d->database);
        d->buildCalendar();
        d->clinic();
        d->referenceLists();
        d->priceList();
        d->patientRegister();
        d->planRequests();
        d->insertRequests();
        d->planConsultations();
        d->insertConsultations();
        d->planInvoicesAndPayments();
        d->insertInvoices();
        d->insertPayments();
        d->daysAndLogons();
        d->tx->commit();
    } catch (const db::DbError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    // The open batch holds its tables; it goes before anything is put back.
    d->tx.reset();
    QElapsedTimer timer;
    timer.start();
    const QStringList notRestored = bulk.restore();
    if (failure.isEmpty() && d->progress)
        d->progress(QStringLiteral("atslēgas un indeksi"), -1, timer.elapsed() / 1000.0);
    if (failure.isEmpty() && notRestored.isEmpty()) return;
    QStringList lines;
    if (!failure.isEmpty()) lines.append(failure);
    if (!notRestored.isEmpty()) {
        lines.append(QStringLiteral("Neizdevās atjaunot (pārējie atjaunoti):"));
        for (const QString& f : notRestored) lines.append(QStringLiteral("  ") + f);
    }
    throw db::DbError(lines.join(QLatin1Char('\n')));
}

}  // namespace demo
