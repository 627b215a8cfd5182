// The dental chart's records: the stored text read and written, the clicks of every kind of tool,
// the canal filling's steps and the milk-teeth mode.
#include "consultations/ChartTools.h"
#include "consultations/ToothChart.h"

#include "Fetched.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace dentalchart;

namespace {

// A click on a top view (51 x 51) or, with a width, on a side view at x.
struct Click {
    Tool tool = Tool::None;
    QPoint point;
    int sideWidth = 0;  // 0: a top-view click
    QString crown = QStringLiteral("MK_K");
};

// The middle of each surface of a top view.
QPoint surface(int s) {
    static const QPoint points[5] = {{12, 26}, {26, 12}, {40, 26}, {26, 40}, {26, 26}};
    return points[s];
}
Click top(Tool tool, int s) { return Click{tool, surface(s), 0, QStringLiteral("MK_K")}; }
Click crown(const QString& code, int s) { return Click{Tool::Crown, surface(s), 0, code}; }
Click side(Tool tool, int width, int x) { return Click{tool, QPoint(x, 10), width, {}}; }

// Runs the clicks on position t of the chart read from `stored`; returns the stored text.
QString afterClicks(int t, const QList<Click>& clicks, const QString& stored = {}) {
    ToothChart chart;
    chart.read(stored);
    for (const Click& c : clicks) {
        const ToolChoice choice{c.tool, c.crown};
        if (c.sideWidth == 0)
            chart.clickTop(t, c.point, choice);
        else
            chart.clickSide(t, c.sideWidth, c.point.x(), choice);
    }
    return chart.text();
}

}  // namespace

Q_DECLARE_METATYPE(QList<Click>)

class TestToothChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheExample() {
        ToothChart chart;
        const QString stored = QStringLiteral("2+kz4C|2+el01|2+sk0kan_pild/|");
        QVERIFY(chart.read(stored).isEmpty());
        QCOMPARE(chart.tooth(3).kz[4], QStringLiteral("C"));
        QCOMPARE(chart.tooth(3).el[0], 1);
        QCOMPARE(chart.tooth(3).sk[0], QStringLiteral("kan_pild/"));
        QCOMPARE(chart.text(), stored);
    }

    void canalLevelImpliesFilling_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("flags");
        QTest::newRow("level alone") << "2+el01|" << "kan_pild";
        QTest::newRow("flags follow") << "2+el01|2+sk0PI/kan_pild/|" << "PI/kan_pild/";
        QTest::newRow("flags before the level are replaced") << "2+sk0PI/|2+el01|" << "kan_pild";
    }
    void canalLevelImpliesFilling() {
        QFETCH(QString, stored);
        ToothChart chart;
        QVERIFY(chart.read(stored).isEmpty());
        QCOMPARE(chart.tooth(3).sk[0], FETCHED(QString, flags));
        QCOMPARE(chart.tooth(3).el[0], 1);
    }

    void writesInItsOrder() {
        ToothChart chart;
        ToothRecord& r = chart.tooth(2);  // three roots
        r.sk = {QString(), QStringLiteral("kan_pild/"), QStringLiteral("PI/")};
        r.el = {-1, 2, -1};
        r.kf[2] = QStringLiteral("fract");
        r.kz[4] = QStringLiteral("C");
        r.kz[0] = QStringLiteral("Pla");
        r.st = QStringLiteral("mig/rot/");
        // Roots beyond the position's count and a bare filling mark are not written.
        chart.tooth(8).el[1] = 1;
        chart.tooth(8).sk[2] = QStringLiteral("PI/");
        chart.tooth(9).sk[0] = QStringLiteral("kan_pild");
        chart.tooth(32).st = QStringLiteral("Ex/");
        QCOMPARE(chart.text(),
                 QStringLiteral("1+stmig/rot/|1+kz0Pla|1+kz4C|1+kf2fract|1+el12|1+sk1kan_pild/|1+sk2PI/|31+stEx/|"));
    }

    void randomChartsSurviveTheRoundTrip_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed) QTest::addRow("seed %u", seed) << seed;
    }
    void randomChartsSurviveTheRoundTrip() {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QStringList states{"neizsk", "dal_izsk", "Ex",  "retin", "piena", "rezekc",
                                 "saknes_frakt", "mig", "supraerupcija", "rot", "NAVPAR"};
        const QStringList codes{"C", "CS", "CSk", "nek_def", "Pla", "Plk", "Plp", "Onl", "Ven",
                                "rad", "MK_K", "MPL_K", "St_K", "Z_K", "Pag_K", "BM_K", "starpdblok"};
        const QStringList rootFlags{"PI", "rezorb", "nens", "SL", "TP", "FU", "kan_pild"};
        const auto flags = [&](const QStringList& from) {
            QString text;
            for (const QString& f : from)
                if (random.bounded(4) == 0) text += f + u'/';
            return text;
        };
        ToothChart chart;
        for (int t = 1; t <= PositionCount; ++t) {
            ToothRecord& r = chart.tooth(t);
            r.st = flags(states);
            for (int s = 0; s < SurfaceCount; ++s) {
                if (random.bounded(3) == 0) r.kz[s] = codes.at(random.bounded(int(codes.size())));
                if (random.bounded(5) == 0) r.kf[s] = QStringLiteral("fract");
            }
            for (int root = 0; root < ToothChart::rootCount(t); ++root) {
                r.el[root] = random.bounded(4) - 1;
                r.sk[root] = flags(rootFlags);
            }
        }
        const QString first = chart.text();
        ToothChart again;
        QCOMPARE(again.read(first), QStringList());
        QCOMPARE(again.text(), first);
        for (int t = 1; t <= PositionCount; ++t) {
            QCOMPARE(again.tooth(t).st, chart.tooth(t).st);
            QCOMPARE(again.tooth(t).kz, chart.tooth(t).kz);
            QCOMPARE(again.tooth(t).el, chart.tooth(t).el);
        }
    }

    void malformedValuesKeepTheirGoodRecords_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QStringList>("skipped");
        QTest::newRow("position not a number") << "2+kz4C|x+kz1C|3+stmig/|" << "2+kz4C|3+stmig/|"
                                               << QStringList{"x+kz1C|"};
        QTest::newRow("position beyond the chart") << "32+kz0C|0+kz0C|" << "0+kz0C|" << QStringList{"32+kz0C|"};
        QTest::newRow("negative position") << "-1+kz0C|0+kz0C|" << "0+kz0C|" << QStringList{"-1+kz0C|"};
        QTest::newRow("unknown key") << "2+zz0C|2+kz4C|" << "2+kz4C|" << QStringList{"2+zz0C|"};
        QTest::newRow("surface beyond five") << "2+kz7C|2+kf1fract|" << "2+kf1fract|" << QStringList{"2+kz7C|"};
        QTest::newRow("index not a digit") << "2+elx1|2+kz4C|" << "2+kz4C|" << QStringList{"2+elx1|"};
        QTest::newRow("level not a number") << "2+el0x|2+kz4C|" << "2+kz4C|" << QStringList{"2+el0x|"};
        QTest::newRow("level beyond two") << "2+el05|" << "" << QStringList{"2+el05|"};
        QTest::newRow("root the tooth does not have") << "7+sk1PI/|7+sk0PI/|" << "7+sk0PI/|" << QStringList{"7+sk1PI/|"};
        QTest::newRow("value with a plus") << "2+kz4C+1|3+stEx/|" << "3+stEx/|" << QStringList{"2+kz4C+1|"};
        QTest::newRow("no plus") << "garbage|2+kz4C|" << "2+kz4C|" << QStringList{"garbage|"};
        QTest::newRow("key cut short") << "2+kz4C|3+k|" << "2+kz4C|" << QStringList{"3+k|"};
        QTest::newRow("text cut short") << "2+kz4C|3+stEx/" << "2+kz4C|" << QStringList{"3+stEx/"};
        QTest::newRow("empty record") << "2+kz4C||3+stEx/|" << "2+kz4C|3+stEx/|" << QStringList{"|"};
        QTest::newRow("line break after the last record") << "2+kz4C|\n" << "2+kz4C|" << QStringList{};
        QTest::newRow("line breaks between records") << "2+kz4C|\r\n3+stEx/|" << "2+kz4C|3+stEx/|" << QStringList{};
        QTest::newRow("everything broken") << "a|b|c" << "" << QStringList{"a|", "b|", "c"};
    }
    void malformedValuesKeepTheirGoodRecords() {
        QFETCH(QString, stored);
        QFETCH(QString, kept);
        ToothChart chart;
        QCOMPARE(chart.read(stored), FETCHED(QStringList, skipped));
        QCOMPARE(chart.text(), kept);
        // A click elsewhere and the next save keep what was read.
        QVERIFY(chart.clickTop(20, surface(1), ToolChoice{Tool::PrimaryCaries, {}}));
        QVERIFY(chart.text().startsWith(kept));
        QVERIFY(chart.text().endsWith(QStringLiteral("19+kz1C|")));
    }

    void surfaceOfAPoint_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("surface");
        const QPoint c(26, 26);  // the circle's middle in the 51 x 51 picture
        QTest::newRow("middle") << c << 4;
        QTest::newRow("edge of the middle") << c + QPoint(8, 0) << 4;
        QTest::newRow("just outside the middle") << c + QPoint(9, 0) << 2;
        QTest::newRow("just outside the middle on a diagonal") << c + QPoint(-6, -6) << 0;
        QTest::newRow("rim left") << c + QPoint(-18, 0) << 0;
        QTest::newRow("rim top") << c + QPoint(0, -18) << 1;
        QTest::newRow("rim right") << c + QPoint(18, 0) << 2;
        QTest::newRow("rim bottom") << c + QPoint(0, 18) << 3;
        QTest::newRow("past the rim") << c + QPoint(19, 0) << -1;
        QTest::newRow("past the rim on a diagonal") << c + QPoint(13, 13) << -1;
        QTest::newRow("rim on a diagonal") << c + QPoint(12, 12) << 2;
        QTest::newRow("upper left diagonal") << c + QPoint(-10, -10) << 0;
        QTest::newRow("upper right diagonal") << c + QPoint(10, -10) << 1;
        QTest::newRow("lower right diagonal") << c + QPoint(10, 10) << 2;
        QTest::newRow("lower left diagonal") << c + QPoint(-10, 10) << 0;
        QTest::newRow("just above the upper left diagonal") << c + QPoint(-10, -11) << 1;
        QTest::newRow("just below the lower right diagonal") << c + QPoint(10, 11) << 3;
        QTest::newRow("just right of the lower left diagonal") << c + QPoint(-10, 11) << 3;
        QTest::newRow("corner of the picture") << QPoint(0, 0) << -1;
        QTest::newRow("far corner") << QPoint(50, 50) << -1;
    }
    void surfaceOfAPoint() {
        QFETCH(QPoint, point);
        QCOMPARE(SurfaceAt(point), FETCHED(int, surface));
    }

    // Every point of the picture: inside the circle of radius 18 each point has exactly the
    // surface its direction points to; on a diagonal one of the two it lies between.
    void everyPointOfTheCircleHasOneSurface() {
        for (int y = 0; y < 51; ++y) {
            for (int x = 0; x < 51; ++x) {
                const int dx = x - 26, dy = y - 26;
                const int d2 = dx * dx + dy * dy;
                const int s = SurfaceAt(QPoint(x, y));
                if (d2 > 324) {
                    QCOMPARE(s, -1);
                } else if (d2 <= 64) {
                    QCOMPARE(s, 4);
                } else if (std::abs(dx) > std::abs(dy)) {
                    QCOMPARE(s, dx < 0 ? 0 : 2);
                } else if (std::abs(dy) > std::abs(dx)) {
                    QCOMPARE(s, dy < 0 ? 1 : 3);
                } else {
                    const QList<int> between{dx < 0 ? 0 : 2, dy < 0 ? 1 : 3};
                    QVERIFY2(between.contains(s), qPrintable(QStringLiteral("%1,%2 -> %3").arg(x).arg(y).arg(s)));
                }
            }
        }
    }

    void topViewClicks_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<Click>>("clicks");
        QTest::addColumn<QString>("stored");
        using T = Tool;
        QTest::newRow("caries") << 3 << QList<Click>{top(T::PrimaryCaries, 4)} << "2+kz4C|";
        QTest::newRow("same tool twice clears") << 3 << QList<Click>{top(T::PrimaryCaries, 4), top(T::PrimaryCaries, 4)} << "";
        QTest::newRow("another tool on a marked surface clears it")
            << 3 << QList<Click>{top(T::PrimaryCaries, 4), top(T::AmalgamFilling, 4)} << "";
        QTest::newRow("surfaces apart") << 3 << QList<Click>{top(T::PrimaryCaries, 0), top(T::CompositeFilling, 4)}
                                        << "2+kz0C|2+kz4Plk|";
        QTest::newRow("one surface cleared among others")
            << 3 << QList<Click>{top(T::AmalgamFilling, 0), top(T::CompositeFilling, 2), top(T::PrimaryCaries, 0)}
            << "2+kz2Plk|";
        QTest::newRow("every surface code")
            << 10
            << QList<Click>{top(T::SecondaryCariesAmalgam, 0), top(T::SecondaryCariesComposite, 1),
                            top(T::NonCariousDefect, 2), top(T::TemporaryFilling, 3), top(T::Onlay, 4)}
            << "9+kz0CS|9+kz1CSk|9+kz2nek_def|9+kz3Plp|9+kz4Onl|";
        QTest::newRow("veneer") << 8 << QList<Click>{top(T::Veneer, 1)} << "7+kz1Ven|";
        QTest::newRow("crown covers the tooth") << 30 << QList<Click>{crown("MK_K", 1)}
                                                << "29+kz0MK_K|29+kz1MK_K|29+kz2MK_K|29+kz3MK_K|29+kz4MK_K|";
        QTest::newRow("crown kind from the pop-up") << 30 << QList<Click>{crown("Z_K", 4)}
                                                    << "29+kz0Z_K|29+kz1Z_K|29+kz2Z_K|29+kz3Z_K|29+kz4Z_K|";
        QTest::newRow("crown over marked surfaces only where empty")
            << 30 << QList<Click>{top(T::PrimaryCaries, 0), crown("BM_K", 1)}
            << "29+kz0BM_K|29+kz1BM_K|29+kz2BM_K|29+kz3BM_K|29+kz4BM_K|";
        QTest::newRow("any click on a crown clears all five")
            << 30 << QList<Click>{crown("MK_K", 1), top(T::PrimaryCaries, 3)} << "";
        QTest::newRow("radix covers the tooth") << 1 << QList<Click>{top(T::Radix, 4)}
                                                << "0+kz0rad|0+kz1rad|0+kz2rad|0+kz3rad|0+kz4rad|";
        QTest::newRow("any click on a radix clears all five")
            << 1 << QList<Click>{top(T::Radix, 4), top(T::AmalgamFilling, 2)} << "";
        QTest::newRow("fracture") << 5 << QList<Click>{top(T::Fracture, 1)} << "4+kf1fract|";
        QTest::newRow("fracture twice") << 5 << QList<Click>{top(T::Fracture, 1), top(T::Fracture, 1)} << "";
        QTest::newRow("fracture keeps the surface's code")
            << 5 << QList<Click>{top(T::PrimaryCaries, 1), top(T::Fracture, 1)} << "4+kz1C|4+kf1fract|";
        QTest::newRow("fracture of the middle") << 5 << QList<Click>{top(T::Fracture, 4)} << "4+kf4fract|";
        QTest::newRow("whole tooth") << 10 << QList<Click>{top(T::Extracted, 2)} << "9+stEx/|";
        QTest::newRow("whole tooth twice") << 10 << QList<Click>{top(T::Extracted, 2), top(T::Extracted, 0)} << "";
        QTest::newRow("flags in the order added")
            << 10 << QList<Click>{top(T::Migration, 4), top(T::Rotation, 4), top(T::Supraeruption, 4)}
            << "9+stmig/rot/supraerupcija/|";
        QTest::newRow("one flag removed from between")
            << 10 << QList<Click>{top(T::Migration, 4), top(T::Rotation, 4), top(T::Retained, 4), top(T::Rotation, 4)}
            << "9+stmig/retin/|";
        QTest::newRow("the other whole-tooth flags")
            << 12
            << QList<Click>{top(T::Unerupted, 4), top(T::PartlyErupted, 4), top(T::Resection, 4), top(T::RootFracture, 4)}
            << "11+stneizsk/dal_izsk/rezekc/saknes_frakt/|";
        QTest::newRow("milk tooth at a milk position") << 6 << QList<Click>{top(T::MilkTooth, 4)} << "5+stpiena/|";
        QTest::newRow("no milk tooth at a molar position") << 3 << QList<Click>{top(T::MilkTooth, 4)} << "";
        QTest::newRow("outside the circle") << 3 << QList<Click>{Click{T::PrimaryCaries, QPoint(2, 2)}} << "";
        QTest::newRow("whole tooth outside the circle") << 3 << QList<Click>{Click{T::Extracted, QPoint(50, 26)}} << "";
        QTest::newRow("root tool on the top view") << 3 << QList<Click>{top(T::Periapical, 4)} << "";
        QTest::newRow("no tool down") << 3 << QList<Click>{top(T::None, 4)} << "";
        QTest::newRow("disabled tool") << 3 << QList<Click>{top(T::Perforation, 4)} << "";
    }
    void topViewClicks() {
        QFETCH(int, position);
        QFETCH(QList<Click>, clicks);
        QCOMPARE(afterClicks(position, clicks), FETCHED(QString, stored));
    }

    void sideViewClicks_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<Click>>("clicks");
        QTest::addColumn<QString>("stored");
        using T = Tool;
        QTest::newRow("three roots: first third") << 2 << QList<Click>{side(T::Periapical, 64, 20)} << "1+sk0PI/|";
        QTest::newRow("three roots: second third") << 2 << QList<Click>{side(T::Periapical, 64, 21)} << "1+sk1PI/|";
        QTest::newRow("three roots: last third") << 2 << QList<Click>{side(T::Periapical, 64, 63)} << "1+sk2PI/|";
        QTest::newRow("two roots") << 1 << QList<Click>{side(T::UnformedRoot, 60, 29), side(T::Resorption, 60, 30)}
                                   << "0+sk0nens/|0+sk1rezorb/|";
        QTest::newRow("two roots, odd width, last column")
            << 5 << QList<Click>{side(T::Periapical, 65, 64)} << "4+sk1PI/|";
        QTest::newRow("one root") << 8 << QList<Click>{side(T::RootInlay, 44, 43)} << "7+sk0SL/|";
        QTest::newRow("flag twice") << 8 << QList<Click>{side(T::Post, 44, 3), side(T::Post, 44, 30)} << "";
        QTest::newRow("flags gather") << 8 << QList<Click>{side(T::Periapical, 44, 3), side(T::UnformedRoot, 44, 3)}
                                      << "7+sk0PI/nens/|";
        QTest::newRow("furcation: root 0 wherever clicked") << 3 << QList<Click>{side(T::Furcation, 66, 60)}
                                                            << "2+sk0FU/|";
        QTest::newRow("furcation: not on one root") << 8 << QList<Click>{side(T::Furcation, 44, 3)} << "";
        QTest::newRow("whole tooth") << 20 << QList<Click>{side(T::Rotation, 44, 3)} << "19+strot/|";
        QTest::newRow("milk tooth") << 20 << QList<Click>{side(T::MilkTooth, 44, 3)} << "19+stpiena/|";
        QTest::newRow("surface tool does nothing") << 20 << QList<Click>{side(T::PrimaryCaries, 44, 3)} << "";
        QTest::newRow("fracture does nothing") << 20 << QList<Click>{side(T::Fracture, 44, 3)} << "";
    }
    void sideViewClicks() {
        QFETCH(int, position);
        QFETCH(QList<Click>, clicks);
        QCOMPARE(afterClicks(position, clicks), FETCHED(QString, stored));
    }

    void canalFillingSteps_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("healthy root")
            << "" << QStringList{"2+el00|2+sk0kan_pild/|", "2+el01|2+sk0kan_pild/|", "2+el02|2+sk0kan_pild/|", ""};
        QTest::newRow("root with a lesion")
            << "2+sk0PI/|"
            << QStringList{"2+el00|2+sk0PI/kan_pild/|", "2+el01|2+sk0PI/kan_pild/|", "2+el02|2+sk0PI/kan_pild/|",
                           "2+sk0PI/|"};
        QTest::newRow("filled root read from a level alone")
            << "2+el01|" << QStringList{"2+el02|", "", "2+el00|2+sk0kan_pild/|", "2+el01|2+sk0kan_pild/|"};
    }
    void canalFillingSteps() {
        QFETCH(QString, stored);
        QFETCH(QStringList, steps);
        ToothChart chart;
        chart.read(stored);
        for (const QString& expected : steps) {
            QVERIFY(chart.clickSide(3, 66, 5, ToolChoice{Tool::CanalFilling, {}}));
            QCOMPARE(chart.text(), expected);
        }
    }

    void milkModeOnAndOff_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("healthy teeth") << "";
        QTest::newRow("teeth with flags") << "0+stmig/|2+kz0C|5+stEx/|19+strot/retin/|";
        QTest::newRow("milk tooth marked by hand") << "5+stpiena/|6+stmig/piena/|";
        QTest::newRow("no tooth marked by hand") << "0+stNAVPAR/|";
    }
    void milkModeOnAndOff() {
        QFETCH(QString, stored);
        ToothChart chart;
        chart.read(stored);
        QCOMPARE(chart.isInMilkMode(), stored.contains(QLatin1String("NAVPAR")));
        chart.setMilkMode(true);
        QVERIFY(chart.isInMilkMode());
        for (int t = 1; t <= PositionCount; ++t) {
            const QStringList flags = Flags(chart.tooth(t).st);
            if (ToothChart::isMilkPosition(t)) {
                QCOMPARE(flags.count(QStringLiteral("piena")), 1);
                QVERIFY(chart.isMilkTooth(t));
            } else {
                QCOMPARE(flags.count(QStringLiteral("NAVPAR")), 1);
            }
        }
        // Switching on again adds nothing.
        const QString milk = chart.text();
        chart.setMilkMode(true);
        QCOMPARE(chart.text(), milk);
        chart.setMilkMode(false);
        QCOMPARE(chart.text(), QString(stored).remove(QLatin1String("NAVPAR/")).remove(QLatin1String("0+st|")));
        QVERIFY(!chart.isInMilkMode());
    }

    void milkModeOffForAChartKeptInIt() {
        // Stored in milk mode, the chart cannot tell which milk teeth the mode added: all go.
        ToothChart chart;
        chart.setMilkMode(true);
        chart.tooth(7).st += QStringLiteral("mig/");
        ToothChart read;
        read.read(chart.text());
        QVERIFY(read.isInMilkMode());
        read.setMilkMode(false);
        QCOMPARE(read.text(), QStringLiteral("6+stmig/|"));
    }

    void crownCodeFromItsCaption_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("code");
        for (const QString& kind : CrownKinds())
            QTest::newRow(qPrintable(kind)) << kind << (kind.startsWith(u'*') ? QStringLiteral("starpdblok") : kind);
    }
    void crownCodeFromItsCaption() {
        QFETCH(QString, kind);
        const QString caption = CrownCaption(kind);
        QCOMPARE(caption, QStringLiteral("Kronis\n(") + kind + u')');
        QCOMPARE(CrownCodeFromCaption(caption), FETCHED(QString, code));
        QVERIFY(CoversWholeCrown(CrownCodeFromCaption(caption)));
    }
};

QTEST_GUILESS_MAIN(TestToothChart)
#include "tst_toothchart.moc"
