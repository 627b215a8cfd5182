#pragma once
#include "db/ResultSet.h"
#include "reports/ReportLayout.h"
#include "reports/ReportValues.h"

#include <QDateTime>

class QPagedPaintDevice;

namespace reports {

// A layout filled with the rows of one query and the named values of a callback, printed on
// any paged device (QPdfWriter, QPrinter) or exported to PDF and CSV. Needs a QGuiApplication
// (fonts) but no widgets and no display.
//
//   reports::Report report(reports::ReportLayout::load("invoice"));
//   report.setRows(rows);
//   report.setValues(reports::ReportValues().set("shGnos", orgName));
//   report.exportPdf(path);
class Report {
public:
    explicit Report(ReportLayout layout);

    void setRows(db::ResultSet rows) { m_rows = std::move(rows); }
    void setValues(ValueCallback values) { m_values = std::move(values); }
    // The date and time that [Date] and [Time] print; the moment of rendering when not set.
    void setPrintTime(const QDateTime& time) { m_printTime = time; }

    const ReportLayout& layout() const { return m_layout; }
    const db::ResultSet& rows() const { return m_rows; }

    // Sets the layout's paper, orientation and margins on a device (a printer before its preview).
    void applyPageLayout(QPagedPaintDevice& device) const;
    // Paints every page; returns the number of pages. Throws ReportError.
    int render(QPagedPaintDevice& device) const;
    // Writes a PDF file; returns the number of pages. Throws ReportError.
    int exportPdf(const QString& path) const;
    // The master band's rows as CSV text (see CsvExport.h).
    QString csv() const;
    // Writes csv() to a file in UTF-8. Throws ReportError.
    void exportCsv(const QString& path) const;

private:
    QDateTime printTime() const;

    ReportLayout m_layout;
    db::ResultSet m_rows;
    ValueCallback m_values;
    QDateTime m_printTime;
};

}  // namespace reports
