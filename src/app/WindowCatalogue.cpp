#include "app/WindowCatalogue.h"

#include <QCoreApplication>

namespace app {

const QVector<WindowEntry>& WindowCatalogue() {
    static const QVector<WindowEntry> entries = [] {
        auto tr = [](const char* text) { return QCoreApplication::translate("TMolarixMain", text); };
        auto rtr = [](const char* text) { return QCoreApplication::translate("TLietotajuTiesibas", text); };
        const QString lists = tr("Dati") + u'/' + tr("Saraksti");
        const QString data = tr("Dati");
        const QString service = tr("Serviss");
        // clang-format off
        return QVector<WindowEntry>{
            {WindowId::PatientList, "00", rtr("Sar.-Pacienti/Klienti"), lists, tr("Pacienti/Klienti"), tr("Pacienti/Klienti"), 11},
            {WindowId::PatientGroups, "01", rtr("Sar.-Pacientu/Klientu grupas"), lists, tr("Pacientu/Klientu grupas")},
            {WindowId::PriceList, "02", rtr("Sar.-Manipulācijas"), lists, tr("Manipulācijas")},
            {WindowId::Specialists, "03", rtr("Sar.-Speciālisti/Personāls"), lists, tr("Speciālisti/Personāls")},
            {WindowId::Rooms, "04", rtr("Sar.-Kabineti"), lists, tr("Kabineti")},
            {WindowId::Districts, "05", rtr("Sar.-Novadi"), lists, tr("Novadi")},
            {WindowId::NameDays, "06", rtr("Sar.-Vārda dienas un svētku dienas"), lists, tr("Vārda dienas un svētku dienas")},
            {WindowId::ConsultationTypes, "07", rtr("Sar.-Konsultāciju veidi"), lists, tr("Konsultāciju veidi")},
            {WindowId::Banks, "08", rtr("Sar.-Bankas"), lists, tr("Bankas")},
            {WindowId::UserGroups, "09", rtr("Sar.-Lietotāju grupas"), lists, tr("Lietotāju grupas")},
            {WindowId::Calendar, "10", rtr("Dati-Kalendārā plānošana"), data, tr("Kalendārā plānošana"), tr("Kalendārs"), 1},
            {WindowId::Consultations, "11", rtr("Dati-Konsultāciju reģists"), data, tr("Konsultāciju reģists"), tr("Konsultāciju reģistrs"), 2},
            {WindowId::Invoices, {}, {}, data, tr("Rēķini"), tr("Rēķini"), 3},
            {WindowId::Payments, {}, {}, data, tr("Rēķinu apmaksa"), tr("Rēķinu apmaksas"), 4},
            {WindowId::SystemSettings, "12", rtr("Serviss-Sistēmas iestādīšana"), service, tr("Sistēmas iestatīšana")},
            {WindowId::UsersAndRights, "13", rtr("Serviss-Lietotāju tiesības"), service, tr("Lietotāju tiesības")},
            {WindowId::Archive, "14", rtr("Serviss-Datu arhīva faila veidošana"), service, tr("Datu arhīva faila veidošana")},
            {WindowId::DayLocks, "15", rtr("Serviss-Periodu bloķēšana"), service, tr("Periodu bloķēšana")},
            {WindowId::MassMessages, {}, {}, service, tr("E-Mail un SMS sūtīšana"), {}, 0, true},
            {WindowId::OperationJournal, "16", rtr("Serviss-Operāciju žurnāls"), service, tr("Operāciju žurnāls")},
        };
        // clang-format on
    }();
    return entries;
}

const WindowEntry* FindWindowEntry(WindowId id) {
    for (const WindowEntry& e : WindowCatalogue())
        if (e.id == id) return &e;
    return nullptr;
}

}  // namespace app
