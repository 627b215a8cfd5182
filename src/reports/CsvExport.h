#pragma once
#include "reports/ReportLayout.h"
#include "reports/ValueResolver.h"

namespace reports {

// The master band's rows as CSV: one line per row, one field per text object of the band from
// left to right, each as printed (formats applied); fields separated by ';'. A first line of
// titles comes from the objects' csv-title when any has one. Fields are written by csvRecord()
// (Csv.h): quoted where needed, a text that would run as a formula made plain text. Lines end with
// CR LF, so that the spreadsheet programs of the clinic's workstations read them as they are.
QString masterRowsCsv(const ReportLayout& layout, const ValueResolver& resolver);

}  // namespace reports
