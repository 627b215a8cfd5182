#include "reports/ReportPreview.h"

#include "reports/Report.h"
#include "reports/ReportError.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace reports {

namespace {

void saveAs(const Report& report, QWidget* parent, bool pdf) {
    const QString path = QFileDialog::getSaveFileName(
        parent, pdf ? QObject::tr("Saglabāt PDF") : QObject::tr("Saglabāt CSV"), report.layout().name,
        pdf ? QObject::tr("PDF faili (*.pdf)") : QObject::tr("CSV faili (*.csv)"));
    if (path.isEmpty()) return;
    try {
        if (pdf)
            report.exportPdf(path);
        else
            report.exportCsv(path);
    } catch (const ReportError& e) {
        QMessageBox::critical(parent, QObject::tr("Kļūda"), e.message());
    }
}

}  // namespace

void showReportPreview(const Report& report, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.layout().name);
    report.applyPageLayout(printer);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(report.layout().name);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        try {
            report.render(*p);
        } catch (const ReportError& e) {
            QMessageBox::critical(&dialog, QObject::tr("Kļūda"), e.message());
        }
    });
    if (QToolBar* toolbar = dialog.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        toolbar->addAction(QObject::tr("PDF…"), &dialog, [&] { saveAs(report, &dialog, true); });
        toolbar->addAction(QObject::tr("CSV…"), &dialog, [&] { saveAs(report, &dialog, false); });
    }
    dialog.exec();
}

}  // namespace reports
