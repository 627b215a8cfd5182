// Where bands land on pages: page breaks against the page footer, groups, titles and summaries.
#include "reports/Paginator.h"

#include <QtTest>
#include <algorithm>

using namespace reports;

class TestPagination : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pages_data();
    void pages();
};

namespace {

// Rows with one field G; groupSizes consecutive rows share a value.
db::ResultSet groupedRows(const QVector<int>& groupSizes) {
    db::ResultSet rs(QStringList{"G"});
    for (int g = 0; g < groupSizes.size(); ++g)
        for (int i = 0; i < groupSizes[g]; ++i) rs.append({g});
    return rs;
}

bool is(const std::optional<Band>& band, const Band* placed) { return band && &*band == placed; }

QString range(int first, int last) {
    return first == last ? QString::number(first + 1) : QStringLiteral("%1-%2").arg(first + 1).arg(last + 1);
}

// One token per placed band from the top of each page: T title, H page header, G group header,
// g(first-last) group footer with the rows it sums, rows as ranges, S summary, F(first-last)
// page footer with the rows it sums; pages separated by " | ".
QString describe(const QVector<Page>& pages, const ReportLayout& layout) {
    QStringList out;
    for (const Page& page : pages) {
        QVector<PlacedBand> bands = page.bands;
        std::stable_sort(bands.begin(), bands.end(), [](const auto& a, const auto& b) { return a.top < b.top; });
        QStringList tokens;
        int runFirst = -1, runLast = -1;
        auto flushRows = [&] {
            if (runFirst >= 0) tokens.append(range(runFirst, runLast));
            runFirst = runLast = -1;
        };
        for (const PlacedBand& b : bands) {
            if (is(layout.masterData, b.band)) {
                if (runFirst < 0) runFirst = b.scope.row;
                runLast = b.scope.row;
                continue;
            }
            flushRows();
            if (is(layout.title, b.band)) tokens.append("T");
            else if (is(layout.pageHeader, b.band)) tokens.append("H");
            else if (is(layout.summary, b.band)) tokens.append("S");
            else if (layout.group && is(layout.group->header, b.band)) tokens.append("G");
            else if (layout.group && is(layout.group->footer, b.band))
                tokens.append("g(" + range(b.scope.first, b.scope.last) + ")");
            else if (is(layout.pageFooter, b.band))
                tokens.append(b.scope.last < 0 ? QStringLiteral("F()") : "F(" + range(b.scope.first, b.scope.last) + ")");
        }
        flushRows();
        out.append(tokens.join(u' '));
    }
    return out.join(QStringLiteral(" | "));
}

}  // namespace

void TestPagination::pages_data() {
    QTest::addColumn<QString>("bands");
    QTest::addColumn<QVector<int>>("groups");
    QTest::addColumn<QString>("expected");
    // A4 with 10 mm margins: 277 mm of printable height; the page footer (10 mm) leaves 267.
    const QString header = "<page-header height='9'/>";
    const QString footer = "<page-footer height='10'/>";
    const QString master = "<master-data height='5'/>";
    const QString group = "<group field='G'><header height='7'/><footer height='8'/></group>";

    QTest::newRow("title, 120 rows, summary")
        << "<title height='24'/>" + header + master + "<summary height='40'/>" + footer << QVector<int>{120}
        << "T H 1-46 F(1-46) | H 47-97 F(47-97) | H 98-120 S F(98-120)";
    QTest::newRow("rows end exactly at the footer")
        << "<page-header height='7'/>" + master + footer << QVector<int>{104}
        << "H 1-52 F(1-52) | H 53-104 F(53-104)";
    QTest::newRow("one row more than fits")
        << "<page-header height='7'/>" + master + footer << QVector<int>{53} << "H 1-52 F(1-52) | H 53 F(53)";
    QTest::newRow("groups on one page")
        << header + group + master + footer << QVector<int>{30, 12} << "H G 1-30 g(1-30) G 31-42 g(31-42) F(1-42)";
    QTest::newRow("group header kept with its first row")
        << header + group + master + footer << QVector<int>{47, 3}
        << "H G 1-47 g(1-47) F(1-47) | H G 48-50 g(48-50) F(48-50)";
    QTest::newRow("group split over pages sums the whole group")
        << header + group + master + footer << QVector<int>{60}
        << "H G 1-50 F(1-50) | H 51-60 g(1-60) F(51-60)";
    QTest::newRow("each group on a new page")
        << header + "<group field='G' new-page='true'><header height='7'/><footer height='8'/></group>" + master +
               footer
        << QVector<int>{3, 2} << "H G 1-3 g(1-3) F(1-3) | H G 4-5 g(4-5) F(4-5)";
    QTest::newRow("summary taller than a page")
        << header + master + "<summary height='300'/>" + footer << QVector<int>{1} << "H 1 F(1) | H S F()";
    QTest::newRow("no rows") << "<title height='24'/>" + header + group + master + "<summary height='40'/>" + footer
                             << QVector<int>{} << "T H S F()";
    QTest::newRow("no page bands") << master << QVector<int>{56} << "1-55 | 56";
}

void TestPagination::pages() {
    QFETCH(QString, bands);
    QFETCH(QVector<int>, groups);
    QFETCH(QString, expected);
    const ReportLayout layout =
        ReportLayout::fromXml(("<report margins='10'>" + bands + "</report>").toUtf8(), QStringLiteral("test"));
    const db::ResultSet rows = groupedRows(groups);
    const ValueResolver resolver(rows, ValueCallback(), QDateTime::currentDateTime());
    const QVector<Page> pages = Paginator(layout, resolver, [](const Band& b, const Scope&) { return b.height; }).run();
    QCOMPARE(describe(pages, layout), expected);
}

int runPaginationTests(int argc, char** argv) {
    TestPagination t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_pagination.moc"
