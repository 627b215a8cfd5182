#include "patients/PatientWindows.h"

#include "patients/TKlienti.h"
#include "patients/Tn_klientEdit.h"

namespace patients {

void RegisterWindows(app::WindowRegistry& registry, app::Session& session) {
    registry.add(app::WindowId::PatientList,
                 [](app::Session& s, QWidget* mainWindow) -> QWidget* { return new TKlienti(s, mainWindow); });
    session.facades().patients.pick = [&session](QWidget* parent, int currentKey) {
        TKlienti list(session, parent);
        list.setSelectedKey(currentKey);
        return list.exec() == QDialog::Accepted ? list.selectedKey() : 0;
    };
    session.facades().patients.edit = [&session](QWidget* parent, int key, bool historyPage) {
        Tn_klientEdit card(session, parent);
        card.start(key, historyPage);
        card.exec();
        return card.savedKey();
    };
}

}  // namespace patients
