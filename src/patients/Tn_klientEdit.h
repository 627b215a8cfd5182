#pragma once
#include <optional>
#include "app/Session.h"
#include "db/Database.h"
#include "patients/TKlientuKlasifDati.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace models {
class ResultTableModel;
}
namespace widgets {
class LookupCombo;
class NullableDateEdit;
}  // namespace widgets

namespace patients {

// The patient card "Pacienta dati": every column of the patient, the look-ups with their clear
// buttons, the field rules (capitalised names, birth date from the personal code, name day from
// the first name), the attached files and the history of requests and consultations.
class Tn_klientEdit : public QDialog {
    Q_OBJECT
public:
    explicit Tn_klientEdit(app::Session& session, QWidget* parent = nullptr);
    ~Tn_klientEdit() override;

    // Key 0 = new patient, negative = new patient copied from -key, positive = edit.
    void start(int key, bool historyPage = false);
    int key() const { return m_key; }
    int savedKey() const { return m_savedKey; }

    // Field exits.
    void surnameExit();
    void firstNameExit();
    void personalCodeExit();

    bool save();
    // True when a field differs from what the card showed when it was opened.
    bool isChanged() const;
    // "Aizvērt", Esc and the close box: a changed card asks whether to save first.
    void reject() override;

    // Attached files.
    void addFile(const QString& path);
    QStringList files() const;

    void refreshHistory();

    QTabWidget* pages() const { return m_pages; }
    QWidget* field(const QString& column) const;
    widgets::LookupCombo* lookup(const QString& column) const;
    QPushButton* saveButton() const { return m_btSaglabat; }
    QTableView* historyGrid() const { return m_grdVesture; }
    QListWidget* fileList() const { return m_lbFaili; }

private:
    QLineEdit* addText(QFormLayout* form, const QString& column, const QString& caption, int maxLength);
    widgets::LookupCombo* addLookup(QFormLayout* form, const QString& column, const QString& caption,
                                    const QVector<LookupItem>& items);
    void fill(const QVariantHash& values);
    QVariantHash collect() const;
    QVariantHash shownState() const;
    QString nameDayText() const;
    void message(const QString& text);

    app::Session& m_session;
    db::Database& m_db;
    // IEVDAT_EDIT of the row as read; the save is refused when another workstation changed it.
    std::optional<QVariant> m_readStamp;
    TKlientuKlasifDati m_dati;
    int m_key = 0;
    int m_savedKey = 0;
    QVariantHash m_opened;  // the fields as shown when the card was opened
    QHash<QString, QLineEdit*> m_texts;
    QHash<QString, widgets::LookupCombo*> m_lookups;
    QTabWidget* m_pages;
    widgets::NullableDateEdit* m_dtpDzimDat;
    QComboBox* m_cbDzimums;
    QLineEdit* m_edVardaDiena;
    QComboBox* m_cbSazinasVal;
    QComboBox* m_cbPilseta;
    QCheckBox* m_chkSendSms;
    QCheckBox* m_chkSubscribe;
    QPlainTextEdit* m_edKomentars;
    QListWidget* m_lbFaili;
    widgets::NullableDateEdit* m_dtpNo;
    widgets::NullableDateEdit* m_dtpLidz;
    QTableView* m_grdVesture;
    models::ResultTableModel* m_vesture;
    QPushButton* m_btAtrast;
    QPushButton* m_btSaglabat;
};

}  // namespace patients
