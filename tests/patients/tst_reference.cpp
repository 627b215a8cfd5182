// The reference lists and their cards, the holidays and the name-day calendar of a new database.
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "db/ClinicDatabase.h"
#include "app/PasswordDigest.h"
#include "app/Rights.h"
#include "app/TMainFormDati.h"
#include "app/UserNameCodec.h"
#include "models/ResultTableModel.h"
#include "references/NonReceivingTimes.h"
#include "references/ReferenceCardStore.h"
#include "references/ReferenceListStore.h"
#include "db/ReferenceSeed.h"
#include "references/TKlasifikators.h"
#include "references/Tn_agentsEdit.h"
#include "references/Tn_veidiEd.h"
#include "widgets/ColorBox.h"
#include "widgets/NullableDateEdit.h"
#include "references/Tn_svetki.h"

#include <QMessageBox>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace references;
using namespace db;

class TestReference : public QObject {
    Q_OBJECT
    std::unique_ptr<app::TMainFormDati> m_dati;
    db::Database* m_db = nullptr;

    int count(const QString& sql, const db::Params& p = {}) { return m_db->scalar(sql, p).toInt(); }
    int addRow(const QString& table, const QString& name) {
        return m_db
            ->scalar(QStringLiteral("INSERT INTO %1 (GNOS) VALUES (:G) RETURNING ISN").arg(table),
                     {{"G", name}})
            .toInt();
    }

private Q_SLOTS:
    void initTestCase() {
        testsupport::isolateSettings();
        m_dati =
            std::make_unique<app::TMainFormDati>(testsupport::freshDatabase(QStringLiteral("reference")));
        QVERIFY(m_dati->authenticate(QStringLiteral("ADMIN"), QString()).ok());
        m_db = &m_dati->database();
    }

    // The default row 1 of every table is never listed, never edited and never deleted.
    void defaultRowIsNeverTouched_data() {
        QTest::addColumn<QString>("table");
        for (const char* t :
             {"N_KLGRUPA", "N_AGENTS", "N_KABINETI", "N_RAJONS", "N_VEIDI", "N_BANKA", "N_USERGROUP"})
            QTest::newRow(t) << t;
    }
    void defaultRowIsNeverTouched() {
        QFETCH(QString, table);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ISN=1").arg(table)), 1);
        ReferenceListStore store(*m_db, *FindReferenceTable(table));
        const db::ResultSet rows = store.fetch();
        for (int r = 0; r < rows.rowCount(); ++r) QVERIFY(rows.value(r, QStringLiteral("ISN")).toInt() != 1);
        QCOMPARE(store.editRefusal(1), QStringLiteral("Tas ir sistēmas parametrs, labot nedrīkst !!!"));
        QCOMPARE(store.deleteRefusal(false, 1),
                 QStringLiteral("Šis ir sistēmas parametrs, dzēst nedrīkst !!!"));
        QCOMPARE(store.deleteRefusal(true, 0), QStringLiteral("Nav datu, ko dzēst !!!"));
        QCOMPARE(store.editRefusal(2), QString());
    }

    // Name days and holidays have no default row: their first row is listed and may be changed.
    void firstHolidayIsListed() {
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("holidays"));
        auto db = testsupport::open(path);
        SeedReferenceData(*db);
        ReferenceListStore store(*db, *FindReferenceTable(QStringLiteral("N_SVETKI")));
        const db::ResultSet rows = store.fetch();
        QCOMPARE(rows.rowCount(), db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI")).toInt());
        QVERIFY(store.editRefusal(1).isEmpty());
        QVERIFY(store.deleteRefusal(false, 1).isEmpty());
    }

    // A bank that a patient refers to stays, and the user reads the database's reason.
    void refusedDeleteKeepsTheRow() {
        const int bank = addRow(QStringLiteral("N_BANKA"), QStringLiteral("Piesaistītā banka"));
        m_db->exec(
            QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, ISBANKA) VALUES ('Ozols', 'Jānis', :B)"),
            {{"B", bank}});
        m_db->commitRetaining();

        TKlasifikators list(*m_dati, QStringLiteral("N_BANKA"));
        list.refresh(bank);
        QCOMPARE(list.currentKey(), bank);
        ModalHelper modal;
        list.onDelete();
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages[0], QStringLiteral("Vai tiešām vēlaties dzēst Piesaistītā banka ?"));
        QCOMPARE(modal.messages[1],
                 QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\nBankai ir 1 pacients."));
        QVERIFY2(modal.details[1].contains(QStringLiteral("FOREIGN KEY"), Qt::CaseInsensitive),
                 qPrintable(modal.details[1]));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_BANKA WHERE ISN=:K"), {{"K", bank}}), 1);
        QCOMPARE(list.currentKey(), bank);

        // An unreferenced row goes, with a journal entry.
        const int free = addRow(QStringLiteral("N_BANKA"), QStringLiteral("Brīvā banka"));
        m_db->commitRetaining();
        list.refresh(free);
        list.onDelete();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_BANKA WHERE ISN=:K"), {{"K", free}}), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='N_BANKA' AND "
                                      "TAUSTINS='D' AND ISN_BAZE=:K"),
                       {{"K", free}}),
                 1);
    }

    void duplicateConsultationTypeAsks_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes stores") << true;
        QTest::newRow("no keeps the card open") << false;
    }
    void duplicateConsultationTypeAsks() {
        QFETCH(bool, yes);
        const QString name = QStringLiteral("Kontrole %1").arg(yes);
        addRow(QStringLiteral("N_VEIDI"), name);
        m_db->commitRetaining();
        Tn_veidiEd card(*m_dati);
        card.start(0);
        card.findChild<QLineEdit*>(QStringLiteral("GNOS"))->setText(name);
        card.findChild<QCheckBox*>(QStringLiteral("NEED_SEND_MAIL_KLIENTAM"))->setChecked(true);
        ModalHelper modal;
        modal.answers = {yes ? QMessageBox::Yes : QMessageBox::No};
        QCOMPARE(card.save(), yes);
        QCOMPARE(modal.messages, QStringList{QStringLiteral("Tāds nosaukums jau eksistē!!! Turpināt?")});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM N_VEIDI WHERE GNOS=:G"), {{"G", name}}),
                 yes ? 2 : 1);
        if (yes) {
            const db::ResultSet row =
                m_db->select(QStringLiteral("SELECT * FROM N_VEIDI WHERE ISN=:K"), {{"K", card.savedKey()}});
            QCOMPARE(row.first("NEED_SEND_MAIL_KLIENTAM").toString(), QStringLiteral("T"));
            QCOMPARE(row.first("NEED_SEND_MAIL_PIETEICEJAM").toString(), QStringLiteral("F"));
            QCOMPARE(row.first("ISUSER_NEW").toInt(), m_dati->UserIsn());
            QVERIFY(row.first("IEVDAT_NEW").toDateTime().isValid());
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE='N_VEIDI' AND "
                                          "TAUSTINS='J' AND ISN_BAZE=:K"),
                           {{"K", card.savedKey()}}),
                     1);
        }
    }

    void requiredNames_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QVariantHash>("values");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("specialist surname")
            << "N_AGENTS" << QVariantHash{{"VARDS", "Anna"}} << "Nav ievadīts ārsta uzvārds !!!"
            << "UZVARDS";
        QTest::newRow("specialist name") << "N_AGENTS" << QVariantHash{{"UZVARDS", "Ozola"}, {"VARDS", "  "}}
                                         << "Nav ievadīts ārsta vārds !!!"
                                         << "VARDS";
        QTest::newRow("bank") << "N_BANKA" << QVariantHash{} << "Nav ievadīts bankas nosaukums !!!"
                              << "GNOS";
        QTest::newRow("type") << "N_VEIDI" << QVariantHash{} << "Nav ievadīts nosaukums!!!"
                              << "GNOS";
        QTest::newRow("room") << "N_KABINETI" << QVariantHash{} << "Nav ievadīts nosaukums !!!"
                              << "GNOS";
        QTest::newRow("user group") << "N_USERGROUP" << QVariantHash{} << "Nav ievadīts nosaukums !!!"
                                    << "GNOS";
    }
    void requiredNames() {
        QFETCH(QString, table);
        QFETCH(QVariantHash, values);
        QFETCH(QString, message);
        QFETCH(QString, field);
        const app::CardCheck check = ReferenceCardStore(*m_db, table).validate(values);
        QCOMPARE(check.message, message);
        QCOMPARE(check.field, field);
    }

    // The specialist card: colour, blocked flag, and non-receiving lines in the calendar's format.
    void specialistBusyTimes() {
        Tn_agentsEdit card(*m_dati);
        card.start(0);
        card.findChild<QLineEdit*>(QStringLiteral("UZVARDS"))->setText(QStringLiteral("Kalniņa"));
        card.findChild<QLineEdit*>(QStringLiteral("VARDS"))->setText(QStringLiteral("Dace"));
        card.colorBox()->setColor(QColor(0x10, 0x20, 0x30));
        Tn_agentsEdit::BusyControls& days = card.busy(1);
        days.allDays->setChecked(true);
        days.allTimes->setChecked(true);
        card.addBusyLine(1);  // not receiving on any day: VISI|VISI|
        days.allDays->setChecked(false);
        days.allTimes->setChecked(false);
        static_cast<QComboBox*>(days.day)->setCurrentIndex(2);
        days.from->setCurrentText(QStringLiteral("12:00"));
        days.to->setCurrentText(QStringLiteral("13:30"));
        card.addBusyLine(1);
        Tn_agentsEdit::BusyControls& dates = card.busy(0);
        static_cast<widgets::NullableDateEdit*>(dates.day)->setDate(QDate(2026, 12, 24));
        dates.allTimes->setChecked(true);
        card.addBusyLine(0);
        QCOMPARE(days.list->item(0)->text(), QStringLiteral("VISAS  VISI"));
        QCOMPARE(days.list->item(1)->text(), QStringLiteral("Trešdiena  12:00-13:30"));
        QVERIFY(card.save());
        const int key = card.savedKey();
        db::ResultSet row = m_db->select(QStringLiteral("SELECT * FROM N_AGENTS WHERE ISN=:K"), {{"K", key}});
        QCOMPARE(row.first("NESTRADA_DIENAS").toString(), QStringLiteral("VISI|VISI|\r\n3|12:00-13:30|\r\n"));
        QCOMPARE(row.first("NESTRADA_DATUMS").toString(), QStringLiteral("24.12.2026|VISI|\r\n"));
        QCOMPARE(row.first("COLOR").toInt(), 0x302010);
        QCOMPARE(row.first("BLOKETS").toInt(), 0);

        // On a stored specialist a removed line is written at once.
        Tn_agentsEdit again(*m_dati);
        again.start(key);
        QCOMPARE(again.busy(1).list->count(), 2);
        again.busy(1).list->setCurrentRow(0);
        again.removeBusyLine(1);
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT NESTRADA_DIENAS FROM N_AGENTS WHERE ISN=:K"), {{"K", key}})
                .toString(),
            QStringLiteral("3|12:00-13:30|\r\n"));
    }

    // As a new user would: through the list window's "Jauns" into the card and back to the list,
    // which stands on the new row.
    void newRowsThroughTheListWindow_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("name");
        QTest::newRow("specialist") << "N_AGENTS"
                                    << "Egle";
        QTest::newRow("room") << "N_KABINETI"
                              << "Kabinets 3";
        QTest::newRow("consultation type") << "N_VEIDI"
                                           << "Higiēna";
    }
    void newRowsThroughTheListWindow() {
        QFETCH(QString, table);
        QFETCH(QString, name);
        TKlasifikators list(*m_dati, table);
        list.show();
        ModalHelper modal;
        modal.onDialog = [&](QDialog* d) {
            typeText(d->findChild<QLineEdit*>(table == "N_AGENTS" ? "UZVARDS" : "GNOS"), name);
            if (auto* card = qobject_cast<Tn_agentsEdit*>(d)) {
                typeText(card->findChild<QLineEdit*>("VARDS"), QStringLiteral("Māra"));
                card->colorBox()->setColor(QColor(0xFF, 0xC0, 0x80));
                card->pages()->setCurrentIndex(1);
                static_cast<QComboBox*>(card->busy(1).day)->setCurrentIndex(4);
                card->busy(1).allTimes->setChecked(true);
                QTest::mouseClick(card->findChild<QPushButton*>("btPievienotDiena"), Qt::LeftButton);
            }
            QTest::mouseClick(d->findChild<QPushButton*>("btSaglabat"), Qt::LeftButton);
        };
        QTest::mouseClick(list.findChild<QPushButton*>("btJauns"), Qt::LeftButton);
        QVERIFY(modal.messages.isEmpty());
        const int key = list.currentKey();
        QVERIFY(key > 1);
        const db::ResultSet row =
            m_db->select(QStringLiteral("SELECT * FROM %1 WHERE ISN=:K").arg(table), {{"K", key}});
        QCOMPARE(row.first(table == "N_AGENTS" ? "UZVARDS" : "GNOS").toString(), name);
        if (table == "N_AGENTS") {
            QCOMPARE(row.first("COLOR").toInt(), 0x80C0FF);
            QCOMPARE(row.first("NESTRADA_DIENAS").toString(), QStringLiteral("5|VISI|\r\n"));
        }
        QCOMPARE(
            count(QStringLiteral(
                      "SELECT COUNT(*) FROM O_OPERACIJAS WHERE BAZE=:T AND TAUSTINS='J' AND ISN_BAZE=:K"),
                  {{"T", table}, {"K", key}}),
            1);

        // "Kopēt" starts a new row from the current one.
        modal.onDialog = [&](QDialog* d) {
            auto* edit = d->findChild<QLineEdit*>(table == "N_AGENTS" ? "UZVARDS" : "GNOS");
            QCOMPARE(edit->text(), name);
            edit->setText(name + QStringLiteral(" 2"));
            QTest::mouseClick(d->findChild<QPushButton*>("btSaglabat"), Qt::LeftButton);
        };
        QTest::mouseClick(list.findChild<QPushButton*>("btKopet"), Qt::LeftButton);
        QVERIFY(list.currentKey() != key);
        QCOMPARE(list.model()->rowCount(),
                 count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ISN!=1").arg(table)));
    }

    // A specialist held by patients and by appointments through two of their columns: every
    // referring table is counted once per row, whichever column refers.
    void refusedDeleteCountsEveryReferringTable() {
        const int doctor = m_db->scalar(QStringLiteral("INSERT INTO N_AGENTS (UZVARDS, VARDS) VALUES ('Aizņemtā', 'Ārste') RETURNING ISN"))
                               .toInt();
        for (int i = 0; i < 2; ++i)
            m_db->exec(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, ISAGENTS) VALUES ('Pacients', :V, :A)"),
                       {{"V", QString::number(i)}, {"A", doctor}});
        // One request taken and done by the doctor, one only done.
        m_db->exec(QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISPIETEICEJS, ISIZPILDITAJS) "
                                  "VALUES ('A1', CURRENT_TIMESTAMP, :A, :A)"),
                   {{"A", doctor}});
        m_db->exec(QStringLiteral("INSERT INTO O_KONSULT_PIET_HD (NUMURS, DATUMS, ISIZPILDITAJS) VALUES ('A2', CURRENT_TIMESTAMP, :A)"),
                   {{"A", doctor}});
        m_db->commitRetaining();
        const app::DeleteOutcome out = ReferenceListStore(*m_db, *FindReferenceTable(QStringLiteral("N_AGENTS")))
                                           .remove(doctor, QStringLiteral("Aizņemtā Ārste"), m_dati->UserIsn());
        QVERIFY(!out.deleted);
        const QString lead = QStringLiteral("Atrasti ieraksti saistītajās tabulās, dzēst nedrīkst !!! \n\n");
        QVERIFY2(out.message == lead + QStringLiteral("Speciālistam ir 2 pacienti un 2 pieteikumi.") ||
                     out.message == lead + QStringLiteral("Speciālistam ir 2 pieteikumi un 2 pacienti."),
                 qPrintable(out.message));
        QVERIFY(out.details.contains(QStringLiteral("FOREIGN KEY")));
    }

    // The specialist card writes names as the patient card does.
    void specialistNamesAreCapitalised() {
        Tn_agentsEdit card(*m_dati);
        card.start(0);
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        auto* surname = card.findChild<QLineEdit*>(QStringLiteral("UZVARDS"));
        auto* name = card.findChild<QLineEdit*>(QStringLiteral("VARDS"));
        surname->setFocus();
        typeText(surname, QStringLiteral("ĀBELE"));
        name->setFocus();
        typeText(name, QStringLiteral("ilze"));
        surname->setFocus();
        QCOMPARE(surname->text(), QStringLiteral("Ābele"));
        QCOMPARE(name->text(), QStringLiteral("Ilze"));
    }

    // A consultation type can be kept out of the pick lists (TIPS 1); an untouched empty TIPS
    // stays empty.
    void consultationTypeHiddenFromPickLists() {
        const int type = addRow(QStringLiteral("N_VEIDI"), QStringLiteral("Tikai iekšējais"));
        m_db->commitRetaining();
        auto tips = [&] { return m_db->scalar(QStringLiteral("SELECT TIPS FROM N_VEIDI WHERE ISN=:K"), {{"K", type}}); };
        Tn_veidiEd card(*m_dati);
        card.start(type);
        QVERIFY(!card.hiddenInPickLists()->isChecked());
        QCOMPARE(card.hiddenInPickLists()->text(), QStringLiteral("Nerādīt konsultāciju un pieteikumu sarakstos"));
        QVERIFY(card.save());
        QVERIFY(tips().isNull());
        Tn_veidiEd again(*m_dati);
        again.start(type);
        again.hiddenInPickLists()->setChecked(true);
        QVERIFY(again.save());
        QCOMPARE(tips().toInt(), 1);
        Tn_veidiEd third(*m_dati);
        third.start(type);
        QVERIFY(third.hiddenInPickLists()->isChecked());
        third.hiddenInPickLists()->setChecked(false);
        QVERIFY(third.save());
        QCOMPARE(tips().toInt(), 0);
    }

    // Name days are listed by day and month, holidays with their year; the cards' journal
    // entries carry no note.
    void nameDaysWithoutYearAndNoJournalNote() {
        m_db->exec(QStringLiteral("INSERT INTO N_SVETKI (GNOS, DATUMS, FLAG) VALUES ('Ada', :D, 0)"),
                   {{"D", QDateTime(QDate(2000, 7, 8), QTime(0, 0))}});
        m_db->exec(QStringLiteral("INSERT INTO N_SVETKI (GNOS, DATUMS, FLAG) VALUES ('Jāņi', :D, 1)"),
                   {{"D", QDateTime(QDate(2026, 6, 24), QTime(0, 0))}});
        m_db->commitRetaining();
        TKlasifikators list(*m_dati, QStringLiteral("N_SVETKI"));
        QStringList shown;
        for (int r = 0; r < list.model()->rowCount(); ++r)
            shown << list.model()->index(r, 0).data().toString() + u' ' + list.model()->index(r, 1).data().toString();
        QVERIFY2(shown.contains(QStringLiteral("08.07 Ada")), qPrintable(shown.join(u'|')));
        QVERIFY(shown.contains(QStringLiteral("24.06.2026 Jāņi")));

        Tn_svetki card(*m_dati);
        card.start(0);
        card.findChild<QLineEdit*>(QStringLiteral("GNOS"))->setText(QStringLiteral("Bez piezīmes"));
        QVERIFY(card.save());
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT PIEZIMES FROM O_OPERACIJAS WHERE BAZE='N_SVETKI' AND ISN_BAZE=:K"),
                              {{"K", card.savedKey()}})
                     .toString(),
                 QString());
    }

    // Every card is big enough to read, and asks before a change is thrown away.
    void cardsHaveRoomAndAskBeforeClosing_data() {
        QTest::addColumn<QString>("table");
        for (const char* t : {"N_BANKA", "N_RAJONS", "N_USERGROUP", "N_SVETKI"}) QTest::newRow(t) << t;
    }
    void cardsHaveRoomAndAskBeforeClosing() {
        QFETCH(QString, table);
        ModalHelper modal;
        modal.answers = {QMessageBox::Cancel, QMessageBox::No};
        modal.onDialog = [&](QDialog* card) {
            QVERIFY2(card->width() >= 400 && card->height() >= 150, qPrintable(QStringLiteral("%1x%2").arg(card->width()).arg(card->height())));
            auto* close = card->findChild<QPushButton*>(QStringLiteral("btAizvert"));
            QTest::mouseClick(close, Qt::LeftButton);  // untouched: closes
        };
        QCOMPARE(EditReferenceRow(*m_dati, table, 0, 0, nullptr), 0);
        QVERIFY(modal.messages.isEmpty());
        modal.onDialog = [&](QDialog* card) {
            auto* name = card->findChild<QLineEdit*>(QStringLiteral("GNOS"));
            name->setFocus();
            typeText(name, QStringLiteral("Nesaglabāts"));
            auto* close = card->findChild<QPushButton*>(QStringLiteral("btAizvert"));
            QTest::mouseClick(close, Qt::LeftButton);  // Cancel: stays
            QVERIFY(card->isVisible());
            QCOMPARE(name->text(), QStringLiteral("Nesaglabāts"));
            QTest::mouseClick(close, Qt::LeftButton);  // No: closes without saving
        };
        QCOMPARE(EditReferenceRow(*m_dati, table, 0, 0, nullptr), 0);
        QCOMPARE(modal.messages, (QStringList{QStringLiteral("Vai saglabāt izmaiņas ?"), QStringLiteral("Vai saglabāt izmaiņas ?")}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE GNOS='Nesaglabāts'").arg(table)), 0);
    }

    void nonReceivingLinesRoundTrip() {
        const QVector<NonReceivingLine> lines{{"VISI", "VISI"}, {"5", "08:00-09:30"}};
        QCOMPARE(NonReceivingTimes::Parse(NonReceivingTimes::Format(lines)), lines);
        QCOMPARE(NonReceivingTimes::Parse(QStringLiteral("1|VISI|\n\n2|10:00-11:00")),
                 (QVector<NonReceivingLine>{{"1", "VISI"}, {"2", "10:00-11:00"}}));
        QCOMPARE(NonReceivingTimes::TimeChoices().first(), QStringLiteral("08:00"));
        QCOMPARE(NonReceivingTimes::TimeChoices().last(), QStringLiteral("21:00"));
        QCOMPARE(NonReceivingTimes::TimeChoices().size(), 27);
    }

    // The list as a picker: Enter on a row gives its key; the quick search finds by prefix.
    void listPicksWithEnter() {
        const int room = addRow(QStringLiteral("N_KABINETI"), QStringLiteral("Ķirurģijas kabinets"));
        addRow(QStringLiteral("N_KABINETI"), QStringLiteral("Arī kabinets"));
        m_db->commitRetaining();
        TKlasifikators list(*m_dati, QStringLiteral("N_KABINETI"));
        list.show();
        typeText(list.quickSearch(), QStringLiteral("ķir"));
        QCOMPARE(list.currentKey(), room);
        QTest::keyClick(list.quickSearch(), Qt::Key_Return);
        QVERIFY(list.grid()->hasFocus() || !QApplication::focusWidget());
        QTest::keyClick(list.grid(), Qt::Key_Return);
        QCOMPARE(list.selectedKey(), room);
        QVERIFY(!list.isVisible());
    }

    void easterAndHolidays_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("easter");
        QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
        QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
        QTest::newRow("2026") << 2026 << QDate(2026, 4, 5);
        QTest::newRow("2027") << 2027 << QDate(2027, 3, 28);
        QTest::newRow("2038") << 2038 << QDate(2038, 4, 25);
    }
    void easterAndHolidays() {
        QFETCH(int, year);
        QFETCH(QDate, easter);
        QCOMPARE(EasterSunday(year), easter);
        QList<QDate> dates;
        for (const CalendarDay& d : LatvianPublicHolidays(year)) dates.append(d.date);
        QVERIFY(dates.contains(easter.addDays(-2)));
        QVERIFY(dates.contains(easter.addDays(1)));
        QVERIFY(dates.contains(QDate(year, 6, 23)));
        // 4 May and 18 November on a weekend give the Monday after.
        for (const QDate d : {QDate(year, 5, 4), QDate(year, 11, 18)})
            QCOMPARE(dates.contains(d.addDays(8 - d.dayOfWeek())), d.dayOfWeek() >= 6);
    }

    void nameDayFile_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("error");
        QTest::newRow("good") << "# comment\n24.06;Jānis\n\n25.03.2025;Māra\r\n" << 2 << "";
        QTest::newRow("no separator") << "24.06;Jānis\n24.06 Jānis\n" << 1 << "rinda 2: ";
        QTest::newRow("bad date") << "31.02;Kāds\n" << 0 << "rinda 1: nepareizs datums";
        QTest::newRow("empty name") << "01.01;\n" << 0 << "rinda 1: vārdam";
        QTest::newRow("name twice") << "01.01;Ivo\n02.01;IVO\n"
                                    << 1 << "rinda 2: vārds \"IVO\" jau ir rindā 1";
        QTest::newRow("29 February") << "29.02;Pārestā\n" << 1 << "";
    }
    void nameDayFile() {
        QFETCH(QString, text);
        QFETCH(int, days);
        QFETCH(QString, error);
        const NameDayList list = ParseNameDays(text);
        QCOMPARE(list.days.size(), days);
        if (error.isEmpty())
            QVERIFY2(list.ok(), qPrintable(list.errors.join('\n')));
        else
            QVERIFY2(list.errors.value(0).startsWith(error), qPrintable(list.errors.join('\n')));
    }

    void shippedNameDaysAreSound() {
        const NameDayList list = ParseNameDays(ShippedNameDaysText());
        QVERIFY2(list.ok(), qPrintable(list.errors.join('\n')));
        QVERIFY(list.days.size() > 500);
        auto dayOf = [&](const QString& name) {
            for (const CalendarDay& d : list.days)
                if (d.name == name) return d.date.toString(QStringLiteral("dd.MM"));
            return QString();
        };
        QCOMPARE(dayOf(QStringLiteral("Jānis")), QStringLiteral("24.06"));
        QCOMPARE(dayOf(QStringLiteral("Līga")), QStringLiteral("23.06"));
        QCOMPARE(dayOf(QStringLiteral("Mārtiņš")), QStringLiteral("10.11"));
    }

    // A new database made by the program holds this year's and next year's holidays and the
    // name days, once, however often the seed runs.
    void newDatabaseIsSeeded() {
        const QString path = testsupport::scratchDir() + QStringLiteral("/seeded.fdb");
        QFile::remove(path);
        db::CreateClinicDatabase(path);
        auto db = testsupport::open(path);
        const int year = QDate::currentDate().year();
        const QDate easter = EasterSunday(year + 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=1 AND DATUMS=:D"),
                            {{"D", QDateTime(easter.addDays(1), QTime(0, 0))}})
                     .toInt(),
                 1);
        const int holidays = db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=1")).toInt();
        QCOMPARE(holidays, LatvianPublicHolidays(year).size() + LatvianPublicHolidays(year + 1).size());
        const int names = db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=0")).toInt();
        QCOMPARE(names, ParseNameDays(ShippedNameDaysText()).days.size());
        SeedReferenceData(*db);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI")).toInt(), holidays + names);
    }

    // import-namedays as a clinic runs it: a malformed line loads nothing; a good file corrects a
    // date and adds a name in one go.
    void importNameDaysCommand() {
        const QString path = testsupport::freshDatabaseFile(QStringLiteral("import"));
        {
            auto db = testsupport::open(path);
            db->exec(
                QStringLiteral("INSERT INTO N_SVETKI (DATUMS, GNOS, FLAG) VALUES ('2000-01-01', 'Ivo', 0)"));
            db->commitRetaining();
        }
        auto run = [&](const QString& content, QString* err) {
            const QString csv = testsupport::scratchDir() + QStringLiteral("/namedays.csv");
            QFile f(csv);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(content.toUtf8());
            f.close();
            QProcess p;
            p.start(QStringLiteral(MOLARIX_ADMIN), {QStringLiteral("import-namedays"), path, csv});
            p.waitForFinished(60000);
            *err = QString::fromUtf8(p.readAllStandardError());
            return p.exitCode();
        };
        QString err;
        QCOMPARE(run(QStringLiteral("02.01;Ivo\n03.01;Miervaldis\n4.1;Spodra\n"), &err), 1);
        QVERIFY2(err.contains(QStringLiteral("rinda 3")), qPrintable(err));
        auto db = [&] { return testsupport::open(path); };
        {
            auto d = db();
            QCOMPARE(d->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=0")).toInt(), 1);
        }
        QCOMPARE(run(QStringLiteral("02.01;Ivo\n03.01;Miervaldis\n"), &err), 0);
        auto d = db();
        QCOMPARE(d->scalar(QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=0")).toInt(), 2);
        QCOMPARE(
            d->scalar(QStringLiteral("SELECT DATUMS FROM N_SVETKI WHERE GNOS='Ivo'")).toDateTime().date(),
            QDate(2000, 1, 2));
    }

    // A user who may only change rooms gets "Labot" alone; the price list is a picker only.
    // Runs last: the limited session replaces the test's session for good.
    void buttonsFollowRights() {
        {
            TKlasifikators prices(*m_dati, QStringLiteral("N_PRECE"));
            for (const char* b : {"btJauns", "btKopet", "btLabot", "btDzest"})
                QVERIFY(!prices.findChild<QPushButton*>(b)->isEnabled());
        }
        m_db->exec(QStringLiteral("INSERT INTO N_USERS (GNOS, PASWORD, ISUSERGROUP, ISAGENTS, IESPEJAS) "
                                  "VALUES (:G, :P, 1, 1, '04_TTFF')"),
                   {{"G", app::EncodeUserName(QStringLiteral("ANNA"))},
                    {"P", app::MakePasswordDigest(QString(), QString())}});
        m_db->commitRetaining();
        {
            app::TMainFormDati limited(testsupport::open(m_db->connectionString()));
            const app::LogonResult r = limited.authenticate(QStringLiteral("ANNA"), QString());
            QVERIFY2(r.ok(), qPrintable(r.message));
            TKlasifikators rooms(limited, QStringLiteral("N_KABINETI"));
            QVERIFY(rooms.findChild<QPushButton*>("btLabot")->isEnabled());
            for (const char* b : {"btJauns", "btKopet", "btDzest"})
                QVERIFY2(!rooms.findChild<QPushButton*>(b)->isEnabled(), b);
            TKlasifikators banks(limited, QStringLiteral("N_BANKA"));
            QVERIFY(!banks.findChild<QPushButton*>("btLabot")->isEnabled());
        }
    }
};

QTEST_MAIN(TestReference)
#include "tst_reference.moc"
