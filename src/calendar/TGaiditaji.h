#pragma once
#include "app/Session.h"

#include <QDate>
#include <QDialog>

class QTableView;

namespace models {
class ResultTableModel;
}

namespace calendar {

// The waiting list "Gaiditaji": requests that wait for an earlier slot and fit the given one. A
// double-click (or Enter) chooses a request; "Ai&zvērt" chooses none.
class TGaiditaji : public QDialog {
    Q_OBJECT
public:
    // The slot: its date and its time "hh:nn". Throws db::DbError when the list cannot be read.
    TGaiditaji(app::Session& session, const QDate& slotDate, const QString& slotTime, QWidget* parent = nullptr);
    ~TGaiditaji() override;

    // The chosen request's key, or -1.
    int selectedKey() const { return m_selectedKey; }
    QTableView* grid() const { return m_grid; }
    models::ResultTableModel* model() const { return m_model; }
    // Chooses the grid's current row and closes.
    void choose();

private:
    models::ResultTableModel* m_model;
    QTableView* m_grid;
    int m_selectedKey = -1;
};

}  // namespace calendar
