// The quick patient search from memory against the database's own statements, the copy following
// this and other workstations' changes, and the patient list's quick search on sorted surnames.
#include "Fetched.h"
#include "TestDatabase.h"
#include "app/ChangeNotifier.h"
#include "demo/DemoData.h"
#include "patients/PatientFinder.h"
#include "patients/PatientSearch.h"
#include "patients/PatientSearchIndex.h"
#include "references/ReferenceListStore.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using patients::PatientFinder;
using patients::PatientSearchIndex;

namespace {

int addPatient(db::Database& d, const QString& surname, const QString& name, const QString& code = {},
               const QString& phone = {}, const QString& mobile = {}) {
    auto nullable = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
    const int key = d.scalar(QStringLiteral("INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS, TELEFONS, MOB_TEL) "
                                            "VALUES (:U, :V, :P, :T, :M) RETURNING ISN"),
                             {{"U", surname}, {"V", name}, {"P", nullable(code)}, {"T", nullable(phone)},
                              {"M", nullable(mobile)}})
                        .toInt();
    d.commitRetaining();
    return key;
}

// Typed texts as a receptionist produces them from the register: beginnings and inner pieces of
// names in any case, both words in either order, personal-code and phone digits, Latvian letters
// changed in case, and texts that find nothing or would break pasted SQL.
QStringList fragments(const QVector<patients::PatientSearchRow>& rows, int count) {
    QRandomGenerator random(20261206);
    auto pick = [&](const QString& s) -> QString {
        if (s.isEmpty()) return s;
        const int from = random.bounded(int(s.size()));
        return s.mid(from, 1 + random.bounded(int(s.size()) - from));
    };
    auto prefix = [&](const QString& s) { return s.left(1 + random.bounded(int(qMax<qsizetype>(1, s.size())))); };
    auto anyCase = [&](const QString& s) {
        QString out = s;
        for (QChar& c : out) c = random.bounded(2) ? c.toLower() : c.toUpper();
        return out;
    };
    QStringList out{QStringLiteral("ā"),  QStringLiteral("ŠĶ"),   QStringLiteral("šķ"),  QStringLiteral("ņš"),
                    QStringLiteral("o'"), QStringLiteral("x' OR '1'='1"), QStringLiteral("  anna  "),
                    QStringLiteral("29"), QStringLiteral("+371"), QStringLiteral("µ"), QStringLiteral("ß"),
                    QStringLiteral("Q"),  QStringLiteral("zz zz"), QStringLiteral("0"), QStringLiteral("-")};
    while (out.size() < count) {
        const patients::PatientSearchRow& r = rows.at(random.bounded(int(rows.size())));
        switch (random.bounded(9)) {
            case 0: out << anyCase(prefix(r.surname)); break;
            case 1: out << anyCase(prefix(r.firstName)); break;
            case 2: out << anyCase(pick(r.surname)); break;
            case 3: out << anyCase(pick(r.firstName)) + u' ' + anyCase(pick(r.surname)); break;
            case 4: out << anyCase(pick(r.surname)) + u' ' + anyCase(pick(r.firstName)); break;
            case 5: out << prefix(r.personalCode); break;
            case 6: out << pick(random.bounded(2) ? r.mobile : r.phone); break;
            case 7: out << anyCase(pick(r.surname)) + QStringLiteral("x"); break;
            default: out << pick(r.surname).toLower() + u' ' + prefix(r.personalCode); break;
        }
        if (out.last().trimmed().isEmpty()) out.removeLast();
    }
    return out;
}

}  // namespace

class TestPatientSearch : public QObject {
    Q_OBJECT
    std::unique_ptr<db::Database> m_db;
    QVector<patients::PatientSearchRow> m_rows;

private Q_SLOTS:
    void initTestCase() {
        m_db = testsupport::freshDatabase(QStringLiteral("patientsearch"));
        demo::DemoDataGenerator(*m_db, demo::Scale::Demo, 7, QDate(2026, 12, 6)).run();
        // Hand-made rows for the corners the generated names do not reach.
        addPatient(*m_db, "Zariņš-1203", "Pēteris-1203");
        addPatient(*m_db, "O'Brien", "Liam");
        addPatient(*m_db, "ŠĶĒLE", "GUNTA", "", "", "+371 2000 1111");
        addPatient(*m_db, "ābele", "ēriks", "010190-20002", "67 123456", "29111222, 26333444");
        addPatient(*m_db, "Müller µß", "Ødegård");
        m_rows = PatientFinder::readRows(*m_db);
        QVERIFY(m_rows.size() > 300);
    }

    // The database's UPPER in the clinic's character set, character by character.
    void upperIsTheDatabases() {
        QString all;
        for (int c = 0x20; c < 0x100; ++c) all += QChar(c);
        QStringDecoder decode("windows-1257");
        QByteArray high;
        for (int c = 0xA0; c < 0x100; ++c) high.append(char(c));
        QString letters;
        const QString decoded = decode.decode(high);
        for (QChar c : decoded)
            if (c != QChar::ReplacementCharacter) letters += c;
        const QString stored = QStringLiteral("abcxyz") + letters;
        const int key = addPatient(*m_db, stored, QStringLiteral("x"));
        const QString upper = m_db->scalar(QStringLiteral("SELECT UPPER(UZVARDS) FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}})
                                  .toString();
        m_db->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}});
        m_db->commitRetaining();
        QCOMPARE(PatientSearchIndex::upper(stored), upper);
    }

    // Thousands of typed texts: the copy in memory names the same patient as the statements.
    void sameKeyAsTheStatements() {
        PatientSearchIndex index;
        index.assign(m_rows);
        const QStringList typed = fragments(m_rows, 3000);
        int found = 0;
        QStringList differ;
        for (const QString& t : typed) {
            const int expected = patients::FindPatient(*m_db, t);
            if (expected) ++found;
            if (index.find(t) != expected) differ << t;
        }
        QVERIFY2(differ.isEmpty(), qPrintable(differ.mid(0, 20).join(QStringLiteral(" | "))));
        // The texts are not all misses.
        QVERIFY(found > typed.size() / 2);
    }

    // Adding, changing and removing single patients keeps the answers of a copy read anew.
    void editsMatchAFreshCopy() {
        PatientSearchIndex edited;
        edited.assign(m_rows);
        QRandomGenerator random(7);
        QVector<patients::PatientSearchRow> rows = m_rows;
        for (int i = 0; i < 2000; ++i) {
            const int at = random.bounded(int(rows.size()));
            if (i % 5 == 0) {
                edited.remove(rows.at(at).key);
                rows.removeAt(at);
            } else {
                patients::PatientSearchRow r = rows.at(at);
                std::swap(r.surname, r.firstName);
                if (i % 3 == 0) r.key = 100000 + i;  // a new patient
                edited.upsert(r);
                if (i % 3 == 0) rows.append(r);
                else rows[at] = r;
            }
        }
        PatientSearchIndex fresh;
        fresh.assign(rows);
        QCOMPARE(edited.size(), fresh.size());
        for (const QString& t : fragments(rows, 1500)) QCOMPARE(edited.find(t), fresh.find(t));
    }

    // The finder answers through the statements until its copy is read, then from memory, and
    // follows this workstation's saves at once and another's (an event without rows) after a new read.
    void finderFollowsChanges() {
        app::ChangeNotifier notifier;
        PatientFinder finder(*m_db, notifier);
        QSignalSpy current(&finder, &PatientFinder::current);
        QVERIFY(!finder.isCurrent());
        QCOMPARE(finder.find(QStringLiteral("ābele")), patients::FindPatient(*m_db, QStringLiteral("ābele")));
        finder.start();
        QVERIFY(current.wait(10000));
        QVERIFY(finder.isCurrent());

        // Saved here: the store names the patient.
        const int key = addPatient(*m_db, QStringLiteral("Vēverīte"), QStringLiteral("Zelma"));
        QCOMPARE(finder.find(QStringLiteral("vēverīt")), 0);
        notifier.notifyCommitted(QStringLiteral("N_KLIENTS"), {key});
        QCOMPARE(finder.find(QStringLiteral("vēverīt")), key);
        m_db->exec(QStringLiteral("UPDATE N_KLIENTS SET UZVARDS='Vāvere' WHERE ISN=:K"), {{"K", key}});
        m_db->commitRetaining();
        notifier.notifyCommitted(QStringLiteral("N_KLIENTS"), {key});
        QCOMPARE(finder.find(QStringLiteral("vēverīt")), 0);
        QCOMPARE(finder.find(QStringLiteral("zelma vāvere")), key);

        // Saved elsewhere: the event names no rows; the statements answer until the copy is new.
        auto other = testsupport::open(m_db->connectionString());
        const int elsewhere = addPatient(*other, QStringLiteral("Čiekurs"), QStringLiteral("Ādolfs"));
        notifier.eventsPosted({{QStringLiteral("N_KLIENTS"), 10}});  // more than this one's own saves
        QCOMPARE(finder.find(QStringLiteral("čiekur")), elsewhere);
        QVERIFY(current.wait(10000));
        QVERIFY(finder.isCurrent());
        QCOMPARE(finder.find(QStringLiteral("čiekur")), elsewhere);
        other->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE ISN=:K"), {{"K", elsewhere}});
        other->commitRetaining();
        m_db->exec(QStringLiteral("DELETE FROM N_KLIENTS WHERE ISN=:K"), {{"K", key}});
        m_db->commitRetaining();
        notifier.notifyCommitted(QStringLiteral("N_KLIENTS"), {key});
        QCOMPARE(finder.find(QStringLiteral("zelma vāvere")), 0);
        notifier.eventsPosted({{QStringLiteral("N_KLIENTS"), 10}});  // more than this one's own saves
        QVERIFY(current.wait(10000));
        QCOMPARE(finder.find(QStringLiteral("čiekur")), 0);
    }

    // The patient list's quick search on sorted surnames gives the row the walk over the rows gives.
    void prefixRowsMatchTheWalk() {
        db::ResultSet rows = m_db->select(QStringLiteral(
            "SELECT ISN, UZVARDS, VARDS FROM N_KLIENTS WHERE ISN!=1 ORDER BY VARDS, ISN"));
        const references::PrefixRows sorted(rows, QStringLiteral("UZVARDS"));
        QStringList typed = fragments(m_rows, 2000);
        typed << QString() << QStringLiteral("ZZZZ") << QStringLiteral("ā") << QStringLiteral("Ā");
        for (const QString& t : typed)
            QCOMPARE(sorted.first(t), references::FindPrefixRow(rows, QStringLiteral("UZVARDS"), t));
        QCOMPARE(references::PrefixRows().first(QStringLiteral("A")), -1);
    }
};

QTEST_GUILESS_MAIN(TestPatientSearch)
#include "tst_patientsearch.moc"
