// The window that asks which patient is meant when several share one personal code, on its own
// and as FindKeyByCode opens it during an import.
#include "TestDatabase.h"
#include "app/SharedProcedures.h"
#include "patients/TAtkartojasPersKodi.h"
#include "patients/TAtkartojasPersKodi.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using patients::TAtkartojasPersKodi;

namespace {

const QString Code = QStringLiteral("120385-10001");

// Runs the action on the picker as soon as it is shown modally.
void whenPickerShows(const std::function<void(TAtkartojasPersKodi*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* picker = qobject_cast<TAtkartojasPersKodi*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(picker);
        }
    });
    timer->start();
}

}  // namespace

class TestDuplicatePicker : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    QList<int> m_twins;
    int m_other = 0;

    int add(const QString& surname, const QString& name, const QString& code) {
        return m_db
            ->scalar("INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS) VALUES (:U, :V, :P) RETURNING ISN",
                     {{"U", surname}, {"V", name}, {"P", code}})
            .toInt();
    }

private Q_SLOTS:
    void initTestCase() {
        m_db = testsupport::freshDatabase(QStringLiteral("picker"));
        app::EnsureDefaultRows(m_db->defaultTransaction());
        m_twins = {add("Ozols", "Jānis", Code), add("Ābele", "Līga", Code), add("Ozols", "Pēteris", Code)};
        m_other = add("Kļava", "Inese", "010190-20002");
        m_db->commitRetaining();
    }

    void listsThePatientsWithTheCode() {
        TAtkartojasPersKodi picker(*m_db, Code);
        QCOMPARE(picker.windowTitle(), QStringLiteral("Ir vairākas personas ar šo personas kodu :"));
        QComboBox* combo = picker.patientCombo();
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("Ozols Jānis"));
        QCOMPARE(combo->itemText(1), QStringLiteral("Ābele Līga"));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(picker.chosenKey(), m_twins[0]);
        combo->setCurrentIndex(2);
        QCOMPARE(picker.chosenKey(), m_twins[2]);
    }

    void importChoosesAmongDuplicates_data() {
        QTest::addColumn<int>("pick");     // combo row the user picks, -1 = cancel
        QTest::addColumn<int>("expected");  // index into the twins, -1 = no key
        QTest::newRow("preselected first") << 0 << 0;
        QTest::newRow("third") << 2 << 2;
        QTest::newRow("cancel") << -1 << -1;
    }
    void importChoosesAmongDuplicates() {
        QFETCH(int, pick);
        QFETCH(int, expected);
        QWidget parent;
        bool shown = false;
        whenPickerShows([&](TAtkartojasPersKodi* picker) {
            shown = true;
            if (pick < 0) {
                QTest::mouseClick(picker->findChild<QPushButton*>("btAtlikt"), Qt::LeftButton);
                return;
            }
            picker->patientCombo()->setCurrentIndex(pick);
            QTest::mouseClick(picker->findChild<QPushButton*>("btOK"), Qt::LeftButton);
        });
        const int key = patients::FindKeyByCode(*m_db, app::CodeKind::PersonalCode, Code, &parent);
        QVERIFY(shown);
        QCOMPARE(key, expected < 0 ? 0 : m_twins[expected]);
    }

    void singleMatchAsksNobody() {
        QWidget parent;
        QCOMPARE(patients::FindKeyByCode(*m_db, app::CodeKind::PersonalCode, QStringLiteral("010190-20002"), &parent), m_other);
        QCOMPARE(patients::FindKeyByCode(*m_db, app::CodeKind::PersonalCode, QStringLiteral("999999-99999"), &parent), 0);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestDuplicatePicker)
#include "tst_duplicatepicker.moc"
