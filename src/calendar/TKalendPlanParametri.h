#pragma once
#include "app/Session.h"
#include "calendar/CalendarParametersStore.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace widgets {
class ColorBox;
}

namespace calendar {

// "Parametri": the planner's column width and contents option of this workstation, and the
// clinic's calendar settings in N_ISI (working weekdays, colours, reminder periods, mail server and
// sender, modem port, message texts). Closing stores what was changed.
class TKalendPlanParametri : public QDialog {
    Q_OBJECT
public:
    explicit TKalendPlanParametri(app::Session& session, QWidget* parent = nullptr);

    // Reads the N_ISI row; colours stored as 0 show their defaults.
    void start(int columnWidth, int contentsOption);
    int columnWidth() const { return m_columnWidth; }
    int contentsOption() const;

    widgets::ColorBox* colorBox(int n) const { return m_colors.value(n); }  // 1 ... 6
    QCheckBox* workingDay(int d) const { return m_days.value(d); }          // 1 Monday ... 7 Sunday
    QLineEdit* widthEdit() const { return m_edPlatums; }

    // "Aizvērt": checks the width, stores the changed settings and closes; false (and the window
    // stays) when the width is not a whole number or the database refused.
    bool closeStoring();

    static constexpr int MinColumnWidth = 20;
    static constexpr int MaxColumnWidth = 2000;

protected:
    void reject() override;

private:
    void collect();

    app::Session& m_session;
    CalendarParametersStore m_store;
    int m_columnWidth = 100;
    QLineEdit* m_edPlatums = nullptr;
    QRadioButton* m_rbKlientuDati = nullptr;
    QRadioButton* m_rbCitiDati = nullptr;
    QHash<int, QCheckBox*> m_days;
    QHash<int, widgets::ColorBox*> m_colors;
    QSpinBox* m_spSvetki = nullptr;
    QSpinBox* m_spKonsultacijas = nullptr;
    QSpinBox* m_spSmsPort = nullptr;
    QLineEdit* m_edSmsDevice = nullptr;  // this workstation's device of the modem port
    QLineEdit* m_edHost = nullptr;
    QLineEdit* m_edMail = nullptr;
    QSpinBox* m_spHostPort = nullptr;     // 0: the usual port of the chosen security
    QComboBox* m_cbDrosiba = nullptr;     // 0 none, 1 STARTTLS, 2 SSL/TLS
    QLineEdit* m_edMailUser = nullptr;    // empty: the server takes mail without logging in
    QLineEdit* m_edMailPassword = nullptr;
    QHash<QString, QPlainTextEdit*> m_texts;
};

}  // namespace calendar
