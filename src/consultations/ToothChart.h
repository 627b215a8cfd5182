#pragma once
#include "consultations/ChartTools.h"

#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

// The dental chart of one consultation: a record per tooth position, read from and written to the
// stored text of O_KONSULTACIJA_HD.ZOBU_KARTE, and changed by clicks with the palette's tools.
//
// Positions t = 1..32: the upper row left to right 1..16 (teeth 18..11, 21..28), the lower row
// 17..32 (teeth 48..41, 31..38). Positions 4..13 and 20..29 can hold milk teeth.
namespace dentalchart {

constexpr int PositionCount = 32;
constexpr int SurfaceCount = 5;  // 0 left, 1 top, 2 right, 3 bottom, 4 centre
constexpr int MaxRoots = 3;

struct ToothRecord {
    // Whole-tooth flags, each closed by '/', in the order they were added ("piena/mig/").
    QString st;
    // Surface codes ("C", "Pla", "MK_K", ...); empty = healthy.
    std::array<QString, SurfaceCount> kz;
    // "fract" or empty, per surface.
    std::array<QString, SurfaceCount> kf;
    // Root flags, each closed by '/' ("PI/kan_pild/").
    std::array<QString, MaxRoots> sk;
    // Canal filling level per root: -1 none, 0..2.
    std::array<int, MaxRoots> el{-1, -1, -1};

    bool operator==(const ToothRecord&) const = default;
};

// The flags of a '/'-separated flag text, in order (empty pieces left out).
QStringList Flags(const QString& text);
bool HasFlag(const QString& text, const QString& flag);

// The surface of a top-view click at (x, y) of the 51 x 51 picture: 0..4, or -1 outside the
// tooth's circle.
int SurfaceAt(QPoint point);

class ToothChart {
public:
    ToothChart() = default;

    static int rootCount(int t);
    static bool isMilkPosition(int t);
    // Positions whose roots can show a furcation: those with more than one root.
    static bool isMultiRooted(int t) { return rootCount(t) > 1; }

    const ToothRecord& tooth(int t) const { return m_teeth.at(t - 1); }
    ToothRecord& tooth(int t) { return m_teeth.at(t - 1); }
    bool operator==(const ToothChart& o) const { return m_teeth == o.m_teeth; }

    // Replaces the records by the stored text. Records that do not follow the format are left out
    // and returned as they stood in the text (without their closing '|'); everything well formed
    // is read.
    QStringList read(const QString& text);
    // The stored text of the records.
    QString text() const;

    // A milk tooth stands at the position: "piena" at a milk position.
    bool isMilkTooth(int t) const;
    // The chart was saved in milk-teeth mode.
    bool isInMilkMode() const;

    // A click at (x, y) of position t's top view with the tool that is down. Returns whether the
    // record changed.
    bool clickTop(int t, QPoint point, const ToolChoice& tool);
    // A click at x of one of position t's side views, pictureWidth wide. Returns whether the
    // record changed.
    bool clickSide(int t, int pictureWidth, int x, const ToolChoice& tool);
    // The root a side-view click at x hits (not for the furcation tool).
    static int rootAt(int t, int pictureWidth, int x);

    // Milk-teeth mode: milk positions become milk teeth, the others get "NAVPAR/" (no tooth).
    // Switching back removes what switching on added.
    void setMilkMode(bool on);

private:
    bool applyWholeTooth(int t, const ToolChoice& tool);
    std::array<ToothRecord, PositionCount> m_teeth{};
    // Positions to which milk mode added "piena/"; unknown when the chart was read in milk mode.
    QSet<int> m_milkAdded;
    bool m_milkAddedKnown = false;
};

}  // namespace dentalchart
