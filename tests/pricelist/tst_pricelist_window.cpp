// The price list window as a user works it, offscreen on a real database: the tree, the card,
// moves and deletes with their messages, search, quick search, filter, selection mode, settings.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "app/UserNameCodec.h"
#include "models/ResultTableModel.h"
#include "pricelist/TTreeMyRec.h"
#include "pricelist/Tn_klprec.h"
#include "pricelist/Tn_klprecDati.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using pricelist::Tn_klprec;
using pricelist::TTreeMyRec;

namespace {


QStringList topLevelNames(QTreeWidget* tree) {
    QStringList names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) names << tree->topLevelItem(i)->text(0);
    return names;
}

QStringList listNames(Tn_klprec& w) {
    QStringList names;
    for (int r = 0; r < w.itemModel()->rowCount(); ++r) names << w.itemModel()->fieldValue(r, "GNOS").toString();
    return names;
}

}  // namespace

class TestPriceListWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_dati;

    db::Database& db() { return m_dati->database(); }
    int group(const QString& name, int parent = 0) {
        const int k = db().scalar("INSERT INTO N_PRGRUPA (GNOS, ISPARENT) VALUES (:G, :P) RETURNING ISN",
                                  {{"G", name}, {"P", parent}})
                          .toInt();
        db().commitRetaining();
        return k;
    }
    int item(int grp, const QString& name, const QString& code, double price, int color = 0) {
        const int k = db().scalar("INSERT INTO N_PRECE (ISPRGRUPA, GNOS, KODS, PARDCENA1, NODOKLIS, COLOR) "
                                  "VALUES (:G, :N, :K, :C, 21, :COL) RETURNING ISN",
                                  {{"G", grp}, {"N", name}, {"K", code}, {"C", price}, {"COL", color}})
                          .toInt();
        db().commitRetaining();
        return k;
    }
    int parentOf(int isn) { return db().scalar("SELECT ISPARENT FROM N_PRGRUPA WHERE ISN=:I", {{"I", isn}}).toInt(); }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() {
        app::Settings::removeSection(QStringLiteral("PrecesKlasif"));
        m_dati = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("pricewin")));
        QVERIFY(m_dati->authenticate(QStringLiteral("ADMIN"), QString()).ok());
    }
    void cleanup() { m_dati.reset(); }

    void tenLevelTreeShowsNineLevels() {
        int parent = 0;
        for (int level = 1; level <= 10; ++level) parent = group(QStringLiteral("Līmenis %1").arg(level), parent);
        Tn_klprec w(*m_dati);
        QTreeWidget* tree = w.groupTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        int depth = 0;
        for (QTreeWidgetItem* node = tree->topLevelItem(0); node; node = node->child(0)) {
            ++depth;
            QCOMPARE(node->text(0), QStringLiteral("Līmenis %1").arg(depth));
            QVERIFY(node->childCount() <= 1);
        }
        QCOMPARE(depth, 9);
        QCOMPARE(TTreeMyRec::of(tree->currentItem()).Isn, TTreeMyRec::of(tree->topLevelItem(0)).Isn);
    }

    void dragUnderOwnDescendantIsRefusedAndChangesNothing() {
        const int a = group("A");
        const int a1 = group("A1", a);
        const int a11 = group("A11", a1);
        Tn_klprec w(*m_dati);
        const QStringList seen = answering(QMessageBox::Yes, [&] { w.dropGroup(a, a11); });
        QCOMPARE(seen, QStringList{"Pārvietot zem sava apakšzara nedrīkst !!!"});
        QCOMPARE(parentOf(a), 0);
        QCOMPARE(parentOf(a1), a);
        QCOMPARE(parentOf(a11), a1);
        QCOMPARE(topLevelNames(w.groupTree()), QStringList{"A"});
        QCOMPARE(answering(QMessageBox::Yes, [&] { w.dropGroup(a, a); }), QStringList{"Pašu zem sevis pārvietot nedrīkst !!!"});
        // A confirmed move is written and shown; a declined one is not.
        const int b = group("B");
        w.reloadTree();
        QCOMPARE(answering(QMessageBox::No, [&] { w.dropGroup(a1, b); }).size(), 1);
        QCOMPARE(parentOf(a1), a);
        const QStringList asked = answering(QMessageBox::Yes, [&] { w.dropGroup(a1, b); });
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].endsWith(" zem B ?"));
        QCOMPARE(parentOf(a1), b);
        QTreeWidgetItem* nodeB = TTreeMyRec::findNode(w.groupTree(), b);
        QCOMPARE(nodeB->child(0)->text(0), QStringLiteral("A1"));
        QCOMPARE(TTreeMyRec::of(w.groupTree()->currentItem()).Isn, a1);
        // Dropping with the mouse goes the same way: the tree does not move the node by itself.
        QTreeWidget* tree = w.groupTree();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.selectGroup(b);
        const QPoint onA = tree->visualItemRect(TTreeMyRec::findNode(tree, a)).center();
        std::unique_ptr<QMimeData> mime(tree->model()->mimeData({tree->currentIndex()}));
        QDropEvent drop(QPointF(onA), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        // Offscreen there is no drag in progress, so the drop is handed to the window's filter on
        // the tree directly, as the event loop does during a real drag.
        const QStringList dropped = answering(QMessageBox::Yes, [&] {
            QVERIFY(static_cast<QObject&>(w).eventFilter(tree->viewport(), &drop));
            QCOMPARE(drop.dropAction(), Qt::IgnoreAction);
            QTest::qWait(100);
        });
        QCOMPARE(dropped.size(), 1);
        QVERIFY(dropped[0].endsWith(" zem A ?"));
        QCOMPARE(parentOf(b), a);
        QCOMPARE(topLevelNames(tree), QStringList{"A"});
        w.selectGroup(a1);
        // And back to the top level from the pop-up.
        const QStringList top = answering(QMessageBox::Yes, [&] { w.moveGroupToTop(); });
        QCOMPARE(top, (QStringList{"Vai tiešām vēlaties pārvietot šo grupu uz pirmo līmeni ?", "Pārvietošana notikusi"}));
        QCOMPARE(parentOf(a1), 0);
        QCOMPARE(topLevelNames(w.groupTree()), (QStringList{"A", "A1"}));
    }

    void deletingAGroupWithItemsShowsTheDatabaseRefusal() {
        const int g = group("Ar precēm");
        const int it = item(g, "Plombe", "P1", 30);
        Tn_klprec w(*m_dati);
        w.selectGroup(g);
        const QStringList seen = answering(QMessageBox::Yes, [&] { w.deleteGroup(); });
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("Vai tiešām vēlaties dzēst Ar precēm?"));
        QCOMPARE(seen[1], QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n"
                                         "Manipulāciju grupai ir 1 manipulācija."));
        QVERIFY(TTreeMyRec::findNode(w.groupTree(), g));
        QCOMPARE(listNames(w), QStringList{"Plombe"});
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM N_PRECE WHERE ISN=:I", {{"I", it}}).toInt(), 1);
        // An empty group goes.
        const int empty = group("Tukša");
        w.reloadTree();
        w.selectGroup(empty);
        QCOMPARE(answering(QMessageBox::Yes, [&] { w.deleteGroup(); }).size(), 1);
        QVERIFY(!TTreeMyRec::findNode(w.groupTree(), empty));
    }

    void newItemTakesTheDefaultVatRate() {
        const int g = group("G");
        m_dati->setDefaultVatRate(12);
        Tn_klprec w(*m_dati);
        w.selectGroup(g);
        w.newItem();
        QComboBox* vat = w.card()->vatCombo();
        QCOMPARE(vat->count(), 3);
        QCOMPARE((QStringList{vat->itemText(0), vat->itemText(1), vat->itemText(2)}), (QStringList{"0", "12", "21"}));
        QCOMPARE(vat->currentText(), QStringLiteral("12"));
        QCOMPARE(w.pages()->currentIndex(), 1);
        w.card()->nameEdit()->setText("Konsultācija");
        w.card()->priceEdit()->setText("25,50");
        QTest::mouseClick(w.card()->saveButton(), Qt::LeftButton);
        const db::ResultSet rs = db().select("SELECT NODOKLIS, PARDCENA1, ISPRGRUPA FROM N_PRECE WHERE GNOS='Konsultācija'");
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, "NODOKLIS").toInt(), 12);
        QCOMPARE(rs.value(0, "PARDCENA1").toDouble(), 25.5);
        QCOMPARE(rs.value(0, "ISPRGRUPA").toInt(), g);
        QCOMPARE(listNames(w), QStringList{"Konsultācija"});
    }

    void duplicateCodeIsRefusedOnTheCard() {
        const int g = group("G");
        item(g, "Esošā", "K1", 10);
        Tn_klprec w(*m_dati);
        w.newItem();
        w.card()->nameEdit()->setText("Jaunā");
        w.card()->codeEdit()->setText("K1");
        const QStringList seen = answering(QMessageBox::Ok, [&] { w.saveItem(); });
        QCOMPARE(seen, QStringList{"Manipulācijas kods nedrīkst atkārtoties !!!"});
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM N_PRECE WHERE ISPRGRUPA=:G", {{"G", g}}).toInt(), 1);
    }

    void listColoursAndQuickSearch() {
        const int g = group("G");
        item(g, "Bezmaksas apskate", "B1", 0);
        item(g, "Kronis", "KR-2", 300, 0x00FF0000);  // blue, stored as 0x00BBGGRR
        item(g, "Plombe", "PL-1", 40);
        Tn_klprec w(*m_dati);
        QAbstractItemModel* m = w.itemGrid()->model();
        QCOMPARE(listNames(w), (QStringList{"Bezmaksas apskate", "Kronis", "Plombe"}));
        QCOMPARE(m->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
        QCOMPARE(m->index(1, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
        QVERIFY(!m->index(2, 0).data(Qt::ForegroundRole).isValid());
        QCOMPARE(m->index(2, 3).data().toString(), QStringLiteral("40.00"));
        QVERIFY(m->index(2, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QVERIFY(!m->index(1, 2).data(Qt::BackgroundRole).isValid());

        // A colour too pale to read on white fills the row under dark text; an item without any
        // price is red like one priced 0.
        const int pale = item(g, "Zobu balināšana", "ZB", 90, 0x00C0FFFF);  // light yellow
        const int unpriced = item(g, "Vēl bez cenas", "VBC", 0);
        db().exec("UPDATE N_PRECE SET PARDCENA1=NULL WHERE ISN=:I", {{"I", unpriced}});
        db().commitRetaining();
        w.reloadItems();
        const int paleRow = w.itemModel()->findRow(pale), unpricedRow = w.itemModel()->findRow(unpriced);
        QCOMPARE(m->index(paleRow, 2).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xFF, 0xFF, 0xC0));
        QCOMPARE(m->index(paleRow, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
        QCOMPARE(m->index(unpricedRow, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
        QCOMPARE(m->index(unpricedRow, 3).data().toString(), QString());
        w.reloadItems();

        QTest::keyClicks(w.quickSearchEdit(), "pl");
        QCOMPARE(w.itemGrid()->currentIndex().row(), 2);
        w.quickSearchEdit()->clear();
        QTest::keyClicks(w.quickSearchEdit(), "300");
        QCOMPARE(w.itemGrid()->currentIndex().row(), 1);
    }

    // A filter that leaves nothing says so in the status bar and offers to drop it; "Aizvērt"
    // closes the window.
    void filterStateAndClose() {
        const int g = group("G");
        item(g, "Plombe", "PL-1", 40);
        Tn_klprec w(*m_dati);
        w.show();
        QVERIFY(w.statusBar()->currentMessage().isEmpty());
        auto* clear = w.findChild<QPushButton*>("btAtceltFiltru");
        QVERIFY(clear->isHidden());
        pricelist::PriceListFilter none;
        none.nameContains = QStringLiteral("nekas tāds");
        w.setFilter(none);
        QCOMPARE(w.groupTree()->topLevelItemCount(), 0);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Filtrs ieslēgts: atlasei neatbilst neviena manipulācija."));
        QVERIFY(!clear->isHidden());
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(w.filter().isEmpty());
        QCOMPARE(topLevelNames(w.groupTree()), QStringList{"G"});
        QVERIFY(w.statusBar()->currentMessage().isEmpty());
        QVERIFY(clear->isHidden());
        QTest::mouseClick(w.findChild<QPushButton*>("btAizvert"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    // A manipulation typed on the card and not saved is not dropped without asking.
    void closingWithATypedItemAsks() {
        const int g = group("G");
        Tn_klprec w(*m_dati);
        w.show();
        w.selectGroup(g);
        w.newItem();
        w.card()->nameEdit()->setText(QStringLiteral("Nesaglabātā"));
        ModalHelper modal;
        modal.answers = {QMessageBox::Cancel, QMessageBox::No};
        QPushButton* close = w.findChild<QPushButton*>("btAizvert");
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(w.card()->nameEdit()->text(), QStringLiteral("Nesaglabātā"));
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(modal.messages, (QStringList{"Vai saglabāt izmaiņas ?", "Vai saglabāt izmaiņas ?"}));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM N_PRECE WHERE GNOS='Nesaglabātā'").toInt(), 0);
    }

    void selectionModeReturnsTheKey() {
        const int g = group("G");
        item(g, "A", "A", 1);
        const int b = item(g, "B", "B", 2);
        Tn_klprec w(*m_dati, nullptr, true);
        QVERIFY(w.goToItem(b));
        w.show();
        QTest::keyClick(w.itemGrid(), Qt::Key_Return);
        QCOMPARE(w.chosenKey(), b);
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    void aUserWithoutRightsIsRefused() {
        const int a = group("A");
        const int b = group("B");
        const int b1 = group("B1", b);
        db().exec("INSERT INTO N_USERS (GNOS, IESPEJAS, ISUSERGROUP) VALUES (:G, '02_TFFF', 1)",
                  {{"G", app::EncodeUserName(QStringLiteral("SKATITAJS"))}});
        db().commitRetaining();
        QVERIFY(m_dati->authenticate(QStringLiteral("SKATITAJS"), QString()).ok());
        Tn_klprec w(*m_dati);
        w.show();
        QCOMPARE(answering(QMessageBox::Yes, [&] { w.dropGroup(a, b); }), QStringList{"Jums nav tiesības pārvietot grupas !!!"});
        w.selectGroup(b1);
        QCOMPARE(answering(QMessageBox::Yes, [&] { w.moveGroupToTop(); }), QStringList{"Jums nav tiesības pārvietot grupu !!!"});
        QCOMPARE(parentOf(b1), b);
        QTreeWidgetItem* node = TTreeMyRec::findNode(w.groupTree(), a);
        QCOMPARE(answering(QMessageBox::Ok, [&] { node->setText(0, "Pārdēvēta"); }), QStringList{"Jums grupu labošana nav atļauta !!!"});
        QCOMPARE(node->text(0), QStringLiteral("A"));
        QCOMPARE(db().scalar("SELECT GNOS FROM N_PRGRUPA WHERE ISN=:I", {{"I", a}}).toString(), QStringLiteral("A"));
        QVERIFY(!w.findChild<QPushButton*>("btJaunaPrece")->isEnabled());
        QVERIFY(!w.findChild<QPushButton*>("btDzestGrupu")->isEnabled());
        QVERIFY(!w.card()->saveButton()->isEnabled());
    }

    void sizesSplitterAndOrderAreKept() {
        group("G");
        {
            Tn_klprec w(*m_dati);
            w.resize(900, 700);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const QList<int> sizes = w.splitter()->sizes();
            w.splitter()->setSizes({250, sizes[0] + sizes[1] - 250});
            w.setOrder("PARDCENA1");
        }
        QCOMPARE(app::Settings::integer("PrecesKlasif", "Width"), 900);
        QCOMPARE(app::Settings::integer("PrecesKlasif", "Height"), 700);
        QCOMPARE(app::Settings::integer("PrecesKlasif", "SplitterH"), 250);
        QCOMPARE(app::Settings::string("PrecesKlasif", "Kartiba"), QStringLiteral("PARDCENA1"));
        QVERIFY(app::Settings::contains("PrecesKlasif", "GroupTreeHeight"));
        Tn_klprec again(*m_dati);
        QCOMPARE(again.size(), QSize(900, 700));
        QCOMPARE(again.order(), QStringLiteral("PARDCENA1"));
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.splitter()->sizes().value(0), 250);
    }

    // A receptionist builds a small clinic price list, moves a group, finds an item by a fragment
    // of its name and narrows the list by price.
    void smallClinicAsAUserWouldBuildIt() {
        Tn_klprec w(*m_dati);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto newTopGroup = [&](const QString& name) {
            w.newGroup();
            QTreeWidgetItem* node = w.groupTree()->currentItem();
            w.groupTree()->closePersistentEditor(node);
            node->setText(0, name);  // the in-place rename
            return TTreeMyRec::of(node).Isn;
        };
        const int terapija = newTopGroup("Terapija");
        const int kirurgija = newTopGroup("Ķirurģija");
        const int higiena = newTopGroup("Higiēna");
        w.selectGroup(terapija);
        w.newChildGroup();
        const int plombes = TTreeMyRec::of(w.groupTree()->currentItem()).Isn;
        QCOMPARE(w.groupTree()->currentItem()->text(0), QStringLiteral("Jauna grupa (Zem esošās)"));
        w.groupTree()->currentItem()->setText(0, "Plombes");
        QCOMPARE(db().scalar("SELECT GNOS FROM N_PRGRUPA WHERE ISN=:I", {{"I", plombes}}).toString(), QStringLiteral("Plombes"));
        QCOMPARE(parentOf(plombes), terapija);

        const QList<std::tuple<int, QString, QString, QString>> items{
            {plombes, "Plombe gaismas cietējoša", "T01", "45,00"}, {plombes, "Plombe stikla jonomēra", "T02", "35,00"},
            {plombes, "Pagaidu plombe", "T03", "15,00"},           {terapija, "Kanālu ārstēšana", "T10", "120,00"},
            {terapija, "Pulpīta ārstēšana", "T11", "90,00"},       {terapija, "Rentgens", "T12", "12,00"},
            {kirurgija, "Zoba ekstrakcija", "K01", "60,00"},       {kirurgija, "Gudrības zoba ekstrakcija", "K02", "120,00"},
            {kirurgija, "Infiltrācijas anestēzija", "K03", "12,00"}, {higiena, "Zobakmens noņemšana", "H01", "55,00"},
            {higiena, "Profesionālā tīrīšana", "H02", "70,00"},    {higiena, "Fluorēšana", "H03", "20,00"}};
        for (const auto& [grp, name, code, price] : items) {
            w.selectGroup(grp);
            QTest::keyClick(&w, Qt::Key_F6);  // "Jauna prece"
            QCOMPARE(w.pages()->currentIndex(), 1);
            w.card()->nameEdit()->setText(name);
            w.card()->codeEdit()->setText(code);
            w.card()->priceEdit()->setText(price);
            QTest::mouseClick(w.card()->saveButton(), Qt::LeftButton);
            QCOMPARE(w.card()->shownItem().name, name);
        }
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM N_PRECE WHERE ISN>1").toInt(), 12);
        QCOMPARE(db().scalar("SELECT SUM(PARDCENA1) FROM N_PRECE WHERE ISN>1").toDouble(), 654.0);

        // Hygiene goes under therapy.
        QCOMPARE(answering(QMessageBox::Yes, [&] { w.dropGroup(higiena, terapija); }).size(), 1);
        // Names sort in the database's Latvian order: Ķ right after K.
        QCOMPARE(topLevelNames(w.groupTree()), (QStringList{"Ķirurģija", "Terapija"}));
        QTreeWidgetItem* ter = TTreeMyRec::findNode(w.groupTree(), terapija);
        QCOMPARE(ter->childCount(), 2);

        // Search by a fragment of a name, then the next hit.
        w.searchItem("ekstrak");
        QCOMPARE(w.currentGroup(), kirurgija);
        QCOMPARE(w.itemModel()->fieldValue(w.itemGrid()->currentIndex().row(), "GNOS").toString(),
                 QStringLiteral("Zoba ekstrakcija"));
        w.searchNext();
        QCOMPARE(w.itemModel()->fieldValue(w.itemGrid()->currentIndex().row(), "GNOS").toString(),
                 QStringLiteral("Gudrības zoba ekstrakcija"));
        QCOMPARE(answering(QMessageBox::Ok, [&] { w.searchNext(); }), QStringList{"Nav atrasts !!!"});

        // Filter by price: only the groups holding a 12.00 item stay.
        pricelist::PriceListFilter f;
        f.price = "12";
        w.setFilter(f);
        QStringList shown;
        for (QTreeWidgetItemIterator it(w.groupTree()); *it; ++it) shown << (*it)->text(0);
        shown.sort();
        QCOMPARE(shown, (QStringList{"Terapija", "Ķirurģija"}));
        w.selectGroup(kirurgija);
        QCOMPARE(listNames(w), QStringList{"Infiltrācijas anestēzija"});
        w.setFilter({});
        QCOMPARE(w.groupTree()->topLevelItemCount(), 2);

        const QString shot = testsupport::scratchDir() + "/pricelist-window.png";
        w.selectGroup(plombes);
        QVERIFY(w.grab().save(shot));
        w.pages()->setCurrentIndex(1);
        QVERIFY(w.grab().save(QString(shot).replace(".png", "-card.png")));
        qInfo() << "screenshot" << shot;
    }
};

QTEST_MAIN(TestPriceListWindow)
#include "tst_pricelist_window.moc"
