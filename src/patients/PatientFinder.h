#pragma once
#include "patients/PatientSearchIndex.h"

#include <QObject>
#include <QSet>

#include <memory>

class QThread;

namespace db {
class Database;
}
namespace app {
class ChangeNotifier;
}

namespace patients {

// The workstation's quick patient search. The patients' search columns are read into memory on a
// second connection in the background after log-on; until then, and while the copy is being read
// again, the search runs FindPatient's statements. The copy is kept current by the change
// notifier: this workstation's saves name their patients, which are read again at once; another
// workstation's change (its event names no rows) has the whole copy read again in the background.
class PatientFinder : public QObject {
    Q_OBJECT
public:
    PatientFinder(db::Database& database, app::ChangeNotifier& notifier, QObject* parent = nullptr);
    ~PatientFinder() override;

    // Starts reading the copy; the notifier's changes are followed from construction on.
    void start();
    // True while the search is answered from memory.
    bool isCurrent() const { return m_current; }
    // The key of the best-matching patient for the typed text, 0 when none.
    int find(const QString& text);

    // The rows the copy is read from (all patients, or those with the given keys).
    static QVector<PatientSearchRow> readRows(db::Database& database, const QList<int>& keys = {});

Q_SIGNALS:
    // The copy was (re)read and the search answers from memory.
    void current();

private:
    void onPatientsChanged(const QList<int>& keys);
    void reload();
    void loaded(std::shared_ptr<PatientSearchIndex> index, bool ok);
    void refresh(const QList<int>& keys);

    db::Database& m_db;
    PatientSearchIndex m_index;
    bool m_current = false;
    QThread* m_loader = nullptr;
    bool m_reloadAgain = false;  // a change arrived while the copy was being read
    QSet<int> m_changedWhileLoading;
};

}  // namespace patients
