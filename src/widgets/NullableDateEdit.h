#pragma once
#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

namespace widgets {

// The program's date field: a text "dd.MM.yyyy" with a calendar pop-up (the button, Alt+Down or
// F4). What is typed is read leniently when the field is left or Enter is pressed (17031985,
// 7.3.1985, 17.03.85 … see app::ReadDate) and shown again as "dd.MM.yyyy". A text that cannot be
// read is never erased: the field keeps it, says what is wrong and takes the focus back, and
// hasUnreadableText() stops a save (see RefuseUnreadableDates).
//
// A nullable field may be empty (no date); a field made non-nullable goes back to its last date
// when it is emptied.
class NullableDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit NullableDateEdit(QWidget* parent = nullptr);
    NullableDateEdit(const QDate& date, QWidget* parent);

    // The date read last; invalid when the field is empty.
    QDate value() const { return m_value; }
    void setValue(const QDate& date);
    bool isEmpty() const { return !m_value.isValid(); }
    // The same for fields that always hold a date.
    QDate date() const { return m_value; }
    void setDate(const QDate& date) { setValue(date); }

    void setNullable(bool nullable) { m_nullable = nullable; }
    bool isNullable() const { return m_nullable; }
    // For birth dates: a two-digit year is read as a year not after this one (85 -> 1985,
    // 05 -> 2005); otherwise as a year up to twenty years ahead.
    void setTwoDigitYearsInPast(bool past) { m_pastYears = past; }

    // True while the text is something other than the date held (typed, not yet read, and not
    // readable).
    bool hasUnreadableText() const;
    // Reads the typed text now. False (and the text stays) when it cannot be read.
    bool commitText();
    // Shows the message about an unreadable text once and puts the focus into the field.
    void reportUnreadable();

    // A read-only field shows its date and offers neither typing nor the calendar.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* popupButton() const { return m_button; }
    QCalendarWidget* calendarWidget() const { return m_calendar; }
    void showPopup();

Q_SIGNALS:
    // The date held changed (typed and read, chosen in the calendar or set).
    void dateChanged(const QDate& date);

private:
    void showValue();
    void setValueFromUser(const QDate& date);

    QLineEdit* m_edit;
    QToolButton* m_button;
    QFrame* m_popup;
    QCalendarWidget* m_calendar;
    QDate m_value;
    bool m_nullable = true;
    bool m_pastYears = false;
    bool m_reporting = false;
    QString m_reportedText;
};

// Before a save: when any date field of the window holds a text that cannot be read, says so,
// puts the focus there and answers true (the save stops).
bool RefuseUnreadableDates(QWidget* window);
// Reads what was typed into the window's date fields and not yet read (the focus is still in
// one); unreadable texts stay as they are.
void CommitTypedDates(QWidget* window);

}  // namespace widgets
