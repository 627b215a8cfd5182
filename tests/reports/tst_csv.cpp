// The one CSV reader and writer: what the reports export, render-report reads, and the imports
// will read.
#include "reports/Csv.h"

#include <QBuffer>
#include <QtTest>

using namespace reports;

namespace {

struct Read {
    QList<QStringList> records;
    QList<qint64> lines;
    QStringList errors;  // "line: error" for each malformed record
};

Read readAll(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    Read r;
    while (reader.next()) {
        r.records.append(reader.fields());
        r.lines.append(reader.line());
        if (!reader.error().isEmpty())
            r.errors.append(QString::number(reader.line()) + u':' + reader.error());
    }
    return r;
}

}  // namespace

class TestCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QList<qint64>>("lines");
        QTest::newRow("plain, CR LF")
            << QByteArray("a;b;c\r\n1;2;3\r\n") << QList<QStringList>{{"a", "b", "c"}, {"1", "2", "3"}}
            << QList<qint64>{1, 2};
        QTest::newRow("separator in quotes")
            << QByteArray("\"Bērziņš; Jānis\";5\n") << QList<QStringList>{{"Bērziņš; Jānis", "5"}}
            << QList<qint64>{1};
        QTest::newRow("doubled quotes")
            << QByteArray("\"Kronis \"\"Premium\"\"\";\"\"\"\"\n")
            << QList<QStringList>{{"Kronis \"Premium\"", "\""}} << QList<qint64>{1};
        QTest::newRow("field over two lines")
            << QByteArray("1;\"Higiēna\nun pulēšana\";3\r\n2;x;y\r\n")
            << QList<QStringList>{{"1", "Higiēna\nun pulēšana", "3"}, {"2", "x", "y"}} << QList<qint64>{1, 3};
        QTest::newRow("CR LF inside quotes kept")
            << QByteArray("\"a\r\n\r\nb\";c\r\n") << QList<QStringList>{{"a\r\n\r\nb", "c"}}
            << QList<qint64>{1};
        QTest::newRow("empty fields")
            << QByteArray(";;\n\"\";x;\"\"\n") << QList<QStringList>{{"", "", ""}, {"", "x", ""}}
            << QList<qint64>{1, 2};
        QTest::newRow("blanks are kept")
            << QByteArray(" a ; b \n") << QList<QStringList>{{" a ", " b "}} << QList<qint64>{1};
        QTest::newRow("no line end at the end")
            << QByteArray("a;b") << QList<QStringList>{{"a", "b"}} << QList<qint64>{1};
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFVārds;Summa\n")
                                         << QList<QStringList>{{"Vārds", "Summa"}} << QList<qint64>{1};
        QTest::newRow("empty lines skipped")
            << QByteArray("a\n\n\r\nb\n\n") << QList<QStringList>{{"a"}, {"b"}} << QList<qint64>{1, 4};
    }
    void reads() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, records);
        QFETCH(QList<qint64>, lines);
        const Read r = readAll(bytes);
        QVERIFY2(r.errors.isEmpty(), qPrintable(r.errors.join(u'\n')));
        QCOMPARE(r.records, records);
        QCOMPARE(r.lines, lines);
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("errors");             // "line:" and the start of the message
        QTest::addColumn<QList<QStringList>>("wellFormed");  // the records read without error
        QTest::newRow("quote never closed")
            << QByteArray("a;b\n\"atvērta;x\nvēl\n") << QStringList{"2:pēdiņa atvērta, bet nav aizvērta"}
            << QList<QStringList>{{"a", "b"}};
        QTest::newRow("text after the closing quote")
            << QByteArray("\"ab\"c;d\nx;y\n") << QStringList{"1:aiz noslēdzošās pēdiņas"}
            << QList<QStringList>{{"x", "y"}};
        QTest::newRow("quote in the middle of a field")
            << QByteArray("x;y\nab\"c;d\n") << QStringList{"2:pēdiņa lauka vidū"}
            << QList<QStringList>{{"x", "y"}};
        QTest::newRow("quote after a blank")
            << QByteArray("a; \"b\"\n") << QStringList{"1:pēdiņa lauka vidū"} << QList<QStringList>{};
        QTest::newRow("each bad record with its own line")
            << QByteArray("1;\"a\nb\"c\n2;ok\n3;d\"\n")
            << QStringList{"1:aiz noslēdzošās", "4:pēdiņa lauka vidū"} << QList<QStringList>{{"2", "ok"}};
    }
    void malformed() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, errors);
        QFETCH(QList<QStringList>, wellFormed);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CsvReader reader(buffer);
        QStringList found;
        QList<QStringList> good;
        while (reader.next()) {
            if (reader.error().isEmpty())
                good.append(reader.fields());
            else
                found.append(QString::number(reader.line()) + u':' + reader.error());
        }
        QCOMPARE(found.size(), errors.size());
        for (qsizetype i = 0; i < errors.size(); ++i)
            QVERIFY2(found[i].startsWith(errors[i]), qPrintable(found[i]));
        QCOMPARE(good, wellFormed);
    }

    // An opening quote in a file that is not CSV would take the whole file into one field.
    void recordLengthIsBounded() {
        QByteArray bytes = "a;\"";
        bytes += QByteArray(CsvReader::MaxRecordBytes / 64, 'x').append('\n').repeated(80);
        bytes += "b;c\n";
        const Read r = readAll(bytes);
        QVERIFY(!r.errors.isEmpty());
        QVERIFY2(r.errors.first().startsWith("1:ieraksts ir garāks par 4 MiB"), qPrintable(r.errors.first()));
        QVERIFY(r.records.first().join(QString()).size() <= CsvReader::MaxRecordBytes + 2);
        QCOMPARE(r.records.last(), (QStringList{"b", "c"}));
    }

    void writes_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Ārija Ķēniņa"
                               << "Ārija Ķēniņa";
        QTest::newRow("separator") << "Bērziņš; Jānis"
                                   << "\"Bērziņš; Jānis\"";
        QTest::newRow("quote") << "Kronis \"Premium\""
                               << "\"Kronis \"\"Premium\"\"\"";
        QTest::newRow("line break") << "a\nb"
                                    << "\"a\nb\"";
        QTest::newRow("formula") << "=1+2"
                                 << "'=1+2";
        QTest::newRow("formula with quotes and separator") << "=HYPERLINK(\"http://x\";\"y\")"
                                                           << "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\"";
        QTest::newRow("plus") << "+A1"
                              << "'+A1";
        QTest::newRow("minus") << "-2+3"
                               << "'-2+3";
        QTest::newRow("at") << "@SUM(A1:A9)"
                            << "'@SUM(A1:A9)";
        QTest::newRow("minus alone") << "-"
                                     << "'-";
        QTest::newRow("negative amount") << "-12.50"
                                         << "-12.50";
        QTest::newRow("negative with decimal comma") << "-12,50"
                                                     << "-12,50";
        QTest::newRow("padded amount") << "    -12.50"
                                       << "    -12.50";
        QTest::newRow("formula after a blank") << " =1"
                                               << " =1";
    }
    void writes() {
        QFETCH(QString, field);
        QFETCH(QString, written);
        QCOMPARE(csvField(field), written);
    }
};

int runCsvTests(int argc, char** argv) {
    TestCsv t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_csv.moc"
