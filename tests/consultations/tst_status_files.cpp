// The status page's periodontal grid (tooth columns, the stored row format, the cell editors and
// their levels, saving with the consultation) and the patient's files on the consultation (stored
// at once in the list the patient card shows, names with blanks, Latvian letters, ";" and "|").
#include "../calendar/ClinicFixture.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/PatientFiles.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "consultations/ConsultationForm.h"
#include "consultations/PatientFilesPage.h"
#include "consultations/PeriodontalGrid.h"
#include "consultations/StatusPage.h"
#include "consultations/TKonsultacijasDati.h"
#include "molarix/Composition.h"
#include "patients/Tn_klientEdit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QtTest>

using namespace consultations;
namespace pg = consultations::periodontal;

using ToothCells = QHash<int, QString>;

class TestStatusFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_session;
    std::unique_ptr<app::WindowRegistry> m_registry;
    std::unique_ptr<ClinicFixture> m_clinic;
    db::Database* m_db = nullptr;
    int m_ilze = 0, m_room = 0, m_anna = 0;

    QString cell(StatusPage& page, int row, int tooth) {
        return page.grid()->item(row, pg::ColumnOfTooth(tooth) + 1)->text();
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("status")));
        QVERIFY(m_session->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_registry = std::make_unique<app::WindowRegistry>();
        molarix::Compose(*m_registry, *m_session);
        m_db = &m_session->database();
        m_clinic = std::make_unique<ClinicFixture>(*m_db);
        m_ilze = m_clinic->specialist("Bērziņa", "Ilze");
        m_room = m_clinic->room("Kabinets 1");
        m_anna = m_clinic->patient("Liepiņa", "Anna");
    }
    void cleanup() {
        m_registry.reset();
        m_clinic.reset();
        m_session.reset();
    }

    void toothColumns() {
        QList<int> teeth;
        for (int k = 0; k < pg::Teeth; ++k) teeth.append(pg::ToothOfColumn(k));
        QCOMPARE(teeth, (QList<int>{11, 12, 13, 14, 15, 16, 17, 18, 28, 27, 26, 25, 24, 23, 22, 21,
                                    31, 32, 33, 34, 35, 36, 37, 38, 48, 47, 46, 45, 44, 43, 42, 41}));
        QCOMPARE(pg::ColumnOfTooth(99), -1);
    }

    // A stored row fills the columns of its teeth; unknown teeth and broken pieces are ignored;
    // writing it back gives the stored form in column order.
    void storedRows_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<ToothCells>("cells");
        QTest::addColumn<QString>("written");
        QTest::newRow("16 and 99") << "16_4|99_7|" << ToothCells{{16, "4"}} << "16_4|";
        QTest::newRow("two teeth") << "16_4|26_5|" << ToothCells{{16, "4"}, {26, "5"}} << "16_4|26_5|";
        QTest::newRow("column order") << "41_3|11_1|28_2|" << ToothCells{{11, "1"}, {28, "2"}, {41, "3"}}
                                      << "11_1|28_2|41_3|";
        QTest::newRow("empty") << "" << ToothCells{} << "";
        QTest::newRow("without separator") << "16|17_2|" << ToothCells{{17, "2"}} << "17_2|";
    }
    void storedRows() {
        QFETCH(QString, stored);
        QFETCH(ToothCells, cells);
        QFETCH(QString, written);
        const QVector<QString> parsed = pg::ParseRow(stored);
        for (int k = 0; k < pg::Teeth; ++k) QCOMPARE(parsed.at(k), cells.value(pg::ToothOfColumn(k)));
        QCOMPARE(pg::FormatRow(parsed), written);
    }

    // The editors: the pockets row is typed, the others chosen from their levels (four only for
    // mobility); nothing opens while the consultation is not edited.
    void cellEditors_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("levels");
        QTest::newRow("Kustīgums") << 1 << QStringList{"", "1", "2", "3", "4"};
        QTest::newRow("Zobakmens") << 3 << QStringList{"", "1", "2", "3"};
        QTest::newRow("Aplikums") << 4 << QStringList{"", "1", "2", "3"};
        QTest::newRow("Zobu formula") << 5 << QStringList{"", "1", "2", "3"};
    }
    void cellEditors() {
        QFETCH(int, row);
        QFETCH(QStringList, levels);
        StatusPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.grid()->item(row, 0)->text(), pg::RowCaption(row - 1));
        page.editCell(row, 6);
        QVERIFY(!page.cellChoice()->isVisible());
        page.setEditable(true);
        page.editCell(row, 6);
        QVERIFY(page.cellChoice()->isVisible());
        QVERIFY(!page.cellText()->isVisible());
        QStringList offered;
        for (int i = 0; i < page.cellChoice()->count(); ++i) offered.append(page.cellChoice()->itemText(i));
        QCOMPARE(offered, levels);
        Q_EMIT page.cellChoice()->activated(2);
        QVERIFY(!page.cellChoice()->isVisible());
        QCOMPARE(page.grid()->item(row, 6)->text(), QStringLiteral("2"));
        QCOMPARE(page.values().value(QString::fromLatin1(pg::RowColumn(row - 1))).toString(), QStringLiteral("16_2|"));

        // The pockets row: a text box over the cell; Enter writes it back.
        page.editCell(2, 11);
        QVERIFY(page.cellText()->isVisible());
        QVERIFY(!page.cellChoice()->isVisible());
        page.cellText()->setText("5");
        QTest::keyClick(page.cellText(), Qt::Key_Return);
        QCOMPARE(cell(page, 2, 26), QStringLiteral("5"));
        QCOMPARE(page.values().value("KABATAS").toString(), QStringLiteral("26_5|"));
    }

    // Saved with the consultation: an empty grid writes empty texts; filled rows and status
    // fields are read back.
    void savedWithTheConsultation() {
        TKonsultacijasDati dati(*m_db);
        Consultation c = dati.create({m_ilze, 0});
        c.patient = m_anna;
        c.room = m_room;
        ConsultationForm form;
        form.setStaff(dati.staff());
        form.setRooms(dati.rooms());
        form.showConsultation(c);
        form.setEditable(true);
        Consultation empty = form.collect(c);
        QVERIFY(dati.validate(empty).ok());
        const int key = dati.save(empty, 1).key;
        const db::ResultSet row =
            m_db->select("SELECT KUSTIGUMS, KABATAS, ZOBAKMENS, APLIKUMS, ZOBUFORMULA, GLOTADA FROM O_KONSULTACIJA_HD "
                         "WHERE ISN=:K",
                         {{"K", key}});
        for (int col = 0; col < 5; ++col) {
            QVERIFY(!row.value(0, col).isNull());
            QCOMPARE(row.value(0, col).toString(), QString());
        }
        QVERIFY(row.value(0, 5).isNull());

        Consultation stored = *dati.load(key);
        form.showConsultation(stored);
        StatusPage* page = form.statusPage();
        page->editCell(1, pg::ColumnOfTooth(16) + 1);
        Q_EMIT page->cellChoice()->activated(4);
        page->field("GLOTADA")->setText("Bāla, bez iekaisuma");
        page->hygiene()->button(2)->setChecked(true);
        Consultation filled = form.collect(stored);
        QVERIFY(dati.validate(filled).ok());
        dati.save(filled, 1);
        const Consultation again = *dati.load(key);
        QCOMPARE(again.status.value("KUSTIGUMS").toString(), QStringLiteral("16_4|"));
        QCOMPARE(again.status.value("GLOTADA").toString(), QStringLiteral("Bāla, bez iekaisuma"));
        QCOMPARE(again.status.value("MUTES_HIGIENA").toInt(), 2);
        form.setEditable(false);
        form.showConsultation(again);
        QCOMPARE(cell(*form.statusPage(), 1, 16), QStringLiteral("4"));
    }

    // Adding and removing a file changes FAILI at once, as the patient card reads it; names with
    // blanks, Latvian letters, ";" and "|" survive; a name the list cannot hold is refused.
    void patientFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("kept");
        QTest::newRow("plain") << "/home/klinika/rentgens.png" << true;
        QTest::newRow("blanks and letters") << "/home/klinika/Liepiņa Anna/zobu ģipsis čūska.jpg" << true;
        QTest::newRow("semicolon and bar") << "/home/klinika/a;b|c.pdf" << true;
        QTest::newRow("separator") << "/home/klinika/a>b.pdf" << false;
        QTest::newRow("trailing blank") << "/home/klinika/ab.pdf " << false;
    }
    void patientFiles() {
        QFETCH(QString, path);
        QFETCH(bool, kept);
        m_db->exec("UPDATE N_KLIENTS SET FAILI=:F WHERE ISN=:K", {{"F", "/home/klinika/vecs.txt>"}, {"K", m_anna}});
        m_db->commitRetaining();
        patients::Tn_klientEdit card(*m_session);
        card.start(m_anna, false);
        auto* cardList = card.findChild<QListWidget*>("lbFaili");
        QCOMPARE(cardList->count(), 1);

        PatientFilesPage page;
        page.setSession(m_session.get());
        page.showPatient(m_anna);
        ModalHelper modal;
        QCOMPARE(page.addFile(path), kept);
        const QStringList stored = app::SplitPatientFiles(
            m_db->scalar("SELECT FAILI FROM N_KLIENTS WHERE ISN=:K", {{"K", m_anna}}).toString());
        if (!kept) {
            QCOMPARE(modal.messages.size(), 1);
            QCOMPARE(stored, QStringList{"/home/klinika/vecs.txt"});
            return;
        }
        QCOMPARE(stored, (QStringList{"/home/klinika/vecs.txt", path}));
        QCOMPARE(page.list()->count(), 2);
        // The open card follows.
        QCOMPARE(cardList->count(), 2);
        QCOMPARE(cardList->item(1)->text(), path);

        page.list()->setCurrentRow(0);
        page.removeSelected();
        QCOMPARE(app::SplitPatientFiles(
                     m_db->scalar("SELECT FAILI FROM N_KLIENTS WHERE ISN=:K", {{"K", m_anna}}).toString()),
                 QStringList{path});
        QCOMPARE(cardList->count(), 1);
        QCOMPARE(cardList->item(0)->text(), path);
    }
};

QTEST_MAIN(TestStatusFiles)
#include "tst_status_files.moc"
