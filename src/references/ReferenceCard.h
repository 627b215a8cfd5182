#pragma once
#include "app/Session.h"
#include "db/Database.h"
#include "references/ReferenceCardStore.h"

#include <QDialog>
#include <QVariantHash>
#include <functional>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace widgets {
class NullableDateEdit;
}

namespace references {

// The common part of every reference card: the caller sets a row key (0 or less = new row, or a
// source row to copy) and shows it modally; "&Saglabāt" checks, saves with the audit columns and
// the journal entry, and closes. Controls are bound to columns; a control's object name is its
// column, so the focus goes to the field a check names.
class ReferenceCard : public QDialog {
    Q_OBJECT
public:
    ReferenceCard(app::Session& session, const QString& table, QWidget* parent = nullptr);

    // Loads the row (key > 0), or starts a new row, filled from sourceKey when that is > 0.
    void start(int key, int sourceKey = 0);
    int key() const { return m_key; }
    // The key of the saved row after a successful save, else 0.
    int savedKey() const { return m_savedKey; }

    // Checks and saves; false when a check stopped it (the message was shown).
    bool save();
    // True when a field differs from what the card showed when it was started.
    bool isChanged() const;
    // "&Aizvērt", Esc and the close box: a changed card asks whether to save first.
    void reject() override;

    QPushButton* saveButton() const { return m_btSaglabat; }
    ReferenceCardStore& store() { return m_store; }

protected:
    QLineEdit* addText(const QString& column, const QString& caption, int maxLength);
    QPlainTextEdit* addMemo(const QString& column, const QString& caption);
    // A check box stored as "T" / "F".
    QCheckBox* addFlag(const QString& column, const QString& caption);
    widgets::NullableDateEdit* addDate(const QString& column, const QString& caption);
    QFormLayout* form() const { return m_form; }
    // The widget holding the form, for cards that put it on a page.
    QWidget* formPage() const { return m_formPage; }
    QVBoxLayout* mainLayout() const { return m_main; }

    // Card-specific values and questions.
    virtual void fillExtra(const QVariantHash& values) { Q_UNUSED(values); }
    virtual void collectExtra(QVariantHash& values) const { Q_UNUSED(values); }
    // A last question before posting; false stops the save.
    virtual bool confirmSave(const QVariantHash& values) {
        Q_UNUSED(values);
        return true;
    }
    // Called after start(); the row key is known.
    virtual void started() {}

    QVariantHash collect() const;
    void showMessage(const QString& text);
    db::Database& database() { return m_db; }

private:
    struct Binding {
        QString column;
        std::function<void(const QVariant&)> set;
        std::function<QVariant()> get;
    };
    app::Session& m_session;
    db::Database& m_db;
    ReferenceCardStore m_store;
    QVector<Binding> m_bindings;
    QVBoxLayout* m_main;
    QWidget* m_formPage;
    QFormLayout* m_form;
    QPushButton* m_btSaglabat;
    int m_key = 0;
    int m_savedKey = 0;
    QVariantHash m_started;  // the fields as start() showed them
};

// Opens the card of the table modally for the key (0 = new; sourceKey > 0 copies that row) and
// returns the saved key, 0 when nothing was saved. Tables without a card return 0.
int EditReferenceRow(app::Session& session, const QString& table, int key, int sourceKey, QWidget* parent);

// True when the table's card can start a new row from an existing one.
bool CardCopies(const QString& table);

}  // namespace references
