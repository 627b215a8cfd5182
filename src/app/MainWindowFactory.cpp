#include "app/MainWindowFactory.h"

#include "app/TMainFormDati.h"
#include "app/TMolarixMain.h"
#include "app/WindowRegistry.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

std::unique_ptr<QWidget> CreateMainWindow(TMainFormDati& dati) {
    RegisterAllWindows();
    auto window = std::make_unique<TMolarixMain>(dati);
    if (!window->isReady()) {
        if (!window->creationError().isEmpty())
            QMessageBox::critical(nullptr, QStringLiteral("Molarix"),
                                  QApplication::tr("Sistēmas kļūda: ") + window->creationError());
        return nullptr;
    }
    return window;
}

}  // namespace app
