#pragma once
#include <QDialog>

class QLineEdit;

namespace pricelist {

// "Meklēšana": asks for the text that "Meklēt preci" looks for.
class TFindN_KLPREC : public QDialog {
    Q_OBJECT
public:
    explicit TFindN_KLPREC(QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() const { return m_ed; }

private:
    QLineEdit* m_ed;
};

}  // namespace pricelist
