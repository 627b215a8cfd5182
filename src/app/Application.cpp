#include "app/Application.h"

#include "app/AppIcons.h"
#include "app/Settings.h"
#include "widgets/WindowPlacement.h"
#include "db/DbError.h"

#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QString::fromLatin1(Settings::Organization));
    setApplicationName(QString::fromLatin1(Settings::Application));
    setApplicationVersion(QStringLiteral(MOLARIX_VERSION));
    // The window manager groups the program's windows under this name and finds its desktop file.
    setDesktopFileName(QStringLiteral("molarix"));
    setWindowIcon(ApplicationIcon());
    installLatvian();
    widgets::InstallWindowPlacement();
}

bool Application::installLatvian() {
    const QLocale latvian(QLocale::Latvian, QLocale::Latvia);
    QLocale::setDefault(latvian);
    static QPointer<QTranslator> translator;  // goes with the application that owns it
    if (translator) return true;
    auto* candidate = new QTranslator(QCoreApplication::instance());
    const QStringList folders{QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (candidate->load(latvian, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(candidate);
            translator = candidate;
            return true;
        }
    }
    delete candidate;
    return false;
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
