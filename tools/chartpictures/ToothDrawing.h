#pragma once
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>

#include <vector>

// Stylised teeth for the dental chart's pictures.
//
// A side view is drawn in a frame with the crown at the top and the roots pointing down; side
// view 1 is the same drawing turned upside down (its crown faces the top view below it). Every
// measure is a fraction of the picture's size, so a permanent tooth's overlay stretched over a
// milk tooth's larger picture still lands on the same part of the tooth.
namespace chartpictures {

enum class Group { Incisor, Canine, Premolar, Molar };

Group GroupOf(int pictureNumber, bool milk);

struct ToothShape {
    double w = 0, h = 0;
    Group group = Group::Molar;
    int roots = 1;
    bool milk = false;
    double crownTop = 0, neckY = 0, apexY = 0, splitY = 0;
    double crownLeft = 0, crownRight = 0, neckLeft = 0, neckRight = 0;
    QPainterPath crown;
    QPainterPath rootArea;  // all roots and their trunk
    struct Root {
        QPainterPath path;
        double left = 0, right = 0, top = 0;  // the root's sides where it leaves the trunk or neck
        QPointF apex;
        QPointF canalTop;  // where its canal leaves the pulp chamber
    };
    std::vector<Root> rootList;  // left to right
};

ToothShape MakeShape(QSize size, Group group, int roots, bool milk);

// The part of the crown that shows surface s in a side view (0 left, 2 right, 1 and 3 the
// face, 4 the biting edge).
QPainterPath SideSurface(const ToothShape& shape, int s);
// The part of the top view's circle (37 x 37 frame) that is surface s.
QPainterPath TopSurface(int s);

// What an overlay shows.
enum class Mark {
    Caries,
    SecondaryCariesAmalgam,
    SecondaryCariesComposite,
    NonCariousDefect,
    Amalgam,
    Composite,
    Temporary,
    Prosthetic,  // onlay, veneer, crowns, bridge pontic
    Fracture,
};
Mark MarkOfPrefix(const QString& prefix);

// A transparent picture of the given size.
QImage Blank(QSize size);

// Side views: view 1 or 2 of a tooth; the painter of every function below is set up for the view.
QImage SideBase(const ToothShape& shape, int view);
QImage SideSurfaceMark(const ToothShape& shape, int view, int s, Mark mark);
QImage RootCondition(const ToothShape& shape, int view, const QString& flag, int root, int level);
QImage RootList(const ToothShape& shape, int view, const QString& kind, const std::vector<int>& roots);
QImage WholeTooth(const ToothShape& shape, int view, const QString& flag);

// Top views.
QImage TopBase();
QImage TopMark(const QString& flag);  // mig, rot
QImage TopSurfaceMark(int s, Mark mark);
QImage TopNonCariousDefect(int s);  // 51 x 51

// Free overlays in front of side views.
QImage FreeOverlay(const QString& flag, int view);

}  // namespace chartpictures
