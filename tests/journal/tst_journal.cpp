// The operation journal viewer: its filters, the log-on each operation belongs to, the log-on
// list, the documents it opens and its CSV export.
#include "Fetched.h"
#include "ModalHelper.h"
#include "TestDatabase.h"
#include "app/RightsString.h"
#include "app/Session.h"
#include "app/UserNameCodec.h"
#include "db/Transaction.h"
#include "journal/JournalStore.h"
#include "journal/TOperacijuZurnals.h"
#include "models/ResultTableModel.h"

#include <QFile>
#include <QTableView>
#include <QtTest>

using journal::JournalFilter;
using journal::JournalStore;

namespace {

const QDate Day(2026, 11, 16);

}  // namespace

class TestJournal : public QObject {
    Q_OBJECT
    std::unique_ptr<app::Session> m_session;
    int m_anna = 0;
    int m_logonMorning = 0, m_logonAfternoon = 0;

    int insert(const QString& sql, const db::Params& p) {
        db::Transaction tx(m_session->database());
        const int key = tx.scalar(sql + QStringLiteral(" RETURNING ISN"), p).toInt();
        tx.commit();
        return key;
    }
    void operation(const QDate& day, const QString& time, int user, const QString& code, const QString& table, int key,
                   const QString& note = {}) {
        insert("INSERT INTO O_OPERACIJAS (TAUSTINS, ISUSER, IEVDAT, IEVLAIKS, NUMURS, BAZE, ISN_BAZE, PIEZIMES) "
               "VALUES (:T, :U, :D, :L, :N, :B, :K, :P)",
               {{"T", code}, {"U", user}, {"D", day}, {"L", time}, {"N", QString::number(key)}, {"B", table}, {"K", key},
                {"P", note.isEmpty() ? QVariant() : QVariant(note)}});
    }
    QStringList column(const db::ResultSet& rows, const QString& name) {
        QStringList values;
        for (int r = 0; r < rows.rowCount(); ++r) values << rows.value(r, name).toString();
        return values;
    }

private Q_SLOTS:
    void init() {
        testsupport::isolateSettings();
        m_session = std::make_unique<app::Session>(testsupport::freshDatabase(QStringLiteral("journal")));
        m_session->setUser(1, "ADMIN");
        m_anna = insert("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:G, 1)", {{"G", app::EncodeUserName("ANNA")}});
        const int admin = insert("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:G, 1)", {{"G", app::EncodeUserName("ILZE")}});
        // Anna worked in the morning and ended in order, then again in the afternoon and the
        // program did not end in order.
        m_logonMorning = insert("INSERT INTO O_LOGON (ISUSER, START_TIME, END_TIME, LOGOFF) VALUES (:U, :S, :E, 'OK')",
                                {{"U", m_anna}, {"S", QDateTime(Day, QTime(8, 0))}, {"E", QDateTime(Day, QTime(12, 0))}});
        m_logonAfternoon = insert("INSERT INTO O_LOGON (ISUSER, START_TIME) VALUES (:U, :S)",
                                  {{"U", m_anna}, {"S", QDateTime(Day, QTime(13, 0))}});
        operation(Day, "09:15:00", m_anna, "J", "N_KLIENTS", 5);
        operation(Day, "10:00:00", m_anna, "L", "O_KONSULT_PIET_HD", 7, "Drag&Drop");
        operation(Day, "14:30:00", m_anna, "D", "O_KONSULT_PIET_HD", 8);
        operation(Day.addDays(1), "11:00:00", admin, "L", "N_KLIENTS", 5, "Tālrunis O'Brien");
        operation(Day.addDays(-40), "11:00:00", m_anna, "J", "O_PAVOUT_HD", 9);
        operation(Day, "07:30:00", m_anna, "PARP", "O_APMAKS_HD", 3);  // before any log-on
    }
    void cleanup() { m_session.reset(); }

    // Each filter alone, and the log-on every operation belongs to.
    void filters_data() {
        QTest::addColumn<int>("user");  // 0 all, 1 Anna
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("keys");  // ISN_BAZE, newest first
        QTest::newRow("the period") << 0 << "" << "" << "" << QStringList{"5", "8", "7", "5", "3"};
        QTest::newRow("one user") << 1 << "" << "" << "" << QStringList{"8", "7", "5", "3"};
        QTest::newRow("one table") << 0 << "O_KONSULT_PIET_HD" << "" << "" << QStringList{"8", "7"};
        QTest::newRow("changes") << 0 << "" << "L" << "" << QStringList{"5", "7"};
        QTest::newRow("moves in the calendar") << 0 << "" << "Drag&Drop" << "" << QStringList{"7"};
        QTest::newRow("deletes") << 0 << "" << "D" << "" << QStringList{"8"};
        QTest::newRow("note with a quote") << 0 << "" << "" << "o'brien" << QStringList{"5"};
        QTest::newRow("nothing") << 0 << "N_PRECE" << "" << "" << QStringList{};
    }
    void filters() {
        JournalFilter f{Day.addDays(-3), Day.addDays(3)};
        f.userIsn = FETCHED(int, user) ? m_anna : 0;
        f.table = FETCHED(QString, table);
        f.action = FETCHED(QString, action);
        f.noteText = FETCHED(QString, note);
        const db::ResultSet rows = JournalStore(m_session->database()).operations(f);
        QCOMPARE(column(rows, "ISN_BAZE"), FETCHED(QStringList, keys));
    }

    void operationsBelongToTheirLogons() {
        const db::ResultSet rows = JournalStore(m_session->database()).operations({Day, Day});
        QHash<QString, int> logonOf;
        for (int r = 0; r < rows.rowCount(); ++r)
            logonOf.insert(rows.value(r, "IEVLAIKS").toString(), rows.value(r, "ISLOGON").toInt());
        QCOMPARE(logonOf.value("09:15:00"), m_logonMorning);
        QCOMPARE(logonOf.value("10:00:00"), m_logonMorning);
        QCOMPARE(logonOf.value("14:30:00"), m_logonAfternoon);
        QCOMPARE(logonOf.value("07:30:00"), 0);
        QCOMPARE(column(rows, "LIETOTAJS").first(), QStringLiteral("ANNA"));
        QCOMPARE(column(rows, "DARBIBA"), (QStringList{"Dzēsts", "Pārvietots kalendārā", "Jauns", "Pārmaksa sadalīta"}));
        QCOMPARE(column(rows, "TABULA").first(), QStringLiteral("Pieteikumi vizītēm"));
    }

    void logons() {
        const db::ResultSet rows = JournalStore(m_session->database()).logons(Day, Day, m_anna);
        QCOMPARE(column(rows, "ISN"), (QStringList{QString::number(m_logonAfternoon), QString::number(m_logonMorning)}));
        QCOMPARE(column(rows, "BEIGAS"), (QStringList{"nav beigta", "OK"}));
    }

    // The window: a double-click opens the patient's card, a table without a window says so; the
    // CSV export carries the titles and the rows as shown.
    void window() {
        QList<int> opened;
        m_session->facades().patients.edit = [&](QWidget*, int key, bool) {
            opened << key;
            return 0;
        };
        journal::TOperacijuZurnals w(*m_session);
        w.setFilter({Day, Day.addDays(1)});
        w.refresh();
        QCOMPARE(w.operationsModel()->rowCount(), 5);
        QCOMPARE(w.logonsModel()->rowCount(), 2);
        QVERIFY(w.openDocument(0));  // the newest: admin's change of patient 5
        QCOMPARE(opened, QList<int>{5});
        QVERIFY(!w.openDocument(4));  // a payment: no window yet

        const QString path = testsupport::scratchDir() + QStringLiteral("/journal.csv");
        w.exportCsv(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 5);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Datums;Laiks;Lietotājs;Darbība;Tabula")));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("17.11.2026;11:00:00;")));
        QVERIFY(lines.at(1).contains(QStringLiteral("Tālrunis O'Brien")));
    }

    // A busy period shows its first screenful at once and reads the rest while the window waits;
    // the export and the batches carry every row once, newest first, each with its log-on.
    void longPeriodReadInBatches() {
        const QDate busy = Day.addDays(5);
        db::Transaction tx(m_session->database());
        for (int i = 0; i < 2500; ++i)
            tx.exec(QStringLiteral("INSERT INTO O_OPERACIJAS (TAUSTINS, ISUSER, IEVDAT, IEVLAIKS, BAZE, ISN_BAZE) "
                                   "VALUES ('L', :U, :D, :T, 'N_KLIENTS', :K)"),
                    {{"U", m_anna}, {"D", busy}, {"T", QTime(8, 0).addSecs(i).toString("HH:mm:ss")}, {"K", i + 1}});
        tx.commit();
        const db::ResultSet all = JournalStore(m_session->database()).operations({busy, busy});
        QCOMPARE(all.rowCount(), 2500);

        journal::TOperacijuZurnals w(*m_session);
        w.setFilter({busy, busy});
        w.refresh();
        QVERIFY(w.operationsModel()->rowCount() < 2500);
        QTRY_COMPARE(w.operationsModel()->rowCount(), 2500);
        QCOMPARE(column(w.operationsModel()->rows(), "ISN"), column(all, "ISN"));
        QCOMPARE(w.operationsModel()->fieldValue(0, "ISLOGON").toInt(), m_logonAfternoon);

        // Exported before the reading ended: still every row.
        w.refresh();
        const QString path = testsupport::scratchDir() + QStringLiteral("/journal-busy.csv");
        w.exportCsv(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 1 + 2500);
    }

    void rightsWindowOffersTheJournal() {
        QCOMPARE(app::RightsString::codeOfCaption(QStringLiteral("Serviss-Operāciju žurnāls")), QStringLiteral("16"));
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
