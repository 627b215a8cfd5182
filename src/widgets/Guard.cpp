#include "widgets/Guard.h"

#include "db/DbError.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

namespace widgets {

QString SystemErrorText(const std::exception& e) {
    if (const auto* dbError = dynamic_cast<const db::DbError*>(&e))
        return QCoreApplication::translate("Guard", "Sistēmas kļūda: ") + dbError->message();
    return QString::fromUtf8(e.what());
}

bool Guard(QWidget* parent, const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        QMessageBox::critical(parent, parent ? parent->window()->windowTitle() : QString(), SystemErrorText(e));
    }
    return false;
}

void ShowRefusal(QWidget* parent, const QString& message, const QString& details) {
    QMessageBox box(QMessageBox::Warning, parent ? parent->window()->windowTitle() : QString(), message,
                    QMessageBox::Ok, parent);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
}

}  // namespace widgets
