#pragma once
#include <QComboBox>
#include <QVector>
#include <QWidget>

class QToolButton;

namespace widgets {

// A look-up of a reference row: a combo of (key, text) entries and a small button that clears the
// choice. Clearing selects the "not set" key (the table's default row 1 unless told otherwise);
// when that key is not among the entries the combo shows nothing and key() answers it anyway.
class LookupCombo : public QWidget {
    Q_OBJECT
public:
    explicit LookupCombo(QWidget* parent = nullptr);

    void setItems(const QVector<QPair<int, QString>>& items);
    void setEmptyKey(int key) { m_emptyKey = key; }
    int emptyKey() const { return m_emptyKey; }

    int key() const;
    // A key that is not among the entries shows nothing.
    void setKey(int key);
    void clear();

    QComboBox* combo() const { return m_combo; }
    QToolButton* clearButton() const { return m_clear; }

Q_SIGNALS:
    void keyChanged(int key);

private:
    QComboBox* m_combo;
    QToolButton* m_clear;
    int m_emptyKey = 1;
};

}  // namespace widgets
