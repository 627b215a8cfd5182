#include "app/SchemaWarning.h"

#include "app/TMainFormDati.h"
#include "db/SchemaCheck.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

void WarnAdminOfSchemaProblems(TMainFormDati& dati, QWidget* parent) {
    if (dati.UserName() != QLatin1String("ADMIN") || !dati.isConnected()) return;
    QList<db::SchemaProblem> problems;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        db::SchemaCheck check(dati.database());
        problems = check.schemaProblems();
    } catch (const std::exception& e) {
        QGuiApplication::restoreOverrideCursor();
        qWarning("The database structure could not be checked: %s", e.what());
        return;
    }
    QGuiApplication::restoreOverrideCursor();
    if (problems.isEmpty()) return;
    QStringList lines;
    for (const db::SchemaProblem& p : problems) lines.append(QStringLiteral("• ") + p.text);
    const QString command =
        QStringLiteral("molarix-admin check-db %1 --repair").arg(dati.database().connectionString());
    const QString text =
        QApplication::translate("SchemaWarning",
                                "Datu bāzes uzbūve nav pilnīga, tāpēc tā var pieņemt kļūdainus datus:\n\n%1\n\n"
                                "Aizveriet Molarix visās darbstacijās un atjaunojiet uzbūvi ar komandu\n%2")
            .arg(lines.join(QLatin1Char('\n')), command);
    QMessageBox::warning(parent, QStringLiteral("Molarix"), text);
}

}  // namespace app
