#include "app/MainWindowFactory.h"

#include "app/SharedProcedures.h"
#include "app/TMainFormDati.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

namespace app {

// A plain frame stands in for the main window until the real one takes its place here: it shows
// who is logged on to which database and makes sure the default rows exist.
std::unique_ptr<QWidget> CreateMainWindow(TMainFormDati& dati) {
    try {
        db::Transaction tx(dati.database());
        EnsureDefaultRows(tx);
        tx.commit();
    } catch (const db::DbError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Molarix"), QApplication::tr("Sistēmas kļūda: ") + e.message());
        return nullptr;
    }
    auto window = std::make_unique<QMainWindow>();
    window->setObjectName(QStringLiteral("MolarixMain"));
    const QString caption = QStringLiteral("Molarix ver " MOLARIX_VERSION "     Lietotājs : ") + dati.UserName() +
                            QStringLiteral("     Datu bāze: ") + dati.databaseName();
    window->setWindowTitle(caption);
    auto* label = new QLabel(dati.database().connectionString(), window.get());
    label->setAlignment(Qt::AlignCenter);
    window->setCentralWidget(label);
    window->resize(900, 600);
    return window;
}

}  // namespace app
