#pragma once
#include "db/ResultSet.h"

#include <QRectF>
#include <QString>
#include <QStringList>

namespace reporttest {

// The patients of the sample rows, in the order their groups print, and how many rows each has.
struct Patient {
    int key;
    QString name;
    int rows;
};
const QVector<Patient>& patients();

// Rows for the sample layout: DATUMS, NUMURS, ISKLIENTS, KLIENTS, DZIM_DAT, PRECE, DAUDZUMS,
// CENA, SUMMA; grouped by patient, 120 rows in all. Row 4 has a service name long enough to wrap.
db::ResultSet sampleRows();
QString longServiceName();

// A fresh file path in this run's scratch folder.
QString scratchPath(const QString& fileName);
// The pages of a PDF as `pdftotext -layout` gives them.
QStringList pdfPages(const QString& path);
// Where a word first stands on the first page, in points from the top-left corner of the paper
// (`pdftotext -bbox`); a null rectangle when it is not there.
QRectF wordBox(const QString& path, const QString& word);

}  // namespace reporttest
