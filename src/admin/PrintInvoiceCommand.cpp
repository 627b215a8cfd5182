#include "admin/AdminCommand.h"
#include "billing/InvoicePrint.h"
#include "db/Database.h"

namespace {

admin::AdminCommand::Registrar reg({
    QStringLiteral("print-invoice"),
    QStringLiteral("DATABASE NUMBER --pdf OUT.pdf [--key ISN]"),
    QStringLiteral("izdrukā rēķinu ar šo numuru PDF failā ar to pašu veidni, ko logs \"Rēķini\"; ja numurs ir "
                   "vairākiem rēķiniem, tos uzskaita (izejas kods 2) un rēķinu izvēlas ar --key"),
    [](const QStringList& args, QTextStream& out, QTextStream& err) {
        QStringList plain;
        QString pdf;
        int key = 0;
        for (int i = 0; i < args.size(); ++i) {
            const QString& a = args.at(i);
            if ((a == QLatin1String("--pdf") || a == QLatin1String("--key")) && i + 1 < args.size()) {
                const QString value = args.at(++i);
                if (a == QLatin1String("--pdf")) {
                    pdf = value;
                } else {
                    bool ok = false;
                    key = value.toInt(&ok);
                    if (!ok || key <= 0) {
                        err << "--key gaida rēķina iekšējo numuru (ISN): " << value << "\n";
                        return 2;
                    }
                }
            } else if (!a.startsWith(QLatin1String("--"))) {
                plain.append(a);
            } else {
                err << "Nesaprotu argumentu: " << a << "\n";
                return 2;
            }
        }
        if (plain.size() != 2 || pdf.isEmpty()) {
            err << "Lietošana: molarix-admin print-invoice DATABASE NUMBER --pdf OUT.pdf [--key ISN]\n";
            return 2;
        }
        db::Database database;
        database.attach(plain.at(0));
        const QVector<billing::InvoicePrint::Match> matches = billing::InvoicePrint::FindByNumber(database, plain.at(1));
        int chosen = 0;
        for (const auto& m : matches)
            if (key == 0 ? matches.size() == 1 : m.key == key) chosen = m.key;
        if (matches.isEmpty()) {
            err << "Rēķins ar numuru \"" << plain.at(1) << "\" nav atrasts\n";
            return 1;
        }
        if (chosen == 0 && key == 0) {
            err << "Numurs \"" << plain.at(1) << "\" ir " << matches.size()
                << " rēķiniem; izvēlieties ar --key:\n";
            for (const auto& m : matches)
                err << "  --key " << m.key << "  " << m.date.toString(QStringLiteral("dd.MM.yyyy")) << "  " << m.patient
                    << "\n";
            return 2;
        }
        if (chosen == 0) {
            err << "Rēķinam ar numuru \"" << plain.at(1) << "\" nav iekšējā numura " << key << "\n";
            return 1;
        }
        const int vat = database.scalar(QStringLiteral("SELECT PVN_LIKME FROM N_ISI")).toInt();
        const std::optional<reports::Report> report = billing::InvoicePrint::Invoice(database, chosen, vat);
        if (!report) {
            err << "Rēķins " << chosen << " nav atrasts\n";
            return 1;
        }
        const int pages = report->exportPdf(pdf);
        out << "PDF fails ierakstīts: " << pdf << " (" << pages << " lapas)\n";
        database.detach();
        return 0;
    },
});

}  // namespace
