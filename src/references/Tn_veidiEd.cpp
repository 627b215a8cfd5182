#include "references/Tn_veidiEd.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QMessageBox>

namespace references {

Tn_veidiEd::Tn_veidiEd(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_VEIDI"), parent) {
    setWindowTitle(tr("Konsultāciju / pieteikumu veidi"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums:"), 60);
    addFlag(QStringLiteral("NEED_SEND_MAIL_KLIENTAM"), tr("Vēstule klientam?"));
    addFlag(QStringLiteral("NEED_SEND_MAIL_IZPILDITAJAM"), tr("Vēstule izpilditājam?"));
    addFlag(QStringLiteral("NEED_SEND_MAIL_PIETEICEJAM"), tr("Vēstule pieteicējam?"));
    m_tips = new QCheckBox(tr("Nerādīt konsultāciju un pieteikumu sarakstos"), this);
    m_tips->setObjectName(QStringLiteral("TIPS"));
    form()->addRow(QString(), m_tips);
}

void Tn_veidiEd::fillExtra(const QVariantHash& values) {
    const QVariant tips = values.value(QStringLiteral("TIPS"));
    m_tipsWasNull = !tips.isValid() || tips.isNull();
    m_tips->setChecked(!m_tipsWasNull && tips.toInt() != 0);
}

void Tn_veidiEd::collectExtra(QVariantHash& values) const {
    // An empty TIPS stays empty while the box is not ticked: both mean "offered in the lists".
    values.insert(QStringLiteral("TIPS"), m_tips->isChecked() ? QVariant(1) : m_tipsWasNull ? QVariant() : QVariant(0));
}

bool Tn_veidiEd::confirmSave(const QVariantHash& values) {
    const QString name = values.value(QStringLiteral("GNOS")).toString();
    if (!store().nameTaken(name, key())) return true;
    return QMessageBox::question(this, QString(), tr("Tāds nosaukums jau eksistē!!! Turpināt?"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace references
