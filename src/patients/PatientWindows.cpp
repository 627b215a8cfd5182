#include "patients/PatientWindows.h"
#include "app/TMainFormDati.h"
#include "app/WindowRegistry.h"
#include "patients/TKlasifikators.h"
#include "patients/TKlienti.h"
#include "patients/Tn_klientEdit.h"

namespace patients {

namespace {

ConsultationOpener& opener() {
    static ConsultationOpener o;
    return o;
}

db::Database& session() {
    return app::TMainFormDati::instance().database();
}

void registerList(app::WindowId id, const QString& table) {
    app::WindowRegistry::add(id, [table](QWidget* mainWindow) -> QWidget* {
        return new TKlasifikators(session(), table, mainWindow);
    });
}

}  // namespace

void RegisterWindows() {
    app::WindowRegistry::add(app::WindowId::PatientList, [](QWidget* mainWindow) -> QWidget* {
        return new TKlienti(session(), mainWindow);
    });
    registerList(app::WindowId::PatientGroups, QStringLiteral("N_KLGRUPA"));
    registerList(app::WindowId::Specialists, QStringLiteral("N_AGENTS"));
    registerList(app::WindowId::Rooms, QStringLiteral("N_KABINETI"));
    registerList(app::WindowId::Districts, QStringLiteral("N_RAJONS"));
    registerList(app::WindowId::NameDays, QStringLiteral("N_SVETKI"));
    registerList(app::WindowId::ConsultationTypes, QStringLiteral("N_VEIDI"));
    registerList(app::WindowId::Banks, QStringLiteral("N_BANKA"));
    registerList(app::WindowId::UserGroups, QStringLiteral("N_USERGROUP"));
}

void SetConsultationOpener(ConsultationOpener o) {
    opener() = std::move(o);
}

bool CanOpenConsultations() {
    return bool(opener());
}

void OpenConsultations(QWidget* parent, const ConsultationTarget& target) {
    if (opener()) opener()(parent, target);
}

int PickPatient(QWidget* parent, int currentKey) {
    TKlienti list(session(), parent);
    list.setSelectedKey(currentKey);
    return list.exec() == QDialog::Accepted ? list.selectedKey() : 0;
}

int EditPatient(QWidget* parent, int key, bool historyPage) {
    Tn_klientEdit card(session(), parent);
    card.start(key, historyPage);
    card.exec();
    return card.savedKey();
}

int PickReference(QWidget* parent, const QString& table, int currentKey) {
    return TKlasifikators::pick(session(), table, currentKey, parent);
}

}  // namespace patients
