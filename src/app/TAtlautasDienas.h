#pragma once
#include "app/Session.h"
#include "app/DayLockStore.h"

#include <QDate>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace app {

// "Atļautās/Neatļautās dienas": locks and opens single days or whole months by hand, and edits
// how many last days the start of the program keeps open (N_ISI.BLOKDIENAS).
class TAtlautasDienas : public QWidget {
    Q_OBJECT
public:
    explicit TAtlautasDienas(Session& session, QWidget* parent = nullptr,
                             const QDate& today = QDate::currentDate());

    QListWidget* lbGadi() const { return m_years; }
    QListWidget* lbMenesi() const { return m_months; }
    QListWidget* lbDienas() const { return m_days; }
    QLineEdit* edBlokDienas() const { return m_keepOpen; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    int selectedYear() const;
    int selectedMonth() const;
    void fillMonth();
    void markMonths();
    void dayChanged(QListWidgetItem* item);
    void monthChanged(QListWidgetItem* item);
    void showError(const db::DbError& e);

    Session& m_session;
    DayLockStore m_store;
    QListWidget* m_years = nullptr;
    QListWidget* m_months = nullptr;
    QListWidget* m_days = nullptr;
    QLineEdit* m_keepOpen = nullptr;
    bool m_filling = false;
};

}  // namespace app
