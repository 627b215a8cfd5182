#pragma once
#include <QDateEdit>

namespace widgets {

// A date field "dd.MM.yyyy" with a calendar pop-up that may also be empty (shown blank).
class NullableDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit NullableDateEdit(QWidget* parent = nullptr);

    // Invalid when empty.
    QDate value() const;
    void setValue(const QDate& date);
    bool isEmpty() const { return !value().isValid(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static QDate emptyDate() { return QDate(1800, 1, 1); }
};

}  // namespace widgets
