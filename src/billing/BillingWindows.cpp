#include "billing/BillingWindows.h"

#include "billing/TIzrakstisana.h"
#include "widgets/Guard.h"

namespace billing {

void RegisterWindows(app::WindowRegistry& registry, app::Session& session) {
    registry.add(app::WindowId::Invoices, [](app::Session& s, QWidget* mainWindow) -> QWidget* {
        return new TIzrakstisana(s, mainWindow);
    });
    session.facades().billing.openInvoice = [&registry, &session](QWidget* parent, int invoiceKey) {
        TIzrakstisana* window = nullptr;
        widgets::Guard(parent, [&] {
            window = qobject_cast<TIzrakstisana*>(registry.open(app::WindowId::Invoices, session, nullptr));
        });
        if (window) window->showInvoice(invoiceKey);
    };
}

}  // namespace billing
