// The price list's rules on a real database: the group tree, moves, deletes, the manipulation
// card's checks, search, quick search and filter with typed text that SQL would misread.
#include "TestDatabase.h"
#include "app/SharedProcedures.h"
#include "pricelist/PriceListStore.h"

#include <QtTest>

using pricelist::PriceGroupRow;
using pricelist::PriceItem;
using pricelist::PriceListFilter;
using pricelist::PriceListResult;
using pricelist::PriceListStore;

namespace {
constexpr int User = 1;
}

class TestPriceListStore : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<PriceListStore> m_store;

    int group(const QString& name, int parent = 0) {
        return m_db->scalar("INSERT INTO N_PRGRUPA (GNOS, ISPARENT) VALUES (:G, :P) RETURNING ISN",
                            {{"G", name}, {"P", parent}})
            .toInt();
    }
    int item(int grp, const QString& name, const QVariant& code, double price, const QString& article = {},
             const QVariant& misCode = {}) {
        return m_db
            ->scalar("INSERT INTO N_PRECE (ISPRGRUPA, GNOS, KODS, MIS_KODS, PARDCENA1, NODOKLIS, ARTIKULS) "
                     "VALUES (:G, :N, :K, :M, :C, 21, :A) RETURNING ISN",
                     {{"G", grp}, {"N", name}, {"K", code}, {"M", misCode}, {"C", price},
                      {"A", article.isEmpty() ? QVariant() : QVariant(article)}})
            .toInt();
    }
    int parentOf(int isn) {
        return m_db->scalar("SELECT ISPARENT FROM N_PRGRUPA WHERE ISN=:I", {{"I", isn}}).toInt();
    }
    int count(const QString& sql, const db::Params& p = {}) { return m_db->scalar(sql, p).toInt(); }
    static QList<int> keys(const QVector<PriceGroupRow>& rows) {
        QList<int> k;
        for (const auto& r : rows) k << r.isn;
        return k;
    }

private Q_SLOTS:
    void init() {
        m_db = testsupport::freshDatabase(QStringLiteral("pricestore"));
        app::EnsureDefaultRows(m_db->defaultTransaction());
        m_db->commitRetaining();
        m_store = std::make_unique<PriceListStore>(*m_db);
    }
    void cleanup() {
        m_store.reset();
        m_db.reset();
    }

    void tenLevelTreeGivesNineLevelsParentsFirst() {
        QList<int> chain;
        for (int level = 1; level <= 10; ++level) chain << group(QStringLiteral("L%1").arg(level), chain.isEmpty() ? 0 : chain.last());
        const int sibling = group(QStringLiteral("A sibling"), 0);
        const int nullParent = m_db->scalar("INSERT INTO N_PRGRUPA (GNOS) VALUES ('Bez vecāka') RETURNING ISN").toInt();
        m_db->commitRetaining();

        const QVector<PriceGroupRow> rows = m_store->allGroups();
        const QList<int> shown = keys(rows);
        QCOMPARE(shown.size(), 11);  // nine of the chain, the sibling, the one with a NULL parent
        QVERIFY(!shown.contains(chain[9]));
        QVERIFY(!shown.contains(1));
        QVERIFY(shown.contains(sibling) && shown.contains(nullParent));
        for (int i = 0; i < rows.size(); ++i) {
            if (rows[i].parent != 0) QVERIFY2(shown.indexOf(rows[i].parent) < i, "a parent comes before its child");
        }
        QCOMPARE(rows.last().isn, chain[8]);
        QCOMPARE(rows.last().depth, 9);
        // Depth 1 by parent key (NULL first) and name: the NULL parent counts as top level.
        QCOMPARE(rows[0].isn, nullParent);
        QCOMPARE(rows[1].isn, sibling);
    }

    void moveChecks_data() {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("mayAdd");
        QTest::addColumn<QString>("message");  // empty = allowed
        QTest::newRow("no right") << "B" << "A" << false << "Jums nav tiesības pārvietot grupas !!!";
        QTest::newRow("onto itself") << "A" << "A" << true << "Pašu zem sevis pārvietot nedrīkst !!!";
        QTest::newRow("under own child") << "A" << "A1" << true << "Pārvietot zem sava apakšzara nedrīkst !!!";
        QTest::newRow("under own grandchild") << "A" << "A11" << true << "Pārvietot zem sava apakšzara nedrīkst !!!";
        QTest::newRow("under another tree") << "A1" << "B" << true << "";
        QTest::newRow("top group under a child of another") << "B" << "A11" << true << "";
    }
    void moveChecks() {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(bool, mayAdd);
        QFETCH(QString, message);
        QHash<QString, int> g;
        g["A"] = group("A");
        g["A1"] = group("A1", g["A"]);
        g["A11"] = group("A11", g["A1"]);
        g["B"] = group("B");
        m_db->commitRetaining();
        const auto before = m_store->allGroups();

        const auto check = m_store->checkMove(g[dragged], g[target], mayAdd);
        if (!message.isEmpty()) {
            QVERIFY(!check.allowed);
            QCOMPARE(check.message, message);
            // The store refuses on its own as well when a right is not the issue.
            if (mayAdd) QVERIFY(!m_store->moveGroup(g[dragged], g[target], User).ok);
            QCOMPARE(m_store->allGroups().size(), before.size());
            for (const auto& r : before) QCOMPARE(parentOf(r.isn), r.parent);
            return;
        }
        QVERIFY(check.allowed);
        QVERIFY(check.message.endsWith(QStringLiteral(" zem %1 ?").arg(target)));
        QVERIFY(m_store->moveGroup(g[dragged], g[target], User).ok);
        QCOMPARE(parentOf(g[dragged]), g[target]);
    }

    void moveToTopAndALoopInStoredDataEnds() {
        const int a = group("A");
        const int b = group("B", a);
        m_db->commitRetaining();
        const PriceListResult moved = m_store->moveGroup(b, 0, User);
        QVERIFY2(moved.ok, qPrintable(moved.message));
        QCOMPARE(parentOf(b), 0);
        // Two groups pointing at each other (written by hand) must not hang the check.
        const int x = group("X", 999999);
        const int y = group("Y", x);
        m_db->exec("UPDATE N_PRGRUPA SET ISPARENT=:Y WHERE ISN=:X", {{"Y", y}, {"X", x}});
        m_db->commitRetaining();
        QVERIFY(!m_store->checkMove(x, y, true).allowed);
        QVERIFY(m_store->checkMove(a, y, true).allowed);
    }

    void deleteGroup() {
        const int parent = group("Vecāks");
        const int child = group("Bērns", parent);
        const int withItem = group("Ar precēm");
        const int it = item(withItem, "Plombe", "P1", 30);
        const int empty = group("Tukša");
        m_db->commitRetaining();

        PriceListResult r = m_store->deleteGroup(parent, User);
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Dzēst nedrīkst, dotajai grupai ir apakšgrupas !!!"));

        r = m_store->deleteGroup(withItem, User);
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n"
                                           "Manipulāciju grupai ir 1 manipulācija."));
        QVERIFY2(r.details.contains(QLatin1String("FK_N_PRECE_ISPRGRUPA")), qPrintable(r.details));
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRGRUPA WHERE ISN=:I", {{"I", withItem}}), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE WHERE ISN=:I", {{"I", it}}), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE ISN_BAZE=:I AND BAZE='N_PRGRUPA'", {{"I", withItem}}), 0);

        QVERIFY(m_store->deleteGroup(empty, User).ok);
        QVERIFY(m_store->deleteGroup(child, User).ok);
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRGRUPA WHERE ISN IN (:A, :B)", {{"A", empty}, {"B", child}}), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='D' AND BAZE='N_PRGRUPA'"), 2);
    }

    void saveChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("withGroup");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("blank name first") << "   " << false << "K1" << "Obligāti jāievada preces nosaukums !!!"
                                          << int(PriceListResult::Field::Name);
        QTest::newRow("no group") << "Vāciņš" << false << "K1" << "Obligāti jāizvēlās preces grupa !!!"
                                  << int(PriceListResult::Field::Group);
        QTest::newRow("code taken") << "Vāciņš" << true << "K1" << "Manipulācijas kods nedrīkst atkārtoties !!!"
                                    << int(PriceListResult::Field::Code);
        QTest::newRow("code differs in case") << "Vāciņš" << true << "k1" << "" << 0;
        QTest::newRow("fresh code") << "Vāciņš" << true << "K2" << "" << 0;
    }
    void saveChecks() {
        QFETCH(QString, name);
        QFETCH(bool, withGroup);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(int, focus);
        const int g = group("G");
        item(g, "Esošā", "K1", 10);
        m_db->commitRetaining();
        PriceItem it = m_store->newItem(withGroup ? g : 0, 21);
        it.name = name;
        it.code = code;
        const int before = count("SELECT COUNT(*) FROM N_PRECE");
        const PriceListResult r = m_store->saveItem(it, User);
        if (message.isEmpty()) {
            QVERIFY(r.ok);
            QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE"), before + 1);
            QCOMPARE(m_db->scalar("SELECT GNOS FROM N_PRECE WHERE ISN=:I", {{"I", it.isn}}).toString(), QStringLiteral("Vāciņš"));
            QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='J' AND BAZE='N_PRECE' AND ISN_BAZE=:I",
                           {{"I", it.isn}}), 1);
            return;
        }
        QVERIFY(!r.ok);
        QCOMPARE(r.message, message);
        QCOMPARE(int(r.focus), focus);
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE"), before);
    }

    void emptyCodesFollowTheDatabase() {
        const int g = group("G");
        m_db->commitRetaining();
        for (const QString& name : {QStringLiteral("Bez koda 1"), QStringLiteral("Bez koda 2")}) {
            PriceItem it = m_store->newItem(g, 21);
            it.name = name;
            QVERIFY(m_store->saveItem(it, User).ok);
        }
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE WHERE KODS IS NULL AND ISPRGRUPA=:G", {{"G", g}}), 2);
        // Saving an item again keeps its own code: it is not a duplicate of itself.
        PriceItem first = m_store->loadItem(m_db->scalar("SELECT MIN(ISN) FROM N_PRECE WHERE ISPRGRUPA=:G", {{"G", g}}).toInt());
        first.code = QStringLiteral("X9");
        QVERIFY(m_store->saveItem(first, User).ok);
        QVERIFY(m_store->saveItem(first, User).ok);
        // A database that refuses the change gets its own text to the user, nothing is written.
        m_db->executeImmediate("CREATE UNIQUE INDEX N_PRECE_MISKODS_UQ ON N_PRECE (MIS_KODS)");
        PriceItem a = m_store->newItem(g, 21);
        a.name = QStringLiteral("A");
        a.misCode = QStringLiteral("M1");
        QVERIFY(m_store->saveItem(a, User).ok);
        PriceItem b = a;
        b.isn = 0;
        const PriceListResult r = m_store->saveItem(b, User);
        QVERIFY(!r.ok && r.dbError);
        QVERIFY2(r.message.contains(QLatin1String("N_PRECE_MISKODS_UQ")), qPrintable(r.message));
        QCOMPARE(b.isn, 0);
    }

    void newItemTakesTheDefaultVatAndKeepsEveryValue() {
        const int g = group("G");
        m_db->commitRetaining();
        PriceItem it = m_store->newItem(g, 12);
        QCOMPARE(it.vat, 12);
        it.name = QStringLiteral("Higiēna");
        it.code = QStringLiteral("H1");
        it.misCode = QStringLiteral("M-7");
        it.price = 45.5;
        it.maxPrice = 60.0;
        it.minutes = 45;
        it.anaesthesia = 2;
        it.rubberDam = true;
        it.color = 0x0000FF;
        it.firstNotif = 180;
        it.secondNotif = 30;
        it.article = QStringLiteral("A-1");
        it.attached = QStringLiteral("5_12.00+1|");
        QVERIFY(m_store->saveItem(it, User).ok);
        QCOMPARE(m_store->loadItem(it.isn), it);
        QCOMPARE(m_db->scalar("SELECT NODOKLIS FROM N_PRECE WHERE ISN=:I", {{"I", it.isn}}).toInt(), 12);

        const PriceItem copy = m_store->copyOf(it.isn);
        QCOMPARE(copy.isn, 0);
        PriceItem expected = it;
        expected.isn = 0;
        QCOMPARE(copy, expected);
    }

    void deleteItemsAllOrNothing() {
        const int g = group("G");
        const int a = item(g, "A", "A", 1);
        const int b = item(g, "B", "B", 2);
        const int used = item(g, "C", "C", 3);
        m_db->exec("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS) VALUES (1, CURRENT_DATE, '1')");
        m_db->exec("INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS) "
                   "SELECT MAX(ISN), :P, 3, 1 FROM O_PAVOUT_HD", {{"P", used}});
        m_db->commitRetaining();
        m_db->exec("INSERT INTO O_ARSTPLANS (ISPRECE) VALUES (:P)", {{"P", used}});
        m_db->exec("INSERT INTO O_ARSTPLANS (ISPRECE) VALUES (:P)", {{"P", used}});
        m_db->commitRetaining();
        // Of several selected, the one in use is named with what uses it.
        const PriceListResult r = m_store->deleteItems({a, used, b}, User);
        QVERIFY(!r.ok);
        QVERIFY2(r.message == QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n"
                                             "Manipulācijai \"C\" ir 1 rēķina rinda un 2 ārstēšanas plāna rindas.") ||
                     r.message == QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n"
                                                 "Manipulācijai \"C\" ir 2 ārstēšanas plāna rindas un 1 rēķina rinda."),
                 qPrintable(r.message));
        QVERIFY(r.details.contains(QLatin1String("FOREIGN KEY")));
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE WHERE ISPRGRUPA=:G", {{"G", g}}), 3);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='N_PRECE'"), 0);
        QVERIFY(m_store->deleteItems({a, b}, User).ok);
        QCOMPARE(count("SELECT COUNT(*) FROM N_PRECE WHERE ISPRGRUPA=:G", {{"G", g}}), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='N_PRECE' AND TAUSTINS='D'"), 2);
    }

    void searchBindsTypedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");  // names, in key order
        QTest::newRow("name fragment, any case") << "plomb" << QStringList{"Plombe gaismas", "Plombe O'Brien"};
        QTest::newRow("quote") << "o'brien" << QStringList{"Plombe O'Brien"};
        QTest::newRow("percent is literal") << "100%" << QStringList{"Atlaide 100% bērniem"};
        QTest::newRow("lone percent") << "%" << QStringList{"Atlaide 100% bērniem"};
        QTest::newRow("underscore is literal") << "A_B" << QStringList{"Kods A_B"};
        QTest::newRow("code exactly") << "p-2" << QStringList{"Plombe O'Brien"};
        QTest::newRow("second code") << "mis7" << QStringList{"Kods A_B"};
        QTest::newRow("article ending") << "*-77" << QStringList{"Plombe gaismas"};
        QTest::newRow("article wildcard literal") << "*%" << QStringList{};
        QTest::newRow("injection text") << "' OR 1=1 --" << QStringList{};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }
    void searchBindsTypedText() {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        const int g = group("G");
        item(g, "Plombe gaismas", "P-1", 40, "ART-77");
        item(g, "Plombe O'Brien", "P-2", 41);
        item(g, "Atlaide 100% bērniem", "X", 0);
        item(g, "Kods A_B", "K", 5, QString(), "MIS7");
        item(g, "Kods AXB", "K2", 5);
        m_db->commitRetaining();
        QStringList names;
        for (int key : m_store->search(text)) names << m_store->loadItem(key).name;
        QCOMPARE(names, found);
    }

    void filterBindsTypedTextAndNarrowsTree_data() {
        QTest::addColumn<PriceListFilter>("filter");
        QTest::addColumn<QStringList>("groups");  // group names left in the tree
        QTest::addColumn<QStringList>("itemsOfA");
        PriceListFilter f;
        QTest::newRow("none") << f << QStringList{"A", "A1", "B", "Tukša"} << QStringList{"Kronis", "Plombe"};
        f = {};
        f.price = "25,5";
        QTest::newRow("price with comma") << f << QStringList{"A1"} << QStringList{};
        f = {};
        f.price = "40";
        QTest::newRow("price") << f << QStringList{"A", "B"} << QStringList{"Plombe"};
        f = {};
        f.codeStartsWith = "KR";
        QTest::newRow("code starts") << f << QStringList{"A"} << QStringList{"Kronis"};
        f = {};
        f.codeEndsWith = "%";
        QTest::newRow("code ends with a literal percent") << f << QStringList{"B"} << QStringList{};
        f = {};
        f.codeEndsWith = "-1";
        QTest::newRow("code ends") << f << QStringList{"A", "A1"} << QStringList{"Plombe"};
        f = {};
        f.nameContains = "o'b";
        QTest::newRow("name with a quote") << f << QStringList{"B"} << QStringList{};
        f = {};
        f.anyCodeContains = "MIS";
        QTest::newRow("either code") << f << QStringList{"A1"} << QStringList{};
        f = {};
        f.price = "40";
        f.codeStartsWith = "PL";
        QTest::newRow("two fields") << f << QStringList{"A"} << QStringList{"Plombe"};
    }
    void filterBindsTypedTextAndNarrowsTree() {
        QFETCH(PriceListFilter, filter);
        QFETCH(QStringList, groups);
        QFETCH(QStringList, itemsOfA);
        const int a = group("A");
        const int a1 = group("A1", a);
        const int b = group("B");
        group("Tukša");
        item(a, "Plombe", "PL-1", 40);
        item(a, "Kronis", "KR-2", 300);
        item(a1, "Zobu tīrīšana", "T-1", 25.5, QString(), "MIS-5");
        item(b, "Konsultācija O'Brien", "C%", 40);
        m_db->commitRetaining();
        QStringList names;
        for (const auto& r : m_store->filteredGroups(filter)) names << r.name;
        names.sort();
        QCOMPARE(names, groups);
        QStringList items;
        const db::ResultSet rs = m_store->items(a, filter, "GNOS");
        for (int r = 0; r < rs.rowCount(); ++r) items << rs.value(r, "GNOS").toString();
        QCOMPARE(items, itemsOfA);
    }

    void quickSearchSteps_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");  // name, empty = none
        QTest::newRow("code prefix, any case") << "kr" << "Kronis";
        QTest::newRow("name prefix") << "plo" << "Plombe";
        QTest::newRow("article ending") << "*-9" << "Zobu tīrīšana";
        QTest::newRow("article wildcard literal") << "*_9" << "";
        QTest::newRow("price") << "25,5" << "Zobu tīrīšana";
        QTest::newRow("price with point") << "300" << "Kronis";
        QTest::newRow("code of a row not listed") << "x-" << "Ārpus saraksta";
        QTest::newRow("quote") << "o'" << "";
    }
    void quickSearchSteps() {
        QFETCH(QString, text);
        QFETCH(QString, found);
        const int g = group("G");
        item(g, "Plombe", "PL-1", 40, "A-1");
        item(g, "Kronis", "KR-2", 300, "A-2");
        item(g, "Zobu tīrīšana", "T-1", 25.5, "A-9");
        item(g, "Ārpus saraksta", "X-1", 1);
        m_db->commitRetaining();
        // The list as shown leaves the last one out.
        db::ResultSet rows = m_store->items(g, {}, "GNOS");
        db::ResultSet shown(rows.columns());
        for (int r = 0; r < rows.rowCount(); ++r)
            if (rows.value(r, "KODS").toString() != QLatin1String("X-1")) shown.append(rows.row(r));
        const int key = m_store->quickSearch(g, text, shown);
        QCOMPARE(key ? m_store->loadItem(key).name : QString(), found);
    }

    void listOrderComesOnlyFromColumns_data() {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("used");
        QTest::newRow("default") << "" << "GNOS";
        QTest::newRow("column") << "PARDCENA1" << "PARDCENA1";
        QTest::newRow("two columns") << "KODS DESC, GNOS" << "KODS DESC, GNOS";
        QTest::newRow("qualified") << "N_PRECE.KODS" << "N_PRECE.KODS";
        QTest::newRow("not a column") << "NOSUCH" << "GNOS";
        QTest::newRow("statement") << "GNOS; DELETE FROM N_PRECE" << "GNOS";
        QTest::newRow("sub-select") << "(SELECT 1 FROM RDB$DATABASE)" << "GNOS";
    }
    void listOrderComesOnlyFromColumns() {
        QFETCH(QString, order);
        QFETCH(QString, used);
        QCOMPARE(PriceListStore::SafeOrder(order), used);
    }

    void renameAndGroupCard() {
        const int g = group("Veca");
        m_db->commitRetaining();
        QVERIFY(m_store->renameGroup(g, QStringLiteral("Jauna 'grupa'"), User).ok);
        QCOMPARE(m_store->groupName(g), QStringLiteral("Jauna 'grupa'"));
        PriceListResult r = m_store->saveGroup(g, QStringLiteral("  "), QStringLiteral("K"), User);
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Nav ievadīts grupas nosaukums !!!"));
        QVERIFY(m_store->saveGroup(g, QStringLiteral(" Ortopēdija "), QStringLiteral("ORT"), User).ok);
        QCOMPARE(m_store->groupName(g), QStringLiteral("Ortopēdija"));
        QCOMPARE(m_store->groupCode(g), QStringLiteral("ORT"));
        QVERIFY(!m_store->renameGroup(987654, QStringLiteral("X"), User).ok);
    }

    void newGroupsGetTheirOwnKeysAndJournal() {
        const int top = m_store->addGroup(QStringLiteral("Jauna grupa"), 0, User);
        const int child = m_store->addGroup(PriceListStore::NewChildGroupName(), top, User);
        QVERIFY(top > 1 && child > top);
        QCOMPARE(parentOf(child), top);
        QCOMPARE(m_store->groupName(child), QStringLiteral("Jauna grupa (Zem esošās)"));
        QCOMPARE(count("SELECT COUNT(*) FROM O_OPERACIJAS WHERE TAUSTINS='J' AND BAZE='N_PRGRUPA'"), 2);
    }
};

QTEST_GUILESS_MAIN(TestPriceListStore)
#include "tst_pricelist_store.moc"
