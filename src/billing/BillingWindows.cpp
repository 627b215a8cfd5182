#include "billing/BillingWindows.h"

#include "billing/TApmaksas.h"
#include "billing/TIzrakstisana.h"
#include "widgets/Guard.h"

namespace billing {

void RegisterWindows(app::WindowRegistry& registry, app::Session& session,
                     std::function<int(QWidget* parent, const QString& personalCode)> duplicateChooser) {
    registry.add(app::WindowId::Invoices, [duplicateChooser](app::Session& s, QWidget* mainWindow) -> QWidget* {
        auto* window = new TIzrakstisana(s, mainWindow);
        window->setDuplicateChooser(duplicateChooser);
        return window;
    });
    registry.add(app::WindowId::Payments, [duplicateChooser](app::Session& s, QWidget* mainWindow) -> QWidget* {
        auto* window = new TApmaksas(s, mainWindow);
        window->setDuplicateChooser(duplicateChooser);
        return window;
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
