// Placeholders, layout files and the CSV export.
#include "ReportTestData.h"
#include "models/ResultTableModel.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "reports/ValueResolver.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace reports;

class TestReportUnits : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholders_data();
    void placeholders();
    void layoutErrors_data();
    void layoutErrors();
    void shippedLayoutsLoad_data();
    void shippedLayoutsLoad();
    void formatsNeverReachPrintf_data();
    void formatsNeverReachPrintf();
    void pageGeometry_data();
    void pageGeometry();
    void textKeepsBlanksAndLineBreaks();
    void csvExactContent();
    void failuresAreReported();
};

namespace {

db::ResultSet placeholderRows() {
    db::ResultSet rs(QStringList{"NUMURS", "CENA", "DATUMS", "SUMMA", "TUKSS"});
    rs.append({QStringLiteral("A-1"), 10.0, QDate(2025, 1, 31), 10.004, QVariant()});
    rs.append({QStringLiteral("B-2"), 12.345, QDate(2025, 2, 1), 24.69, QVariant()});
    rs.append({QStringLiteral("C;3"), 0.5, QVariant(), 1.0, QVariant()});
    return rs;
}

ReportLayout layoutFrom(const QString& body, const QString& reportAttributes = QString()) {
    return ReportLayout::fromXml((QStringLiteral("<report ") + reportAttributes + u'>' + body + QStringLiteral("</report>")).toUtf8(),
                                 QStringLiteral("test.xml"));
}

}  // namespace

void TestReportUnits::placeholders_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* text, const char* expected) {
        QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(expected);
    };
    row("[NUMURS]", "B-2");
    row("[numurs]", "B-2");
    row("[CENA|0.00]", "12.35");
    row("[CENA|%10.2f]", "     12.35");
    row("[CENA|%2.2f]", "12.35");
    row("[CENA|%08.2f]|", "00012.35|");
    row("[CENA|%-8.2f]|", "12.35   |");
    row("[CENA|%.0f]", "12");
    row("[CENA|%f]", "12.345000");
    row("[CENA|#0.00]", "12.35");
    row("[CENA|#,##0.00]", "12.35");
    row("[DATUMS|dd.MM.yyyy]", "01.02.2025");
    row("[DATUMS]", "01.02.2025");
    row("[TUKSS|0.00]", "");
    row("[SUM(SUMMA)|0.00]", "35.69");
    row("[sum( summa )|%2.2f]", "35.69");
    row("[SUM(Parads)|0.00]", "12.85");  // a named value summed row by row
    row("[shGnos]", "Zobārstniecība Ņ");
    row("[SHGNOS]", "Zobārstniecība Ņ");
    row("[shCena]", "12.35");
    row("Lappuse [Page] no [TotalPages]", "Lappuse 2 no 3");
    row("Drukāts: [Date] [Time]", "Drukāts: 05.03.2025 14:07");
    row("[Time|hh:mm:ss]", "14:07:09");
    row("[Line]. rinda", "2. rinda");
    row("[NavTāda]", "");
    row("[[NUMURS]", "[NUMURS]");
    row("Cena [nav vārds] [CENA|0.00]", "Cena [nav vārds] 12.35");
    row("[NUMURS", "[NUMURS");
    row(" Divas  atstarpes ", " Divas  atstarpes ");
}

void TestReportUnits::placeholders() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const db::ResultSet rows = placeholderRows();
    const ValueCallback values =
        ReportValues()
            .set(QStringLiteral("shGnos"), QStringLiteral("Zobārstniecība Ņ"))
            .set(QStringLiteral("shCena"), [&](int r) { return models::formatValue(rows.value(r, "CENA"), "0.00"); })
            .set(QStringLiteral("Parads"),
                 [&](int r) { return rows.value(r, "SUMMA").toDouble() - rows.value(r, "CENA").toDouble(); });
    ValueResolver resolver(rows, values, QDateTime(QDate(2025, 3, 5), QTime(14, 7, 9)));
    resolver.setTotalPages(3);
    QCOMPARE(resolver.text(TextTemplate(text), Scope{1, 0, 2, 2}), expected);
}

void TestReportUnits::layoutErrors_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("message");
    auto row = [](const char* tag, const char* xml, const char* message) {
        QTest::newRow(tag) << QString::fromUtf8(xml) << QString::fromUtf8(message);
    };
    row("not XML", "<report><title height='5'></report>", "Atskaites veidne test.xml, rinda 1: ");
    row("wrong root", "<raport/>", "saknes elementam jābūt <report>");
    row("unknown band", "<report>\n<banner height='5'/></report>", "rinda 2: nezināms elements <banner>");
    row("no height", "<report><title/></report>", "trūkst atribūta height");
    row("height not a number", "<report><summary height='x'/></report>", "atribūtam height jābūt skaitlim");
    row("unknown paper", "<report paper='Letter'/>", "nezināms papīra izmērs LETTER");
    row("group without field", "<report><group><header height='5'/></group></report>", "grupai trūkst atribūta field");
    row("bad flag", "<report><title height='5'><text x='0' y='0' width='9' height='5' wrap='varbūt'>a</text></title></report>",
        "atribūtam wrap jābūt true vai false");
    row("unknown item", "<report><title height='5'><image/></title></report>", "nezināms elements <image> joslā");
    row("not XML at all", "Šis ir teksts, nevis veidne", "rinda 1: fails nav XML");
    row("a PDF", "%PDF-1.4\n%\xC3\xA2\n1 0 obj", "fails nav XML");
    row("empty", " \n ", "tukšs fails");

    // Placeholder formats: only number forms that print safely, and date or time patterns; the
    // line is the placeholder's own.
    auto format = [](const char* tag, const char* placeholder, const char* message) {
        QTest::newRow(tag) << QStringLiteral("<report>\n<title height='5'>\n<text x='0' y='0' width='9'\n"
                                             "  height='5'>Summa:\n[Line] %1</text></title></report>")
                                  .arg(QString::fromUtf8(placeholder))
                           << QStringLiteral("rinda 5: vietturī %1 %2").arg(QString::fromUtf8(placeholder),
                                                                           QString::fromUtf8(message));
    };
    format("%s", "[SUMMA|%s]", "skaitļa formāts \"%s\" nav atļauts");
    format("%n", "[SUMMA|%n]", "skaitļa formāts");
    format("%d", "[DAUDZUMS|%d]", "skaitļa formāts");
    format("%e", "[SUMMA|%.2e]", "skaitļa formāts");
    format("text after", "[SUMMA|%2.2f EUR]", "skaitļa formāts");
    format("huge width", "[SUMMA|%999999999.2f]", "skaitļa formāts");
    format("width over 40", "[SUMMA|%41.2f]", "skaitļa formāts");
    format("precision over 6", "[SUMMA|%.7f]", "skaitļa formāts");
    format("picture with 7 decimals", "[SUMMA|0.0000000]", "skaitļa formāts");
    format("not a pattern", "[SUMMA|abc]", "formāts \"abc\" nav ne skaitļa, ne datuma vai laika formāts");
    format("unclosed quote", "[DATUMS|dd.MM 'gads]", "formāts \"dd.MM 'gads\" nav ne skaitļa");
}

void TestReportUnits::layoutErrors() {
    QFETCH(QString, xml);
    QFETCH(QString, message);
    try {
        ReportLayout::fromXml(xml.toUtf8(), QStringLiteral("test.xml"));
        QFAIL("the layout was accepted");
    } catch (const ReportError& e) {
        if (!e.message().contains(message)) qWarning() << e.message();
        QVERIFY(e.message().contains(message));
    }
}

// Every layout built into the program reads with the checks above.
void TestReportUnits::shippedLayoutsLoad_data() {
    QTest::addColumn<QString>("name");
    const QStringList files = QDir(QStringLiteral(":/reports")).entryList({QStringLiteral("*.xml")});
    QVERIFY(!files.isEmpty());
    for (const QString& file : files) QTest::newRow(qPrintable(file)) << file.chopped(4);
}

void TestReportUnits::shippedLayoutsLoad() {
    QFETCH(QString, name);
    try {
        const ReportLayout layout = ReportLayout::load(name);
        QVERIFY(layout.masterData || layout.title || layout.summary);
    } catch (const ReportError& e) {
        QFAIL(qPrintable(e.message()));
    }
}

// Grids format with the same function and their formats are not checked in advance: a format
// that is not accepted prints the bare value and must never reach the C library.
void TestReportUnits::formatsNeverReachPrintf_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("%s") << "%s" << "-3.5";
    QTest::newRow("huge width") << "%999999999.2f" << "-3.5";
    QTest::newRow("zero padding after the sign") << "%08.2f" << "-0003.50";
    QTest::newRow("widest") << "%40.1f" << QString(36, u' ') + "-3.5";
}

void TestReportUnits::formatsNeverReachPrintf() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(models::formatValue(-3.5, format), expected);
}

void TestReportUnits::pageGeometry_data() {
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QSizeF>("content");
    QTest::newRow("defaults: A4, 10 mm") << QString() << QSizeF(190, 277);
    QTest::newRow("landscape") << QStringLiteral("orientation='landscape'") << QSizeF(277, 190);
    QTest::newRow("four margins") << QStringLiteral("margins='15 10 5 20'") << QSizeF(190, 267);
}

void TestReportUnits::pageGeometry() {
    QFETCH(QString, attributes);
    QFETCH(QSizeF, content);
    const QSizeF size = layoutFrom(QString(), attributes).contentSize();
    QCOMPARE(qRound(size.width()), qRound(content.width()));
    QCOMPARE(qRound(size.height()), qRound(content.height()));
}

void TestReportUnits::textKeepsBlanksAndLineBreaks() {
    const ReportLayout layout = layoutFrom(QStringLiteral(
        "<title height='5'><text x='0' y='0' width='50' height='5'> Noilguma \n  parāda [[x]</text></title>"));
    QCOMPARE(layout.title->texts.at(0).text.source(), QStringLiteral(" Noilguma \n  parāda [[x]"));
    QCOMPARE(layout.title->texts.at(0).fontFamily, QStringLiteral("DejaVu Sans"));
}

// The sample layout's CSV: every master-band object in column order, formats applied; quotes
// only where a field needs them.
void TestReportUnits::csvExactContent() {
    db::ResultSet rows(QStringList{"DATUMS", "NUMURS", "ISKLIENTS", "KLIENTS", "DZIM_DAT", "PRECE", "DAUDZUMS",
                                   "CENA", "SUMMA"});
    rows.append({QDate(2025, 1, 2), "R-001", 1, "Ārija Ķēniņa", QDate(1980, 1, 1), "Zoba plombēšana", 2, 12.5, 25.0});
    rows.append({QDate(2025, 1, 3), "R;002", 1, "Ārija Ķēniņa", QDate(1980, 1, 1), "Kronis \"Premium\"", 1, 1234.565,
                 1234.565});
    rows.append({QVariant(), "R-003", 2, "Žanis Čūska", QVariant(), "Higiēna\nun pulēšana", 3, 0.1, 0.30000000000000004});
    Report report(ReportLayout::load(QStringLiteral("sample")));
    report.setRows(rows);

    const QString expected = QStringLiteral(
        "Nr.;Datums;Numurs;Pakalpojums;Skaits;Cena;Summa\r\n"
        "1;02.01.2025;R-001;Zoba plombēšana;2;12.50;     25.00\r\n"
        "2;03.01.2025;\"R;002\";\"Kronis \"\"Premium\"\"\";1;1234.57;   1234.57\r\n"
        "3;;R-003;\"Higiēna\nun pulēšana\";3;0.10;      0.30\r\n");
    QCOMPARE(report.csv(), expected);

    const QString path = reporttest::scratchPath(QStringLiteral("rindas.csv"));
    report.exportCsv(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected.toUtf8());  // UTF-8, no byte-order mark
}

void TestReportUnits::failuresAreReported() {
    QVERIFY_THROWS_EXCEPTION(ReportError, ReportLayout::load(QStringLiteral("nav-tadas")));
    Report report(ReportLayout::load(QStringLiteral("sample")));
    QVERIFY_THROWS_EXCEPTION(ReportError, report.exportPdf(QStringLiteral("/nav/tadas/mapes/x.pdf")));
    QVERIFY_THROWS_EXCEPTION(ReportError, report.exportCsv(QStringLiteral("/nav/tadas/mapes/x.csv")));
}

int runReportUnitTests(int argc, char** argv) {
    TestReportUnits t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_reports.moc"
