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

void Paginator::placeRows() {
    const int rowCount = m_resolver.rows().rowCount();
    const std::optional<GroupBands>& group = m_layout.group;
    int groupStart = 0;
    for (int r = 0; r < rowCount; ++r) {
        const bool groupStarts = group && (r == 0 || groupKey(r) != groupKey(r - 1));
        if (groupStarts) {
            if (r > 0 && group->footer) place(*group->footer, Scope{r - 1, groupStart, r - 1});
            if (r > 0 && group->newPage && !pageIsEmpty()) {
                closePage();
                openPage();
            }
            groupStart = r;
            if (group->header) {
                int groupEnd = r;
                while (groupEnd + 1 < rowCount && groupKey(groupEnd + 1) == groupKey(r)) ++groupEnd;
                const double firstRow = m_layout.masterData ? m_measure(*m_layout.masterData, Scope{r, r, r}) : 0;
                place(*group->header, Scope{r, r, groupEnd}, firstRow);
            }
        }
        if (m_layout.masterData) place(*m_layout.masterData, Scope{r, r, r});
        Page& page = m_pages.last();
        if (page.firstRow < 0) page.firstRow = r;
        page.lastRow = r;
        m_lastPlacedRow = r;
    }
    if (group && group->footer && rowCount > 0) place(*group->footer, Scope{rowCount - 1, groupStart, rowCount - 1});
}

QVariant Paginator::groupKey(int row) const { return m_resolver.value(m_layout.group->field, Scope{row, row, row}); }

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
