// Moving price groups with the mouse, as a user does: press on a group, drag it, release it on
// another. The refusals must reach the user even where Qt's tree would refuse the drop itself.
// Runs on the "minimal" platform, whose drag is real (the offscreen one ends every drag at once).
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "pricelist/TTreeMyRec.h"
#include "pricelist/Tn_klprec.h"

#include <QSplitter>

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using pricelist::Tn_klprec;
using pricelist::TTreeMyRec;

class TestPriceListDrag : public QObject {
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
    int parentOf(int isn) { return db().scalar("SELECT ISPARENT FROM N_PRGRUPA WHERE ISN=:I", {{"I", isn}}).toInt(); }

    // Presses on one group, drags it and releases it on another. The drag runs an event loop of
    // its own once the mouse has moved far enough; the rest of the gesture is played from there.
    void drag(QTreeWidget* tree, int from, int to) {
        QWidget* viewport = tree->viewport();
        const QPoint start = tree->visualItemRect(TTreeMyRec::findNode(tree, from)).center();
        const QPoint end = tree->visualItemRect(TTreeMyRec::findNode(tree, to)).center();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
        bool released = false;
        QTimer::singleShot(100, viewport, [&] {
            QTest::mouseMove(viewport, end + QPoint(0, 1));
            QTest::mouseMove(viewport, end);
            QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, end);
            released = true;
        });
        // The first move makes the view ready to drag, the next one beyond the start distance
        // starts the drag; it returns when the drag ends.
        QTest::mouseMove(viewport, start + QPoint(1, 0));
        QTest::mouseMove(viewport, start + QPoint(QApplication::startDragDistance() + 10, 0));
        if (!released) {
            // No drag started (e.g. the platform ended it at once): release where it would have.
            QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, end);
        }
        QVERIFY(released);
    }

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void init() {
        app::Settings::removeSection(QStringLiteral("PrecesKlasif"));
        m_dati = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("pricedrag")));
        QVERIFY(m_dati->authenticate(QStringLiteral("ADMIN"), QString()).ok());
    }
    void cleanup() { m_dati.reset(); }

    void mouseDrag_data() {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("newParent");  // empty: nothing moves
        QTest::newRow("onto itself") << "A" << "A" << "Pašu zem sevis pārvietot nedrīkst !!!" << "";
        QTest::newRow("into its own branch") << "A" << "A11" << "Pārvietot zem sava apakšzara nedrīkst !!!" << "";
        QTest::newRow("under another group") << "A1" << "B" << "Vai tiešām vēlaties pārvietot grupu A1 zem B ?" << "B";
    }
    void mouseDrag() {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(QString, newParent);
        QHash<QString, int> keys;
        keys["A"] = group("A");
        keys["A1"] = group("A1", keys["A"]);
        keys["A11"] = group("A11", keys["A1"]);
        keys["B"] = group("B");
        const int parentBefore = parentOf(keys[dragged]);
        Tn_klprec w(*m_dati);
        w.resize(800, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.splitter()->setSizes({350, 350});  // every group in sight
        w.selectGroup(keys[dragged]);
        ModalHelper modal;
        drag(w.groupTree(), keys[dragged], keys[target]);
        QTRY_COMPARE(modal.messages, QStringList{message});
        QCOMPARE(parentOf(keys[dragged]), newParent.isEmpty() ? parentBefore : keys[newParent]);
        // The tree shows what the database holds.
        QTreeWidgetItem* node = TTreeMyRec::findNode(w.groupTree(), keys[dragged]);
        QVERIFY(node);
        QCOMPARE(TTreeMyRec::of(node->parent()).Isn, parentOf(keys[dragged]));
    }
};

QTEST_MAIN(TestPriceListDrag)
#include "tst_pricelist_drag.moc"
