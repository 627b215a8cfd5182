// The program as a clinic runs it, with a stand-in for the person at the keyboard: the start-up
// runs exactly as in `molarix`; the stand-in logs on as ADMIN at the log-in dialog, brings the
// session into the state the test asks for, prints READY and waits for the test's signal.
//   signal_child DATABASE main|edit|modal
//     main   the main window only
//     edit   the day-lock window open with a number of open days typed but not saved
//     modal  a question box open over the main window
//     warning  the start-up's schema warning waiting for its OK (the test spoils the schema)
#include "TestDatabase.h"
#include "molarix/Composition.h"
#include "app/Application.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/TAtlautasDienas.h"
#include "app/TMolarixMain.h"
#include "app/TPasswordDlg.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 3) {
        std::fputs("signal_child DATABASE main|edit|modal|warning\n", stderr);
        return 2;
    }
    testsupport::isolateSettings();
    app::Settings::setString(QStringLiteral("Bazes"), QStringLiteral("Klīnika"), args[1]);
    const QString state = args[2];

    enum class Step { LogOn, Prepare, WaitForQuestion, Ready } step = Step::LogOn;
    auto ready = [&] {
        step = Step::Ready;
        std::puts("READY");
        std::fflush(stdout);
    };
    QTimer player;
    player.setInterval(20);
    QObject::connect(&player, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        switch (step) {
            case Step::LogOn:
                if (auto* login = qobject_cast<app::TPasswordDlg*>(modal)) {
                    login->edLietotajs()->setText(QStringLiteral("ADMIN"));
                    login->btOK()->click();
                    step = Step::Prepare;
                }
                return;
            case Step::Prepare:
                if (state == QLatin1String("warning")) {
                    if (qobject_cast<QMessageBox*>(modal)) ready();
                    return;
                }
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    auto* main = qobject_cast<app::TMolarixMain*>(w);
                    if (!main || !main->isVisible()) continue;
                    if (state == QLatin1String("edit")) {
                        auto* days =
                            qobject_cast<app::TAtlautasDienas*>(main->openWindow(app::WindowId::DayLocks));
                        days->edBlokDienas()->setText(QStringLiteral("7"));
                    } else if (state == QLatin1String("modal")) {
                        step = Step::WaitForQuestion;
                        QTimer::singleShot(0, main, [main] {
                            QMessageBox::question(main, QStringLiteral("Molarix"),
                                                  QStringLiteral("Vai turpināt?"));
                        });
                        return;
                    }
                    ready();
                }
                return;
            case Step::WaitForQuestion:
                if (qobject_cast<QMessageBox*>(modal)) ready();
                return;
            case Step::Ready:
                return;
        }
    });
    player.start();
    return app::RunApplication(molarix::Compose);
}
