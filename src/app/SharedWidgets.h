#pragma once
#include "app/SharedProcedures.h"

class QComboBox;
class QTableView;
class QWidget;

// The shared procedures that work on widgets.
namespace app {

// Replaces the combo's items by the payment methods "Banka" (0) and "Kase" (1).
void FillPaymentMethods(QComboBox* combo);

// Stores the order, widths and visibility of the grid's columns under the grid's object name.
void SaveGridLayout(const QTableView* grid);
// Applies the stored layout when it has as many columns as the grid's model has now; otherwise
// (or without a stored layout) the grid keeps its designed columns.
void LoadGridLayout(QTableView* grid);

// FindKeyByCode that lets the user choose in the duplicate personal-code window when several
// patients share the code (0 when the user cancels it).
int FindKeyByCode(db::Database& database, CodeKind kind, const QString& value, QWidget* parent);

}  // namespace app
