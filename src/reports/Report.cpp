#include "reports/Report.h"

#include "reports/BandPainter.h"
#include "reports/CsvExport.h"
#include "reports/Paginator.h"
#include "reports/ReportError.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace reports {

Report::Report(ReportLayout layout) : m_layout(std::move(layout)) {}

QDateTime Report::printTime() const {
    return m_printTime.isValid() ? m_printTime : QDateTime::currentDateTime();
}

void Report::applyPageLayout(QPagedPaintDevice& device) const { device.setPageLayout(m_layout.pageLayout()); }

int Report::render(QPagedPaintDevice& device) const {
    applyPageLayout(device);
    ValueResolver resolver(m_rows, m_values, printTime());
    const BandPainter bands(device, resolver);
    const QVector<Page> pages =
        Paginator(m_layout, resolver, [&](const Band& b, const Scope& s) { return bands.height(b, s); }).run();
    resolver.setTotalPages(int(pages.size()));

    // The painter's origin is the top-left corner of the printable area (inside the margins) on
    // both QPdfWriter and QPrinter.
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError(QStringLiteral("Neizdevās sākt drukāt atskaiti %1").arg(m_layout.name));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) device.newPage();
        for (const PlacedBand& placed : pages[i].bands) bands.paint(painter, *placed.band, placed.scope, placed.top);
    }
    painter.end();
    return int(pages.size());
}

int Report::exportPdf(const QString& path) const {
    {
        // QPdfWriter would only say that painting could not begin; this names the reason.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw ReportError(QStringLiteral("Neizdevās ierakstīt PDF failu %1: %2").arg(path, probe.errorString()));
    }
    QPdfWriter writer(path);
    writer.setTitle(m_layout.name);
    writer.setCreator(QStringLiteral("Molarix"));
    return render(writer);
}

QString Report::csv() const {
    const ValueResolver resolver(m_rows, m_values, printTime());
    return masterRowsCsv(m_layout, resolver);
}

void Report::exportCsv(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv().toUtf8()) < 0 || !file.commit())
        throw ReportError(QStringLiteral("Neizdevās ierakstīt CSV failu %1: %2").arg(path, file.errorString()));
}

}  // namespace reports
