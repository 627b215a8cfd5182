#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"

// The patient register's windows as the rest of the program reaches them.
namespace patients {

// Registers the patient list with the main window's registry and gives the session the patient
// facade (pick and edit a patient).
void RegisterWindows(app::WindowRegistry& registry, app::Session& session);

}  // namespace patients
