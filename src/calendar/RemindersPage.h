#pragma once
#include "app/Session.h"

#include <QWidget>

class QTableWidget;

namespace calendar {

// The calendar window's "Atgādinājumi" page: birthdays and name days, treatments due to be
// repeated and the coming appointments, each with its SMS and e-mail ticks, and the sending of
// both kinds of message in the order holidays, appointments, prophylaxis. Rebuilt (everybody
// ticked who can be reached and is due) every time it is shown.
class RemindersPage : public QWidget {
    Q_OBJECT
public:
    explicit RemindersPage(app::Session& session, QWidget* parent = nullptr);

    enum Grid { Holidays = 0, Prophylaxis = 1, Appointments = 2 };
    QTableWidget* grid(Grid g) const { return m_grids[g]; }
    // The send lists as the sending takes them: patient keys ("|12||345|") of the ticked rows, and
    // for the prophylaxis grid the treatment lines in the same order.
    QString smsList(Grid g) const;
    QString emailList(Grid g) const;
    QString lineList(Grid g, bool sms) const;

    void rebuild();
    void sendSms();
    void sendEmail();

Q_SIGNALS:
    void closeRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillHolidays();
    void fillProphylaxis();
    void fillAppointments();
    QString keys(Grid g, int column, int role) const;
    int smsColumn(Grid g) const;

    app::Session& m_session;
    QTableWidget* m_grids[3] = {};
};

}  // namespace calendar
