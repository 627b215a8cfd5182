#include "references/Tn_svetki.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace references {

Tn_svetki::Tn_svetki(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_SVETKI"), parent) {
    setWindowTitle(tr("Vārda dienas un svētku dienas"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums"), 60);
    addDate(QStringLiteral("DATUMS"), tr("Datums"));
    auto* group = new QGroupBox(tr("Veids"), this);
    group->setObjectName(QStringLiteral("FLAG"));
    auto* layout = new QHBoxLayout(group);
    m_nameDay = new QRadioButton(tr("Vārda diena"), group);
    m_nameDay->setObjectName(QStringLiteral("rbVardaDiena"));
    m_holiday = new QRadioButton(tr("Svētku diena"), group);
    m_holiday->setObjectName(QStringLiteral("rbSvetkuDiena"));
    layout->addWidget(m_nameDay);
    layout->addWidget(m_holiday);
    m_nameDay->setChecked(true);
    mainLayout()->insertWidget(1, group);
}

void Tn_svetki::fillExtra(const QVariantHash& values) {
    (values.value(QStringLiteral("FLAG")).toInt() == 1 ? m_holiday : m_nameDay)->setChecked(true);
}

void Tn_svetki::collectExtra(QVariantHash& values) const {
    values.insert(QStringLiteral("FLAG"), m_holiday->isChecked() ? 1 : 0);
}

}  // namespace references
