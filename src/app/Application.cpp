#include "app/Application.h"

#include "app/Settings.h"
#include "db/DbError.h"

#include <QMessageBox>

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QString::fromLatin1(Settings::Organization));
    setApplicationName(QString::fromLatin1(Settings::Application));
    setApplicationVersion(QStringLiteral(MOLARIX_VERSION));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e);
    }
    return false;
}

QString Application::exceptionText(const std::exception& e) {
    if (const auto* dbError = dynamic_cast<const db::DbError*>(&e)) return tr("Sistēmas kļūda: ") + dbError->message();
    return QString::fromUtf8(e.what());
}

void Application::showException(const std::exception& e) {
    QMessageBox::critical(activeWindow(), QStringLiteral("Molarix"), exceptionText(e));
}

}  // namespace app
