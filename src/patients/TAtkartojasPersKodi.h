#pragma once
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

}  // namespace patients
