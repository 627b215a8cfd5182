#pragma once
#include "consultations/ToothChart.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

// Where the chart's pictures stand and which picture files a tooth position is drawn from.
//
// Every position has five pictures: the top view (51 x 51), side view 1 above it and side view 2
// below it, and a free overlay in front of each side view. Side views show the crown towards the
// top view and the roots away from it. Pictures exist for the left half of each jaw only; the
// right half uses its mirror partner's pictures flipped left to right.
namespace dentalchart {

enum View { TopView = 0, SideView1 = 1, SideView2 = 2, Overlay1 = 3, Overlay2 = 4 };
constexpr int ViewCount = 5;
constexpr int TopViewSize = 51;
// Surface and fracture overlays of the top view stand at this offset; they are 37 x 37.
constexpr int TopOverlayOffset = 8;
constexpr int TopOverlaySize = 37;

// The chart's background colour.
constexpr unsigned BackgroundRgb = 0xE7DFDB;

// Design coordinates of the chart.
namespace layout {
// The drawn area: design coordinates from its top left, which lies above the design origin so
// that teeth moved upwards (milk teeth, retained teeth) still show.
QRect CanvasRect();
QRect TopViewRect(int t);
// The permanent rectangle of side view 1 or 2 (the size of its picture).
QRect SideViewRect(int t, int view);
// Picture sizes by picture number: permanent side views and, for milk positions, milk teeth.
QSize SideSize(int pictureNumber, int view);
QSize MilkSideSize(int pictureNumber, int view);
// The milk tooth's rectangle centred on the permanent one.
QRect MilkSideViewRect(int t, int view);

// 1..8 and 17..24; the right half takes its mirror partner's number.
int PictureNumber(int t);
bool IsMirrored(int t);
// A root as drawn in the pictures of the left half (mirrored on the right half).
int PictureRoot(int t, int root);
// The two-digit tooth number shown at the position (milk numbers for a milk tooth).
int ToothNumber(int t, bool milk = false);
// The picture numbers that have pictures, and those that have milk-tooth pictures.
QList<int> PictureNumbers();
QList<int> MilkPictureNumbers();
}  // namespace layout

// The file names, relative to the picture folder.
namespace names {
QString TopBase();                                   // Zobs_2.png
QString TopMark(const QString& flag);                // mig_c.png, rot_c.png
QString SideBase(int n, int view, bool milk);        // z3.png, piena/z4_2.png
// R: 1-based picture roots in ascending order, written one after another ("13").
QString RootList(const QString& kind, int n, int view, const QString& r);  // nens or rezorb
QString SurfaceTop(const QString& prefix, int s);
QString SurfaceSide(const QString& prefix, int s, int n, int view);
QString RootMark(const QString& prefix, int root, int n, int view, int level = -1);
QString FreeOverlay(const QString& flag, int view);  // mig_z.png, supraerupcija_z_2.png, ...
QString WholeTooth(const QString& flag, int n, int view);  // rezekc, saknes_frakt, neizsk, dal_izsk

// The picture prefix of a surface code ("C" -> "Kariess_"); empty for an unknown code.
QString SurfacePrefix(const QString& code);
// All prefixes that surface codes use, and the prefixes of root flags by flag.
QStringList SurfacePrefixes();
QString RootPrefix(const QString& flag);
QStringList RootMarkPrefixes();
// The surfaces each side view shows.
bool SideShowsSurface(int view, int s);
}  // namespace names

struct Layer {
    enum class Place {
        Fill,      // stretched over the whole view (side views)
        At,        // at `at`, own size (top view)
        CrownEnd,  // centred across, at the crown's end of the view (free overlays)
    };
    QString name;
    Place place = Place::Fill;
    QPoint at;
    bool operator==(const Layer&) const = default;
};

struct ViewPictures {
    QRect rect;
    QList<Layer> layers;  // bottom first
    // Drawn, then flipped left to right (side views of the right half).
    bool mirrored = false;
    // Where the crown ends: the bottom edge for side view 1 and overlay 1, else the top edge.
    bool crownAtBottom = false;
};

struct PositionPictures {
    int position = 0;
    std::array<ViewPictures, ViewCount> views;
};

// Everything position t is drawn from.
PositionPictures PicturesOf(const ToothChart& chart, int t);

}  // namespace dentalchart
