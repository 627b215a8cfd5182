#include "app/AppPaths.h"
#include "db/Database.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char** argv) {
    const bool noPlatform = !qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (noPlatform && !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "Molarix ir grafiska programma, bet nav atrasts displejs (DISPLAY nav iestatīts).\n"
                     "Palaidiet to grafiskā sesijā vai virtuālā displejā, piemēram:\n"
                     "  xvfb-run -a scripts/run\n"
                     "vai attālināti caur VNC:  QT_QPA_PLATFORM=vnc:port=5900 scripts/run\n");
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ZALTERS"));
    QApplication::setApplicationName(QStringLiteral("MOLARIX"));

    const QString path = app::defaultDatabasePath();
    db::Database database;
    try {
        if (!QFileInfo::exists(path)) db::Database::create(path, db::Database::schemaScript());
        database.attach(path);
    } catch (const db::DbError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Molarix"),
                              QStringLiteral("Nevaru atvērt datu bāzi !!!\n") + e.message());
        return 1;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Molarix " MOLARIX_VERSION " - ") + app::defaultDatabaseName());
    window.setCentralWidget(new QLabel(QStringLiteral("Datu bāze: ") + path));
    window.resize(800, 600);
    window.show();
    return application.exec();
}
