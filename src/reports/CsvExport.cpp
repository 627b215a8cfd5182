#include "reports/CsvExport.h"

#include "reports/Csv.h"

#include <algorithm>

namespace reports {

QString masterRowsCsv(const ReportLayout& layout, const ValueResolver& resolver) {
    if (!layout.masterData) return QString();
    QVector<const TextItem*> columns;
    for (const TextItem& item : layout.masterData->texts) columns.append(&item);
    std::stable_sort(columns.begin(), columns.end(), [](const TextItem* a, const TextItem* b) {
        if (a->rect.left() != b->rect.left()) return a->rect.left() < b->rect.left();
        return a->rect.top() < b->rect.top();
    });

    QString csv;
    QStringList titles;
    bool anyTitle = false;
    for (const TextItem* item : columns) {
        titles.append(item->csvTitle);
        anyTitle = anyTitle || !item->csvTitle.isEmpty();
    }
    if (anyTitle) csv += csvRecord(titles);

    const int rowCount = resolver.rows().rowCount();
    for (int r = 0; r < rowCount; ++r) {
        QStringList fields;
        for (const TextItem* item : columns) fields.append(resolver.text(item->text, Scope{r, r, r}));
        csv += csvRecord(fields);
    }
    return csv;
}

}  // namespace reports
