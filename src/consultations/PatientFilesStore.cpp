#include "consultations/PatientFilesStore.h"

#include "app/PatientFiles.h"
#include "db/Transaction.h"

namespace consultations {

QStringList PatientFilesStore::files(int patient) {
    if (patient < 2) return {};
    return app::SplitPatientFiles(
        m_db.scalar(QStringLiteral("SELECT FAILI FROM N_KLIENTS WHERE ISN = :isn"), {{QStringLiteral("isn"), patient}})
            .toString());
}

void PatientFilesStore::write(int patient, const QStringList& files) {
    if (patient < 2) return;
    db::Transaction tx(m_db);
    tx.exec(QStringLiteral("UPDATE N_KLIENTS SET FAILI = :files WHERE ISN = :isn"),
            {{QStringLiteral("files"), files.isEmpty() ? QVariant() : QVariant(app::JoinPatientFiles(files))},
             {QStringLiteral("isn"), patient}});
    tx.touch(QStringLiteral("N_KLIENTS"), patient);
    tx.commit();
}

}  // namespace consultations
