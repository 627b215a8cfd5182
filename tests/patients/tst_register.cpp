// The patient register: the card's field rules and checks, the list's searches and delete, and one
// full new-patient flow through the real windows.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/Settings.h"
#include "app/TMainFormDati.h"
#include "models/ResultTableModel.h"
#include "db/Statement.h"
#include "patients/PatientListStore.h"
#include "db/ReferenceSeed.h"
#include "patients/PatientFinder.h"
#include "patients/TKlienti.h"
#include "patients/TKlientuKlasifDati.h"
#include "patients/Tn_klientEdit.h"
#include "widgets/LookupCombo.h"
#include "widgets/NullableDateEdit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QSignalSpy>
#include <QtTest>

using namespace patients;


class TestRegister : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_dati;
    db::Database* m_db = nullptr;

    int count(const QString& sql, const db::Params& p = {}) { return m_db->scalar(sql, p).toInt(); }
    int addPatient(const QString& surname, const QString& name, const QVariant& code = {}) {
        const int key = m_db->scalar(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS) "
                                                    "VALUES (:U, :V, :P) RETURNING ISN"),
                                     {{"U", surname}, {"V", name}, {"P", code}})
                            .toInt();
        m_db->commitRetaining();
        return key;
    }
    void addNameDay(const QString& name, const QDate& date) {
        m_db->exec(QStringLiteral("INSERT INTO N_SVETKI (GNOS, DATUMS, FLAG) VALUES (:G, :D, 0)"),
                   {{"G", name}, {"D", QDateTime(date, QTime(0, 0))}});
        m_db->commitRetaining();
    }
    QLineEdit* text(Tn_klientEdit& card, const char* column) {
        return qobject_cast<QLineEdit*>(card.field(QString::fromLatin1(column)));
    }

private Q_SLOTS:
    void initTestCase() {
        testsupport::isolateSettings();
        m_dati = std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("register")));
        QVERIFY(m_dati->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_db = &m_dati->database();
        addNameDay(QStringLiteral("Anna"), QDate(2000, 7, 26));
        addNameDay(QStringLiteral("Ēriks"), QDate(2000, 5, 18));
    }

    void birthDateFromPersonalCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QDate>("expected");  // invalid = the birth date stays
        QTest::newRow("empty birth date") << "120385-12345" << QDate() << QDate(1985, 3, 12);
        QTest::newRow("birth date kept") << "120385-12345" << QDate(1985, 3, 13) << QDate();
        QTest::newRow("before 1910 replaced") << "120385-12345" << QDate(1900, 1, 1) << QDate(1985, 3, 12);
        QTest::newRow("century is always 19") << "010105-22222" << QDate() << QDate(1905, 1, 1);
        QTest::newRow("blank code") << "   " << QDate() << QDate();
        QTest::newRow("no date in code") << "329985-12345" << QDate() << QDate();
    }
    void birthDateFromPersonalCode() {
        QFETCH(QString, code);
        QFETCH(QDate, birth);
        QFETCH(QDate, expected);
        QCOMPARE(TKlientuKlasifDati::BirthDateFromCode(code, birth), expected);
    }

    void personalCodeExitOnTheCard() {
        Tn_klientEdit card(*m_dati);
        card.start(0);
        auto* birth = qobject_cast<widgets::NullableDateEdit*>(card.field(QStringLiteral("DZIM_DAT")));
        text(card, "PERS_KODS")->setText(QStringLiteral(" 120385-1001"));
        card.personalCodeExit();
        QCOMPARE(text(card, "PERS_KODS")->text(), QStringLiteral("120385-1001"));
        QCOMPARE(birth->value(), QDate(1985, 3, 12));
        birth->setValue(QDate(1986, 1, 1));
        card.personalCodeExit();
        QCOMPARE(birth->value(), QDate(1986, 1, 1));
    }

    void nameDayLookup_data() {
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("nameDay");
        QTest::addColumn<bool>("message");
        QTest::newRow("found") << "Anna"
                               << ""
                               << "26.07" << false;
        QTest::newRow("two words, first in upper case") << "ēriks anna"
                                                        << ""
                                                        << "18.05" << false;
        QTest::newRow("found replaces") << "anna"
                                        << "01.01"
                                        << "26.07" << false;
        QTest::newRow("unknown, empty") << "Zzyzx"
                                        << ""
                                        << "22.05" << true;
        QTest::newRow("unknown, filled") << "Zzyzx"
                                         << "03.04"
                                         << "03.04" << false;
    }
    void nameDayLookup() {
        QFETCH(QString, firstName);
        QFETCH(QString, current);
        QFETCH(QString, nameDay);
        QFETCH(bool, message);
        TKlientuKlasifDati dati(*m_db);
        const NameDayResult r = dati.lookupNameDay(firstName, current);
        QCOMPARE(r.nameDay, nameDay);
        QCOMPARE(r.message, message ? TKlientuKlasifDati::DefaultNameDayMessage() : QString());
    }

    // The 22 May message comes once: at the first exit of the name, not again on the next exit or
    // on save.
    void defaultNameDayMessageOnce() {
        Tn_klientEdit card(*m_dati);
        card.start(0);
        ModalHelper modal;
        text(card, "UZVARDS")->setText(QStringLiteral("rareņa"));
        card.surnameExit();
        QCOMPARE(text(card, "UZVARDS")->text(), QStringLiteral("Rareņa"));
        text(card, "VARDS")->setText(QStringLiteral("zzyzx"));
        card.firstNameExit();
        card.firstNameExit();
        QVERIFY(card.save());
        QCOMPARE(modal.messages,
                 QStringList{
                     QStringLiteral("Šāds vārds nav atrasts vārda dienu sarakstā, tiks ielikts 22. maijs.")});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT VARDA_DIENA FROM N_KLIENTS WHERE ISN=:K"),
                              {{"K", card.savedKey()}})
                     .toString(),
                 QStringLiteral("22.05"));
    }

    void saveChecks_data() {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no surname") << " "
                                    << "Jānis"
                                    << ""
                                    << "Nav ievadīts klienta uzvārds !!!"
                                    << "UZVARDS";
        QTest::newRow("no name") << "Ozols"
                                 << ""
                                 << ""
                                 << "Nav ievadīts klienta vārds !!!"
                                 << "VARDS";
        QTest::newRow("duplicate code") << "Ozols"
                                        << "Jānis"
                                        << "111111-11111"
                                        << "Atkārtojas personas kodi !!!"
                                        << "PERS_KODS";
    }
    void saveChecks() {
        QFETCH(QString, surname);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(QString, field);
        static const int holder =
            addPatient(QStringLiteral("Turētājs"), QStringLiteral("Koda"), QStringLiteral("111111-11111"));
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS"));
        Tn_klientEdit card(*m_dati);
        card.start(0);
        card.show();
        text(card, "UZVARDS")->setText(surname);
        text(card, "VARDS")->setText(name);
        text(card, "PERS_KODS")->setText(code);
        ModalHelper modal;
        QVERIFY(!card.save());
        QCOMPARE(modal.messages, QStringList{message});
        QCOMPARE(card.focusWidget(), card.field(field));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS")), before);
        // The holder itself may keep its code.
        QVERIFY(TKlientuKlasifDati(*m_db)
                    .validate({{"UZVARDS", "T"}, {"VARDS", "K"}, {"PERS_KODS", "111111-11111"}}, holder)
                    .ok());
    }

    // Typed text is bound: a quote finds the patient instead of breaking the statement.
    void searchWithQuote() {
        const int key = addPatient(QStringLiteral("O'Brien"), QStringLiteral("Sean"));
        PatientListStore store(*m_db);
        QCOMPARE(store.findKeys(QStringLiteral("o'brien")), QVector<int>{key});
        QCOMPARE(store.findKeys(QStringLiteral("sean o'bri")), QVector<int>{key});
        QCOMPARE(store.findKeys(QStringLiteral("'; DROP TABLE N_KLIENTS; --")), QVector<int>{});
        const db::ResultSet rows = store.fetch(QStringLiteral("*"), PatientListStore::DefaultOrder());
        PatientSearch session;
        const SearchStep step = store.search(rows, QStringLiteral("'brien"), session);
        QVERIFY(step.row >= 0);
        QCOMPARE(rows.value(step.row, QStringLiteral("ISN")).toInt(), key);

        // The same through "Meklēt" and its small search window.
        TKlienti list(*m_dati);
        list.setLetter(QStringLiteral("*"));
        ModalHelper modal;
        modal.onDialog = [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Meklēšana"));
            typeText(d->findChild<QLineEdit*>("edTeksts"), QStringLiteral("sean o'bri"));
            QTest::mouseClick(d->findChild<QPushButton*>("btMeklet"), Qt::LeftButton);
        };
        QTest::mouseClick(list.button("btMeklet"), Qt::LeftButton);
        QCOMPARE(list.currentKey(), key);
        QVERIFY(modal.messages.isEmpty());
    }

    void searchMessagesByTab() {
        const int key = addPatient(QStringLiteral("Zvaigzne"), QStringLiteral("Laura"));
        TKlienti list(*m_dati);
        list.setLetter(QStringLiteral("B"));
        ModalHelper modal;
        list.search(QStringLiteral("vaigzn"));
        list.search(QStringLiteral("nekāda tāda"));
        QCOMPARE(modal.messages, (QStringList{QStringLiteral("Nav atrasts tekošajā burtā !!!"),
                                              QStringLiteral("Nav atrasts !!!")}));
        list.setLetter(QStringLiteral("Z"));
        list.search(QStringLiteral("vaigzn"));
        QCOMPARE(list.currentKey(), key);
        QCOMPARE(modal.messages.size(), 2);
    }

    void letterTabsTakeLatvianLetters() {
        QCOMPARE(PatientListStore::LetterCondition(QStringLiteral("S")),
                 QStringLiteral("UZVARDS LIKE 'S%' OR UZVARDS LIKE 'Š%'"));
        QCOMPARE(PatientListStore::LetterCondition(QStringLiteral("B")), QStringLiteral("UZVARDS LIKE 'B%'"));
        QCOMPARE(PatientListStore::TabForText(QStringLiteral("šmits")), QStringLiteral("S"));
        QCOMPARE(PatientListStore::TabForText(QStringLiteral("2912")), QStringLiteral("*"));
        const int key = addPatient(QStringLiteral("Šmits"), QStringLiteral("Jānis"));
        PatientListStore store(*m_db);
        QVERIFY(store.fetch(QStringLiteral("S"), PatientListStore::DefaultOrder()).columnCount() > 0);
        const db::ResultSet s = store.fetch(QStringLiteral("S"), QStringLiteral(" VARDS; DELETE "));
        bool found = false;
        for (int r = 0; r < s.rowCount(); ++r) found = found || s.value(r, 0).toInt() == key;
        QVERIFY(found);
    }

    // The tab and the order survive the window; a saved order that is not ours is not used.
    void tabAndOrderAreRemembered() {
        const int a = addPatient(QStringLiteral("Ūdre"), QStringLiteral("Zane"));
        const int b = addPatient(QStringLiteral("Ulmane"), QStringLiteral("Agnese"));
        {
            TKlienti list(*m_dati);
            list.setLetter(QStringLiteral("U"));
            list.sortByColumn(1);
            QCOMPARE(list.model()->fieldValue(0, QStringLiteral("ISN")).toInt(), b);
        }
        TKlienti again(*m_dati);
        QCOMPARE(again.letter(), QStringLiteral("U"));
        QCOMPARE(again.order(), QStringLiteral(" VARDS, UZVARDS "));
        QCOMPARE(again.model()->rowCount(), 2);
        again.sortByColumn(0);
        QCOMPARE(again.model()->fieldValue(0, QStringLiteral("ISN")).toInt(), b);
        QVERIFY(again.model()->findRow(a) >= 0);
        app::Settings::setString(QStringLiteral("Klienti"), QStringLiteral("Kartiba"),
                                 QStringLiteral("ISN; DROP TABLE N_KLIENTS"));
        TKlienti third(*m_dati);
        QCOMPARE(third.order(), PatientListStore::DefaultOrder());
        // As a picker: Enter on the grid hands the key back and closes.
        third.show();
        QVERIFY(third.setCurrentKey(a));
        QTest::keyClick(third.grid(), Qt::Key_Return);
        QCOMPARE(third.selectedKey(), a);
        QVERIFY(!third.isVisible());
        third.setLetter(QStringLiteral("*"));
    }

    // A patient with documents stays, and the user is told in Latvian what holds the record; the
    // engine's own text is under the details.
    void deleteRefusedForPatientWithDocuments_data() {
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("consultations");
        QTest::addColumn<int>("invoices");
        // What holds the row, the table of the refusing key first (the engine picks which).
        QTest::addColumn<QStringList>("holds");
        QTest::newRow("one request") << 1 << 0 << 0 << QStringList{"1 pieteikums"};
        QTest::newRow("invoices and consultations") << 0 << 2 << 3 << QStringList{"3 rēķini", "2 konsultācijas"};
        QTest::newRow("eleven and twenty-one") << 11 << 21 << 0 << QStringList{"11 pieteikumi", "21 konsultācija"};
    }
    void deleteRefusedForPatientWithDocuments() {
        QFETCH(int, requests);
        QFETCH(int, consultations);
        QFETCH(int, invoices);
        QFETCH(QStringList, holds);
        const int key = addPatient(QStringLiteral("Aizņemtais"), QStringLiteral("Pēteris"));
        for (int i = 0; i < requests; ++i)
            m_db->exec(QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS) VALUES (:N, CURRENT_TIMESTAMP, :K)"),
                       {{"K", key}, {"N", QStringLiteral("R%1-%2").arg(key).arg(i)}});
        for (int i = 0; i < consultations; ++i)
            m_db->exec(QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS) VALUES (:N, CURRENT_TIMESTAMP, :K)"),
                       {{"K", key}, {"N", QStringLiteral("K%1-%2").arg(key).arg(i)}});
        for (int i = 0; i < invoices; ++i)
            m_db->exec(QStringLiteral("INSERT INTO O_PAVOUT_HD (NUMURS, DATUMS, ISKLIENTS) VALUES (:N, CURRENT_TIMESTAMP, :K)"),
                       {{"K", key}, {"N", QStringLiteral("P%1-%2").arg(key).arg(i)}});
        m_db->commitRetaining();
        TKlienti list(*m_dati);
        list.setLetter(QStringLiteral("A"));
        QVERIFY(list.setCurrentKey(key));
        ModalHelper modal;
        list.onDelete();
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages[0], QStringLiteral("Vai tiešām vēlaties dzēst Aizņemtais Pēteris ?"));
        const QString lead = QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\nPacientam ir ");
        const QString oneWay = lead + holds.join(QStringLiteral(" un ")) + u'.';
        const QString otherWay = lead + QStringList{holds.last(), holds.first()}.join(QStringLiteral(" un ")) + u'.';
        QVERIFY2(modal.messages[1] == oneWay || (holds.size() > 1 && modal.messages[1] == otherWay), qPrintable(modal.messages[1]));
        QVERIFY2(modal.details[1].contains(QStringLiteral("FOREIGN KEY")), qPrintable(modal.details[1]));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}}), 1);
        for (const char* table : {"O_KONSULT_PIET_HD", "O_KONSULTACIJA_HD", "O_PAVOUT_HD"})
            m_db->exec(QStringLiteral("DELETE FROM %1 WHERE ISKLIENTS=:K").arg(QLatin1String(table)), {{"K", key}});
        m_db->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}});
        m_db->commitRetaining();
    }

    // Every common way of typing a birth date is read; what cannot be read stays in the field
    // with a message, and the card is not saved with it.
    void birthDateAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("read");  // invalid: refused
        QTest::newRow("dd.MM.yyyy") << "17.03.1985" << QDate(1985, 3, 17);
        QTest::newRow("ddMMyyyy") << "17031985" << QDate(1985, 3, 17);
        QTest::newRow("d.M.yyyy") << "7.3.1985" << QDate(1985, 3, 7);
        QTest::newRow("dd.MM.yy") << "17.03.85" << QDate(1985, 3, 17);
        QTest::newRow("ddMMyy, this century") << "050610" << QDate(2010, 6, 5);
        QTest::newRow("slashes and blanks") << " 7/3/1985 " << QDate(1985, 3, 7);
        QTest::newRow("no 31 February") << "31.02.1985" << QDate();
        QTest::newRow("letters") << "marts 1985" << QDate();
        QTest::newRow("day and month only") << "17.03" << QDate();
    }
    void birthDateAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QDate, read);
        Tn_klientEdit card(*m_dati);
        card.start(0);
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        text(card, "UZVARDS")->setText(QStringLiteral("Dzimusī"));
        text(card, "VARDS")->setText(QStringLiteral("Anna"));
        auto* birth = qobject_cast<widgets::NullableDateEdit*>(card.field(QStringLiteral("DZIM_DAT")));
        birth->setFocus();
        typeText(birth->lineEdit(), typed);
        ModalHelper modal;
        text(card, "TELEFONS")->setFocus();  // leaves the field
        QTRY_COMPARE(modal.messages.size(), read.isValid() ? 0 : 1);
        if (read.isValid()) {
            QCOMPARE(birth->value(), read);
            QCOMPARE(birth->lineEdit()->text(), read.toString(QStringLiteral("dd.MM.yyyy")));
            QVERIFY(card.save());
            QCOMPARE(m_db->scalar(QStringLiteral("SELECT DZIM_DAT FROM N_KLIENTS WHERE ISN=:K"), {{"K", card.savedKey()}})
                         .toDateTime()
                         .date(),
                     read);
            m_db->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE ISN=:K"), {{"K", card.savedKey()}});
            m_db->commitRetaining();
            return;
        }
        QVERIFY2(modal.messages[0].startsWith(QStringLiteral("Nevar nolasīt datumu \"") + typed.trimmed() + u'"'),
                 qPrintable(modal.messages[0]));
        QCOMPARE(birth->lineEdit()->text(), typed);  // kept as typed
        QVERIFY(birth->isEmpty());
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS"));
        QVERIFY(!card.save());
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages[1], modal.messages[0]);
        QCOMPARE(birth->lineEdit()->text(), typed);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS")), before);
    }

    // A card closed after typing asks whether to save; an untouched one closes without asking.
    void closingAChangedCardAsks_data() {
        QTest::addColumn<bool>("type");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("saved");
        QTest::newRow("untouched") << false << int(QMessageBox::Yes) << false << false;
        QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << true << false;
        QTest::newRow("no") << true << int(QMessageBox::No) << false << false;
        QTest::newRow("yes") << true << int(QMessageBox::Yes) << false << true;
    }
    void closingAChangedCardAsks() {
        QFETCH(bool, type);
        QFETCH(int, answer);
        QFETCH(bool, open);
        QFETCH(bool, saved);
        const int key = addPatient(QStringLiteral("Aizvērējs"), QStringLiteral("Jānis"));
        Tn_klientEdit card(*m_dati);
        card.start(key);
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        if (type) {
            text(card, "TELEFONS")->setFocus();
            typeText(text(card, "TELEFONS"), QStringLiteral("67000000"));
        }
        ModalHelper modal;
        modal.answers = {QMessageBox::StandardButton(answer)};
        QTest::mouseClick(card.findChild<QPushButton*>(QStringLiteral("btAizvert")), Qt::LeftButton);
        QCOMPARE(modal.messages.value(0), type ? QStringLiteral("Vai saglabāt izmaiņas ?") : QString());
        QCOMPARE(card.isVisible(), open);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT TELEFONS FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}}).toString(),
                 saved ? QStringLiteral("67000000") : QString());
        if (open) QCOMPARE(text(card, "TELEFONS")->text(), QStringLiteral("67000000"));
    }

    // A new card shows the default doctor by name and the first sex and language of the lists.
    void newCardDefaults() {
        Tn_klientEdit card(*m_dati);
        card.start(0);
        QCOMPARE(card.lookup(QStringLiteral("ISAGENTS"))->combo()->currentText(), QStringLiteral("Nav noteikts"));
        QCOMPARE(qobject_cast<QComboBox*>(card.field(QStringLiteral("DZIMUMS")))->currentText(), QStringLiteral("Vīrietis"));
        QCOMPARE(qobject_cast<QComboBox*>(card.field(QStringLiteral("SAZINAS_VAL")))->currentText(), QStringLiteral("Latviešu"));
    }

    // "Turpināt" follows any successful search, a hit among the shown rows included.
    void continueAfterAHitOnTheTab() {
        const int first = addPatient(QStringLiteral("Turpe"), QStringLiteral("Anna"));
        const int second = addPatient(QStringLiteral("Turpinātāja"), QStringLiteral("Ieva"));
        TKlienti list(*m_dati);
        list.setLetter(QStringLiteral("T"));
        QVERIFY(!list.button(QStringLiteral("btTurpinat"))->isEnabled());
        list.search(QStringLiteral("turp"));
        QCOMPARE(list.currentKey(), first);
        QVERIFY(list.button(QStringLiteral("btTurpinat"))->isEnabled());
        ModalHelper modal;
        list.continueSearch();
        QCOMPARE(list.currentKey(), second);
        QVERIFY(modal.messages.isEmpty());
        list.setLetter(QStringLiteral("*"));  // the tab is remembered for the tests that follow
    }

    void historyListsRequestsAndConsultations() {
        const int key = addPatient(QStringLiteral("Vēsturiskā"), QStringLiteral("Ilze"));
        m_db->exec(QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISKLIENTS, PLAN_DAT, "
                                  "PLAN_LAIKS, PLAN_ILGUMS) "
                                  "VALUES ('  902', :D, :K, :D, '09:00', '00:30')"),
                   {{"K", key}, {"D", QDateTime(QDate::currentDate().addDays(-10), QTime(9, 0))}});
        m_db->exec(
            QStringLiteral("INSERT INTO O_KONSULTACIJA_HD (NUMURS, DATUMS, ISKLIENTS, TIME_START, TIME_END) "
                           "VALUES ('902-1', :D, :K, '09:05', '10:20')"),
            {{"K", key}, {"D", QDateTime(QDate::currentDate().addDays(-9), QTime(9, 5))}});
        m_db->commitRetaining();
        TKlientuKlasifDati dati(*m_db);
        const db::ResultSet rows = dati.history(key, QDate::currentDate().addYears(-1), QDate::currentDate());
        QCOMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.value(0, QStringLiteral("MARKER")).toInt(), 2);
        QCOMPARE(TKlientuKlasifDati::HistoryDuration(rows, 0), QStringLiteral("01:15"));
        QCOMPARE(TKlientuKlasifDati::HistoryDuration(rows, 1), QStringLiteral("00:30"));
        QCOMPARE(dati.history(key, QDate::currentDate().addDays(-5), QDate::currentDate()).rowCount(), 0);
    }

    // A long list shows its first rows at once and reads the rest between events; a search
    // before that reads the rest first.
    void longListArrivesInBatches() {
        {
            db::Transaction tx(*m_db);
            db::Statement st(tx,
                             QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS) VALUES (:U, 'Rinda')"));
            for (int i = 0; i < 2500; ++i) {
                st.bind(QStringLiteral("U"), QStringLiteral("Garais%1").arg(i, 4, 10, QLatin1Char('0')));
                st.execute();
            }
            tx.commit();
        }
        const int total = count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS WHERE ISN!=1"));
        TKlienti list(*m_dati);
        list.setLetter(QStringLiteral("*"));
        list.refresh();
        QVERIFY(list.model()->rowCount() < total);
        QVERIFY(!list.listComplete());
        list.quickSearch(QStringLiteral("garais2499"));
        QVERIFY(list.listComplete());
        QCOMPARE(list.model()->rowCount(), total);
        QCOMPARE(
            list.model()->fieldValue(list.grid()->currentIndex().row(), QStringLiteral("UZVARDS")).toString(),
            QStringLiteral("Garais2499"));
        list.refresh();
        QTRY_VERIFY(list.listComplete());
        QCOMPARE(list.model()->rowCount(), total);
        m_db->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE UZVARDS STARTING WITH 'Garais'"));
        m_db->commitRetaining();
    }

    // One receptionist's session: three new patients through the list and the card, a search by a
    // lower-case fragment with Latvian letters, a copy, an attached file, a delete.
    void newPatientFlow() {
        TKlienti list(*m_dati);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        ModalHelper modal;
        struct Person {
            QString surname, name, code, phone;
        };
        const QList<Person> people{{"bērziņš", "ēriks", "010203-10101", "29100001"},
                                   {"kalniņa", "anna marija", "", "29100002"},
                                   {"ābele", "zzyzx", "", "29100003"}};
        QList<int> keys;
        for (const Person& p : people) {
            modal.onDialog = [&](QDialog* d) {
                auto* card = qobject_cast<Tn_klientEdit*>(d);
                QVERIFY(card);
                // Enter leaves each field as the user's Tab would.
                for (const auto& [column, value] :
                     {std::pair{"UZVARDS", p.surname}, std::pair{"VARDS", p.name},
                      std::pair{"PERS_KODS", p.code}, std::pair{"MOB_TEL", p.phone}}) {
                    typeText(card->field(column), value);
                    QTest::keyClick(card->field(column), Qt::Key_Return);
                }
                QVERIFY(card->isVisible());
                card->lookup("ISBANKA")->clearButton()->click();
                QTest::mouseClick(card->saveButton(), Qt::LeftButton);
            };
            QTest::mouseClick(list.button("btJauns"), Qt::LeftButton);
            keys.append(list.currentKey());
        }
        QCOMPARE(modal.messages,
                 QStringList{
                     QStringLiteral("Šāds vārds nav atrasts vārda dienu sarakstā, tiks ielikts 22. maijs.")});
        const db::ResultSet first =
            m_db->select(QStringLiteral("SELECT * FROM N_KLIENTS WHERE ISN=:K"), {{"K", keys[0]}});
        QCOMPARE(first.first("UZVARDS").toString(), QStringLiteral("Bērziņš"));
        QCOMPARE(first.first("VARDS").toString(), QStringLiteral("Ēriks"));
        QCOMPARE(first.first("VARDA_DIENA").toString(), QStringLiteral("18.05"));
        QCOMPARE(first.first("DZIM_DAT").toDateTime().date(), QDate(1903, 2, 1));
        QCOMPARE(first.first("ISBANKA").toInt(), 1);
        QCOMPARE(first.first("SEND_SMS").toInt(), 1);
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT VARDA_DIENA FROM N_KLIENTS WHERE ISN=:K"), {{"K", keys[1]}})
                .toString(),
            QStringLiteral("26.07"));

        // Quick search by a lower-case fragment with Latvian letters.
        list.setLetter(QStringLiteral("*"));
        list.quickSearchEdit()->setFocus();
        typeText(list.quickSearchEdit(), QStringLiteral("kalniņ"));
        QCOMPARE(list.quickSearchEdit()->text(), QStringLiteral("KALNIŅ"));
        QCOMPARE(list.currentKey(), keys[1]);
        // No surname begins with it: the workstation's quick search names the patient by a phone
        // number or by both names in either order.
        {
            PatientFinder finder(*m_db, m_dati->notifier());
            QSignalSpy current(&finder, &PatientFinder::current);
            finder.start();
            QVERIFY(current.wait(10000));
            m_dati->facades().patients.find = [&finder](const QString& t) { return finder.find(t); };
            for (const QString& typed : {QStringLiteral("29100001"), QStringLiteral("ēriks bērz")}) {
                QVERIFY(list.setCurrentKey(keys[2]));
                list.quickSearchEdit()->clear();
                typeText(list.quickSearchEdit(), typed);
                QCOMPARE(list.currentKey(), keys[0]);
            }
            m_dati->facades().patients.find = nullptr;
        }
        // "Meklēt" by a fragment inside the surname.
        list.search(QStringLiteral("rziņ"));
        QCOMPARE(list.currentKey(), keys[0]);

        // Copy: everything but the key comes along.
        QVERIFY(list.setCurrentKey(keys[0]));
        modal.onDialog = [&](QDialog* d) {
            auto* card = qobject_cast<Tn_klientEdit*>(d);
            QCOMPARE(qobject_cast<QLineEdit*>(card->field("MOB_TEL"))->text(), QStringLiteral("29100001"));
            qobject_cast<QLineEdit*>(card->field("PERS_KODS"))->clear();
            qobject_cast<QLineEdit*>(card->field("VARDS"))->setText(QStringLiteral("Anna"));
            QTest::mouseClick(card->saveButton(), Qt::LeftButton);
        };
        QTest::mouseClick(list.button("btKopet"), Qt::LeftButton);
        const int copy = list.currentKey();
        QVERIFY(!keys.contains(copy));
        QCOMPARE(
            m_db->scalar(QStringLiteral(
                             "SELECT UZVARDS || '/' || VARDS || '/' || MOB_TEL FROM N_KLIENTS WHERE ISN=:K"),
                         {{"K", copy}})
                .toString(),
            QStringLiteral("Bērziņš/Anna/29100001"));

        // Attach a file to the third patient.
        QVERIFY(list.setCurrentKey(keys[2]));
        const QString file = testsupport::scratchDir() + QStringLiteral("/rentgens 1.png");
        modal.onDialog = [&](QDialog* d) {
            auto* card = qobject_cast<Tn_klientEdit*>(d);
            card->addFile(file);
            card->addFile(QStringLiteral("/tmp/otrs.pdf"));
            card->fileList()->setCurrentRow(1);
            QTest::mouseClick(card->findChild<QPushButton*>("btFailsDzest"), Qt::LeftButton);
            QTest::mouseClick(card->saveButton(), Qt::LeftButton);
        };
        QTest::mouseClick(list.button("btLabot"), Qt::LeftButton);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT FAILI FROM N_KLIENTS WHERE ISN=:K"), {{"K", keys[2]}})
                     .toString(),
                 file + ">");
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='N_KLIENTS' AND "
                                      "TAUSTINS='L' AND ISN_BAZE=:K"),
                       {{"K", keys[2]}}),
                 1);

        // Delete the copy.
        QVERIFY(list.setCurrentKey(copy));
        modal.messages.clear();
        QTest::mouseClick(list.button("btDzest"), Qt::LeftButton);
        QCOMPARE(modal.messages, QStringList{QStringLiteral("Vai tiešām vēlaties dzēst Bērziņš Anna ?")});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_KLIENTS WHERE ISN=:K"), {{"K", copy}}), 0);
        QCOMPARE(list.model()->findRow(copy), -1);
    }
};

QTEST_MAIN(TestRegister)
#include "tst_register.moc"
