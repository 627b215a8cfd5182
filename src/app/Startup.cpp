#include "app/Startup.h"

#include "app/Application.h"
#include "app/MainWindowFactory.h"
#include "app/SignalExit.h"
#include "app/SchemaWarning.h"
#include "app/StartupChecks.h"
#include "app/TMainFormDati.h"
#include "app/TPasswordDlg.h"
#include "app/TStartForm.h"

#include <QMessageBox>

namespace app {

namespace {

void showInitFailure() {
    QMessageBox::critical(nullptr, QStringLiteral("Molarix"),
                          QApplication::translate("Startup",
                                                  "Kaut kas nav kārtībā ar inicializācijas procesu, darbs tiek "
                                                  "pārtraukts !!!"));
}

}  // namespace

int RunApplication(const Composition& composition) {
    if (const auto problem = DateFormatProblem()) {
        QMessageBox::critical(nullptr, QStringLiteral("Molarix"), *problem);
        return 0;
    }
    TMainFormDati dati;
    try {
        TStartForm start;
        start.show();
        {
            TPasswordDlg login(dati);
            login.exec();
        }
        if (!dati.isLoggedOn()) {
            start.close();
            showInitFailure();
            return 0;
        }
        // From here on the system may end the program in order, also while the warning below waits
        // for its OK (the attach is done: see SignalExit.cpp).
        const SignalExit signalExit(dati);
        WarnAdminOfSchemaProblems(dati, &start);
        if (signalExit.receivedSignal() != 0) return 0;  // the log-on is already closed
        std::unique_ptr<QWidget> mainWindow = CreateMainWindow(dati, composition);
        if (!mainWindow) {
            start.close();
            showInitFailure();
            return 0;
        }
        // The start picture stays until the user clicks it, opens a first window, minimises the
        // main window or the automatic archive starts (the main window closes it then).
        mainWindow->showMaximized();
        start.raise();
        QApplication::exec();
        mainWindow.reset();
        dati.endLogon();
    } catch (const std::exception& e) {
        Application::showException(e);
    }
    return 0;
}

}  // namespace app
