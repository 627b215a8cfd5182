#pragma once
#include "reports/ReportLayout.h"
#include "reports/ValueResolver.h"

#include <functional>

namespace reports {

// One band as it lands on a page.
struct PlacedBand {
    const Band* band = nullptr;
    double top = 0;     // mm below the top of the printable area
    double height = 0;  // mm, after growing for wrapped text
    Scope scope;
};

struct Page {
    QVector<PlacedBand> bands;
    int firstRow = -1;  // master rows printed on this page; -1 when none
    int lastRow = -1;
    double headerTop = 0;  // mm; below the title on the first page
};

// Places the bands of a layout on pages, breaking to a new page when the next band would run into
// the page footer. A group header is kept together with its first row. A band taller than a whole
// page is placed on a page of its own (and cut at the bottom) rather than looping for ever.
class Paginator {
public:
    // Height in mm that a band needs for a scope (wrapped text makes it grow).
    using Measure = std::function<double(const Band&, const Scope&)>;

    Paginator(const ReportLayout& layout, const ValueResolver& resolver, Measure measure);
    QVector<Page> run();

private:
    void openPage();
    void closePage();
    bool pageIsEmpty() const;
    double bottom() const;
    void place(const Band& band, Scope scope, double keepWithNext = 0);
    void placeRows();
    // The first and last row of each group, in order; all rows form one group without grouping.
    QVector<std::pair<int, int>> groupRanges() const;

    const ReportLayout& m_layout;
    const ValueResolver& m_resolver;
    Measure m_measure;
    QVector<Page> m_pages;
    double m_y = 0;          // mm, where the next band goes
    int m_lastPlacedRow = -1;
};

}  // namespace reports
