// The "Z-karte" page and its palette: clicks through the mouse with the palette's tools, what is
// handed out to be stored, the status bar's reports, and a chart of many conditions drawn.
#include "consultations/DentalChartPage.h"
#include "consultations/TFKartesOpcijas.h"

#include "app/Settings.h"

#include "Fetched.h"
#include "TestDatabase.h"

#include <QDir>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace dentalchart;

namespace {

const QString Folder = QStringLiteral(MOLARIX_IMAGES_DIR);

// The middle of a top view and a point on a side view's first root, in design coordinates.
QPoint topViewMiddle(int t) { return layout::TopViewRect(t).topLeft() + QPoint(26, 26); }
QPoint sideViewPoint(int t, int view, int x) {
    const QRect r = layout::SideViewRect(t, view);
    return QPoint(r.left() + x, r.center().y());
}

// A consultation with many conditions on both jaws and both halves.
const QString ManyConditions = QStringLiteral(
    "0+stmig/|0+kz1C|0+kz4Pla|0+el00|0+el12|"
    "1+kz0MK_K|1+kz1MK_K|1+kz2MK_K|1+kz3MK_K|1+kz4MK_K|1+sk0PI/|1+sk2FU/|"
    "2+kz0CS|2+kz4Plk|2+kf2fract|2+el01|2+sk1SL/|2+sk2TP/|"
    "3+stpiena/|3+kz4C|"
    "4+strot/|4+kz1Plp|4+kz3CSk|"
    "5+stretin/|"
    "6+kz2nek_def|6+kz4nek_def|"
    "7+kz1Ven|7+sk0rezorb/|"
    "8+stsupraerupcija/|8+kz0Onl|"
    "9+stpiena/mig/|"
    "10+stEx/|"
    "11+strezekc/|11+el02|"
    "12+stsaknes_frakt/|"
    "13+kz0rad|13+kz1rad|13+kz2rad|13+kz3rad|13+kz4rad|"
    "14+stdal_izsk/|"
    "15+stneizsk/|"
    "16+kz0starpdblok|16+kz1starpdblok|16+kz2starpdblok|16+kz3starpdblok|16+kz4starpdblok|"
    "17+sk0nens/|17+sk1nens/|"
    "18+kz4Pla|18+kf4fract|18+sk1PI/|"
    "19+stpiena/retin/|"
    "20+kz0C|20+kz2C|"
    "21+stEx/|"
    "23+kz1Plk|23+kf1fract|"
    "25+stpiena/|25+kz4C|"
    "26+strot/mig/|"
    "27+kz4CSk|27+sk0nens/rezorb/|"
    "29+kz0Z_K|29+kz1Z_K|29+kz2Z_K|29+kz3Z_K|29+kz4Z_K|29+el00|29+el11|"
    "30+sk0PI/|30+sk1PI/|"
    "31+stretin/|");

}  // namespace

class TestChartPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void emptyChartShowsHealthyTeeth() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.setChart(QString());
        QCOMPARE(page.statusText(), QString());
        QCOMPARE(page.chart(), QString());
        const QImage chart = page.renderImage();
        const QPoint origin = -layout::CanvasRect().topLeft();
        for (int t = 1; t <= PositionCount; ++t) {
            QCOMPARE(page.renderer().pictures(t).views[SideView1].layers.first().name,
                     QStringLiteral("z%1.png").arg(layout::PictureNumber(t)));
            // Tooth, not background, in the middle of every top view and every side view.
            QVERIFY(chart.pixel(topViewMiddle(t) + origin) != QColor::fromRgb(BackgroundRgb).rgb());
            const QRect side = layout::SideViewRect(t, SideView2);
            QVERIFY(chart.pixel(QPoint(side.center().x(), side.top() + side.height() / 4) + origin) !=
                    QColor::fromRgb(BackgroundRgb).rgb());
        }
    }

    void mouseClicksWithThePalette_data() {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("stored");
        QTest::newRow("caries on the middle") << int(Tool::PrimaryCaries) << topViewMiddle(3) << "2+kz4C|";
        QTest::newRow("left surface") << int(Tool::AmalgamFilling) << topViewMiddle(20) - QPoint(13, 0) << "19+kz0Pla|";
        QTest::newRow("outside the circle") << int(Tool::AmalgamFilling) << layout::TopViewRect(20).topLeft() + QPoint(2, 2)
                                            << "";
        QTest::newRow("canal filling on a side view")
            << int(Tool::CanalFilling) << sideViewPoint(3, SideView1, 5) << "2+el00|2+sk0kan_pild/|";
        QTest::newRow("last root of a mirrored tooth")
            << int(Tool::Periapical) << sideViewPoint(14, SideView2, 60) << "13+sk2PI/|";
        QTest::newRow("extraction on a side view") << int(Tool::Extracted) << sideViewPoint(10, SideView2, 10)
                                                  << "9+stEx/|";
        QTest::newRow("between the pictures") << int(Tool::Extracted) << QPoint(5, 300) << "";
    }
    void mouseClicksWithThePalette() {
        QFETCH(int, tool);
        QFETCH(QPoint, point);
        QFETCH(QString, stored);
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.resize(layout::CanvasRect().width(), layout::CanvasRect().height() + 40);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.setEditable(true);
        page.palette()->button(Tool(tool))->click();
        QSignalSpy changed(&page, &DentalChartPage::chartChanged);
        QTest::mouseClick(page.canvas(), Qt::LeftButton, {}, page.widgetPoint(point));
        QCOMPARE(page.chart(), stored);
        if (stored.isEmpty()) {
            QCOMPARE(changed.count(), 0);
        } else {
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.first().first().toString(), stored);
        }
    }

    void clicksNeedAnEditedConsultation() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.setChart(QStringLiteral("2+kz4C|"));
        page.palette()->button(Tool::PrimaryCaries)->click();
        QSignalSpy changed(&page, &DentalChartPage::chartChanged);
        page.clickAt(topViewMiddle(5));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(page.chart(), QStringLiteral("2+kz4C|"));
        page.setEditable(true);
        page.clickAt(topViewMiddle(5));
        QCOMPARE(page.chart(), QStringLiteral("2+kz4C|4+kz4C|"));
        QCOMPARE(changed.count(), 1);
    }

    void crownKindFromThePopUp() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.setEditable(true);
        TFKartesOpcijas* palette = page.palette();
        QToolButton* crown = palette->button(Tool::Crown);
        QCOMPARE(crown->text(), QStringLiteral("Kronis\n(MK_K)"));
        const QList<QAction*> kinds = crown->menu()->actions();
        QCOMPARE(kinds.size(), 7);
        QCOMPARE(kinds.last()->text(), QStringLiteral("Bloķēts/Starpdaļa"));
        kinds.last()->trigger();
        QCOMPARE(crown->text(), QStringLiteral("Kronis\n(*starpd/blok)"));
        QVERIFY(crown->isChecked());
        page.clickAt(topViewMiddle(7));
        QCOMPARE(page.chart(),
                 QStringLiteral("6+kz0starpdblok|6+kz1starpdblok|6+kz2starpdblok|6+kz3starpdblok|6+kz4starpdblok|"));
        kinds.at(3)->trigger();
        QCOMPARE(palette->choice().crownCode, QStringLiteral("Z_K"));
        // Opening the consultation for editing brings the default crown back.
        page.showPalette();
        QCOMPARE(crown->text(), QStringLiteral("Kronis\n(MK_K)"));
        QCOMPARE(palette->choice().crownCode, QStringLiteral("MK_K"));
        page.hidePalette();
    }

    void paletteButtons() {
        TFKartesOpcijas palette;
        const QStringList hints{"KPlp", "SEx", "Rsaknes_frakt", "Srezekc", "", "RFU", "", "", "Sdal_izsk",
                                "Ssupraerupcija", "Smig", "KPla", "KKronis", "Ffract", "KOnl", "KVen", "KRad",
                                "RSL", "RTP", "Rkan_pild", "Sneizsk", "RPI", "Rnens", "Rrezorb", "", "Sretin",
                                "KCSk", "KCS", "KC", "Knek_def", "KPlk", "Srot", "Spiena"};
        QCOMPARE(int(Tools().size()), hints.size());
        for (int i = 0; i < hints.size(); ++i) {
            QToolButton* b = palette.button(Tools()[i].tool);
            QVERIFY(b->isCheckable());
            QCOMPARE(b->toolTip(), hints[i]);
            QCOMPARE(b->isEnabled(), !hints[i].isEmpty());
        }
        QCOMPARE(palette.button(Tool::Unerupted)->text(), QStringLiteral("Neizšķīlies"));
        QCOMPARE(palette.button(Tool::SecondaryCariesComposite)->text().replace(u'\n', u' '),
                 QStringLiteral("Kariess sekundārais (kompozīta)"));
        QCOMPARE(palette.permanentButton()->text(), QStringLiteral("Pamatzobi"));
        QCOMPARE(palette.milkButton()->text(), QStringLiteral("Piena zobi"));
        // One tool down at a time.
        palette.button(Tool::Onlay)->click();
        palette.button(Tool::Periapical)->click();
        QVERIFY(!palette.button(Tool::Onlay)->isChecked());
        QCOMPARE(palette.choice().tool, Tool::Periapical);
    }

    void milkModeFromThePalette() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        const QString stored = QStringLiteral("0+stmig/|5+stpiena/|");
        page.setChart(stored);
        page.setEditable(true);
        TFKartesOpcijas* palette = page.palette();
        palette->button(Tool::Onlay)->click();
        QSignalSpy changed(&page, &DentalChartPage::chartChanged);
        palette->milkButton()->click();
        QCOMPARE(changed.count(), 1);
        QVERIFY(page.model().isInMilkMode());
        QCOMPARE(page.model().tooth(1).st, QStringLiteral("mig/NAVPAR/"));
        QCOMPARE(page.renderer().pictures(1).views[TopView].layers.size(), 0);
        QCOMPARE(page.renderer().pictures(6).views[SideView1].layers.first().name, QStringLiteral("piena/z6.png"));
        // The tools milk teeth do not take are off, and none of them stays down.
        for (Tool t : {Tool::Onlay, Tool::Veneer, Tool::RootInlay, Tool::Post, Tool::CanalFilling, Tool::Resection,
                       Tool::Furcation})
            QVERIFY(!palette->button(t)->isEnabled());
        QCOMPARE(palette->choice().tool, Tool::None);
        QVERIFY(palette->button(Tool::MilkTooth)->isEnabled());
        palette->permanentButton()->click();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(page.chart(), stored);
        QVERIFY(palette->button(Tool::Onlay)->isEnabled());

        // Shown for a chart kept in milk mode, the palette opens in it.
        page.setChart(QStringLiteral("0+stNAVPAR/|"));
        page.showPalette();
        QVERIFY(palette->milkMode());
        QVERIFY(!palette->button(Tool::Veneer)->isEnabled());
        page.setChart(QString());
        page.showPalette();
        QVERIFY(!palette->milkMode());
        page.hidePalette();
    }

    void palettePlaceIsKept() {
        app::Settings::setInteger(QStringLiteral("KOpc"), QStringLiteral("Top"), 120);
        app::Settings::setInteger(QStringLiteral("KOpc"), QStringLiteral("Left"), 240);
        {
            TFKartesOpcijas palette;
            QCOMPARE(palette.pos(), QPoint(240, 120));
            palette.show();
            palette.move(300, 200);
            palette.hide();
        }
        QCOMPARE(app::Settings::integer(QStringLiteral("KOpc"), QStringLiteral("Top")), 200);
        QCOMPARE(app::Settings::integer(QStringLiteral("KOpc"), QStringLiteral("Left")), 300);
        app::Settings::removeSection(QStringLiteral("KOpc"));
        TFKartesOpcijas fresh;
        QCOMPARE(fresh.pos(), QPoint(15, 15));
        app::Settings::setString(QStringLiteral("KOpc"), QStringLiteral("Top"), QStringLiteral("augša"));
        app::Settings::setString(QStringLiteral("KOpc"), QStringLiteral("Left"), QStringLiteral("?"));
        TFKartesOpcijas unreadable;
        QCOMPARE(unreadable.pos(), QPoint(15, 15));
    }

    void missingPictureIsReported() {
        // A copy of the pictures without one of them.
        const QString copy = testsupport::scratchDir() + QStringLiteral("/chart-pictures-") +
                             QString::number(QCoreApplication::applicationPid());
        QDir(copy).removeRecursively();
        QDirIterator it(Folder, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        const QString root = QDir(Folder).absolutePath() + u'/';
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = copy + u'/' + source.mid(root.size());
            QDir().mkpath(QFileInfo(target).absolutePath());
            QVERIFY(QFile::link(source, target));
        }
        QVERIFY(QFile::remove(copy + QStringLiteral("/Kariess_4.png")));

        DentalChartPage page;
        page.setImageFolder(copy + u'/');
        page.setChart(QStringLiteral("2+kz4C|"));
        QCOMPARE(page.statusText(), QStringLiteral("Nav faila : ") + copy + QStringLiteral("/Kariess_4.png"));
        // The rest of the tooth is drawn.
        QCOMPARE(page.renderer().viewImage(3, TopView).pixelColor(26, 26).alpha(), 255);
        const QSize side = layout::SideSize(3, SideView1);
        QVERIFY(page.renderer().viewImage(3, SideView1).pixelColor(side.width() / 2, side.height() * 4 / 5).red() > 150);
        // A clinic's own picture of that name is drawn once it is there.
        QImage own(37, 37, QImage::Format_ARGB32);
        own.fill(Qt::green);
        QVERIFY(own.save(copy + QStringLiteral("/Kariess_4.png")));
        page.setChart(QStringLiteral("2+kz4C|"));
        QCOMPARE(page.statusText(), QString());
        QCOMPARE(page.renderer().viewImage(3, TopView).pixelColor(26, 26), QColor(Qt::green));
        QDir(copy).removeRecursively();
    }

    void malformedChartKeepsItsGoodRecords() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.setChart(QStringLiteral("2+kz4C|x+stEx/|3+el09|5+stmig/|"));
        QVERIFY2(page.statusText().contains(QStringLiteral("x+stEx/| 3+el09|")), qPrintable(page.statusText()));
        QCOMPARE(page.chart(), QStringLiteral("2+kz4C|5+stmig/|"));
        // However many records were skipped, the page keeps its width.
        page.setChart(QStringLiteral("x+st|").repeated(400));
        QVERIFY(page.minimumSizeHint().width() < layout::CanvasRect().width());
        page.setChart(QStringLiteral("2+kz4C|x+stEx/|3+el09|5+stmig/|"));
        page.setEditable(true);
        page.palette()->button(Tool::Extracted)->click();
        QSignalSpy changed(&page, &DentalChartPage::chartChanged);
        page.clickAt(topViewMiddle(10));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toString(), QStringLiteral("2+kz4C|5+stmig/|9+stEx/|"));
    }

    void chartOfManyConditions() {
        DentalChartPage page;
        page.setImageFolder(Folder);
        page.setChart(ManyConditions);
        QCOMPARE(page.statusText(), QString());
        QCOMPARE(page.chart(), ManyConditions);
        const QImage image = page.renderImage();
        QCOMPARE(image.size(), layout::CanvasRect().size());
        const QString file = testsupport::scratchDir() + QStringLiteral("/dentalchart-many-conditions.png");
        QVERIFY(image.save(file));
        qInfo("chart drawn into %s", qPrintable(file));
        // Extracted teeth leave only the background.
        const QPoint origin = -layout::CanvasRect().topLeft();
        QCOMPARE(image.pixel(topViewMiddle(11) + origin), QColor::fromRgb(BackgroundRgb).rgb());
        QCOMPARE(image.pixel(topViewMiddle(22) + origin), QColor::fromRgb(BackgroundRgb).rgb());
    }
};

QTEST_MAIN(TestChartPage)
#include "tst_chartpage.moc"
