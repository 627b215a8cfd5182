// The pictures a chart position is drawn from: their names for every flag and root combination
// (and that the build drew every one of them), where the pictures stand, and in which order they
// are layered.
#include "consultations/ChartPictures.h"

#include "Fetched.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QImage>
#include <QSet>
#include <QtTest>

using namespace dentalchart;

namespace {

const QString Folder = QStringLiteral(MOLARIX_IMAGES_DIR);

QStringList layerNames(const ViewPictures& view) {
    QStringList names;
    for (const Layer& layer : view.layers) names.append(layer.name);
    return names;
}

void collect(const ToothChart& chart, int t, QSet<QString>& names) {
    const PositionPictures p = PicturesOf(chart, t);
    for (const ViewPictures& view : p.views)
        for (const Layer& layer : view.layers) names.insert(layer.name);
}

// Every whole-tooth flag, alone and on a milk tooth.
const QStringList WholeFlags{"neizsk", "dal_izsk", "Ex",  "retin", "rezekc",
                             "saknes_frakt", "mig", "supraerupcija", "rot", "NAVPAR"};
const QStringList SurfaceCodes{"C", "CS", "CSk", "nek_def", "Pla", "Plk", "Plp", "Onl", "Ven",
                               "rad", "MK_K", "MPL_K", "St_K", "Z_K", "Pag_K", "BM_K", "starpdblok"};
const QStringList RootFlags{"PI", "SL", "TP", "FU"};

// The names of every combination the drawing rules know for position t.
QSet<QString> everyName(int t) {
    QSet<QString> names;
    const int roots = ToothChart::rootCount(t);
    const QStringList bases = ToothChart::isMilkPosition(t) ? QStringList{QString(), QStringLiteral("piena/")}
                                                            : QStringList{QString()};
    for (const QString& base : bases) {
        const auto chartWith = [&](const std::function<void(ToothRecord&)>& set) {
            ToothChart chart;
            chart.tooth(t).st = base;
            set(chart.tooth(t));
            collect(chart, t, names);
        };
        chartWith([](ToothRecord&) {});
        for (const QString& flag : WholeFlags) chartWith([&](ToothRecord& r) { r.st += flag + u'/'; });
        chartWith([&](ToothRecord& r) { r.st += QStringLiteral("mig/rot/"); });
        for (const QString& code : SurfaceCodes) chartWith([&](ToothRecord& r) { r.kz.fill(code); });
        chartWith([](ToothRecord& r) { r.kf.fill(QStringLiteral("fract")); });
        for (int mask = 1; mask < (1 << roots); ++mask) {
            for (const QString& kind : {QStringLiteral("nens"), QStringLiteral("rezorb")}) {
                chartWith([&](ToothRecord& r) {
                    for (int root = 0; root < roots; ++root)
                        if (mask & (1 << root)) r.sk[root] = kind + u'/';
                });
            }
        }
        for (int root = 0; root < roots; ++root) {
            for (const QString& flag : RootFlags) chartWith([&](ToothRecord& r) { r.sk[root] = flag + u'/'; });
            for (int level = 0; level <= 2; ++level) {
                chartWith([&](ToothRecord& r) {
                    r.sk[root] = QStringLiteral("kan_pild/");
                    r.el[root] = level;
                });
            }
        }
    }
    return names;
}

}  // namespace

class TestChartPictures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPictureTheRulesNameExists() {
        QVERIFY2(QFileInfo(Folder).isDir(), qPrintable(Folder));
        QSet<QString> names;
        for (int t = 1; t <= PositionCount; ++t) names.unite(everyName(t));
        // Every kind of name is among them.
        for (const QString& name : QStringList{"Zobs_2.png", "mig_c.png", "rot_c.png", "z1.png", "z24_2.png", "piena/z4.png", "piena/z24_2.png",
              "nensrezorb/z2/nens/z2_13.png", "nensrezorb/z3_2/rezorb/z3_2_123.png", "nensrezorb/z19/nens/z19_12.png",
              "Kariess_4.png", "nek_def_2.png", "onl_3_z8_2.png", "car_sec_k_1_z17.png", "fract_3.png",
              "fract_4_z5.png", "per_chron_periap_2_z2.png", "kan_pild_1_2_z3_2.png", "furk_0_z17.png",
              "sl_0_z8.png", "tapa_1_z5_2.png", "mig_z.png", "supraerupcija_z_2.png", "rot_z.png",
              "rezekcsfrakt/rezekc_z6.png", "rezekcsfrakt/sfrakt_z21_2.png", "neizsk_z7.png", "dal_izsk_z22_2.png"})
            QVERIFY2(names.contains(name), qPrintable(name));
        QStringList missing;
        for (const QString& name : names)
            if (!QFileInfo::exists(QDir(Folder).filePath(name))) missing.append(name);
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.mid(0, 20).join(u' ')));
        // Nothing the rules cannot ask for is drawn either.
        QStringList drawn;
        const QString root = QDir(Folder).absolutePath() + u'/';
        QDirIterator it(Folder, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) drawn.append(it.next().mid(root.size()));
        QCOMPARE(drawn.size(), names.size());
    }

    void picturesHaveTheirViewsSize() {
        for (int t = 1; t <= PositionCount; ++t) {
            const int n = layout::PictureNumber(t);
            for (int view : {SideView1, SideView2}) {
                QCOMPARE(QImage(QDir(Folder).filePath(names::SideBase(n, view, false))).size(),
                         layout::SideViewRect(t, view).size());
                QCOMPARE(QImage(QDir(Folder).filePath(names::SurfaceSide("pla_", 0, n, view))).size(),
                         layout::SideViewRect(t, view).size());
                if (ToothChart::isMilkPosition(t))
                    QCOMPARE(QImage(QDir(Folder).filePath(names::SideBase(n, view, true))).size(),
                             layout::MilkSideViewRect(t, view).size());
            }
        }
        QCOMPARE(QImage(QDir(Folder).filePath(names::TopBase())).size(), QSize(51, 51));
        QCOMPARE(QImage(QDir(Folder).filePath("Kariess_0.png")).size(), QSize(37, 37));
        QCOMPARE(QImage(QDir(Folder).filePath("fract_1.png")).size(), QSize(37, 37));
        QCOMPARE(QImage(QDir(Folder).filePath("nek_def_0.png")).size(), QSize(51, 51));
    }

    void pictureNumbers_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("mirrored");
        QTest::addColumn<int>("tooth");
        QTest::newRow("upper left end") << 1 << 1 << false << 18;
        QTest::newRow("upper left middle") << 8 << 8 << false << 11;
        QTest::newRow("upper right middle") << 9 << 8 << true << 21;
        QTest::newRow("upper right end") << 16 << 1 << true << 28;
        QTest::newRow("lower left end") << 17 << 17 << false << 48;
        QTest::newRow("lower left middle") << 24 << 24 << false << 41;
        QTest::newRow("lower right middle") << 25 << 24 << true << 31;
        QTest::newRow("lower right end") << 32 << 17 << true << 38;
    }
    void pictureNumbers() {
        QFETCH(int, position);
        QCOMPARE(layout::PictureNumber(position), FETCHED(int, number));
        QCOMPARE(layout::IsMirrored(position), FETCHED(bool, mirrored));
        QCOMPARE(layout::ToothNumber(position), FETCHED(int, tooth));
        QCOMPARE(PicturesOf(ToothChart(), position).views[SideView1].mirrored, FETCHED(bool, mirrored));
    }

    void rootPicturesOnTheRightHalf_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("view1");
        QTest::newRow("left half, first root") << 1 << "0+sk0nens/|" << QStringList{"z1.png", "nensrezorb/z1/nens/z1_1.png"};
        QTest::newRow("right half, first root is the picture's last")
            << 16 << "15+sk0nens/|" << QStringList{"z1.png", "nensrezorb/z1/nens/z1_2.png"};
        QTest::newRow("right half, three roots ascending")
            << 15 << "14+sk0rezorb/|14+sk1rezorb/|" << QStringList{"z2.png", "nensrezorb/z2/rezorb/z2_23.png"};
        QTest::newRow("both kinds") << 3 << "2+sk0nens/|2+sk2rezorb/nens/|"
                                    << QStringList{"z3.png", "nensrezorb/z3/nens/z3_13.png", "nensrezorb/z3/rezorb/z3_3.png"};
        QTest::newRow("lesion mirrored") << 15 << "14+sk0PI/|" << QStringList{"z2.png", "per_chron_periap_2_z2.png"};
        QTest::newRow("furcation always root 0") << 32 << "31+sk1FU/|" << QStringList{"z17.png", "furk_0_z17.png"};
        QTest::newRow("canal filling with its level")
            << 3 << "2+el01|" << QStringList{"z3.png", "kan_pild_0_1_z3.png"};
        QTest::newRow("no level, no filling") << 3 << "2+sk0kan_pild/|" << QStringList{"z3.png"};
        QTest::newRow("post and inlay") << 5 << "4+sk1TP/SL/|" << QStringList{"z5.png", "tapa_1_z5.png", "sl_1_z5.png"};
    }
    void rootPicturesOnTheRightHalf() {
        QFETCH(int, position);
        QFETCH(QString, stored);
        ToothChart chart;
        QCOMPARE(chart.read(stored), QStringList());
        const PositionPictures p = PicturesOf(chart, position);
        QCOMPARE(layerNames(p.views[SideView1]), FETCHED(QStringList, view1));
        QStringList view2 = FETCHED(QStringList, view1);
        for (QString& name : view2) name.replace(QRegularExpression(QStringLiteral("(z\\d+)(/|_|\\.)")), QStringLiteral("\\1_2\\2"));
        QCOMPARE(layerNames(p.views[SideView2]), view2);
    }

    // The right half's side views are flipped, so a left surface is drawn from the picture of the
    // right one to show up on the left.
    void surfacePictures_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("top");
        QTest::addColumn<QStringList>("view1");
        QTest::addColumn<QStringList>("view2");
        QTest::newRow("left surface, left half") << 1 << "0+kz0C|" << QStringList{"Zobs_2.png", "Kariess_0.png"}
                                                 << QStringList{"z1.png", "Kariess_0_z1.png"}
                                                 << QStringList{"z1_2.png", "Kariess_0_z1_2.png"};
        QTest::newRow("left surface, right half") << 16 << "15+kz0C|" << QStringList{"Zobs_2.png", "Kariess_0.png"}
                                                  << QStringList{"z1.png", "Kariess_2_z1.png"}
                                                  << QStringList{"z1_2.png", "Kariess_2_z1_2.png"};
        QTest::newRow("top surface only on view 1") << 9 << "8+kz1Pla|" << QStringList{"Zobs_2.png", "pla_1.png"}
                                                    << QStringList{"z8.png", "pla_1_z8.png"} << QStringList{"z8_2.png"};
        QTest::newRow("bottom surface only on view 2") << 20 << "19+kz3Plk|" << QStringList{"Zobs_2.png", "plk_3.png"}
                                                       << QStringList{"z20.png"} << QStringList{"z20_2.png", "plk_3_z20_2.png"};
        QTest::newRow("crown") << 30 << "29+kz0St_K|29+kz1St_K|29+kz2St_K|29+kz3St_K|29+kz4St_K|"
                               << QStringList{"Zobs_2.png", "onl_0.png", "onl_1.png", "onl_2.png", "onl_3.png", "onl_4.png"}
                               << QStringList{"z19.png", "onl_2_z19.png", "onl_1_z19.png", "onl_0_z19.png", "onl_4_z19.png"}
                               << QStringList{"z19_2.png", "onl_2_z19_2.png", "onl_0_z19_2.png", "onl_3_z19_2.png",
                                              "onl_4_z19_2.png"};
        QTest::newRow("fracture of the middle not on top")
            << 2 << "1+kf4fract|1+kf1fract|" << QStringList{"Zobs_2.png", "fract_1.png"}
            << QStringList{"z2.png", "fract_1_z2.png", "fract_4_z2.png"} << QStringList{"z2_2.png", "fract_4_z2_2.png"};
        QTest::newRow("unknown code draws nothing") << 2 << "1+kz0XYZ|" << QStringList{"Zobs_2.png"}
                                                    << QStringList{"z2.png"} << QStringList{"z2_2.png"};
        QTest::newRow("marks on the top view")
            << 4 << "3+strot/mig/|" << QStringList{"Zobs_2.png", "mig_c.png", "rot_c.png"} << QStringList{"z4.png"}
            << QStringList{"z4_2.png"};
    }
    void surfacePictures() {
        QFETCH(int, position);
        QFETCH(QString, stored);
        ToothChart chart;
        QCOMPARE(chart.read(stored), QStringList());
        const PositionPictures p = PicturesOf(chart, position);
        QCOMPARE(layerNames(p.views[TopView]), FETCHED(QStringList, top));
        QCOMPARE(layerNames(p.views[SideView1]), FETCHED(QStringList, view1));
        QCOMPARE(layerNames(p.views[SideView2]), FETCHED(QStringList, view2));
    }

    void topOverlaysStandAtTheirOffsets() {
        ToothChart chart;
        chart.read(QStringLiteral("2+kz0nek_def|2+kz4C|2+kf2fract|2+stmig/|"));
        const QList<Layer> layers = PicturesOf(chart, 3).views[TopView].layers;
        QCOMPARE(layers.size(), 5);
        QCOMPARE(layers[0].at, QPoint(0, 0));  // Zobs_2
        QCOMPARE(layers[1].at, QPoint(0, 0));  // mig_c
        QCOMPARE(layers[2].at, QPoint(0, 0));  // nek_def_0, larger than the circle
        QCOMPARE(layers[3].at, QPoint(8, 8));  // Kariess_4
        QCOMPARE(layers[4].at, QPoint(8, 8));  // fract_2
    }

    void milkTeeth_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QSize>("growth");  // of view 1 over the permanent picture
        QTest::newRow("milk molar") << 4 << "3+stpiena/|" << "piena/z4.png" << QSize(73 - 46, 92 - 82);
        QTest::newRow("milk incisor, right half") << 9 << "8+stpiena/|" << "piena/z8.png" << QSize(53 - 44, 101 - 80);
        QTest::newRow("lower milk canine") << 27 << "26+stmig/piena/|" << "piena/z22.png" << QSize(54 - 40, 110 - 79);
        QTest::newRow("milk flag where no milk tooth grows") << 3 << "2+stpiena/|" << "z3.png" << QSize(0, 0);
        QTest::newRow("permanent tooth") << 4 << "" << "z4.png" << QSize(0, 0);
    }
    void milkTeeth() {
        QFETCH(int, position);
        QFETCH(QString, stored);
        QFETCH(QSize, growth);
        ToothChart chart;
        chart.read(stored);
        const PositionPictures p = PicturesOf(chart, position);
        QCOMPARE(p.views[SideView1].layers.first().name, FETCHED(QString, base));
        const QRect permanent = layout::SideViewRect(position, SideView1);
        const QRect shown = p.views[SideView1].rect;
        QCOMPARE(shown.size(), permanent.size() + growth);
        // Centred on the permanent picture, halves truncated.
        QCOMPARE(shown.left(), permanent.left() - growth.width() / 2);
        QCOMPARE(shown.top(), permanent.top() - growth.height() / 2);
        QCOMPARE(p.views[Overlay1].rect, shown);
    }

    void retainedTeethMove_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("view1Bottom");
        QTest::addColumn<int>("view2Top");
        QTest::newRow("upper end") << 1 << "0+stretin/|" << 72 << 169;
        QTest::newRow("other upper end") << 16 << "15+stretin/|" << 72 << 169;
        QTest::newRow("upper") << 2 << "1+stretin/|" << 62 << 188;
        QTest::newRow("upper milk tooth") << 5 << "4+stpiena/retin/|" << 62 << 188;
        QTest::newRow("lower") << 32 << "31+stretin/|" << 327 << 439;
        QTest::newRow("lower milk tooth") << 20 << "19+stretin/piena/|" << 327 << 439;
    }
    void retainedTeethMove() {
        QFETCH(int, position);
        QFETCH(QString, stored);
        ToothChart chart;
        chart.read(stored);
        const PositionPictures p = PicturesOf(chart, position);
        const QRect normal1 = chart.isMilkTooth(position) ? layout::MilkSideViewRect(position, SideView1)
                                                          : layout::SideViewRect(position, SideView1);
        QCOMPARE(p.views[SideView1].rect.size(), normal1.size());
        QCOMPARE(p.views[SideView1].rect.left(), normal1.left());
        QCOMPARE(p.views[SideView1].rect.top(), FETCHED(int, view1Bottom) - normal1.height());
        QCOMPARE(p.views[SideView2].rect.top(), FETCHED(int, view2Top));
        QCOMPARE(p.views[Overlay2].rect, p.views[SideView2].rect);
    }

    void extractedAndMissingTeethShowNothing_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("overlay1");
        QTest::newRow("extracted") << "6+kz4C|6+sk0PI/|6+stmig/Ex/|" << QStringList{};
        QTest::newRow("no tooth") << "6+kz4C|6+stNAVPAR/|" << QStringList{};
        QTest::newRow("flags after the extraction still show") << "6+stEx/rot/|" << QStringList{"rot_z.png"};
    }
    void extractedAndMissingTeethShowNothing() {
        QFETCH(QString, stored);
        ToothChart chart;
        chart.read(stored);
        const PositionPictures p = PicturesOf(chart, 7);
        QVERIFY(p.views[TopView].layers.isEmpty());
        QVERIFY(p.views[SideView1].layers.isEmpty());
        QVERIFY(p.views[SideView2].layers.isEmpty());
        QCOMPARE(layerNames(p.views[Overlay1]), FETCHED(QStringList, overlay1));
    }

    void layersInDrawingOrder() {
        ToothChart chart;
        chart.read(QStringLiteral(
            "2+strezekc/supraerupcija/neizsk/|2+kz0Pla|2+kz4C|2+kf0fract|2+el11|2+sk0PI/|2+sk1nens/kan_pild/|2+sk2rezorb/|"));
        const PositionPictures p = PicturesOf(chart, 3);
        QCOMPARE(layerNames(p.views[SideView1]),
                 (QStringList{"z3.png", "nensrezorb/z3/nens/z3_2.png", "nensrezorb/z3/rezorb/z3_3.png", "pla_0_z3.png",
                              "Kariess_4_z3.png", "fract_0_z3.png", "per_chron_periap_0_z3.png", "kan_pild_1_1_z3.png",
                              "rezekcsfrakt/rezekc_z3.png", "neizsk_z3.png"}));
        QCOMPARE(layerNames(p.views[Overlay1]), QStringList{"supraerupcija_z.png"});
        QCOMPARE(layerNames(p.views[Overlay2]), QStringList{"supraerupcija_z_2.png"});
        QVERIFY(p.views[Overlay1].crownAtBottom);
        QVERIFY(!p.views[Overlay2].crownAtBottom);
    }

    void sideViewsStandByTheirTopViews() {
        for (int t = 1; t <= PositionCount; ++t) {
            const QRect top = layout::TopViewRect(t);
            const QRect v1 = layout::SideViewRect(t, SideView1);
            const QRect v2 = layout::SideViewRect(t, SideView2);
            QCOMPARE(top.size(), QSize(51, 51));
            QCOMPARE(top.top(), t <= 16 ? 96 : 357);
            QVERIFY(v1.bottom() < top.top());
            QVERIFY(v2.top() > top.bottom());
            QVERIFY(qAbs(v1.center().x() - top.center().x()) <= 1);
            QVERIFY(layout::CanvasRect().contains(v1) && layout::CanvasRect().contains(v2));
            QVERIFY(v1.width() >= 21 && v1.width() <= 66 && v1.height() >= 57 && v1.height() <= 98);
            if (t > 1) QCOMPARE(top.left() - layout::TopViewRect(t - 1).left(), t == 17 ? -15 * 60 : 60);
        }
    }
};

QTEST_GUILESS_MAIN(TestChartPictures)
#include "tst_chartpictures.moc"
