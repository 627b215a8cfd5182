#pragma once
#include "db/BatchFetch.h"

#include <QObject>
#include <functional>
#include <memory>

namespace models {
class ResultTableModel;
}

namespace widgets {

// A long list read into a grid's model in steps: the first screenful at once, the rest appended
// while the user looks at it. A row further down that the window must stay on is read at once.
class StepwiseList : public QObject {
public:
    // `failed` is told the message of a database error while the rest is read (reading stops).
    StepwiseList(models::ResultTableModel* model, std::function<void(const QString&)> failed, QObject* parent);

    // Takes the opened list and returns its first rows (up to the row with ISN `keep`, when that
    // is further down), for the window to show; the rest follows into the model by itself.
    // Database errors propagate as db::DbError.
    db::ResultSet start(std::unique_ptr<db::BatchFetch> fetch, int keep = 0);
    // Reads what is left at once (before looking for a row, or exporting).
    void complete();
    // Drops the rest (the list is read anew).
    void stop();
    bool reading() const { return bool(m_fetch); }
    // Completes the list when the row with this ISN is not in the model yet.
    void readTo(int key);

    static constexpr int FirstBatch = 200;
    static constexpr int NextBatch = 2000;

private:
    void more(int generation);
    void schedule();

    models::ResultTableModel* m_model;
    std::function<void(const QString&)> m_failed;
    std::unique_ptr<db::BatchFetch> m_fetch;
    int m_generation = 0;  // a step queued for an earlier reading does nothing
};

}  // namespace widgets
