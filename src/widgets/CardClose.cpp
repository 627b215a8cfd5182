#include "widgets/CardClose.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

namespace widgets {

CloseAnswer AskBeforeClosing(QWidget* card, bool changed, const std::function<bool()>& save) {
    if (!changed) return CloseAnswer::Close;
    const auto answer = QMessageBox::question(
        card, card ? card->windowTitle() : QString(),
        QCoreApplication::translate("CardClose", "Vai saglabāt izmaiņas ?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::No) return CloseAnswer::Close;
    if (answer == QMessageBox::Yes && save && save()) return CloseAnswer::Saved;
    return CloseAnswer::Stay;
}

}  // namespace widgets
