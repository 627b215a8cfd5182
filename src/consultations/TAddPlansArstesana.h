#pragma once
#include "consultations/TreatmentStore.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace consultations {

// "Pievienot plānā", "Pievienot ārstēšanu", "Labot plānā", "Labot ārstēšanas ierakstu": one plan
// or treatment line as typed. The manipulation is completed while its name is typed, or chosen
// from the price list with "Manipulācija"; choosing fills price, maximum price and duration. The
// dialog reads and checks what was typed and hands the line back; the page stores it.
class TAddPlansArstesana : public QDialog {
    Q_OBJECT
public:
    TAddPlansArstesana(TreatmentStore& store, LineKind kind, bool editing, QWidget* parent = nullptr);

    // The price list as a picker (the key chosen, 0 when none); "Manipulācija" is disabled without.
    void setPicker(std::function<int(QWidget*, int)> pick);
    // An existing line to edit.
    void setLine(const TreatmentLine& line);
    // The line as typed, after a save was accepted.
    const TreatmentLine& line() const { return m_line; }

    // Types into the manipulation box as a user does: the first manipulation starting with the
    // typed text completes it, the completed tail selected.
    void manipulationTyped(const QString& text);
    void chooseFromPriceList();
    // Takes the manipulation with its price, maximum price, duration and VAT rate.
    void choose(int item);
    // "Saglabāt": false (with the message shown and the focus on the field) when something does
    // not read.
    bool save();

    // "edManipulacija", "edCena", "edDaudzums", "edIlgums", "edMaxCena", "edZobaNr".
    QLineEdit* edit(const QString& name) const;
    QPlainTextEdit* notesEdit() const { return m_edPiezimes; }
    // "btManipulacija", "btSaglabat", "btAizvert".
    QPushButton* button(const QString& name) const;

private:
    void focusField(const QString& field);

    TreatmentStore& m_store;
    LineKind m_kind;
    bool m_editing;
    TreatmentLine m_line;
    std::function<int(QWidget*, int)> m_pick;
    QLineEdit* m_edManipulacija;
    QLineEdit* m_edCena;
    QLineEdit* m_edDaudzums;
    QLineEdit* m_edIlgums;
    QLineEdit* m_edMaxCena;
    QLabel* m_lbMaxCena;
    QLineEdit* m_edZobaNr;
    QPlainTextEdit* m_edPiezimes;
    QPushButton* m_btManipulacija;
    QString m_lastTyped;
};

}  // namespace consultations
