// The sample layout with 120 rows, printed to PDF and read back with pdftotext.
#include "ReportTestData.h"
#include "billing/AmountInWords.h"
#include "reports/Report.h"
#include "reports/ReportPreview.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QRegularExpression>
#include <QtTest>

using namespace reports;
using namespace reporttest;

class TestSampleReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pagesCarryHeaderAndFooter();
    void everyRowOnceAndPageSums();
    void groupSumsAndGrandTotal();
    void latvianLettersAndWrappedText();
    void printerAndPdfKeepTheMargins();
    void previewShowsEveryPage();

private:
    static QString money(double x) { return QString::asprintf("%.2f", x); }
    double rowSum(int r) const { return m_rows.value(r, "SUMMA").toDouble(); }

    db::ResultSet m_rows = sampleRows();
    QStringList m_pages;
    int m_renderedPages = 0;
    double m_total = 0;
};

void TestSampleReport::initTestCase() {
    QCOMPARE(m_rows.rowCount(), 120);
    for (int r = 0; r < m_rows.rowCount(); ++r) m_total += rowSum(r);

    Report report(ReportLayout::load(QStringLiteral("sample")));
    report.setRows(m_rows);
    report.setPrintTime(QDateTime(QDate(2025, 3, 5), QTime(14, 7, 30)));
    const double total = m_total;
    report.setValues(ReportValues()
                         .set(QStringLiteral("shGnos"), QStringLiteral("SIA “Zobārstniecība Ņ”"))
                         .set(QStringLiteral("EndOfMonth"), QDate(2025, 3, 31))
                         .set(QStringLiteral("sumlatval"), billing::AmountInWords(total, "EUR", QString())));
    const QString path = scratchPath(QStringLiteral("paraugs.pdf"));
    m_renderedPages = report.exportPdf(path);
    m_pages = pdfPages(path);
    QVERIFY2(!m_pages.isEmpty(), "pdftotext gave no text");
}

// 120 rows of 4.5 mm (540 mm), one of them wrapped over three lines, six groups (90 mm) and the
// summary (40 mm) fill most of three pages that hold 234, 258 and 258 mm.
void TestSampleReport::pagesCarryHeaderAndFooter() {
    QCOMPARE(m_renderedPages, 3);
    QCOMPARE(m_pages.size(), m_renderedPages);
    for (int i = 0; i < m_pages.size(); ++i) {
        const QString& page = m_pages[i];
        QVERIFY2(page.contains(QStringLiteral("Lappuse %1 no %2").arg(i + 1).arg(m_pages.size())), qPrintable(page));
        QVERIFY(page.contains(QRegularExpression(QStringLiteral("Nr\\.\\s+Datums\\s+Numurs\\s+Pakalpojums\\s+Skaits"
                                                                "\\s+Cena\\s+Summa"))));
        QCOMPARE(page.contains(QStringLiteral("PAKALPOJUMU SARAKSTS PAR 01.01.1900-31.03.2025")), i == 0);
        QCOMPARE(page.contains(QStringLiteral("KOPĒJĀ SUMMA")), i == m_pages.size() - 1);
    }
    QVERIFY(m_pages[0].contains(QStringLiteral("Drukāts: 05.03.2025 14:07")));
}

// Each row prints once, and the sum in each page footer is the sum of that page's rows.
void TestSampleReport::everyRowOnceAndPageSums() {
    static const QRegularExpression number(QStringLiteral("\\bR-(\\d{3})\\b"));
    static const QRegularExpression pageSum(QStringLiteral("Lapā kopā: (\\d+\\.\\d\\d)"));
    QVector<int> seen;
    for (const QString& page : m_pages) {
        double expected = 0;
        for (auto it = number.globalMatch(page); it.hasNext();) {
            const int r = it.next().captured(1).toInt() - 1;
            seen.append(r);
            expected += rowSum(r);
        }
        const auto m = pageSum.match(page);
        QVERIFY(m.hasMatch());
        QCOMPARE(m.captured(1), money(expected));
    }
    QVector<int> all(120);
    std::iota(all.begin(), all.end(), 0);
    QCOMPARE(seen, all);
}

void TestSampleReport::groupSumsAndGrandTotal() {
    const QString text = m_pages.join(u'\f');
    static const QRegularExpression groupLine(QStringLiteral("Kopā klientam\\s+(\\d+)\\s+(\\d+\\.\\d\\d)\\s*$"),
                                              QRegularExpression::MultilineOption);
    QStringList printed, expected;
    for (auto it = groupLine.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        printed.append(m.captured(1) + u' ' + m.captured(2));
    }
    int r = 0;
    for (const Patient& p : patients()) {
        double sum = 0;
        int quantity = 0;
        for (int i = 0; i < p.rows; ++i, ++r) {
            sum += rowSum(r);
            quantity += m_rows.value(r, "DAUDZUMS").toInt();
        }
        expected.append(QString::number(quantity) + u' ' + money(sum));
    }
    QCOMPARE(printed, expected);

    static const QRegularExpression total(QStringLiteral("^\\s*KOPĀ\\s+(\\d+\\.\\d\\d)\\s*$"),
                                          QRegularExpression::MultilineOption);
    const auto m = total.match(m_pages.last());
    QVERIFY(m.hasMatch());
    QCOMPARE(m.captured(1), money(m_total));

    // The amount in words (pdftotext does not keep its double blanks).
    const QString words = billing::AmountInWords(m_total, "EUR", QString()).simplified();
    QCOMPARE(words, QStringLiteral("Pieci tūkstoši trīs simti septiņdesmit astoņi EUR piecdesmit centi"));
    QVERIFY(m_pages.last().simplified().contains(words));
}

void TestSampleReport::latvianLettersAndWrappedText() {
    const QString text = m_pages.join(u'\f');
    for (const Patient& p : patients()) QVERIFY2(text.contains(p.name), qPrintable(p.name));
    QVERIFY(text.contains(QStringLiteral("SIA “Zobārstniecība Ņ”")));
    QVERIFY(text.contains(QStringLiteral("Rēķins sagatavots elektroniski un ir derīgs bez paraksta un zīmoga")));
    QVERIFY(text.contains(QStringLiteral("Ģimenes ārsta piezīmes: ķirurģiskās manipulācijas")));
    for (QChar letter : QStringLiteral("āčēģīķļņšūžĀČĒĢĪĶĻŅŠŪŽ")) QVERIFY2(text.contains(letter), qPrintable(QString(letter)));

    // The long service name wraps inside its column: every word prints, not all on one line, and
    // the next row does not run into it.
    const QString& page = m_pages.first();
    const QStringList lines = page.split(u'\n');
    const int first = int(lines.indexOf(QRegularExpression(QStringLiteral(".*R-005.*"))));
    const int next = int(lines.indexOf(QRegularExpression(QStringLiteral(".*R-006.*"))));
    QVERIFY(first >= 0 && next > first + 1);
    QString wrapped;
    for (int i = first; i < next; ++i) wrapped += lines[i] + u' ';
    for (const QString& word : longServiceName().split(u' ')) QVERIFY2(wrapped.contains(word), qPrintable(word));
    QVERIFY(!lines[first].contains(longServiceName()));
}

// A printer (here printing to a file) gets the same page as the PDF export: A4, text inside the
// 10 mm margins, the page footer above the bottom margin.
void TestSampleReport::printerAndPdfKeepTheMargins() {
    db::ResultSet fewRows(m_rows.columns());
    for (int r = 0; r < 5; ++r) fewRows.append(m_rows.row(r));
    Report report(ReportLayout::load(QStringLiteral("sample")));
    report.setRows(fewRows);

    const QString pdfPath = scratchPath(QStringLiteral("pdf.pdf"));
    QCOMPARE(report.exportPdf(pdfPath), 1);
    const QString printedPath = scratchPath(QStringLiteral("printer.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printedPath);
        QCOMPARE(report.render(printer), 1);
    }
    const double margin = 10 / 25.4 * 72;  // points
    const double paperHeight = 297 / 25.4 * 72;
    for (const QString& path : {pdfPath, printedPath}) {
        QVERIFY(pdfPages(path).value(0).contains(QStringLiteral("Lappuse 1 no 1")));
        const QRectF heading = wordBox(path, QStringLiteral("Nr."));
        QVERIFY2(qAbs(heading.left() - margin) < 1.0, qPrintable(QString::number(heading.left())));
        const QRectF title = wordBox(path, QStringLiteral("PAKALPOJUMU"));
        QVERIFY(title.top() > margin - 1 && title.top() < margin + 5);
        const QRectF footer = wordBox(path, QStringLiteral("Lappuse"));
        QVERIFY2(footer.bottom() < paperHeight - margin && footer.bottom() > paperHeight - 2 * margin,
                 qPrintable(QString::number(footer.bottom())));
    }
}

// The preview dialog asks the report for its pages and offers the two exports.
void TestSampleReport::previewShowsEveryPage() {
    Report report(ReportLayout::load(QStringLiteral("sample")));
    report.setRows(m_rows);
    int pages = -1;
    QStringList actions;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
        for (QAction* action : dialog->findChild<QToolBar*>()->actions()) actions.append(action->text());
        dialog->reject();
    });
    showReportPreview(report, nullptr);
    QCOMPARE(pages, 3);
    QVERIFY(actions.contains(QStringLiteral("PDF…")));
    QVERIFY(actions.contains(QStringLiteral("CSV…")));
}

int runSampleReportTests(int argc, char** argv) {
    TestSampleReport t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_sample_report.moc"
