#pragma once
#include <QWidget>
#include <functional>

// The patient register's windows as the rest of the program reaches them.
namespace patients {

// Registers the patient list and the reference lists with app::WindowRegistry.
void RegisterWindows();

// Opens the consultation window filtered to a patient, or on one request (marker 1) or
// consultation (marker 2) with its key. Set by the consultation subsystem; until then the
// buttons that need it stay disabled.
struct ConsultationTarget {
    int patientKey = 0;
    int documentKey = 0;
    int marker = 0;  // 0 = the patient's consultations, 1 = a request, 2 = a consultation
};
using ConsultationOpener = std::function<void(QWidget* parent, const ConsultationTarget& target)>;
void SetConsultationOpener(ConsultationOpener opener);
bool CanOpenConsultations();
void OpenConsultations(QWidget* parent, const ConsultationTarget& target);

// Shows the patient list modally as a picker positioned on the key; the chosen key, or 0.
int PickPatient(QWidget* parent, int currentKey = 0);

// Opens the patient card modally: key 0 = new, negative = copy of -key, positive = edit. Returns
// the saved key, or 0 when the card was closed without saving.
int EditPatient(QWidget* parent, int key, bool historyPage = false);

// Shows a reference list modally as a picker (N_AGENTS, N_PRECE, ...); the chosen key, or 0.
int PickReference(QWidget* parent, const QString& table, int currentKey = 0);

}  // namespace patients
