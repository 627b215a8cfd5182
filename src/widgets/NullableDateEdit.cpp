#include "widgets/NullableDateEdit.h"

#include <QKeyEvent>

namespace widgets {

NullableDateEdit::NullableDateEdit(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    // The minimum stands for "no date" and is shown as a blank.
    setMinimumDate(emptyDate());
    setSpecialValueText(QStringLiteral(" "));
    setDate(emptyDate());
}

QDate NullableDateEdit::value() const {
    return date() == emptyDate() ? QDate() : date();
}

void NullableDateEdit::setValue(const QDate& d) {
    setDate(d.isValid() ? d : emptyDate());
}

void NullableDateEdit::keyPressEvent(QKeyEvent* event) {
    // Delete or Backspace on a selected whole field empties it.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
        lineEdit()->selectedText() == lineEdit()->text()) {
        setValue({});
        return;
    }
    QDateEdit::keyPressEvent(event);
}

}  // namespace widgets
