#include "consultations/PatientFilesPage.h"

#include "app/ChangeNotifier.h"
#include "app/PatientFiles.h"
#include "app/Session.h"
#include "consultations/PatientFilesStore.h"
#include "widgets/Guard.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace consultations {

PatientFilesPage::PatientFilesPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabFaili"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lbFaili"));
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* btNew = add(tr("Jauns"), "btFailsJauns");
    QPushButton* btOpen = add(tr("Atvērt"), "btFailsAtvert");
    QPushButton* btRemove = add(tr("Dzēst"), "btFailsDzest");
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);

    connect(btNew, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Foto un faili"));
        if (!path.isEmpty()) addFile(path);
    });
    connect(btOpen, &QPushButton::clicked, this, &PatientFilesPage::openSelected);
    connect(btRemove, &QPushButton::clicked, this, &PatientFilesPage::removeSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PatientFilesPage::openSelected);
    connect(m_list, &QListWidget::currentRowChanged, this, &PatientFilesPage::applyState);
    applyState();
}

QPushButton* PatientFilesPage::button(const QString& name) const { return findChild<QPushButton*>(name); }

void PatientFilesPage::setSession(app::Session* session) {
    m_session = session;
    if (!m_session) return;
    // The patient card (or another workstation) changed the list.
    connect(&m_session->notifier(), &app::ChangeNotifier::patientsChanged, this, [this](const QList<int>& keys) {
        if (m_patient >= 2 && (keys.isEmpty() || keys.contains(m_patient))) reload();
    });
}

void PatientFilesPage::showPatient(int patient) {
    m_patient = patient;
    reload();
}

void PatientFilesPage::reload() {
    const QString current = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    m_list->clear();
    if (m_session && m_patient >= 2)
        widgets::Guard(this, [&] { m_list->addItems(PatientFilesStore(m_session->database()).files(m_patient)); });
    const QList<QListWidgetItem*> again = m_list->findItems(current, Qt::MatchExactly);
    if (!again.isEmpty()) m_list->setCurrentItem(again.first());
    applyState();
}

void PatientFilesPage::applyState() {
    const bool patient = m_session && m_patient >= 2;
    button(QStringLiteral("btFailsJauns"))->setEnabled(patient);
    button(QStringLiteral("btFailsAtvert"))->setEnabled(patient && m_list->currentItem());
    button(QStringLiteral("btFailsDzest"))->setEnabled(patient && m_list->currentItem());
}

bool PatientFilesPage::store(const QStringList& files) {
    // What another window stored meanwhile is kept: the change is made on the stored list.
    return widgets::Guard(this, [&] { PatientFilesStore(m_session->database()).write(m_patient, files); });
}

bool PatientFilesPage::addFile(const QString& path) {
    if (!m_session || m_patient < 2) return false;
    const QString problem = app::PatientFileProblem(path);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, window()->windowTitle(), problem);
        return false;
    }
    QStringList files;
    if (!widgets::Guard(this, [&] { files = PatientFilesStore(m_session->database()).files(m_patient); })) return false;
    if (!files.contains(path)) files.append(path);
    if (!store(files)) return false;
    reload();
    const QList<QListWidgetItem*> added = m_list->findItems(path, Qt::MatchExactly);
    if (!added.isEmpty()) m_list->setCurrentItem(added.first());
    return true;
}

void PatientFilesPage::removeSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (!m_session || m_patient < 2 || !item) return;
    const QString path = item->text();
    QStringList files;
    if (!widgets::Guard(this, [&] { files = PatientFilesStore(m_session->database()).files(m_patient); })) return;
    files.removeAll(path);
    if (store(files)) reload();
}

void PatientFilesPage::openSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item) return;
    const QString path = item->text();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        QMessageBox::warning(this, window()->windowTitle(), tr("Failu nevar atvērt: ") + path);
}

}  // namespace consultations
