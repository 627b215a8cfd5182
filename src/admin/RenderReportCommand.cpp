#include "admin/AdminCommand.h"
#include "reports/Csv.h"
#include "reports/Report.h"
#include "reports/ReportError.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// A value of the data file as the database would hand it over: whole numbers, decimals with a
// point, dates dd.MM.yyyy, an empty field as NULL, anything else as text. Blanks around a number
// or a date do not make it text: the CSV export pads "%10.2f" figures with them.
QVariant typedValue(const QString& field) {
    static const QRegularExpression integer(QStringLiteral("^-?(0|[1-9]\\d{0,17})$"));
    static const QRegularExpression decimal(QStringLiteral("^-?\\d+\\.\\d+$"));
    static const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"));
    if (field.isEmpty()) return QVariant();
    const QString text = field.trimmed();
    if (integer.match(text).hasMatch()) return text.toLongLong();
    if (decimal.match(text).hasMatch()) return text.toDouble();
    if (date.match(text).hasMatch()) {
        const QDate d = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
        if (d.isValid()) return d;
    }
    return field;
}

// Rows from a CSV file (Csv.h: ';' between fields, quotes as the CSV export writes them) whose
// first record names the columns. A malformed record, or one with more or fewer fields than there
// are columns, stops the command with its line number: shifted columns would print under the
// wrong headings.
db::ResultSet readRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw reports::ReportError(QStringLiteral("Neizdevās atvērt datu failu %1: %2").arg(path, file.errorString()));
    reports::CsvReader csv(file);
    auto fail = [&](const QString& what) {
        throw reports::ReportError(QStringLiteral("Datu fails %1, rinda %2: %3").arg(path).arg(csv.line()).arg(what));
    };
    if (!csv.next()) throw reports::ReportError(QStringLiteral("Datu failā %1 nav kolonnu nosaukumu").arg(path));
    if (!csv.error().isEmpty()) fail(csv.error());
    QStringList columns;
    for (const QString& name : csv.fields()) columns.append(name.trimmed());
    db::ResultSet rows(columns);
    while (csv.next()) {
        if (!csv.error().isEmpty()) fail(csv.error());
        if (csv.fields().size() != columns.size())
            fail(QStringLiteral("%1 lauki, bet kolonnu ir %2").arg(csv.fields().size()).arg(columns.size()));
        db::ResultSet::Row row;
        for (const QString& field : csv.fields()) row.append(typedValue(field));
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
