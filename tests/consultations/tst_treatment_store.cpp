// Plan and treatment lines on a real database: reading typed values, adding with attached items,
// totals, moving to treatment (twice, after a delete, all or nothing), stale edits, completion,
// invoiced lines, and the plan printout read back from its PDF.
#include "../calendar/ClinicFixture.h"
#include "../reports/ReportTestData.h"
#include "Fetched.h"
#include "TestDatabase.h"
#include "app/Session.h"
#include "consultations/PlanPrintout.h"
#include "consultations/TreatmentStore.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "pricelist/AttachedItems.h"

#include <QtTest>

using namespace consultations;

Q_DECLARE_METATYPE(consultations::LineKind)

class TestTreatmentStore : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<ClinicFixture> m_clinic;
    int m_ilze = 0, m_patient = 0, m_consultation = 0;
    int m_filling = 0, m_anaesthesia = 0, m_xray = 0, m_cleaning = 0;

    int item(const QString& name, double price, double maxPrice, int minutes, int vat, const QString& attached = {}) {
        db::Transaction tx(*m_db);
        const int key = tx.scalar("INSERT INTO N_PRECE (GNOS, PARDCENA1, MAX_CENA, LAIKS, NODOKLIS, PIEVPRECES) "
                                  "VALUES (:G, :P, :M, :L, :N, :A) RETURNING ISN",
                                  {{"G", name}, {"P", price}, {"M", maxPrice}, {"L", minutes}, {"N", vat},
                                   {"A", attached.isEmpty() ? QVariant() : QVariant(attached)}})
                            .toInt();
        tx.commit();
        return key;
    }
    TreatmentLine line(int itemKey, double quantity, double price, int tooth = 11, double vat = 21,
                       const QString& duration = QStringLiteral("00:30"), double maxPrice = 0) {
        TreatmentLine l;
        l.consultation = m_consultation;
        l.item = itemKey;
        l.quantity = quantity;
        l.price = price;
        l.vat = vat;
        l.duration = duration;
        l.tooth = tooth;
        l.maxPrice = maxPrice;
        return l;
    }
    QList<int> keys(const LineList& list) {
        QList<int> k;
        for (int r = 0; r < list.rows.rowCount(); ++r) k.append(list.rows.value(r, "ISN").toInt());
        return k;
    }

private Q_SLOTS:
    void init() {
        m_db = testsupport::freshDatabase(QStringLiteral("treatment"));
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_patient = m_clinic->patient("Liepiņa", "Anna");
        db::Transaction tx(*m_db);
        m_consultation = tx.scalar("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS, ISIZPILDITAJS) VALUES "
                                   "('77', :D, :K, :A) RETURNING ISN",
                                   {{"D", QDateTime(QDate(2025, 3, 14), QTime(9, 0))}, {"K", m_patient}, {"A", m_ilze}})
                             .toInt();
        tx.commit();
        m_anaesthesia = item("Anestēzija infiltrācijas", 8, 0, 10, 21);
        m_xray = item("Rentgenuzņēmums", 6.5, 0, 5, 12);
        m_filling = item("Plombe kompozīta", 45, 60, 40, 21,
                         QStringLiteral("%1_5.5+2|%2_0+1|").arg(m_anaesthesia).arg(m_xray));
        m_cleaning = item("Profesionālā tīrīšana", 50, 70, 60, 21);
    }
    void cleanup() {
        m_clinic.reset();
        m_db.reset();
    }

    // The stored text of attached items, both ways; entries that do not read are named.
    void attachedItemsText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QStringList>("broken");
        QTest::newRow("two items") << "12_5.5+2|40_0+1|" << "12_5.5+2|40_0+1|" << QStringList();
        QTest::newRow("decimal comma, no closing bar") << "12_5,25+1,5" << "12_5.25+1.5|" << QStringList();
        QTest::newRow("empty") << "" << "" << QStringList();
        QTest::newRow("broken between good ones")
            << "12_5+1|x_1+1|40_2|41_3+q|42_1+1|" << "12_5+1|42_1+1|" << QStringList{"x_1+1", "40_2", "41_3+q"};
    }
    void attachedItemsText() {
        QFETCH(QString, text);
        QFETCH(QString, normal);
        QFETCH(QStringList, broken);
        QStringList skipped;
        const QVector<pricelist::AttachedItem> items = pricelist::ParseAttachedItems(text, &skipped);
        QCOMPARE(pricelist::AttachedItemsText(items), normal);
        QCOMPARE(skipped, broken);
        QCOMPARE(pricelist::ParseAttachedItems(normal), items);
    }

    // What the line dialog typed is read, or the first value that does not read is refused with
    // its message and field; nothing unreadable turns into an empty column.
    void typedValues_data() {
        QTest::addColumn<LineKind>("kind");
        QTest::addColumn<QStringList>("typed");  // price, quantity, max price, duration, tooth
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<int>("tooth");
        QTest::newRow("plain") << LineKind::Plan << QStringList{"10.00", "2", "12.50", "00:30", "36"} << "" << ""
                               << 10.0 << 2.0 << "00:30" << 36;
        QTest::newRow("decimal comma, blank time, padded hour")
            << LineKind::Treatment << QStringList{" 10,5 ", "1,5", "", ":", "11"} << "" << "" << 10.5 << 1.5 << "00:00"
            << 11;
        QTest::newRow("hour without zero") << LineKind::Plan << QStringList{"1", "1", "0", "1:15", "48"} << "" << ""
                                           << 1.0 << 1.0 << "01:15" << 48;
        QTest::newRow("price not a number") << LineKind::Plan << QStringList{"10.0.0", "2", "0", "00:30", "11"}
                                            << "Nekorekta cena !!!" << "Cena" << 0.0 << 0.0 << "" << 0;
        QTest::newRow("empty price") << LineKind::Treatment << QStringList{"", "2", "0", "00:30", "11"}
                                     << "Nekorekta cena !!!" << "Cena" << 0.0 << 0.0 << "" << 0;
        QTest::newRow("quantity not a number") << LineKind::Treatment << QStringList{"10", "divi", "0", "00:30", "11"}
                                               << "Nekorekts daudzums !!!" << "Daudzums" << 0.0 << 0.0 << "" << 0;
        QTest::newRow("max price not a number") << LineKind::Plan << QStringList{"10", "2", "12,5a", "00:30", "11"}
                                                << "Nekorekta maksimālā cena !!!" << "Max cena" << 0.0 << 0.0 << ""
                                                << 0;
        QTest::newRow("max price ignored for treatment")
            << LineKind::Treatment << QStringList{"10", "2", "x", "00:30", "11"} << "" << "" << 10.0 << 2.0 << "00:30"
            << 11;
        QTest::newRow("duration out of range") << LineKind::Plan << QStringList{"10", "2", "0", "00:75", "11"}
                                               << "Nekorekts laiks !!!" << "Ilgums" << 0.0 << 0.0 << "" << 0;
        QTest::newRow("tooth not a number") << LineKind::Plan << QStringList{"10", "2", "0", "00:30", "1a"}
                                            << "Nekorekts zoba numurs !!!" << "Zoba nr" << 0.0 << 0.0 << "" << 0;
    }
    void typedValues() {
        QFETCH(LineKind, kind);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QString, field);
        TreatmentLine l;
        const app::CardCheck check =
            TreatmentStore::Read({typed.at(0), typed.at(1), typed.at(2), typed.at(3), typed.at(4)}, kind, l);
        QCOMPARE(check.message, message);
        QCOMPARE(check.field, field);
        if (!message.isEmpty()) return;
        QCOMPARE(l.price, FETCHED(double, price));
        QCOMPARE(l.quantity, FETCHED(double, quantity));
        QCOMPARE(l.duration, FETCHED(QString, duration));
        QCOMPARE(l.tooth, FETCHED(int, tooth));
    }

    // A manipulation with two attached items adds three lines at once: the attached ones at the
    // price and quantity of the price list's entry, with their own duration, VAT rate and (plan)
    // maximum price; the specialist is the consultation's.
    void addWithAttachedItems_data() {
        QTest::addColumn<LineKind>("kind");
        QTest::newRow("plan") << LineKind::Plan;
        QTest::newRow("treatment") << LineKind::Treatment;
    }
    void addWithAttachedItems() {
        QFETCH(LineKind, kind);
        TreatmentStore store(*m_db);
        TreatmentLine l = line(m_filling, 1, 45, 36, 21, "00:40", 60);
        l.notes = QStringLiteral("distāli");
        const int key = store.add(kind, l, 1);
        const LineList list = store.lines(kind, m_consultation);
        QCOMPARE(list.rows.rowCount(), 3);
        QCOMPARE(list.rows.value(0, "ISN").toInt(), key);
        const QList<QVariantList> expected{{m_filling, 1.0, 45.0, 21.0, "00:40", 60.0},
                                           {m_anaesthesia, 2.0, 5.5, 21.0, "00:10", 0.0},
                                           {m_xray, 1.0, 0.0, 12.0, "00:05", 0.0}};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(list.rows.value(r, "ISPRECE").toInt(), expected[r][0].toInt());
            QCOMPARE(list.rows.value(r, "DAUDZUMS").toDouble(), expected[r][1].toDouble());
            QCOMPARE(list.rows.value(r, "CENA").toDouble(), expected[r][2].toDouble());
            QCOMPARE(list.rows.value(r, "NODOKLIS").toDouble(), expected[r][3].toDouble());
            QCOMPARE(list.rows.value(r, "LAIKS").toString(), expected[r][4].toString());
            QCOMPARE(list.rows.value(r, "ZOBA_NR").toInt(), 36);
            QCOMPARE(list.rows.value(r, "ISIZPILDITAJS").toInt(), m_ilze);
            QCOMPARE(list.rows.value(r, "PIEZIMES").toString(), QStringLiteral("distāli"));
            if (kind == LineKind::Plan) QCOMPARE(list.rows.value(r, "MAX_CENA").toDouble(), expected[r][5].toDouble());
        }
        // 45 x 1.21 + 2 x 5.5 x 1.21 + 0; 40 + 2 x 10 + 5 minutes.
        QCOMPARE(list.totals.amountText(), QStringLiteral("67.76"));
        QCOMPARE(list.totals.timeText(), QStringLiteral("01:05"));
    }

    // Totals: quantity x price with VAT added, and quantity x duration; deleted lines count for
    // nothing.
    void totals_data() {
        QTest::addColumn<QList<QVariantList>>("lines");  // quantity, price, VAT, duration
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("time");
        QTest::newRow("2 x 10.00 at 21 %") << QList<QVariantList>{{2.0, 10.0, 21.0, "00:15"}} << "24.20" << "00:30";
        QTest::newRow("mixed rates") << QList<QVariantList>{{1.0, 100.0, 21.0, "01:00"}, {3.0, 2.5, 12.0, "00:05"},
                                                            {1.0, 40.0, 0.0, "00:20"}}
                                     << "169.40" << "01:35";
        QTest::newRow("half a unit") << QList<QVariantList>{{0.5, 30.0, 0.0, "00:45"}} << "15.00" << "00:23";
        QTest::newRow("past a day") << QList<QVariantList>{{13.0, 1.0, 0.0, "02:00"}} << "13.00" << "26:00";
    }
    void totals() {
        QFETCH(QList<QVariantList>, lines);
        TreatmentStore store(*m_db);
        for (const QVariantList& l : lines)
            store.add(LineKind::Plan,
                      line(m_cleaning, l[0].toDouble(), l[1].toDouble(), 11, l[2].toDouble(), l[3].toString()), 1);
        const int gone = store.add(LineKind::Plan, line(m_cleaning, 1, 999, 11, 21, "09:00"), 1);
        store.remove(LineKind::Plan, gone, 1);
        const LineList list = store.lines(LineKind::Plan, m_consultation);
        QCOMPARE(list.totals.amountText(), FETCHED(QString, amount));
        QCOMPARE(list.totals.timeText(), FETCHED(QString, time));
    }

    // Moving to treatment: each selected plan line once, in selection order, with its values but
    // without its maximum price; moving again adds nothing and says 0/n; a deleted treatment
    // line turns its plan line black again and it can be moved again.
    void movingToTreatment() {
        TreatmentStore store(*m_db);
        const int a = store.add(LineKind::Plan, line(m_cleaning, 1, 50, 11, 21, "01:00", 70), 1);
        const int b = store.add(LineKind::Plan, line(m_xray, 2, 6.5, 46, 12, "00:05"), 1);
        const int c = store.add(LineKind::Plan, line(m_anaesthesia, 1, 8, 46, 21, "00:10"), 1);
        QVERIFY(store.lines(LineKind::Plan, m_consultation).carriedOn.isEmpty());

        MoveResult r = store.moveToTreatment(m_consultation, {b, a}, 1);
        QCOMPARE(r.message(), QStringLiteral("Visi dati pievienoti!"));
        LineList treatment = store.lines(LineKind::Treatment, m_consultation);
        QCOMPARE(treatment.rows.rowCount(), 2);
        QCOMPARE(treatment.rows.value(0, "ISARSTPLANS").toInt(), b);
        QCOMPARE(treatment.rows.value(0, "DAUDZUMS").toDouble(), 2.0);
        QCOMPARE(treatment.rows.value(0, "CENA").toDouble(), 6.5);
        QCOMPARE(treatment.rows.value(0, "NODOKLIS").toDouble(), 12.0);
        QCOMPARE(treatment.rows.value(0, "ZOBA_NR").toInt(), 46);
        QCOMPARE(treatment.rows.value(0, "SUMMA").toDouble(), 13.0);
        QCOMPARE(treatment.rows.value(1, "ISARSTPLANS").toInt(), a);
        QCOMPARE(treatment.rows.value(1, "ISIZPILDITAJS").toInt(), m_ilze);
        QCOMPARE(store.lines(LineKind::Plan, m_consultation).carriedOn, (QSet<int>{a, b}));

        r = store.moveToTreatment(m_consultation, {a, b}, 1);
        QCOMPARE(r.message(), QStringLiteral("Dati pievienoti: 0/2"));
        r = store.moveToTreatment(m_consultation, {a, b, c}, 1);
        QCOMPARE(r.message(), QStringLiteral("Dati pievienoti: 1/3"));
        treatment = store.lines(LineKind::Treatment, m_consultation);
        QCOMPARE(treatment.rows.rowCount(), 3);

        // The treatment line of a deleted: a is black again and moves again.
        store.remove(LineKind::Treatment, treatment.rows.value(1, "ISN").toInt(), 1);
        QCOMPARE(store.lines(LineKind::Plan, m_consultation).carriedOn, (QSet<int>{b, c}));
        QCOMPARE(store.moveToTreatment(m_consultation, {a}, 1).message(), QStringLiteral("Visi dati pievienoti!"));
        QCOMPARE(store.lines(LineKind::Plan, m_consultation).carriedOn, (QSet<int>{a, b, c}));
        QCOMPARE(store.lines(LineKind::Treatment, m_consultation).rows.rowCount(), 3);
        // A plan line deleted meanwhile is not treated.
        store.remove(LineKind::Plan, c, 1);
        const int d = store.add(LineKind::Plan, line(m_xray, 1, 6.5, 47), 1);
        store.remove(LineKind::Plan, d, 1);
        QCOMPARE(store.moveToTreatment(m_consultation, {d}, 1).message(), QStringLiteral("Dati pievienoti: 0/1"));
    }

    // A failure while moving leaves neither half: no treatment line of the selection stays.
    void movingIsAllOrNothing() {
        TreatmentStore store(*m_db);
        const int a = store.add(LineKind::Plan, line(m_cleaning, 1, 50, 11), 1);
        const int bad = store.add(LineKind::Plan, line(m_cleaning, 1, 50, 99), 1);
        const int c = store.add(LineKind::Plan, line(m_cleaning, 1, 50, 12), 1);
        m_db->exec("CREATE EXCEPTION E_TEST_ZOBS 'zobs 99'");
        m_db->commitRetaining();
        m_db->exec("CREATE TRIGGER T_TEST_ZOBS FOR O_ARSTESANA_DT BEFORE INSERT AS BEGIN "
                   "IF (NEW.ZOBA_NR = 99) THEN EXCEPTION E_TEST_ZOBS; END");
        m_db->commitRetaining();
        QVERIFY_THROWS_EXCEPTION(db::DbError, store.moveToTreatment(m_consultation, {a, bad, c}, 1));
        QCOMPARE(store.lines(LineKind::Treatment, m_consultation).rows.rowCount(), 0);
        QVERIFY(store.lines(LineKind::Plan, m_consultation).carriedOn.isEmpty());
        QCOMPARE(store.moveToTreatment(m_consultation, {a, c}, 1).message(), QStringLiteral("Visi dati pievienoti!"));
    }

    // An edit over another workstation's later change, or of a line deleted meanwhile, is
    // refused and writes nothing; an edit from the current version goes through.
    void staleEditsRefused() {
        TreatmentStore store(*m_db);
        const int key = store.add(LineKind::Treatment, line(m_cleaning, 1, 50), 1);
        TreatmentLine mine = *store.load(LineKind::Treatment, key);
        mine.quantity = 3;
        {
            db::Transaction other(*m_db);
            other.exec("UPDATE O_ARSTESANA_DT SET DAUDZUMS = 2, IEVDAT_EDIT = :T WHERE ISN = :K",
                       {{"T", QDateTime::currentDateTime().addSecs(5)}, {"K", key}});
            other.commit();
        }
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, store.update(LineKind::Treatment, mine, 1));
        QCOMPARE(store.load(LineKind::Treatment, key)->quantity, 2.0);
        mine = *store.load(LineKind::Treatment, key);
        mine.quantity = 3;
        mine.item = m_xray;
        store.update(LineKind::Treatment, mine, 1);
        QCOMPARE(store.load(LineKind::Treatment, key)->quantity, 3.0);
        QCOMPARE(store.load(LineKind::Treatment, key)->itemName, QStringLiteral("Rentgenuzņēmums"));
        mine = *store.load(LineKind::Treatment, key);
        store.remove(LineKind::Treatment, key, 1);
        QVERIFY_THROWS_EXCEPTION(db::StaleRowError, store.update(LineKind::Treatment, mine, 1));
    }

    // Typing completes with the first manipulation whose name starts with the text, whatever the
    // case and with Latvian letters; the default row is never offered.
    void completion_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("completed");
        QTest::newRow("lower case") << "plo" << "Plombe kompozīta";
        QTest::newRow("first of several, by name") << "r" << "Rentgens panorāmas";
        QTest::newRow("latvian letters") << "anestēzija i" << "Anestēzija infiltrācijas";
        QTest::newRow("whole name") << "PROFESIONĀLĀ TĪRĪŠANA" << "Profesionālā tīrīšana";
        QTest::newRow("a quote typed") << "pl'o" << "";
        QTest::newRow("nothing") << "zzz" << "";
        QTest::newRow("default row") << "nav" << "";
    }
    void completion() {
        QFETCH(QString, typed);
        QFETCH(QString, completed);
        item("Rentgens panorāmas", 30, 0, 10, 21);
        const auto found = TreatmentStore(*m_db).complete(typed);
        QCOMPARE(found ? found->second : QString(), completed);
    }

    // A treatment line on an invoice is green and no longer waits to be billed.
    void invoicedLines() {
        TreatmentStore store(*m_db);
        const int billed = store.add(LineKind::Treatment, line(m_cleaning, 1, 50), 1);
        const int open = store.add(LineKind::Treatment, line(m_xray, 1, 6.5), 1);
        const int gone = store.add(LineKind::Treatment, line(m_xray, 1, 6.5), 1);
        store.remove(LineKind::Treatment, gone, 1);
        db::Transaction tx(*m_db);
        const int invoice = tx.scalar("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS) VALUES (:K, "
                                      "CURRENT_TIMESTAMP, '77_1') RETURNING ISN",
                                      {{"K", m_patient}})
                                .toInt();
        tx.exec("INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, ISARSTESANA, CENA, DAUDZUMS) VALUES (:H, :P, :A, 41.32, 1)",
                {{"H", invoice}, {"P", m_cleaning}, {"A", billed}});
        tx.commit();
        QCOMPARE(store.lines(LineKind::Treatment, m_consultation).carriedOn, QSet<int>{billed});
        const db::ResultSet unbilled = store.unbilledTreatment(m_consultation);
        QCOMPARE(unbilled.rowCount(), 1);
        QCOMPARE(unbilled.value(0, "ISN").toInt(), open);
        QCOMPARE(unbilled.value(0, "PRECE").toString(), QStringLiteral("Rentgenuzņēmums"));
    }

    // The plan printout: the per-tooth values, and the PDF read back with the patient, the tooth
    // values, the lines and the totals.
    void planPrintout() {
        TreatmentStore store(*m_db);
        store.add(LineKind::Plan, line(m_cleaning, 1, 50, 11, 21, "01:00", 70), 1);
        store.add(LineKind::Plan, line(m_xray, 2, 6.5, 11, 12, "00:05", 0), 1);
        // Two lines alike on one tooth both count.
        store.add(LineKind::Plan, line(m_anaesthesia, 1, 8, 36, 21, "00:10", 8), 1);
        store.add(LineKind::Plan, line(m_anaesthesia, 1, 8, 36, 21, "00:10", 8), 1);
        store.add(LineKind::Plan, line(m_xray, 1, 0, 48, 12, "00:05", 0), 1);
        const int gone = store.add(LineKind::Plan, line(m_cleaning, 1, 50, 21), 1);
        store.remove(LineKind::Plan, gone, 1);

        const PlanPrintout plan = PlanPrintout::Read(*m_db, m_consultation);
        const QHash<QString, QString>& v = plan.toothValues();
        QCOMPARE(v.size(), 96);
        QCOMPARE(v.value("z11"), QStringLiteral("Profesionālā tīrīšana; Rentgenuzņēmums; "));
        QCOMPARE(v.value("d11"), QStringLiteral("1; 2; "));
        QCOMPARE(v.value("s11"), QStringLiteral("63-70"));
        QCOMPARE(v.value("z36"), QStringLiteral("Anestēzija infiltrācijas; Anestēzija infiltrācijas; "));
        QCOMPARE(v.value("s36"), QStringLiteral("16"));
        QCOMPARE(v.value("z48"), QStringLiteral("Rentgenuzņēmums; "));
        QCOMPARE(v.value("s48"), QString());
        QCOMPARE(v.value("z21"), QString());
        QCOMPARE(plan.patient(), QStringLiteral("Anna Liepiņa"));
        QCOMPARE(plan.rows().rowCount(), 5);

        const QString pdf = reporttest::scratchPath(QStringLiteral("plans.pdf"));
        QCOMPARE(plan.report().exportPdf(pdf), 1);
        const QString text = reporttest::pdfPages(pdf).join(u'\f');
        QVERIFY2(!text.isEmpty(), "pdftotext gave no text");
        for (const QString& expected :
             {QStringLiteral("ĀRSTĒŠANAS PLĀNS"), QStringLiteral("Pacients: Anna Liepiņa"),
              QStringLiteral("Konsultācija Nr. 77, 14.03.2025\n"), QStringLiteral("Profesionālā tīrīšana; Rentgenuzņēmums;"),
              QStringLiteral("63-70"), QStringLiteral("1; 2;"), QStringLiteral("Kopā summa :"),
              QStringLiteral("Laiks :")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
        // 50 x 1.21 + 13 x 1.12 + 2 x 8 x 1.21; 60 + 10 + 20 + 5 minutes.
        QCOMPARE(plan.totals().amountText(), QStringLiteral("94.42"));
        QVERIFY(QRegularExpression(QStringLiteral("Kopā summa :\\s+94.42")).match(text).hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("Laiks :\\s+01:35")).match(text).hasMatch());
        // Each line with its tooth, quantity and prices.
        QVERIFY(QRegularExpression(QStringLiteral("11\\s+Rentgenuzņēmums\\s+2\\s+6.50\\s+0.00\\s+13.00")).match(text).hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("11\\s+Profesionālā tīrīšana\\s+1\\s+50.00\\s+70.00\\s+50.00"))
                    .match(text)
                    .hasMatch());

        const QString csv = plan.report().csv();
        QVERIFY2(csv.startsWith(QStringLiteral("Zobs;Manipulācija;Daudzums;Cena;Max cena;Summa\r\n")), qPrintable(csv));
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 6);
    }
};

QTEST_MAIN(TestTreatmentStore)
#include "tst_treatment_store.moc"
