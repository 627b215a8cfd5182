#pragma once
#include "app/SharedProcedures.h"
#include "db/Database.h"

#include <QDialog>

class QComboBox;

namespace patients {

// Asks which patient is meant when several share one personal code (CSV imports look payers up
// by personal code). The first patient is preselected.
class TAtkartojasPersKodi : public QDialog {
    Q_OBJECT
public:
    TAtkartojasPersKodi(db::Database& database, const QString& personalCode, QWidget* parent = nullptr);

    // Key of the patient selected in the list (0 when the list is empty).
    int chosenKey() const;
    QComboBox* patientCombo() const { return m_cbPacients; }

    // Shows the window modally; the chosen key, or 0 when the user cancels.
    static int choose(db::Database& database, const QString& personalCode, QWidget* parent = nullptr);

private:
    QComboBox* m_cbPacients;
};

// FindKeyByCode that lets the user choose in the duplicate personal-code window when several
// patients share the code (0 when the user cancels it).
int FindKeyByCode(db::Database& database, app::CodeKind kind, const QString& value, QWidget* parent);

}  // namespace patients
