#include "ToothDrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace chartpictures {

namespace {

const QColor Background(0xE7, 0xDF, 0xDB);

const QColor EnamelLight(0xFF, 0xFD, 0xF6);
const QColor EnamelDark(0xEC, 0xE2, 0xCC);
const QColor ToothLine(0x7A, 0x6A, 0x57);
const QColor RootLight(0xF3, 0xE6, 0xC9);
const QColor RootDark(0xDF, 0xCB, 0xA2);
// Milk teeth: whiter enamel, blue outline.
const QColor MilkEnamelLight(0xFF, 0xFF, 0xFF);
const QColor MilkEnamelDark(0xE3, 0xEE, 0xFA);
const QColor MilkLine(0x3C, 0x6C, 0xA6);
const QColor MilkRootLight(0xF6, 0xF1, 0xE7);
const QColor MilkRootDark(0xE4, 0xDA, 0xC6);
const QColor Pulp(0xEC, 0xC0, 0xB4);

const QColor CariesRed(0xD3, 0x2F, 0x2F);
const QColor CariesDark(0x7F, 0x00, 0x00);
const QColor CariesTint(0xF2, 0x8B, 0x8B, 130);
const QColor Amalgam(0x7B, 0x83, 0x8D);
const QColor AmalgamLine(0x33, 0x39, 0x40);
const QColor Composite(0x4A, 0x8C, 0xD8);
const QColor CompositeLine(0x1A, 0x4A, 0x85);
const QColor Temporary(0xF4, 0xC4, 0x30);
const QColor TemporaryLine(0x8A, 0x65, 0x00);
const QColor Prosthetic(0xA2, 0x73, 0xD6);
const QColor ProstheticLine(0x4F, 0x25, 0x82);
const QColor Defect(0xF5, 0x7C, 0x00);
const QColor DefectLine(0x9A, 0x4A, 0x00);
const QColor DefectTint(0xFF, 0xB7, 0x4D, 110);
const QColor GuttaPercha(0xFF, 0x6E, 0x40);
const QColor GuttaPerchaLine(0xA8, 0x2C, 0x08);
const QColor Lesion(0xE5, 0x39, 0x35);
const QColor LesionLine(0x9B, 0x12, 0x12);
const QColor Metal(0x8E, 0x96, 0xA0);
const QColor MetalLine(0x30, 0x36, 0x3D);
const QColor PostColor(0x1E, 0x28, 0x2E);
const QColor Cut(0xB7, 0x1C, 0x1C);
const QColor GumTint(0xC9, 0x6F, 0x7C, 120);
const QColor GumLine(0x9E, 0x3B, 0x4A);
const QColor MigrationBlue(0x15, 0x65, 0xC0);
const QColor EruptionGreen(0x2E, 0x7D, 0x32);
const QColor RotationPurple(0x7B, 0x1F, 0xA2);
const QColor Ghost(0x9A, 0x8F, 0x86);

constexpr double TopCentre = 18.5;  // of the 37 x 37 frame; 26.5 in the 51 x 51 top view
constexpr double TopOuter = 18.5;
constexpr double TopInner = 8.5;

double lerp(double a, double b, double f) { return a + (b - a) * f; }

// Paints with a painter that has the side view's frame: crown at the top, roots down, turned
// upside down for view 1.
QImage paintSide(const ToothShape& shape, int view, const std::function<void(QPainter&)>& paint) {
    QImage image = Blank(QSize(int(shape.w), int(shape.h)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (view == 1) {
        p.translate(0, shape.h);
        p.scale(1, -1);
    }
    paint(p);
    return image;
}

QImage paintPlain(QSize size, const std::function<void(QPainter&)>& paint) {
    QImage image = Blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return image;
}

QPainterPath widened(const QPainterPath& path, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    return path.united(stroker.createStroke(path));
}

// An irregular spot: a caries lesion.
QPainterPath blob(QPointF centre, double radius) {
    QPainterPath path;
    constexpr int corners = 11;
    for (int k = 0; k <= corners; ++k) {
        const double angle = 2 * std::numbers::pi * k / corners;
        const double r = radius * (1.0 + 0.17 * std::sin(3.0 * angle + 0.7) + 0.08 * std::cos(5.0 * angle));
        const QPointF point(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (k == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

// A crack: a zig-zag line from a to b, drawn black on a white edge.
void paintCrack(QPainter& p, QPointF a, QPointF b, double amplitude) {
    QPainterPath crack;
    crack.moveTo(a);
    const QPointF along = b - a;
    const double length = std::hypot(along.x(), along.y());
    const QPointF normal = length > 0 ? QPointF(-along.y() / length, along.x() / length) : QPointF();
    constexpr int steps = 6;
    for (int k = 1; k < steps; ++k) crack.lineTo(a + along * (double(k) / steps) + normal * (k % 2 ? amplitude : -amplitude));
    crack.lineTo(b);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(crack);
    p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(crack);
}

void fill(QPainter& p, const QPainterPath& region, const QColor& colour, const QColor& line, double width = 1.0) {
    p.setBrush(colour);
    p.setPen(line.isValid() ? QPen(line, width) : QPen(Qt::NoPen));
    p.drawPath(region);
}

void hatch(QPainter& p, const QPainterPath& region, const QColor& colour, double spacing) {
    p.save();
    p.setClipPath(region, Qt::IntersectClip);
    p.setPen(QPen(colour, 0.8));
    const QRectF box = region.boundingRect();
    for (double x = box.left() - box.height(); x < box.right(); x += spacing)
        p.drawLine(QPointF(x, box.bottom()), QPointF(x + box.height(), box.top()));
    p.restore();
}

// The mark of a surface condition in a region of a crown or of the top view's circle. `inner` is
// the point of the region farthest from the tooth's outside (fillings' secondary caries sit at
// the margin away from it).
void paintSurfaceMark(QPainter& p, const QPainterPath& region, Mark mark) {
    const QRectF box = region.boundingRect();
    const QPointF centre = box.center();
    const double size = std::min(box.width(), box.height());
    p.save();
    switch (mark) {
    case Mark::Caries:
        fill(p, region, CariesTint, QColor());
        p.setClipPath(region);
        fill(p, blob(centre, std::max(2.4, 0.36 * size)), CariesRed, CariesDark, 0.8);
        break;
    case Mark::SecondaryCariesAmalgam:
    case Mark::SecondaryCariesComposite: {
        const bool amalgam = mark == Mark::SecondaryCariesAmalgam;
        fill(p, region, amalgam ? Amalgam : Composite, QColor());
        p.setClipPath(region);
        // Caries along the filling's margin.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(CariesRed, 2.6));
        p.drawPath(region);
        fill(p, blob(centre, std::max(1.6, 0.2 * size)), CariesRed, CariesDark, 0.7);
        break;
    }
    case Mark::Amalgam:
        fill(p, region, Amalgam, AmalgamLine);
        break;
    case Mark::Composite:
        fill(p, region, Composite, CompositeLine);
        break;
    case Mark::Temporary:
        fill(p, region, Temporary, QColor());
        hatch(p, region, TemporaryLine, 3.0);
        fill(p, region, Qt::transparent, TemporaryLine);
        break;
    case Mark::Prosthetic:
        fill(p, region, Prosthetic, ProstheticLine);
        break;
    case Mark::NonCariousDefect:
    case Mark::Fracture:
        break;
    }
    p.restore();
}

// A top-view direction: 0 left, 1 top, 2 right, 3 bottom.
QPointF direction(int s) {
    switch (s) {
    case 0: return {-1, 0};
    case 1: return {0, -1};
    case 2: return {1, 0};
    default: return {0, 1};
    }
}

void arrowHead(QPainter& p, QPointF tip, QPointF from, double size, const QColor& colour) {
    const QPointF d = tip - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0) return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - u * size + n * size * 0.6);
    head.lineTo(tip - u * size - n * size * 0.6);
    head.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.4));
    p.setBrush(colour);
    p.drawPath(head);
}

// A stroke with a white edge so that it reads on any tooth.
void haloStroke(QPainter& p, const QPainterPath& path, const QColor& colour, double width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), width + 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
}

void doubleArrow(QPainter& p, QPointF a, QPointF b, const QColor& colour, double width, double head) {
    const QPointF u = (b - a) / std::hypot((b - a).x(), (b - a).y());
    QPainterPath shaft;
    shaft.moveTo(a + u * head * 0.8);
    shaft.lineTo(b - u * head * 0.8);
    haloStroke(p, shaft, colour, width);
    arrowHead(p, a, a + u, head, colour);
    arrowHead(p, b, b - u, head, colour);
}

// A turning arrow on a circle around `centre`, from angle `from` to `to` (degrees, clockwise on
// the screen).
void turnArrow(QPainter& p, QPointF centre, double radius, double from, double to, const QColor& colour, double width,
               double head) {
    QPainterPath arc;
    const auto at = [&](double degrees) {
        const double a = degrees * std::numbers::pi / 180.0;
        return QPointF(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a));
    };
    arc.moveTo(at(from));
    for (double d = from; d <= to; d += 4) arc.lineTo(at(d));
    haloStroke(p, arc, colour, width);
    arrowHead(p, at(to + 12), at(to - 6), head, colour);
}

// The root's side edges at a fraction f of its length (0 at its top, 1 at its apex).
struct RootEdges {
    double left, right, y;
};
RootEdges edgesAt(const ToothShape::Root& root, double f) {
    const double shrink = 0.82 * f;
    return {lerp(root.left, root.apex.x(), shrink), lerp(root.right, root.apex.x(), shrink), lerp(root.top, root.apex.y(), f)};
}

// The canal of a root as a path from the pulp chamber to the apex.
QPainterPath canal(const ToothShape::Root& root, double beyond) {
    QPainterPath path;
    path.moveTo(root.canalTop);
    const QPointF apex = root.apex + QPointF(0, beyond);
    path.quadTo(QPointF(root.canalTop.x(), (root.canalTop.y() + apex.y()) / 2), apex);
    return path;
}

QPainterPath partOf(const QPainterPath& path, double fraction) {
    QPainterPath part;
    constexpr int steps = 24;
    part.moveTo(path.pointAtPercent(0));
    for (int k = 1; k <= steps; ++k) part.lineTo(path.pointAtPercent(fraction * k / steps));
    return part;
}

// Paints the chart background over the part of the tooth below y (away from the crown).
void erase(QPainter& p, const QPainterPath& area, double y, double w, double h) {
    QPainterPath below;
    below.addRect(QRectF(-1, y, w + 2, h - y + 2));
    p.setPen(Qt::NoPen);
    p.setBrush(Background);
    p.drawPath(widened(area, 2.4).intersected(below));
}

}  // namespace

Group GroupOf(int n, bool milk) {
    switch (n) {
    case 1: case 2: case 3: case 17: case 18: case 19:
        return Group::Molar;
    case 4: case 5: case 20: case 21:
        return milk ? Group::Molar : Group::Premolar;
    case 6: case 22:
        return Group::Canine;
    default:
        return Group::Incisor;
    }
}

ToothShape MakeShape(QSize size, Group group, int roots, bool milk) {
    ToothShape s;
    s.w = size.width();
    s.h = size.height();
    s.group = group;
    s.roots = roots;
    s.milk = milk;
    const double w = s.w, h = s.h;
    s.crownTop = 0.04 * h;
    s.neckY = 0.38 * h;
    s.apexY = 0.90 * h;
    s.crownLeft = 0.08 * w;
    s.crownRight = 0.92 * w;
    const double cw = s.crownRight - s.crownLeft;
    const double ch = s.neckY - s.crownTop;
    double neck = 0.64, corner = 0.015;
    switch (group) {
    case Group::Molar: neck = 0.80; corner = 0.05; break;
    case Group::Premolar: neck = 0.68; corner = 0.07; break;
    case Group::Canine: neck = 0.62; corner = 0.12; break;
    case Group::Incisor: neck = 0.66; corner = 0.015; break;
    }
    const double cx = w / 2;
    s.neckLeft = cx - cw * neck / 2;
    s.neckRight = cx + cw * neck / 2;
    const double cornerY = s.crownTop + corner * h;
    const double bulgeY = s.crownTop + 0.55 * ch;
    const auto xAt = [&](double f) { return s.crownLeft + f * cw; };

    QPainterPath c;
    c.moveTo(s.neckLeft, s.neckY);
    c.cubicTo(s.neckLeft - 0.04 * w, s.neckY - 0.15 * ch, s.crownLeft, bulgeY + 0.12 * ch, s.crownLeft, bulgeY);
    c.cubicTo(s.crownLeft, bulgeY - 0.3 * ch, s.crownLeft + 0.01 * w, cornerY + 0.08 * ch, xAt(0.06), cornerY);
    // The biting edge: cusps with level tangents at every tip and dip.
    QList<QPointF> edge;
    switch (group) {
    case Group::Molar:
        edge = {{xAt(0.22), s.crownTop}, {xAt(0.36), s.crownTop + 0.05 * h}, {xAt(0.5), s.crownTop + 0.008 * h},
                {xAt(0.64), s.crownTop + 0.05 * h}, {xAt(0.78), s.crownTop}};
        break;
    case Group::Premolar:
        edge = {{xAt(0.5), s.crownTop}};
        break;
    case Group::Canine:
        edge = {{xAt(0.5), s.crownTop}};
        break;
    case Group::Incisor:
        edge = {{xAt(0.5), s.crownTop + 0.004 * h}};
        break;
    }
    edge.append(QPointF(xAt(0.94), cornerY));
    QPointF previous(xAt(0.06), cornerY);
    for (const QPointF& point : edge) {
        if (group == Group::Canine) {
            // A pointed cusp.
            c.quadTo(QPointF((previous.x() + point.x()) / 2, (previous.y() + point.y()) / 2 - 0.015 * h), point);
        } else {
            const double mid = (previous.x() + point.x()) / 2;
            c.cubicTo(mid, previous.y(), mid, point.y(), point.x(), point.y());
        }
        previous = point;
    }
    c.cubicTo(s.crownRight - 0.01 * w, cornerY + 0.08 * ch, s.crownRight, bulgeY - 0.3 * ch, s.crownRight, bulgeY);
    c.cubicTo(s.crownRight, bulgeY + 0.12 * ch, s.neckRight + 0.04 * w, s.neckY - 0.15 * ch, s.neckRight, s.neckY);
    c.quadTo(cx, s.neckY + 0.025 * h, s.neckLeft, s.neckY);
    c.closeSubpath();
    s.crown = c;

    // Roots: a common trunk on several-rooted teeth, then one tapering root per part of the neck.
    s.splitY = roots > 1 ? s.neckY + 0.12 * h : s.neckY;
    const double neckWidth = s.neckRight - s.neckLeft;
    const double part = neckWidth / roots;
    QPainterPath area;
    if (roots > 1) {
        QPainterPath trunk;
        trunk.moveTo(s.neckLeft, s.neckY - 1);
        trunk.lineTo(s.neckRight, s.neckY - 1);
        trunk.lineTo(s.neckRight - 0.02 * w, s.splitY + 2);
        trunk.lineTo(s.neckLeft + 0.02 * w, s.splitY + 2);
        trunk.closeSubpath();
        area = trunk;
    }
    for (int i = 0; i < roots; ++i) {
        ToothShape::Root root;
        double left = s.neckLeft + i * part;
        double right = left + part;
        if (roots > 1) {
            if (i > 0) left += 0.1 * part;
            if (i < roots - 1) right -= 0.1 * part;
            if (roots == 2) {
                left += (i == 0 ? 0.02 : 0.0) * w;
                right -= (i == 1 ? 0.02 : 0.0) * w;
            }
        }
        if (milk) {
            const double middle = (left + right) / 2;
            left = lerp(left, middle, 0.14);
            right = lerp(right, middle, 0.14);
        }
        double spread = 0;
        if (roots == 2) spread = (i == 0 ? -1 : 1) * 0.05 * w;
        if (roots == 3) spread = (i - 1) * 0.07 * w;
        if (milk && group == Group::Molar) spread *= 1.6;
        const double top = roots > 1 ? s.splitY - 1 : s.neckY - 0.5;
        const double apexY = s.apexY - (roots == 3 && i == 1 ? 0.05 * h : 0.0);
        const double apexX = (left + right) / 2 + spread;
        const double length = apexY - top;
        const double tip = std::max(1.2, 0.12 * (right - left));
        QPainterPath path;
        path.moveTo(left, top);
        path.cubicTo(left + spread * 0.3, top + 0.55 * length, apexX - tip, apexY - 0.2 * length, apexX - tip,
                     apexY - tip * 0.5);
        path.quadTo(apexX, apexY + tip * 0.6, apexX + tip, apexY - tip * 0.5);
        path.cubicTo(apexX + tip, apexY - 0.2 * length, right + spread * 0.3, top + 0.55 * length, right, top);
        path.closeSubpath();
        root.path = path;
        root.left = left;
        root.right = right;
        root.top = top;
        root.apex = QPointF(apexX, apexY - 1);
        root.canalTop = QPointF((left + right) / 2, s.neckY - 0.02 * h);
        s.rootList.push_back(root);
        area = area.united(path);
    }
    s.rootArea = area;
    return s;
}

QPainterPath SideSurface(const ToothShape& shape, int s) {
    const double cw = shape.crownRight - shape.crownLeft;
    const double ch = shape.neckY - shape.crownTop;
    const double edge = shape.crownTop + 0.36 * ch;
    const double strip = 0.27 * cw;
    QRectF rect;
    switch (s) {
    case 4: rect = QRectF(shape.crownLeft - 2, shape.crownTop - 2, cw + 4, edge - shape.crownTop + 2); break;
    case 0: rect = QRectF(shape.crownLeft - 2, edge, strip + 2, shape.neckY - edge + 4); break;
    case 2: rect = QRectF(shape.crownRight - strip, edge, strip + 2, shape.neckY - edge + 4); break;
    default: rect = QRectF(shape.crownLeft + strip, edge, cw - 2 * strip, shape.neckY - edge + 4); break;
    }
    QPainterPath box;
    box.addRect(rect);
    return shape.crown.intersected(box);
}

QPainterPath TopSurface(int s) {
    const QPointF centre(TopCentre, TopCentre);
    QPainterPath path;
    if (s == 4) {
        path.addEllipse(centre, TopInner, TopInner);
        return path;
    }
    // A quarter of the ring between the diagonals; Qt's angles turn anticlockwise from three
    // o'clock.
    static const double starts[4] = {135, 45, -45, 225};
    const QRectF outer(centre.x() - TopOuter, centre.y() - TopOuter, 2 * TopOuter, 2 * TopOuter);
    const QRectF inner(centre.x() - TopInner, centre.y() - TopInner, 2 * TopInner, 2 * TopInner);
    path.arcMoveTo(outer, starts[s]);
    path.arcTo(outer, starts[s], 90);
    path.arcTo(inner, starts[s] + 90, -90);
    path.closeSubpath();
    return path;
}

Mark MarkOfPrefix(const QString& prefix) {
    if (prefix == QLatin1String("Kariess_")) return Mark::Caries;
    if (prefix == QLatin1String("car_sec_")) return Mark::SecondaryCariesAmalgam;
    if (prefix == QLatin1String("car_sec_k_")) return Mark::SecondaryCariesComposite;
    if (prefix == QLatin1String("nek_def_")) return Mark::NonCariousDefect;
    if (prefix == QLatin1String("pla_")) return Mark::Amalgam;
    if (prefix == QLatin1String("plk_")) return Mark::Composite;
    if (prefix == QLatin1String("pag_pl_")) return Mark::Temporary;
    if (prefix == QLatin1String("fract_")) return Mark::Fracture;
    return Mark::Prosthetic;
}

QImage Blank(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage SideBase(const ToothShape& s, int view) {
    return paintSide(s, view, [&](QPainter& p) {
        const QColor line = s.milk ? MilkLine : ToothLine;
        QLinearGradient rootFill(s.neckLeft, 0, s.neckRight, 0);
        rootFill.setColorAt(0, s.milk ? MilkRootLight : RootLight);
        rootFill.setColorAt(1, s.milk ? MilkRootDark : RootDark);
        p.setBrush(rootFill);
        p.setPen(QPen(line, 1.1));
        p.drawPath(s.rootArea);

        QLinearGradient crownFill(0, s.crownTop, 0, s.neckY);
        crownFill.setColorAt(0, s.milk ? MilkEnamelLight : EnamelLight);
        crownFill.setColorAt(1, s.milk ? MilkEnamelDark : EnamelDark);
        p.setBrush(crownFill);
        p.setPen(QPen(line, s.milk ? 1.4 : 1.1));
        p.drawPath(s.crown);

        // Pulp chamber and canals, faint.
        const double neckWidth = s.neckRight - s.neckLeft;
        const double chamberWidth = neckWidth * (s.roots > 1 ? 0.55 : 0.32);
        const QRectF chamber(s.w / 2 - chamberWidth / 2, s.neckY - 0.13 * s.h, chamberWidth,
                             (s.roots > 1 ? s.splitY : s.neckY + 0.02 * s.h) - (s.neckY - 0.13 * s.h));
        QColor pulp = Pulp;
        pulp.setAlpha(150);
        p.setPen(Qt::NoPen);
        p.setBrush(pulp);
        p.drawRoundedRect(chamber, chamberWidth / 3, chamberWidth / 3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pulp, std::max(1.0, 0.08 * neckWidth / s.roots), Qt::SolidLine, Qt::RoundCap));
        for (const ToothShape::Root& root : s.rootList) p.drawPath(canal(root, 0));
    });
}

QImage SideSurfaceMark(const ToothShape& s, int view, int surface, Mark mark) {
    return paintSide(s, view, [&](QPainter& p) {
        const QPainterPath region = SideSurface(s, surface);
        const QRectF box = region.boundingRect();
        if (mark == Mark::Fracture) {
            p.setClipPath(widened(region, 1.0));
            paintCrack(p, QPointF(box.left() + 0.2 * box.width(), box.top() + 0.1 * box.height()),
                       QPointF(box.right() - 0.2 * box.width(), box.bottom() - 0.12 * box.height()),
                       std::max(1.2, 0.12 * std::min(box.width(), box.height())));
            return;
        }
        if (mark == Mark::NonCariousDefect) {
            fill(p, region, DefectTint, QColor());
            p.setClipPath(region);
            QPainterPath wedge;
            if (surface == 4) {
                // Worn biting edge.
                wedge.addEllipse(QPointF(box.center().x(), box.top()), 0.32 * box.width(), 0.6 * box.height());
            } else {
                // A wedge-shaped defect at the neck.
                const double y = box.bottom() - 2;
                wedge.moveTo(box.center().x() - 0.32 * box.width(), y + 1);
                wedge.lineTo(box.center().x(), y - 0.5 * box.height());
                wedge.lineTo(box.center().x() + 0.32 * box.width(), y + 1);
                wedge.closeSubpath();
            }
            fill(p, wedge, Defect, DefectLine, 0.8);
            return;
        }
        paintSurfaceMark(p, region, mark);
    });
}

QImage RootCondition(const ToothShape& s, int view, const QString& flag, int rootIndex, int level) {
    return paintSide(s, view, [&](QPainter& p) {
        const ToothShape::Root& root = s.rootList.at(std::clamp(rootIndex, 0, int(s.rootList.size()) - 1));
        const double rootWidth = root.right - root.left;
        if (flag == QLatin1String("PI")) {
            // A periapical lesion round the apex.
            const double r = std::clamp(0.07 * s.h, 3.0, 6.0);
            QColor fillColour = Lesion;
            fillColour.setAlpha(150);
            QPainterPath lesion;
            lesion.addEllipse(root.apex, r * 1.05, r);
            fill(p, lesion, fillColour, LesionLine, 1.1);
        } else if (flag == QLatin1String("SL")) {
            // A cast root inlay: the core in the crown and the post in the canal's upper half.
            const double top = s.neckY - 0.16 * s.h;
            const RootEdges half = edgesAt(root, 0.45);
            const double width = std::max(2.5, 0.38 * rootWidth);
            QPainterPath inlay;
            inlay.moveTo(root.canalTop.x() - width * 0.9, top);
            inlay.lineTo(root.canalTop.x() + width * 0.9, top);
            inlay.lineTo(root.canalTop.x() + width / 2, s.neckY);
            inlay.lineTo((half.left + half.right) / 2 + width / 4, half.y);
            inlay.lineTo((half.left + half.right) / 2 - width / 4, half.y);
            inlay.lineTo(root.canalTop.x() - width / 2, s.neckY);
            inlay.closeSubpath();
            fill(p, inlay, Metal, MetalLine, 1.0);
        } else if (flag == QLatin1String("TP")) {
            // A prefabricated post: a thin dark rod with a head.
            const QPainterPath rod = partOf(canal(root, 0), 0.6);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(255, 255, 255, 200), 3.6, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(rod);
            p.setPen(QPen(PostColor, 2.0, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(rod);
            p.setBrush(PostColor);
            p.drawEllipse(root.canalTop - QPointF(0, 0.05 * s.h), 2.2, 1.8);
        } else if (flag == QLatin1String("FU")) {
            // Furcation involvement: bone lost between the roots.
            QPainterPath marks;
            const double depth = 0.13 * s.h;
            if (s.rootList.size() > 1) {
                for (std::size_t i = 0; i + 1 < s.rootList.size(); ++i) {
                    const double x = (s.rootList[i].right + s.rootList[i + 1].left) / 2;
                    const double half = std::max(2.5, 0.6 * (s.rootList[i + 1].left - s.rootList[i].right) + 2);
                    marks.moveTo(x, s.splitY - 1);
                    marks.lineTo(x + half, s.splitY + depth);
                    marks.lineTo(x - half, s.splitY + depth);
                    marks.closeSubpath();
                }
            } else {
                const double x = root.canalTop.x();
                marks.moveTo(x, s.neckY + 0.04 * s.h);
                marks.lineTo(x + 3, s.neckY + 0.04 * s.h + depth);
                marks.lineTo(x - 3, s.neckY + 0.04 * s.h + depth);
                marks.closeSubpath();
            }
            fill(p, marks, Lesion, LesionLine, 0.9);
        } else if (flag == QLatin1String("kan_pild")) {
            // Level 0 short of the apex, 1 to the apex, 2 past it.
            const double beyond = level >= 2 ? 0.05 * s.h : 0.0;
            const QPainterPath filling = partOf(canal(root, beyond), level == 0 ? 0.55 : 1.0);
            const double width = std::max(2.0, 0.16 * rootWidth);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(GuttaPerchaLine, width + 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(filling);
            p.setPen(QPen(GuttaPercha, width, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(filling);
            if (level >= 2) {
                QPainterPath puff;
                puff.addEllipse(filling.currentPosition(), width * 0.9 + 0.6, width * 0.7 + 0.4);
                fill(p, puff, GuttaPercha, GuttaPerchaLine, 0.8);
            }
        }
    });
}

QImage RootList(const ToothShape& s, int view, const QString& kind, const std::vector<int>& roots) {
    return paintSide(s, view, [&](QPainter& p) {
        for (int index : roots) {
            const ToothShape::Root& root = s.rootList.at(std::clamp(index, 0, int(s.rootList.size()) - 1));
            const double rootWidth = root.right - root.left;
            if (kind == QLatin1String("nens")) {
                // The apical part not yet grown: gone, its outline dashed, the open canal wide.
                const RootEdges cut = edgesAt(root, 0.55);
                erase(p, root.path, cut.y, s.w, s.h);
                p.save();
                QPainterPath below;
                below.addRect(QRectF(0, cut.y, s.w, s.h - cut.y));
                p.setClipPath(below);
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(Ghost, 1.0, Qt::DashLine));
                p.drawPath(root.path);
                p.restore();
                p.setPen(QPen(s.milk ? MilkLine : ToothLine, 1.1));
                const double open = std::max(1.2, 0.22 * (cut.right - cut.left));
                p.drawLine(QPointF(cut.left, cut.y), QPointF(cut.left + open, cut.y - 1));
                p.drawLine(QPointF(cut.right, cut.y), QPointF(cut.right - open, cut.y - 1));
            } else {
                // Resorption: the apex eaten away unevenly, and a bay in the root's outer side.
                const RootEdges cut = edgesAt(root, 0.78);
                erase(p, root.path, cut.y, s.w, s.h);
                QPainterPath ragged;
                ragged.moveTo(cut.left, cut.y);
                constexpr int teeth = 4;
                for (int k = 1; k <= teeth; ++k)
                    ragged.lineTo(lerp(cut.left, cut.right, double(k) / teeth), cut.y + (k % 2 ? 1.6 : 0.0));
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(CariesRed, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(ragged);
                const RootEdges bayAt = edgesAt(root, 0.5);
                const bool outerLeft = root.apex.x() <= s.w / 2;
                const double r = std::max(1.4, 0.14 * rootWidth);
                QPainterPath bay;
                bay.addEllipse(QPointF(outerLeft ? bayAt.left : bayAt.right, bayAt.y), r, 1.4 * r);
                p.setPen(Qt::NoPen);
                p.setBrush(Background);
                p.drawPath(bay);
                p.save();
                p.setClipPath(widened(root.path, 1.0));
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(CariesRed, 1.2));
                p.drawPath(bay);
                p.restore();
            }
        }
    });
}

QImage WholeTooth(const ToothShape& s, int view, const QString& flag) {
    return paintSide(s, view, [&](QPainter& p) {
        if (flag == QLatin1String("rezekc")) {
            // Apical resection: root tips cut off straight.
            const double y = lerp(s.splitY, s.apexY, 0.78);
            erase(p, s.rootArea, y, s.w, s.h);
            p.setPen(QPen(Cut, 1.8, Qt::SolidLine, Qt::FlatCap));
            for (const ToothShape::Root& root : s.rootList) {
                const RootEdges e = edgesAt(root, (y - root.top) / (root.apex.y() - root.top));
                p.drawLine(QPointF(e.left - 1, y), QPointF(e.right + 1, y));
            }
        } else if (flag == QLatin1String("saknes_frakt")) {
            // A fracture line across the roots.
            p.setClipPath(widened(s.rootArea, 3.0));
            for (const ToothShape::Root& root : s.rootList) {
                const RootEdges e = edgesAt(root, 0.5);
                paintCrack(p, QPointF(e.left - 2, e.y - 2), QPointF(e.right + 2, e.y + 2), 1.6);
            }
        } else if (flag == QLatin1String("neizsk") || flag == QLatin1String("dal_izsk")) {
            // The gum over the whole tooth (unerupted) or over its neck half (partly erupted).
            const bool partly = flag == QLatin1String("dal_izsk");
            const double gumY = partly ? lerp(s.crownTop, s.neckY, 0.5) : 1.5;
            QPainterPath tooth = s.crown.united(s.rootArea);
            QPainterPath covered;
            covered.addRect(QRectF(0, gumY, s.w, s.h - gumY));
            fill(p, widened(tooth, 2.0).intersected(covered), GumTint, QColor());
            QPainterPath gum;
            gum.moveTo(0, gumY + 1.5);
            for (double x = 0; x <= s.w; x += 3) gum.lineTo(x, gumY + 1.5 * std::sin(x / 3.0));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(GumLine, 2.0, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(gum);
        }
    });
}

QImage TopBase() {
    return paintPlain(QSize(51, 51), [](QPainter& p) {
        const QPointF centre(8 + TopCentre, 8 + TopCentre);
        QRadialGradient enamel(centre, TopOuter);
        enamel.setColorAt(0, EnamelLight);
        enamel.setColorAt(1, EnamelDark);
        p.setBrush(enamel);
        p.setPen(QPen(ToothLine, 1.2));
        p.drawEllipse(centre, TopOuter - 0.6, TopOuter - 0.6);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xA6, 0x95, 0x80), 1.0));
        p.drawEllipse(centre, TopInner, TopInner);
        for (double angle : {45.0, 135.0, 225.0, 315.0}) {
            const QPointF d(std::cos(angle * std::numbers::pi / 180), std::sin(angle * std::numbers::pi / 180));
            p.drawLine(centre + d * TopInner, centre + d * (TopOuter - 0.8));
        }
    });
}

QImage TopMark(const QString& flag) {
    return paintPlain(QSize(51, 51), [&](QPainter& p) {
        if (flag == QLatin1String("mig"))
            doubleArrow(p, QPointF(6, 4), QPointF(45, 4), MigrationBlue, 1.8, 4.0);
        else
            turnArrow(p, QPointF(25.5, 25.5), 22.0, 40, 140, RotationPurple, 1.8, 4.0);
    });
}

QImage TopSurfaceMark(int s, Mark mark) {
    return paintPlain(QSize(37, 37), [&](QPainter& p) {
        const QPainterPath region = TopSurface(s);
        if (mark == Mark::Fracture) {
            const QPointF centre(TopCentre, TopCentre);
            const QPointF d = direction(s);
            const QPointF n(-d.y(), d.x());
            // Across the quarter, from one diagonal to the other.
            const double r = (TopInner + TopOuter) / 2;
            p.setClipPath(widened(region, 1.0));
            paintCrack(p, centre + d * r * 0.72 + n * r * 0.68, centre + d * r * 0.72 - n * r * 0.68, 1.8);
            return;
        }
        paintSurfaceMark(p, region, mark);
    });
}

QImage TopNonCariousDefect(int s) {
    return paintPlain(QSize(51, 51), [&](QPainter& p) {
        const QPointF centre(8 + TopCentre, 8 + TopCentre);
        p.translate(8, 8);
        fill(p, TopSurface(s), DefectTint, QColor());
        p.translate(-8, -8);
        QPainterPath mark;
        if (s == 4) {
            mark.addEllipse(centre, 6.5, 6.5);
            QPainterPath hole;
            hole.addEllipse(centre, 3.5, 3.5);
            mark = mark.subtracted(hole);
        } else {
            // A crescent on the outside of the surface's edge.
            static const double middles[4] = {180, 90, 0, 270};
            QPainterPath outer;
            const double r = TopOuter + 4.5;
            outer.moveTo(centre);
            outer.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), middles[s] - 32, 64);
            outer.closeSubpath();
            QPainterPath inside;
            inside.addEllipse(centre, TopOuter - 2.5, TopOuter - 2.5);
            mark = outer.subtracted(inside);
        }
        fill(p, mark, Defect, DefectLine, 0.8);
    });
}

QImage FreeOverlay(const QString& flag, int view) {
    if (flag == QLatin1String("mig"))
        return paintPlain(QSize(30, 14), [](QPainter& p) { doubleArrow(p, QPointF(2, 7), QPointF(28, 7), MigrationBlue, 2.2, 5.0); });
    if (flag == QLatin1String("supraerupcija"))
        // Points away from the roots: down on view 1, up on view 2.
        return paintPlain(QSize(14, 22), [view](QPainter& p) {
            const QPointF root(7, view == 1 ? 2 : 20), tip(7, view == 1 ? 20 : 2);
            QPainterPath shaft;
            shaft.moveTo(root);
            shaft.lineTo(tip + (root - tip) * 0.3);
            haloStroke(p, shaft, EruptionGreen, 2.4);
            arrowHead(p, tip, root, 7.0, EruptionGreen);
        });
    return paintPlain(QSize(24, 16), [view](QPainter& p) {
        if (view == 1)
            turnArrow(p, QPointF(12, 2), 10.0, 25, 150, RotationPurple, 2.0, 4.5);
        else
            turnArrow(p, QPointF(12, 14), 10.0, 210, 335, RotationPurple, 2.0, 4.5);
    });
}

}  // namespace chartpictures
