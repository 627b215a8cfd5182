#pragma once
#include <QString>
#include <QStringList>

// The files attached to a patient (N_KLIENTS.FAILI): full paths, each followed by ">". The patient
// card and the consultation's files page read and write the same text.
namespace app {

QStringList SplitPatientFiles(const QString& stored);
QString JoinPatientFiles(const QStringList& files);
// Why a path cannot be kept in the list (it holds the separator, or nothing); empty when it can.
QString PatientFileProblem(const QString& path);

}  // namespace app
