#pragma once
#include <QWidget>

class QListWidget;
class QPushButton;

namespace app {
class Session;
}

namespace consultations {

// "Foto un faili": the files attached to the consultation's patient. "Jauns" adds a file chosen
// in a file dialog and "Dzēst" removes the selected one, each stored at once in the patient's
// list (the one the patient card shows); "Atvērt" opens the file with the desktop's program for
// it. The list follows changes made in the patient card.
class PatientFilesPage : public QWidget {
    Q_OBJECT
public:
    explicit PatientFilesPage(QWidget* parent = nullptr);

    // The session the page reads and writes through; without it the page shows nothing.
    void setSession(app::Session* session);
    void showPatient(int patient);
    int patient() const { return m_patient; }

    // Adds the file to the stored list; false (with a message) when it cannot be kept.
    bool addFile(const QString& path);
    void removeSelected();
    void openSelected();

    QListWidget* list() const { return m_list; }
    // "btFailsJauns", "btFailsAtvert", "btFailsDzest".
    QPushButton* button(const QString& name) const;

private:
    void reload();
    void applyState();
    bool store(const QStringList& files);

    app::Session* m_session = nullptr;
    int m_patient = 0;
    QListWidget* m_list;
};

}  // namespace consultations
