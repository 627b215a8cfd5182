#pragma once
#include "app/Session.h"
#include "app/SystemSettingsStore.h"

#include <QHash>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace app {

// "Sistēmas iestatījumi": the clinic's data, working time and default VAT rate in the N_ISI row.
// Each showing reads the row afresh, so an edit closed without saving is gone next time.
class TSistemasIestatijumi : public QWidget {
    Q_OBJECT
public:
    explicit TSistemasIestatijumi(Session& session, QWidget* parent = nullptr);

    // The edit of a text column (ORGNOS, REG_NR, ...), nullptr for other columns.
    QLineEdit* edit(const QString& column) const { return m_edits.value(column); }
    QCheckBox* workingDay(int day) const { return m_days.value(day - 1); }  // 1 = Monday
    QButtonGroup* hourDivision() const { return m_division; }
    QComboBox* cbPvnLikme() const { return m_vat; }
    QPushButton* btSaglabat() const { return m_save; }
    QPushButton* btAizvert() const { return m_close; }

    // Posts the row and closes; on a database error the window stays open with the edits.
    bool save();

protected:
    void showEvent(QShowEvent* e) override;
    // "Aizvērt" or the close box after changes asks whether to save them.
    void closeEvent(QCloseEvent* e) override;

private:
    QLineEdit* addEdit(const QString& column, int maxLength);
    void reload();
    void collect();
    // The row as the controls show it.
    QVariantHash shownValues() const;

    Session& m_session;
    SystemSettingsStore m_store;
    QHash<QString, QLineEdit*> m_edits;
    QVector<QCheckBox*> m_days;
    QButtonGroup* m_division = nullptr;
    QComboBox* m_vat = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
    QVariantHash m_opened;  // shownValues() as the window was filled or last saved
    bool m_saving = false;
};

}  // namespace app
