#include "calendar/AppointmentEditor.h"

#include "calendar/TEditKalendar.h"
#include "widgets/Guard.h"

namespace calendar {

void RegisterAppointmentEditor(app::Session& session) {
    session.facades().calendar.openAppointment = [&session](QWidget* parent, const app::AppointmentTarget& target) {
        bool changed = false;
        widgets::Guard(parent, [&] {
            TEditKalendar editor(session, parent);
            if (editor.start(target)) changed = editor.exec() == QDialog::Accepted;
        });
        return changed;
    };
}

}  // namespace calendar
