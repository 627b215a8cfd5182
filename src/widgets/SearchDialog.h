#pragma once
#include <QDialog>

class QLineEdit;

namespace widgets {

// The small search window "Meklēšana": one text box and the button "&Meklēt".
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() const { return m_edit; }

    // Asks for a text; false when the user closes the window without searching.
    static bool ask(QWidget* parent, QString& text);

private:
    QLineEdit* m_edit;
};

}  // namespace widgets
