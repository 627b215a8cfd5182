#include "archive/TArhivesana.h"

#include "app/TimeText.h"
#include "archive/ArchiveNaming.h"
#include "archive/ArchiveProgress.h"
#include "archive/BackupOptions.h"
#include "archive/DatabaseArchiver.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

namespace archive {

TArhivesana::TArhivesana(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session) {
    setObjectName(QStringLiteral("Arhivesana"));
    setWindowTitle(tr("Datu rezerves kopijas veidošana"));

    m_chooseLocation = new QPushButton(tr("Arhīva novietošanas katalogs un faila vārds :"), this);
    m_chooseLocation->setObjectName(QStringLiteral("btKatalogs"));
    m_location = new QLineEdit(this);
    m_location->setObjectName(QStringLiteral("edKatalogs"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edFailaVards"));
    m_nameFromDate = new QCheckBox(tr("Arhīva vārdu veidot no datuma"), this);
    m_nameFromDate->setObjectName(QStringLiteral("chkVeidotNoDat"));
    m_command = new QLineEdit(this);
    m_command->setObjectName(QStringLiteral("edArhPrepare"));
    m_autoOff = new QRadioButton(tr("Neveikt"), this);
    m_autoOff->setObjectName(QStringLiteral("rbNeveikt"));
    m_autoDaily = new QRadioButton(tr("Veikt katru dienu plkst :"), this);
    m_autoDaily->setObjectName(QStringLiteral("rbVeikt"));
    auto* autoGroup = new QButtonGroup(this);
    autoGroup->addButton(m_autoOff, 0);
    autoGroup->addButton(m_autoDaily, 1);
    m_autoTime = new QLineEdit(this);
    m_autoTime->setObjectName(QStringLiteral("edAutoArhLaiks"));
    m_autoTime->setInputMask(QStringLiteral("99:99"));
    m_autoTime->setMaximumWidth(70);
    m_archive = new QPushButton(tr("Arhivēt"), this);
    m_archive->setObjectName(QStringLiteral("btArhivet"));
    auto* close = new QPushButton(tr("Aizvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));

    auto* database = new QLabel(tr("Datu bāze: %1").arg(session.database().connectionString()), this);
    database->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* grid = new QGridLayout;
    grid->addWidget(database, 0, 0, 1, 3);
    grid->addWidget(m_chooseLocation, 1, 0);
    grid->addWidget(m_location, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Arhīva vārds :"), this), 2, 0, Qt::AlignRight);
    grid->addWidget(m_name, 2, 1);
    grid->addWidget(m_nameFromDate, 2, 2);
    grid->addWidget(new QLabel(tr("Arhīva sagatavošanas rinda :"), this), 3, 0, Qt::AlignRight);
    grid->addWidget(m_command, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* schedule = new QGroupBox(tr("Dati par automātisko arhivēšanu"), this);
    auto* scheduleLayout = new QGridLayout(schedule);
    scheduleLayout->addWidget(m_autoOff, 0, 0);
    scheduleLayout->addWidget(m_autoDaily, 1, 0);
    scheduleLayout->addWidget(m_autoTime, 1, 1);
    scheduleLayout->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_archive);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(schedule);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(640, 300);

    connect(m_chooseLocation, &QPushButton::clicked, this, &TArhivesana::chooseLocation);
    connect(m_archive, &QPushButton::clicked, this, [this] { Arhivet(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_nameFromDate, &QCheckBox::toggled, this, [this] { nameFromDate(); });

    const ArchiveSettings stored = ArchiveSettings::load();
    m_location->setText(stored.Katalogs);
    m_name->setText(stored.FailaVards);
    m_nameFromDate->setChecked(stored.VeidotNoDat);
    m_command->setText(stored.ArhPrepare.trimmed().isEmpty() ? DefaultArhPrepare() : stored.ArhPrepare);
    (stored.AutoArhivs == 1 ? m_autoDaily : m_autoOff)->setChecked(true);
    m_autoTime->setText(stored.AutoArhLaiks);
    nameFromDate();
}

TArhivesana::~TArhivesana() {
    saveSettings();
}

void TArhivesana::closeEvent(QCloseEvent* e) {
    saveSettings();
    QWidget::closeEvent(e);
}

ArchiveSettings TArhivesana::fields() const {
    ArchiveSettings s;
    s.Katalogs = m_location->text();
    s.FailaVards = m_name->text();
    s.VeidotNoDat = m_nameFromDate->isChecked();
    s.ArhPrepare = m_command->text();
    s.AutoArhivs = m_autoDaily->isChecked() ? 1 : 0;
    s.AutoArhLaiks = m_autoTime->text();
    return s;
}

void TArhivesana::saveSettings() {
    fields().save();
}

void TArhivesana::nameFromDate() {
    if (m_nameFromDate->isChecked()) m_name->setText(NameFromDate(m_now().date()));
}

void TArhivesana::chooseLocation() {
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Kur novietot arhīvu ?"), m_location->text(),
                                                        tr("ZIP faili (*.zip *.ZIP)"), nullptr,
                                                        QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty()) m_location->setText(QDir::toNativeSeparators(chosen));
}

void TArhivesana::message(const QString& text, bool failure) {
    // A window the timer created for its archive is not shown: the box goes over the main window.
    QWidget* over = isVisible() ? this : parentWidget();
    if (failure)
        QMessageBox::warning(over, windowTitle(), text);
    else
        QMessageBox::information(over, windowTitle(), text);
}

bool TArhivesana::Arhivet() {
    if (m_busy) return false;
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });

    nameFromDate();
    saveSettings();
    if (m_location->text().trimmed().isEmpty()) {
        message(tr("Nav izvēlēts arhīva katalogs !!!"), true);
        m_location->setFocus();
        return false;
    }
    if (m_name->text().trimmed().isEmpty()) {
        message(tr("Nav ievadīts arhīva faila vārds !!!"), true);
        m_name->setFocus();
        return false;
    }
    const ArchiveSettings settings = fields();
    // The next automatic archive is computed from this time once the archive is made; an
    // unreadable time would leave NextLaiks unreadable, which the timer takes as long past.
    if (settings.AutoArhivs == 1 && !settings.nextArchiveTime(m_now()).isValid()) {
        message(tr("Nekorekts laiks !!!"), true);
        m_autoTime->setFocus();
        return false;
    }
    const QString failed = tr("Arhīva fails nav izveidots !!!");
    ArchiveJob job;
    job.options = ParseBackupCommand(settings.ArhPrepare);
    if (!job.options.ok()) {
        message(failed + QStringLiteral("\n\n") + job.options.error, true);
        m_command->setFocus();
        return false;
    }
    const QString name = settings.FailaVards.trimmed();
    job.connectionString = m_session.database().connectionString().trimmed();
    job.zipPath = ZipPath(settings.Katalogs, name);
    job.memberName = MemberName(name);
    job.tempDir = QDir::tempPath();

    ArchiveProgress progress(isVisible() ? this : parentWidget());
    const ArchiveProgress::Outcome outcome =
        progress.run([&job](const Progress& say) { return MakeArchive(job, say); });
    if (!outcome.ok) {
        message(failed + QStringLiteral("\n\n") + outcome.error, true);
        return false;
    }
    ArchiveSettings::saveNextLaiks(settings.nextArchiveTime(m_now()));
    message(tr("Arhīva fails veiksmīgi izveidots !!!"), false);
    return true;
}

void TArhivesana::autoArchive() {
    const QDateTime now = m_now();
    if (m_busy || (m_retryAfter.isValid() && now < m_retryAfter)) return;
    if (Arhivet())
        m_retryAfter = QDateTime();
    else
        m_retryAfter = now.addSecs(RetryMinutes * 60);
}

}  // namespace archive
