#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"

namespace billing {

// The invoice and payment registers in the window catalogue, and the billing facade through which other
// windows (the operation journal) show an invoice.
// duplicateChooser asks which patient an import's shared personal code means.
void RegisterWindows(app::WindowRegistry& registry, app::Session& session,
                     std::function<int(QWidget* parent, const QString& personalCode)> duplicateChooser = {});

}  // namespace billing
