#pragma once
#include "app/Session.h"
#include "archive/ArchiveSettings.h"

#include <QDateTime>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace archive {

// "Datu rezerves kopijas veidošana": where and under which name the archive of the open database
// goes, the backup switches, the daily automatic archive; "Arhivēt" makes the archive now. The
// main window's archive timer runs the same action through autoArchive().
class TArhivesana : public QWidget {
    Q_OBJECT
public:
    explicit TArhivesana(app::Session& session, QWidget* parent = nullptr);
    ~TArhivesana() override;

    // The archive action of the "Arhivēt" button. Returns true when the archive was made and
    // checked (NextLaiks then moves to tomorrow at the automatic archive's time).
    bool Arhivet();
    // The archive action as the timer starts it. After a failed automatic archive the next try
    // waits RetryMinutes, so that a lasting fault (an unreachable directory) does not bring its
    // message back every second; NextLaiks stays as it was.
    void autoArchive();
    static constexpr int RetryMinutes = 10;

    // The clock the window reads "today" and "now" from (tests set a fixed day).
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    QLineEdit* edKatalogs() const { return m_location; }
    QPushButton* btKatalogs() const { return m_chooseLocation; }
    QLineEdit* edFailaVards() const { return m_name; }
    QCheckBox* chkVeidotNoDat() const { return m_nameFromDate; }
    QLineEdit* edArhPrepare() const { return m_command; }
    QRadioButton* rbNeveikt() const { return m_autoOff; }
    QRadioButton* rbVeikt() const { return m_autoDaily; }
    QLineEdit* edAutoArhLaiks() const { return m_autoTime; }
    QPushButton* btArhivet() const { return m_archive; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    ArchiveSettings fields() const;
    void saveSettings();
    void nameFromDate();
    void chooseLocation();
    void message(const QString& text, bool failure);

    app::Session& m_session;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    QLineEdit* m_location = nullptr;
    QPushButton* m_chooseLocation = nullptr;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_nameFromDate = nullptr;
    QLineEdit* m_command = nullptr;
    QRadioButton* m_autoOff = nullptr;
    QRadioButton* m_autoDaily = nullptr;
    QLineEdit* m_autoTime = nullptr;
    QPushButton* m_archive = nullptr;
    bool m_busy = false;
    QDateTime m_retryAfter;
};

}  // namespace archive
