#include "reports/Paginator.h"

namespace reports {

Paginator::Paginator(const ReportLayout& layout, const ValueResolver& resolver, Measure measure)
    : m_layout(layout), m_resolver(resolver), m_measure(std::move(measure)) {}

QVector<Page> Paginator::run() {
    m_pages.clear();
    m_lastPlacedRow = -1;
    const int lastRow = m_resolver.rows().rowCount() - 1;

    openPage();
    placeRows();
    if (m_layout.summary) place(*m_layout.summary, Scope{lastRow, 0, lastRow});
    closePage();
    return m_pages;
}

QVector<std::pair<int, int>> Paginator::groupRanges() const {
    const int rowCount = m_resolver.rows().rowCount();
    QVector<std::pair<int, int>> ranges;
    if (rowCount == 0) return ranges;
    if (!m_layout.group) return {{0, rowCount - 1}};
    const auto key = [&](int row) { return m_resolver.value(m_layout.group->field, Scope{row, row, row}); };
    QVariant current = key(0);
    int first = 0;
    for (int r = 1; r < rowCount; ++r) {
        QVariant k = key(r);
        if (k == current) continue;
        ranges.append({first, r - 1});
        first = r;
        current = std::move(k);
    }
    ranges.append({first, rowCount - 1});
    return ranges;
}

void Paginator::placeRows() {
    const std::optional<GroupBands>& group = m_layout.group;
    const auto& master = m_layout.masterData;
    bool firstGroup = true;
    for (const auto& [first, last] : groupRanges()) {
        if (group && group->newPage && !firstGroup && !pageIsEmpty()) {
            closePage();
            openPage();
        }
        firstGroup = false;
        if (group && group->header) {
            const double firstRowHeight = master ? m_measure(*master, Scope{first, first, first}) : 0;
            place(*group->header, Scope{first, first, last}, firstRowHeight);
        }
        for (int r = first; r <= last; ++r) {
            if (master) place(*master, Scope{r, r, r});
            Page& page = m_pages.last();
            if (page.firstRow < 0) page.firstRow = r;
            page.lastRow = r;
            m_lastPlacedRow = r;
        }
        if (group && group->footer) place(*group->footer, Scope{last, first, last});
    }
}

double Paginator::bottom() const {
    const double footer = m_layout.pageFooter ? m_layout.pageFooter->height : 0;
    return m_layout.contentSize().height() - footer;
}

bool Paginator::pageIsEmpty() const {
    const Page& page = m_pages.last();
    return page.bands.isEmpty();
}

// The title opens the first page, above the page header, so that the column headings of the page
// header stand right above the rows.
void Paginator::openPage() {
    m_pages.append(Page{});
    m_y = 0;
    if (m_pages.size() == 1 && m_layout.title) {
        const int lastRow = m_resolver.rows().rowCount() - 1;
        place(*m_layout.title, Scope{lastRow >= 0 ? 0 : -1, 0, lastRow});
    }
    m_pages.last().headerTop = m_y;
    if (m_layout.pageHeader) m_y += m_layout.pageHeader->height;
}

// The page header and footer go on last: only now is it known which rows the page holds, for
// their fields and sums.
void Paginator::closePage() {
    Page& page = m_pages.last();
    const int pageNumber = int(m_pages.size());
    const int fallbackRow = m_lastPlacedRow >= 0 ? m_lastPlacedRow : (m_resolver.rows().rowCount() > 0 ? 0 : -1);
    if (m_layout.pageHeader) {
        const int row = page.firstRow >= 0 ? page.firstRow : fallbackRow;
        page.bands.append({&*m_layout.pageHeader, page.headerTop, m_layout.pageHeader->height,
                           Scope{row, page.firstRow, page.firstRow < 0 ? -1 : page.lastRow, pageNumber}});
    }
    if (m_layout.pageFooter) {
        const int row = page.lastRow >= 0 ? page.lastRow : fallbackRow;
        page.bands.append({&*m_layout.pageFooter, bottom(), m_layout.pageFooter->height,
                           Scope{row, page.firstRow, page.firstRow < 0 ? -1 : page.lastRow, pageNumber}});
    }
}

void Paginator::place(const Band& band, Scope scope, double keepWithNext) {
    const double height = m_measure(band, scope);
    if (m_y + height + keepWithNext > bottom() && !pageIsEmpty()) {
        closePage();
        openPage();
    }
    scope.page = int(m_pages.size());
    m_pages.last().bands.append({&band, m_y, height, scope});
    m_y += height;
}

}  // namespace reports
