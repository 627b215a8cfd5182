#include "widgets/SearchDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace widgets {

SearchDialog::SearchDialog(QWidget* parent) : QDialog(parent), m_edit(new QLineEdit(this)) {
    setWindowTitle(tr("Meklēšana"));
    setObjectName(QStringLiteral("Meklesana"));
    auto* layout = new QHBoxLayout(this);
    auto* button = new QPushButton(tr("&Meklēt"), this);
    button->setObjectName(QStringLiteral("btMeklet"));
    button->setDefault(true);
    m_edit->setObjectName(QStringLiteral("edTeksts"));
    m_edit->setMinimumWidth(240);
    layout->addWidget(m_edit, 1);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
}

QString SearchDialog::text() const {
    return m_edit->text();
}

void SearchDialog::setText(const QString& text) {
    m_edit->setText(text);
    m_edit->selectAll();
}

bool SearchDialog::ask(QWidget* parent, QString& text) {
    SearchDialog dialog(parent);
    dialog.setText(text);
    if (dialog.exec() != QDialog::Accepted) return false;
    text = dialog.text();
    return true;
}

}  // namespace widgets
