#pragma once
#include "calendar/AppointmentStore.h"

#include <QHash>
#include <QPair>
#include <QVector>
#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace widgets {
class LookupCombo;
class NullableDateEdit;
}  // namespace widgets

namespace consultations {

// The request form of the requests tab: number and date, patient, requester, specialist,
// assistant, room, type, the planned date, time and duration, "Var pirms šī laika" with the days
// and hours the patient can come, the call-back and prosthetic-material states, the problem
// description and the reminder marks. It shows one request and reads back what was typed; the
// page decides when it may be edited.
class RequestForm : public QWidget {
    Q_OBJECT
public:
    explicit RequestForm(QWidget* parent = nullptr);

    void setStaff(const QVector<QPair<int, QString>>& staff);
    void setRooms(const QVector<QPair<int, QString>>& rooms);
    void setTypes(const QVector<QPair<int, QString>>& types);
    // The clinic's working days, Monday first: only they show a check box and time boxes.
    void setWorkingDays(const std::array<bool, 7>& days);

    void showRequest(const calendar::Appointment& request);
    void clearRequest();
    // What the fields hold, over the given request (its other columns stay).
    calendar::Appointment collect(const calendar::Appointment& over) const;
    void setPatientName(const QString& name);
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    void focusField(const QString& column);

    // Controls by the column they edit: "NUMURS", "DATUMS", "PLAN_DAT", "PLAN_LAIKS",
    // "PLAN_ILGUMS", "ISKLIENTS" (the patient's name), "PIEZIMES", "PIRMS_DATUMA", "DIENA1".."DIENA7"
    // (check boxes), "DIENA1_NO".."DIENA7_LIDZ", "ISEMAILSENT", "ISSMSSENT".
    QWidget* field(const QString& column) const;
    QCheckBox* weekday(int day) const { return m_days.at(day); }  // 0 = Monday
    QLineEdit* weekdayFrom(int day) const { return m_from.at(day); }
    QLineEdit* weekdayUntil(int day) const { return m_until.at(day); }
    // "Klients var šajos laikos:".
    QGroupBox* weekdayPanel() const { return m_daysPanel; }
    // "ISPIETEICEJS", "ISIZPILDITAJS", "ISASISTENTS", "ISKABINETS", "ISVEIDS".
    widgets::LookupCombo* lookup(const QString& column) const;
    QComboBox* timeField(const QString& column) const;
    QButtonGroup* callStatus() const { return m_rgSazvanit; }
    QButtonGroup* prostheticMaterial() const { return m_rgProtez; }
    // "btKlients", "btKlientsInfo".
    QPushButton* button(const QString& name) const;

Q_SIGNALS:
    void patientRequested();
    void patientInfoRequested();

private:
    void applyDays();

    QLineEdit* m_edNumurs;
    widgets::NullableDateEdit* m_dtpDatums;
    widgets::NullableDateEdit* m_dtpPlanDat;
    QComboBox* m_cbPlanLaiks;
    QComboBox* m_cbIlgums;
    QLineEdit* m_edKlients;
    QPushButton* m_btKlients;
    QPushButton* m_btInfo;
    QPlainTextEdit* m_edPiezimes;
    QCheckBox* m_chkPirmsDatuma;
    QGroupBox* m_daysPanel;
    QVector<QCheckBox*> m_days;
    QVector<QLabel*> m_dayDash;
    QVector<QLineEdit*> m_from;
    QVector<QLineEdit*> m_until;
    QButtonGroup* m_rgSazvanit;
    QButtonGroup* m_rgProtez;
    QCheckBox* m_chkEmail;
    QCheckBox* m_chkSms;
    QHash<QString, widgets::LookupCombo*> m_lookups;
    std::array<bool, 7> m_workingDays{true, true, true, true, true, true, true};
    bool m_editable = true;
};

}  // namespace consultations
