#include "widgets/StepwiseList.h"

#include "db/DbError.h"
#include "models/ResultTableModel.h"

#include <QTimer>
#include <limits>

namespace widgets {

StepwiseList::StepwiseList(models::ResultTableModel* model, std::function<void(const QString&)> failed, QObject* parent)
    : QObject(parent), m_model(model), m_failed(std::move(failed)) {}

db::ResultSet StepwiseList::start(std::unique_ptr<db::BatchFetch> fetch, int keep) {
    ++m_generation;
    m_fetch = std::move(fetch);
    db::ResultSet rows;
    try {
        rows = m_fetch->next(FirstBatch);
        if (keep > 0 && !m_fetch->atEnd() && !db::ContainsKey(rows, keep)) {
            const db::ResultSet rest = m_fetch->next(std::numeric_limits<int>::max());
            for (int r = 0; r < rest.rowCount(); ++r) rows.append(rest.row(r));
        }
    } catch (...) {
        m_fetch.reset();
        throw;
    }
    if (m_fetch->atEnd()) m_fetch.reset();
    else schedule();
    return rows;
}

void StepwiseList::stop() {
    ++m_generation;
    m_fetch.reset();
}

void StepwiseList::schedule() {
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] { more(generation); });
}

void StepwiseList::more(int generation) {
    if (!m_fetch || generation != m_generation) return;
    try {
        m_model->appendRows(m_fetch->next(NextBatch));
    } catch (const db::DbError& e) {
        m_fetch.reset();
        if (m_failed) m_failed(e.message());
        return;
    }
    if (m_fetch->atEnd()) m_fetch.reset();
    else schedule();
}

void StepwiseList::complete() {
    while (m_fetch) more(m_generation);
}

void StepwiseList::readTo(int key) {
    if (key > 0 && m_fetch && m_model->findRow(key) < 0) complete();
}

}  // namespace widgets
