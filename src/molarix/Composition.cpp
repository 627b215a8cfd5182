#include "molarix/Composition.h"

#include "app/Session.h"
#include "app/WindowRegistry.h"
#include "archive/ArchiveWindows.h"
#include "billing/BillingWindows.h"
#include "calendar/AppointmentEditor.h"
#include "calendar/CalendarWindows.h"
#include "journal/TOperacijuZurnals.h"
#include "messages/TE_MailSutisana.h"
#include "consultations/ConsultationWindows.h"
#include "patients/PatientWindows.h"
#include "patients/TAtkartojasPersKodi.h"
#include "pricelist/Tn_klprec.h"
#include "references/TKlasifikators.h"

namespace molarix {

// A new subsystem adds its registration call here.
void Compose(app::WindowRegistry& registry, app::Session& session) {
    references::RegisterWindows(registry, session);
    pricelist::RegisterWindows(registry);
    pricelist::RegisterPicker(session);
    patients::RegisterWindows(registry, session);
    calendar::RegisterWindows(registry, session);
    journal::RegisterWindows(registry);
    messages::RegisterWindows(registry);
    calendar::RegisterAppointmentEditor(session);
    archive::RegisterWindows(registry, session);
    consultations::RegisterWindows(registry, session);
    billing::RegisterWindows(registry, session, [&session](QWidget* parent, const QString& code) {
        return patients::TAtkartojasPersKodi::choose(session.database(), code, parent);
    });
}

}  // namespace molarix
