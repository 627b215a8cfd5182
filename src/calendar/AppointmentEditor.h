#pragma once
#include "app/Session.h"

namespace calendar {

// Gives the session the calendar facade's appointment editor: the planner (and whoever else)
// opens an appointment by key or a new one at a slot through it.
void RegisterAppointmentEditor(app::Session& session);

}  // namespace calendar
