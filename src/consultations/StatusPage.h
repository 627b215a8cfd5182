#pragma once
#include <QHash>
#include <QVariant>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace consultations {

// "Statusa (Zobu) formula": the periodontal grid (tooth numbers over 32 columns, five rows of
// measurements) and the status fields of the consultation with the oral-hygiene choice. It shows
// the columns of one consultation and reads them back; cells and fields change only while the
// consultation is edited.
class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    // The columns of O_KONSULTACIJA_HD this page shows and writes.
    static const QStringList& Columns();

    void showValues(const QHash<QString, QVariant>& values);
    QHash<QString, QVariant> values() const;
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    QTableWidget* grid() const { return m_grid; }
    // The cell editors: the pockets row's text box and the other rows' drop-down.
    QLineEdit* cellText() const { return m_cellText; }
    QComboBox* cellChoice() const { return m_cellChoice; }
    // Opens the editor of a cell (row 1..5, column 1..32) as a click does.
    void editCell(int row, int column);
    // "GLOTADA", "SAKODIENS", "DENINI", "PROTEZES", "RENTGENS_1".."RENTGENS_3", "TM_LOCITAVA".
    QLineEdit* field(const QString& column) const;
    QButtonGroup* hygiene() const { return m_hygiene; }

private:
    void hideEditors();
    void writeText();

    QTableWidget* m_grid;
    QLineEdit* m_cellText;
    QComboBox* m_cellChoice;
    QButtonGroup* m_hygiene;
    QHash<QString, QLineEdit*> m_fields;
    int m_editRow = -1;
    int m_editColumn = -1;
    bool m_editable = false;
};

}  // namespace consultations
