#pragma once
#include "db/Database.h"

#include <QStringList>

namespace consultations {

// The files attached to a consultation's patient (N_KLIENTS.FAILI, the list the patient card
// shows). Every change is written at once and announced to the open windows.
class PatientFilesStore {
public:
    explicit PatientFilesStore(db::Database& database) : m_db(database) {}

    QStringList files(int patient);
    // Stores the list as it is now and commits.
    void write(int patient, const QStringList& files);

private:
    db::Database& m_db;
};

}  // namespace consultations
