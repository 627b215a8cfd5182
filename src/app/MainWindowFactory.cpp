#include "app/MainWindowFactory.h"

#include "app/TMainFormDati.h"
#include "app/TMolarixMain.h"
#include "app/WindowRegistry.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

std::unique_ptr<QWidget> CreateMainWindow(TMainFormDati& dati, const Composition& composition) {
    auto registry = std::make_unique<WindowRegistry>();
    RegisterAppWindows(*registry);
    if (composition) composition(*registry, dati);
    auto window = std::make_unique<TMolarixMain>(dati, std::move(registry));
    if (!window->isReady()) {
        if (!window->creationError().isEmpty())
            QMessageBox::critical(nullptr, QStringLiteral("Molarix"),
                                  QApplication::tr("Sistēmas kļūda: ") + window->creationError());
        return nullptr;
    }
    return window;
}

}  // namespace app
