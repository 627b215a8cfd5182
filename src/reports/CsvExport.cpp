#include "reports/CsvExport.h"

#include <algorithm>

namespace reports {

namespace {

QString csvField(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) out.append(csvField(f));
    return out.join(u';') + QStringLiteral("\r\n");
}

}  // namespace

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
    if (anyTitle) csv += csvLine(titles);

    const int rowCount = resolver.rows().rowCount();
    for (int r = 0; r < rowCount; ++r) {
        QStringList fields;
        for (const TextItem* item : columns) fields.append(resolver.text(item->text, Scope{r, r, r}));
        csv += csvLine(fields);
    }
    return csv;
}

}  // namespace reports
