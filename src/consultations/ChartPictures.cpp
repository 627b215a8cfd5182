#include "consultations/ChartPictures.h"

#include <algorithm>

namespace dentalchart {

namespace layout {

namespace {

constexpr int Left = 43;
constexpr int Step = 60;
constexpr int UpperTop = 96;
constexpr int LowerTop = 357;
// Side view 1 ends just above its top view; side view 2 starts just below it.
constexpr int UpperView1Bottom = 92;
constexpr int UpperView2Top = 151;
constexpr int LowerView1Bottom = 353;
constexpr int LowerView2Top = 412;

struct Sizes {
    int n;
    QSize view1;
    QSize view2;
};

// Permanent teeth: molars wide, canines long, incisors narrow.
constexpr std::array<Sizes, 16> Permanent{{
    {1, {60, 72}, {60, 66}},  {2, {64, 76}, {64, 70}},  {3, {66, 78}, {66, 72}},  {4, {46, 82}, {46, 76}},
    {5, {48, 82}, {48, 76}},  {6, {44, 85}, {44, 80}},  {7, {36, 78}, {36, 72}},  {8, {44, 80}, {44, 74}},
    {17, {62, 70}, {62, 66}}, {18, {64, 72}, {64, 68}}, {19, {66, 74}, {66, 70}}, {20, {44, 76}, {44, 72}},
    {21, {42, 76}, {42, 72}}, {22, {40, 79}, {40, 74}}, {23, {32, 72}, {32, 68}}, {24, {30, 70}, {30, 66}},
}};

// Milk teeth (width, height).
constexpr std::array<Sizes, 10> Milk{{
    {4, {73, 92}, {72, 100}},  {5, {65, 92}, {64, 95}},  {6, {65, 104}, {56, 102}},
    {7, {48, 104}, {50, 97}},  {8, {53, 101}, {54, 94}}, {20, {75, 98}, {70, 96}},
    {21, {71, 91}, {65, 91}},  {22, {54, 110}, {38, 82}}, {23, {50, 98}, {51, 100}},
    {24, {44, 101}, {50, 103}},
}};

template <std::size_t Count>
QSize sizeIn(const std::array<Sizes, Count>& table, int n, int view) {
    for (const Sizes& s : table)
        if (s.n == n) return view == SideView2 ? s.view2 : s.view1;
    return {};
}

}  // namespace

QRect CanvasRect() { return QRect(0, -24, 2 * Left + 15 * Step + TopViewSize, 570); }

QRect TopViewRect(int t) {
    const int column = (t - 1) % 16;
    return QRect(Left + Step * column, t <= 16 ? UpperTop : LowerTop, TopViewSize, TopViewSize);
}

QSize SideSize(int pictureNumber, int view) { return sizeIn(Permanent, pictureNumber, view); }

QSize MilkSideSize(int pictureNumber, int view) { return sizeIn(Milk, pictureNumber, view); }

QRect SideViewRect(int t, int view) {
    const QSize size = SideSize(PictureNumber(t), view);
    const int left = TopViewRect(t).center().x() - size.width() / 2;
    const bool upper = t <= 16;
    int top = 0;
    if (view == SideView1)
        top = (upper ? UpperView1Bottom : LowerView1Bottom) - size.height();
    else
        top = upper ? UpperView2Top : LowerView2Top;
    return QRect(QPoint(left, top), size);
}

QRect MilkSideViewRect(int t, int view) {
    const QRect permanent = SideViewRect(t, view);
    const QSize milk = MilkSideSize(PictureNumber(t), view);
    if (milk.isEmpty()) return permanent;
    return QRect(permanent.left() - (milk.width() - permanent.width()) / 2,
                 permanent.top() - (milk.height() - permanent.height()) / 2, milk.width(), milk.height());
}

int PictureNumber(int t) {
    if (t >= 9 && t <= 16) return 17 - t;
    if (t >= 25 && t <= 32) return 49 - t;
    return t;
}

bool IsMirrored(int t) { return (t >= 9 && t <= 16) || (t >= 25 && t <= 32); }

int PictureRoot(int t, int root) { return IsMirrored(t) ? ToothChart::rootCount(t) - 1 - root : root; }

int ToothNumber(int t, bool milk) {
    int number = 0;
    if (t <= 8)
        number = 19 - t;
    else if (t <= 16)
        number = t + 12;
    else if (t <= 24)
        number = 65 - t;
    else
        number = t + 6;
    return milk ? number + 40 : number;
}

QList<int> PictureNumbers() {
    QList<int> numbers;
    for (const Sizes& s : Permanent) numbers.append(s.n);
    return numbers;
}

QList<int> MilkPictureNumbers() {
    QList<int> numbers;
    for (const Sizes& s : Milk) numbers.append(s.n);
    return numbers;
}

}  // namespace layout

namespace names {

namespace {
QString viewSuffix(int view) { return view == SideView2 ? QStringLiteral("_2") : QString(); }
QString number(int n) { return QString::number(n); }
}  // namespace

QString TopBase() { return QStringLiteral("Zobs_2.png"); }

QString TopMark(const QString& flag) { return flag + QLatin1String("_c.png"); }

QString SideBase(int n, int view, bool milk) {
    return (milk ? QStringLiteral("piena/z") : QStringLiteral("z")) + number(n) + viewSuffix(view) +
           QLatin1String(".png");
}

QString RootList(const QString& kind, int n, int view, const QString& r) {
    const QString picture = u'z' + number(n) + viewSuffix(view);
    return QLatin1String("nensrezorb/") + picture + u'/' + kind + u'/' + picture + u'_' + r +
           QLatin1String(".png");
}

QString SurfaceTop(const QString& prefix, int s) { return prefix + number(s) + QLatin1String(".png"); }

QString SurfaceSide(const QString& prefix, int s, int n, int view) {
    return prefix + number(s) + QLatin1String("_z") + number(n) + viewSuffix(view) + QLatin1String(".png");
}

QString RootMark(const QString& prefix, int root, int n, int view, int level) {
    QString name = prefix + number(root);
    if (level >= 0) name += u'_' + number(level);
    return name + QLatin1String("_z") + number(n) + viewSuffix(view) + QLatin1String(".png");
}

QString FreeOverlay(const QString& flag, int view) {
    // Migration looks the same from both sides.
    if (flag == QLatin1String("mig")) return QStringLiteral("mig_z.png");
    return flag + QLatin1String("_z") + viewSuffix(view) + QLatin1String(".png");
}

QString WholeTooth(const QString& flag, int n, int view) {
    QString base = flag;
    if (flag == QLatin1String("rezekc"))
        base = QStringLiteral("rezekcsfrakt/rezekc");
    else if (flag == QLatin1String("saknes_frakt"))
        base = QStringLiteral("rezekcsfrakt/sfrakt");
    return base + QLatin1String("_z") + number(n) + viewSuffix(view) + QLatin1String(".png");
}

QString SurfacePrefix(const QString& code) {
    static const QHash<QString, QString> prefixes{
        {QStringLiteral("C"), QStringLiteral("Kariess_")},
        {QStringLiteral("CS"), QStringLiteral("car_sec_")},
        {QStringLiteral("CSk"), QStringLiteral("car_sec_k_")},
        {QStringLiteral("nek_def"), QStringLiteral("nek_def_")},
        {QStringLiteral("Pla"), QStringLiteral("pla_")},
        {QStringLiteral("Plk"), QStringLiteral("plk_")},
        {QStringLiteral("Plp"), QStringLiteral("pag_pl_")},
        {QStringLiteral("Onl"), QStringLiteral("onl_")},
        {QStringLiteral("Ven"), QStringLiteral("onl_")},
        {QStringLiteral("rad"), QStringLiteral("Kariess_")},
        {QStringLiteral("MK_K"), QStringLiteral("onl_")},
        {QStringLiteral("MPL_K"), QStringLiteral("onl_")},
        {QStringLiteral("St_K"), QStringLiteral("onl_")},
        {QStringLiteral("Z_K"), QStringLiteral("onl_")},
        {QStringLiteral("Pag_K"), QStringLiteral("onl_")},
        {QStringLiteral("BM_K"), QStringLiteral("onl_")},
        {QStringLiteral("starpdblok"), QStringLiteral("onl_")},
    };
    return prefixes.value(code);
}

QStringList SurfacePrefixes() {
    return {QStringLiteral("Kariess_"), QStringLiteral("car_sec_"), QStringLiteral("car_sec_k_"),
            QStringLiteral("nek_def_"), QStringLiteral("pla_"),     QStringLiteral("plk_"),
            QStringLiteral("pag_pl_"),  QStringLiteral("onl_")};
}

QString RootPrefix(const QString& flag) {
    static const QHash<QString, QString> prefixes{
        {QStringLiteral("PI"), QStringLiteral("per_chron_periap_")},
        {QStringLiteral("SL"), QStringLiteral("sl_")},
        {QStringLiteral("TP"), QStringLiteral("tapa_")},
        {QStringLiteral("FU"), QStringLiteral("furk_")},
        {QStringLiteral("kan_pild"), QStringLiteral("kan_pild_")},
    };
    return prefixes.value(flag);
}

QStringList RootMarkPrefixes() {
    return {QStringLiteral("per_chron_periap_"), QStringLiteral("sl_"), QStringLiteral("tapa_"),
            QStringLiteral("furk_"), QStringLiteral("kan_pild_")};
}

bool SideShowsSurface(int view, int s) { return view == SideView1 ? s != 3 : s != 1; }

}  // namespace names

namespace {

// The surface a side view of the right half shows where the left half shows s: those views are
// flipped, so left and right swap.
int sideSurface(int t, int s) {
    if (!layout::IsMirrored(t)) return s;
    return s == 0 ? 2 : s == 2 ? 0 : s;
}

// The 1-based picture roots of position t whose flags hold `flag`, ascending, one digit each.
QString rootList(const ToothChart& chart, int t, const QString& flag) {
    QList<int> roots;
    for (int root = 0; root < ToothChart::rootCount(t); ++root)
        if (HasFlag(chart.tooth(t).sk[root], flag)) roots.append(layout::PictureRoot(t, root) + 1);
    std::sort(roots.begin(), roots.end());
    QString r;
    for (int root : roots) r += QString::number(root);
    return r;
}

void addSide(PositionPictures& p, int view, const QString& name) {
    p.views[view].layers.append(Layer{name, Layer::Place::Fill, {}});
}

}  // namespace

PositionPictures PicturesOf(const ToothChart& chart, int t) {
    PositionPictures p;
    p.position = t;
    const ToothRecord& r = chart.tooth(t);
    const int n = layout::PictureNumber(t);
    const bool milk = chart.isMilkTooth(t);
    const QStringList state = Flags(r.st);
    auto& views = p.views;

    views[TopView].rect = layout::TopViewRect(t);
    views[TopView].layers.append(Layer{names::TopBase(), Layer::Place::At, {0, 0}});
    for (const QString& flag : {QStringLiteral("mig"), QStringLiteral("rot")})
        if (state.contains(flag)) views[TopView].layers.append(Layer{names::TopMark(flag), Layer::Place::At, {0, 0}});

    for (int view : {SideView1, SideView2}) {
        views[view].rect = milk ? layout::MilkSideViewRect(t, view) : layout::SideViewRect(t, view);
        views[view].mirrored = layout::IsMirrored(t);
        addSide(p, view, names::SideBase(n, view, milk));
    }
    views[SideView1].crownAtBottom = views[Overlay1].crownAtBottom = true;

    // Unformed roots and resorption.
    for (const QString& kind : {QStringLiteral("nens"), QStringLiteral("rezorb")}) {
        const QString roots = rootList(chart, t, kind);
        if (roots.isEmpty()) continue;
        for (int view : {SideView1, SideView2}) addSide(p, view, names::RootList(kind, n, view, roots));
    }

    // Surfaces, then fractures.
    const QPoint overlayAt(TopOverlayOffset, TopOverlayOffset);
    for (int s = 0; s < SurfaceCount; ++s) {
        const QString prefix = names::SurfacePrefix(r.kz[s]);
        if (prefix.isEmpty()) continue;
        const bool wide = prefix == QLatin1String("nek_def_");
        views[TopView].layers.append(
            Layer{names::SurfaceTop(prefix, s), Layer::Place::At, wide ? QPoint(0, 0) : overlayAt});
        const int side = sideSurface(t, s);
        for (int view : {SideView1, SideView2})
            if (names::SideShowsSurface(view, side)) addSide(p, view, names::SurfaceSide(prefix, side, n, view));
    }
    for (int s = 0; s < SurfaceCount; ++s) {
        if (r.kf[s].isEmpty()) continue;
        const QString prefix = QStringLiteral("fract_");
        if (s != 4) views[TopView].layers.append(Layer{names::SurfaceTop(prefix, s), Layer::Place::At, overlayAt});
        const int side = sideSurface(t, s);
        for (int view : {SideView1, SideView2})
            if (names::SideShowsSurface(view, side)) addSide(p, view, names::SurfaceSide(prefix, side, n, view));
    }

    // Root conditions.
    for (int root = 0; root < ToothChart::rootCount(t); ++root) {
        for (const QString& flag : Flags(r.sk[root])) {
            const QString prefix = names::RootPrefix(flag);
            if (prefix.isEmpty()) continue;
            const bool filling = flag == QLatin1String("kan_pild");
            if (filling && r.el[root] < 0) continue;
            const int pictureRoot = flag == QLatin1String("FU") ? 0 : layout::PictureRoot(t, root);
            for (int view : {SideView1, SideView2})
                addSide(p, view, names::RootMark(prefix, pictureRoot, n, view, filling ? r.el[root] : -1));
        }
    }

    // Whole-tooth state, flag by flag.
    for (const QString& flag : state) {
        if (flag == QLatin1String("mig") || flag == QLatin1String("supraerupcija") || flag == QLatin1String("rot")) {
            for (int view : {Overlay1, Overlay2})
                views[view].layers.append(
                    Layer{names::FreeOverlay(flag, view == Overlay1 ? SideView1 : SideView2), Layer::Place::CrownEnd, {}});
        } else if (flag == QLatin1String("Ex") || flag == QLatin1String("NAVPAR")) {
            for (ViewPictures& v : views) v.layers.clear();
        } else if (flag == QLatin1String("retin")) {
            QRect& v1 = views[SideView1].rect;
            QRect& v2 = views[SideView2].rect;
            int bottom1 = 327, top2 = 439;
            if (t == 1 || t == 16) {
                bottom1 = 72;
                top2 = 169;
            } else if (t <= 15) {
                bottom1 = 62;
                top2 = 188;
            }
            v1.moveTop(bottom1 - v1.height());
            v2.moveTop(top2);
        } else if (flag == QLatin1String("rezekc") || flag == QLatin1String("saknes_frakt") ||
                   flag == QLatin1String("neizsk") || flag == QLatin1String("dal_izsk")) {
            for (int view : {SideView1, SideView2}) addSide(p, view, names::WholeTooth(flag, n, view));
        }
    }

    // The free overlays stand in front of the side views wherever these went.
    views[Overlay1].rect = views[SideView1].rect;
    views[Overlay2].rect = views[SideView2].rect;
    return p;
}

}  // namespace dentalchart
