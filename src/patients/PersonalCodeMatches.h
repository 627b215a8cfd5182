#pragma once
#include "db/Database.h"

#include <QString>
#include <QVector>

namespace patients {

// A patient offered for choice: the key and "surname first name".
struct PatientChoice {
    int isn = 0;
    QString name;
};

// The patients whose personal code equals the code, oldest card first.
QVector<PatientChoice> PatientsWithPersonalCode(db::Database& database, const QString& personalCode);

}  // namespace patients
