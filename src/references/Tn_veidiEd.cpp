#include "references/Tn_veidiEd.h"

#include <QMessageBox>

namespace references {

Tn_veidiEd::Tn_veidiEd(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_VEIDI"), parent) {
    setWindowTitle(tr("Konsultāciju / pieteikumu veidi"));
    addText(QStringLiteral("GNOS"), tr("Nosaukums:"), 60);
    addFlag(QStringLiteral("NEED_SEND_MAIL_KLIENTAM"), tr("Vēstule klientam?"));
    addFlag(QStringLiteral("NEED_SEND_MAIL_IZPILDITAJAM"), tr("Vēstule izpilditājam?"));
    addFlag(QStringLiteral("NEED_SEND_MAIL_PIETEICEJAM"), tr("Vēstule pieteicējam?"));
}

bool Tn_veidiEd::confirmSave(const QVariantHash& values) {
    const QString name = values.value(QStringLiteral("GNOS")).toString();
    if (!store().nameTaken(name, key())) return true;
    return QMessageBox::question(this, QString(), tr("Tāds nosaukums jau eksistē!!! Turpināt?"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace references
