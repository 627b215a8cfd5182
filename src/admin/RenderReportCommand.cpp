#include "admin/AdminCommand.h"
#include "reports/Report.h"
#include "reports/ReportError.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// A value of the data file as the database would hand it over: whole numbers, decimals with a
// point, dates dd.MM.yyyy, an empty field as NULL, anything else as text.
QVariant typedValue(const QString& text) {
    static const QRegularExpression integer(QStringLiteral("^-?(0|[1-9]\\d{0,17})$"));
    static const QRegularExpression decimal(QStringLiteral("^-?\\d+\\.\\d+$"));
    static const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"));
    if (text.isEmpty()) return QVariant();
    if (integer.match(text).hasMatch()) return text.toLongLong();
    if (decimal.match(text).hasMatch()) return text.toDouble();
    if (date.match(text).hasMatch()) {
        const QDate d = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
        if (d.isValid()) return d;
    }
    return text;
}

// Rows from a ';'-separated UTF-8 file whose first line names the columns.
db::ResultSet readRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw reports::ReportError(QStringLiteral("Neizdevās atvērt datu failu %1: %2").arg(path, file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty()) throw reports::ReportError(QStringLiteral("Datu failā %1 nav kolonnu nosaukumu").arg(path));
    const QStringList columns = lines.first().trimmed().split(u';');
    db::ResultSet rows(columns);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].trimmed().split(u';');
        db::ResultSet::Row row;
        for (qsizetype c = 0; c < columns.size(); ++c) row.append(typedValue(fields.value(c)));
        rows.append(row);
    }
    return rows;
}

admin::AdminCommand::Registrar reg({
    QStringLiteral("render-report"),
    QStringLiteral("LAYOUT DATA.csv OUT.pdf|OUT.csv [NOSAUKUMS=VĒRTĪBA ...]"),
    QStringLiteral("izdrukā atskaiti PDF failā vai eksportē tās rindas CSV failā; LAYOUT ir iebūvētas veidnes "
                   "nosaukums (piem. sample) vai faila ceļš, DATA.csv – rindas ar kolonnu nosaukumiem pirmajā rindā"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.size() < 3) {
            err << "Lietošana: molarix-admin render-report LAYOUT DATA.csv OUT.pdf|OUT.csv [NOSAUKUMS=VĒRTĪBA ...]\n";
            return 2;
        }
        reports::Report report(reports::ReportLayout::load(args[0]));
        report.setRows(readRows(args[1]));
        reports::ReportValues values;
        for (const QString& pair : args.mid(3)) {
            const qsizetype eq = pair.indexOf(u'=');
            if (eq <= 0) {
                err << "Vērtībai jābūt formā NOSAUKUMS=VĒRTĪBA: " << pair << "\n";
                return 2;
            }
            values.set(pair.left(eq), pair.mid(eq + 1));
        }
        report.setValues(values);

        const QString target = args[2];
        if (target.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
            report.exportCsv(target);
            out << "CSV fails ierakstīts: " << target << " (" << report.rows().rowCount() << " rindas)\n";
        } else {
            const int pages = report.exportPdf(target);
            out << "PDF fails ierakstīts: " << target << " (" << pages << " lapas)\n";
        }
        return 0;
    },
});

}  // namespace
