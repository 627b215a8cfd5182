#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// The periodontal grid of the status page: five rows of measurements for the 32 teeth. A row is
// stored as text: for each non-empty cell in column order the tooth number, "_", the value and
// "|" (a pocket depth of 4 at tooth 16 and 5 at 26 is "16_4|26_5|").
namespace consultations::periodontal {

constexpr int Teeth = 32;

// The five rows, in the grid's order, with their columns in O_KONSULTACIJA_HD.
enum Row { Mobility = 0, Pockets, Calculus, Plaque, Formula, RowCount };
const char* RowColumn(int row);
QString RowCaption(int row);
// The values a row's drop-down offers (empty first); the pockets row is typed instead.
QStringList RowLevels(int row);

// The tooth number of grid column k (0..31): 11..18, 28..21, 31..38, 48..41.
int ToothOfColumn(int k);
// The column of a tooth number, or -1 when there is none.
int ColumnOfTooth(int tooth);

// The 32 cells of a stored row; a tooth number without a column is ignored.
QVector<QString> ParseRow(const QString& stored);
// The stored text of 32 cells; empty cells are not written (all empty gives an empty text).
QString FormatRow(const QVector<QString>& cells);

}  // namespace consultations::periodontal
