// Pure logic of the shared procedures: password digests, log-on name encoding, text
// normalisation, time texts and slot lists, grid layout text.
#include "widgets/GridLayout.h"
#include "app/PasswordDigest.h"
#include "app/TextNormalize.h"
#include "app/TimeText.h"
#include "app/UserNameCodec.h"

#include "app/DeleteRefusal.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The string literals of a C++ source, comments and character literals skipped (a lexer just
// good enough for our own sources: plain, prefixed and raw strings).
QStringList stringLiterals(const QString& code) {
    QStringList literals;
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        if (c == u'/' && i + 1 < n && code[i + 1] == u'/') {
            while (i < n && code[i] != u'\n') ++i;
        } else if (c == u'/' && i + 1 < n && code[i + 1] == u'*') {
            const qsizetype end = code.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == u'\'') {
            for (++i; i < n && code[i] != u'\''; ++i)
                if (code[i] == u'\\') ++i;
        } else if (c == u'R' && i + 1 < n && code[i + 1] == u'"') {
            const qsizetype open = code.indexOf(u'(', i + 2);
            const QString close = u')' + code.mid(i + 2, open - i - 2) + u'"';
            const qsizetype end = code.indexOf(close, open);
            literals.append(code.mid(open + 1, end - open - 1));
            i = end + close.size() - 1;
        } else if (c == u'"') {
            QString text;
            for (++i; i < n && code[i] != u'"'; ++i) {
                if (code[i] == u'\\') ++i;
                text += code[i];
            }
            literals.append(text);
        } else if (c.isLetterOrNumber() || c == u'_') {
            // Skip identifiers whole, so that a prefix like u8 or an R inside a name is not a string.
            while (i + 1 < n && (code[i + 1].isLetterOrNumber() || code[i + 1] == u'_')) ++i;
            if (i + 1 < n && code[i + 1] == u'"' && (c == u'u' || c == u'U' || c == u'L')) continue;
        }
    }
    return literals;
}

}  // namespace

using namespace app;
using namespace widgets;

class TestText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void digest_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("salt");
        QTest::addColumn<QString>("expected");
        // Expected values are MD5 sums computed outside the program over the first N bytes of the
        // UTF-16LE form of salt + password (N = its length in characters).
        QTest::newRow("mixed case") << "Parole" << "3F" << "a1840a2a56f528c46af28e2d3d7c9c78:3F";
        QTest::newRow("lower case") << "parole" << "3F" << "6d4d886c961d27ede51cbc204bb6d069:3F";
        QTest::newRow("empty password") << "" << "A0" << "8214d1003f68a7d9b0356c0cbd7eee1a:A0";
        QTest::newRow("odd length") << "abc" << "7C" << "38fa927f3bc8f1e0d02385e1b4f5e61f:7C";
        QTest::newRow("latvian letters") << "ĀbeLe1" << "0D" << "8736c3872731aa36fc18358bad7c8614:0D";
        // Only the first half of the text is digested, so a change in the second half goes unseen.
        QTest::newRow("second half ignored") << "PaROLE" << "3F" << "a1840a2a56f528c46af28e2d3d7c9c78:3F";
    }
    void digest() {
        QFETCH(QString, password);
        QFETCH(QString, salt);
        QFETCH(QString, expected);
        QCOMPARE(MakePasswordDigest(password, salt), expected);
        QVERIFY(PasswordMatches(expected, password));
    }

    void freshSalt() {
        static const QRegularExpression shape(QStringLiteral("^[0-9a-f]{32}:[0-9A-F]{2}$"));
        QSet<QString> salts;
        for (int i = 0; i < 200; ++i) {
            const QString d = MakePasswordDigest(QStringLiteral("slepens"));
            QVERIFY2(shape.match(d).hasMatch(), qPrintable(d));
            QVERIFY(PasswordMatches(d, QStringLiteral("slepens")));
            salts.insert(PasswordSalt(d));
        }
        QVERIFY2(salts.size() > 50, "salts should vary");
    }

    void storedPasswordShapes_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const QString parole = MakePasswordDigest(QStringLiteral("Parole"), QStringLiteral("3F"));
        QTest::newRow("right password") << parole << "Parole" << true;
        QTest::newRow("other case of a digested letter") << parole << "parole" << false;
        QTest::newRow("empty typed") << parole << "" << false;
        QTest::newRow("no password stored") << QString() << "anything" << true;
        QTest::newRow("no colon") << "0123456789abcdef0123456789abcdef3F" << "anything" << true;
        QTest::newRow("salt of one character") << "0123456789abcdef0123456789abcdef:3" << "x" << true;
        QTest::newRow("salt of three characters") << "0123456789abcdef0123456789abcdef:3FF" << "x" << true;
        QTest::newRow("well formed but wrong") << "0123456789abcdef0123456789abcdef:3F" << "x" << false;
    }
    void storedPasswordShapes() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QCOMPARE(PasswordMatches(stored, typed), accepted);
    }

    void encodeUserName() {
        QCOMPARE(EncodeUserName(QStringLiteral("AB")), QByteArray("HK"));
        QCOMPARE(DecodeUserName(QByteArray("HK")), QStringLiteral("AB"));
        // Position 1 shifts by 7: Latvian Ā is 0xC2 in Windows-1257.
        QCOMPARE(EncodeUserName(QStringLiteral("Ā")), QByteArray(1, char(0xC9)));
        // Shifts wrap modulo 256.
        QCOMPARE(EncodeUserName(QString(QChar(0x02D9))), QByteArray(1, char((0xFF + 7) % 256)));
    }

    void everyByteRoundTrips() {
        // A name long enough for the shift to wrap several times, over every byte value.
        QByteArray bytes;
        for (int round = 0; round < 3; ++round)
            for (int b = 1; b < 256; ++b) bytes.append(char(b));
        const QString text = FromWindows1257(bytes);
        QCOMPARE(text.size(), bytes.size());
        QCOMPARE(ToWindows1257(text), bytes);
        QCOMPARE(DecodeUserName(EncodeUserName(text)), text);
    }

    void normalize_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("name");
        QTest::newRow("latvian lower") << " bērziņš " << "BĒRZIŅŠ" << "Bērziņš";
        QTest::newRow("latvian upper") << "ĀBELE" << "ĀBELE" << "Ābele";
        QTest::newRow("first letter latvian") << "ābele" << "ĀBELE" << "Ābele";
        QTest::newRow("every letter") << "āčēģīķļņšūž" << "ĀČĒĢĪĶĻŅŠŪŽ" << "Āčēģīķļņšūž";
        QTest::newRow("two words") << "anna marija" << "ANNA MARIJA" << "Anna marija";
        QTest::newRow("blank") << "   " << "" << "";
    }
    void normalize() {
        QFETCH(QString, input);
        QFETCH(QString, search);
        QFETCH(QString, name);
        QCOMPARE(NormalizeSearchText(input), search);
        QCOMPARE(CapitalizeName(input), name);
    }

    void timeValidity_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("empty");
        QTest::newRow("24:00") << "24:00" << true << false;
        QTest::newRow("24:60") << "24:60" << false << false;
        QTest::newRow("25:00") << "25:00" << false << false;
        QTest::newRow("no colon") << "0830" << false << false;
        QTest::newRow("7:05") << "7:05" << true << false;
        QTest::newRow("00:00") << "00:00" << true << false;
        QTest::newRow("negative") << "-1:00" << false << false;
        QTest::newRow("letters") << "ab:cd" << false << false;
        QTest::newRow("missing minutes") << "08:" << false << false;
        QTest::newRow("empty mask") << " : " << false << true;
        QTest::newRow("empty mask bare") << ":" << false << true;
    }
    void timeValidity() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(bool, empty);
        QCOMPARE(IsValidTime(text), valid);
        QCOMPARE(IsEmptyTime(text), empty);
    }

    void timeConversions_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("90") << 90 << "01:30";
        QTest::newRow("1500, no wrap") << 1500 << "25:00";
        QTest::newRow("0") << 0 << "00:00";
        QTest::newRow("5") << 5 << "00:05";
        QTest::newRow("6000") << 6000 << "100:00";
        QTest::newRow("negative") << -90 << "-01:30";
    }
    void timeConversions() {
        QFETCH(int, minutes);
        QFETCH(QString, text);
        QCOMPARE(MinutesToTime(minutes), text);
        QCOMPARE(HoursToTime(minutes / 60.0), text);
        QCOMPARE(TimeToHours(text), minutes / 60.0);
    }

    void hoursRounding_data() {
        QTest::addColumn<double>("hours");
        QTest::addColumn<QString>("text");
        QTest::newRow("quarter") << 0.25 << "00:15";
        QTest::newRow("carries into hours") << 1.999 << "02:00";
        QTest::newRow("float noise") << (0.1 + 0.2) << "00:18";
    }
    void hoursRounding() {
        QFETCH(double, hours);
        QFETCH(QString, text);
        QCOMPARE(HoursToTime(hours), text);
    }

    void timeToHoursErrors_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("no colon") << "0130";
        QTest::newRow("letters") << "ab:30";
        QTest::newRow("empty mask") << ":";
    }
    void timeToHoursErrors() {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(TimeFormatError, TimeToHours(text));
    }

    void workingHours_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("division");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("defaults, full hours") << "08:00" << "21:00" << 0 << 14 << "08:00" << "21:00";
        QTest::newRow("half hours") << "08:00" << "21:00" << 1 << 27 << "08:00" << "21:00";
        QTest::newRow("quarters") << "08:00" << "09:00" << 2 << 5 << "08:00" << "09:00";
        QTest::newRow("undefined division is an hour") << "08:00" << "10:00" << 7 << 3 << "08:00" << "10:00";
        QTest::newRow("ends before midnight wrap") << "22:00" << "24:00" << 0 << 2 << "22:00" << "23:00";
        QTest::newRow("from after to") << "12:00" << "11:00" << 0 << 0 << "" << "";
    }
    void workingHours() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, division);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QStringList list = WorkingHourSlots(from, to, HourDivisionMinutes(division));
        QCOMPARE(list.size(), count);
        QCOMPARE(list.value(0), first);
        QCOMPARE(list.isEmpty() ? QString() : list.last(), last);
    }

    void durations_data() {
        QTest::addColumn<int>("division");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("hour") << 0 << 23 << "01:00" << "23:00";
        QTest::newRow("half hour") << 1 << 47 << "00:30" << "23:30";
        QTest::newRow("quarter") << 2 << 95 << "00:15" << "23:45";
    }
    void durations() {
        QFETCH(int, division);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QStringList list = DurationSlots(HourDivisionMinutes(division));
        QCOMPARE(list.size(), count);
        QCOMPARE(list.first(), first);
        QCOMPARE(list.last(), last);
    }

    // Texts in which an old encoding lost a Latvian letter ("dz?st", "nedrîkst", "pârvietot") are
    // written with the letter: no text of the program holds a "?" between letters, "î" or "â".
    void noTextLostALatvianLetter() {
        static const QRegularExpression lost(QStringLiteral("\\p{L}\\?\\p{L}|[îâÎÂ]"));
        QStringList found;
        int files = 0;
        for (const QString& folder : {QStringLiteral("/src"), QStringLiteral("/reports")}) {
            QDirIterator it(QStringLiteral(MOLARIX_SOURCE_DIR) + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.xml")},
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                ++files;
                const QString code = QString::fromUtf8(file.readAll());
                const QStringList texts = path.endsWith(QLatin1String(".xml")) ? QStringList{code} : stringLiterals(code);
                for (const QString& text : texts)
                    if (lost.match(text).hasMatch()) found.append(QFileInfo(path).fileName() + QStringLiteral(": ") + text);
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
        // The scanner itself sees such a text.
        QCOMPARE(stringLiterals(QStringLiteral("f('\"'); tr(\"Nav datu, ko dz?st !!!\"); // \"x?y\"")),
                 QStringList{QStringLiteral("Nav datu, ko dz?st !!!")});
    }

    // The sentence that says what holds a row: Latvian numbers agree with their last digit.
    void holdingRowsSentence_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<int>>("counts");  // invoices, consultations
        QTest::addColumn<QString>("sentence");
        QTest::newRow("one") << "N_KLIENTS" << QList<int>{1, 0} << "Pacientam ir 1 rēķins.";
        QTest::newRow("two kinds") << "N_KLIENTS" << QList<int>{3, 2} << "Pacientam ir 3 rēķini un 2 konsultācijas.";
        QTest::newRow("11 is plural") << "N_BANKA" << QList<int>{11, 21} << "Bankai ir 11 rēķini un 21 konsultācija.";
        QTest::newRow("unknown owner") << "X_TABLE" << QList<int>{0, 101} << "Ierakstam ir 101 konsultācija.";
    }
    void holdingRowsSentence() {
        QFETCH(QString, table);
        QFETCH(QList<int>, counts);
        QFETCH(QString, sentence);
        QVector<app::HoldingRows> rows;
        if (counts[0]) rows.append({QStringLiteral("O_PAVOUT_HD"), counts[0]});
        if (counts[1]) rows.append({QStringLiteral("O_KONSULTACIJA_HD"), counts[1]});
        QCOMPARE(app::HoldingRowsSentence(table, rows), sentence);
        QCOMPARE(app::HoldingRowsSentence(table, {}), QString());
        QCOMPARE(app::RefusingForeignKey(QStringLiteral("violation of FOREIGN KEY constraint \"FK_A_B\" on table \"A\"\n"
                                                        "Problematic key value is (\"ISN\" = 23)")),
                 QStringLiteral("FK_A_B"));
        QCOMPARE(app::RefusedKey(QStringLiteral("Problematic key value is (\"ISN\" = 23)")), 23);
    }

    void gridLayoutText() {
        GridLayout layout;
        layout.columns = {{QStringLiteral("UZVARDS"), 1, 140, false},
                          {QStringLiteral("VARDS"), 0, 90, false},
                          {QString(), 2, 60, true}};
        QCOMPARE(GridLayout::fromText(layout.toText()), std::optional<GridLayout>(layout));
        QVERIFY(!GridLayout::fromText(QStringLiteral("not a layout")));
        // Two columns claiming the same position would hide one of them.
        QVERIFY(!GridLayout::fromText(QStringLiteral(R"({"columns":[{"pos":0,"width":5},{"pos":0,"width":5}]})")));
    }
};


QObject* makeTestText() { return new TestText; }

#include "tst_text.moc"
