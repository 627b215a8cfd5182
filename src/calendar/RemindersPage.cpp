#include "calendar/RemindersPage.h"

#include "app/KeyList.h"
#include "calendar/ReminderStore.h"
#include "db/DbError.h"
#include "mail/SendMail.h"
#include "sms/SendSms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace calendar {

namespace {

constexpr int PatientRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;

QTableWidgetItem* text(const QString& t) {
    auto* item = new QTableWidgetItem(t);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A tick box in the SMS or e-mail column, offered only to a row with a number or an address.
QTableWidgetItem* tick(bool offered, bool ticked) {
    auto* item = new QTableWidgetItem;
    if (offered) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    return item;
}

QTableWidget* makeGrid(const QStringList& headers, const QString& name, QWidget* parent) {
    auto* g = new QTableWidget(0, int(headers.size()), parent);
    g->setObjectName(name);
    g->setHorizontalHeaderLabels(headers);
    g->verticalHeader()->setVisible(false);
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->horizontalHeader()->setStretchLastSection(false);
    return g;
}

void fitColumns(QTableWidget* g, int stretch) {
    g->resizeColumnsToContents();
    for (int c = 0; c < g->columnCount(); ++c)
        g->horizontalHeader()->setSectionResizeMode(c, c == stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
}

}  // namespace

RemindersPage::RemindersPage(app::Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 2);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    const QStringList captions{tr("Tavam klientam svētki :"), tr("Atgādini, Tavam klientam būs jāveic :"),
                               tr("Atgādini, Tavam klientam rīt ir :")};
    const QList<QStringList> headers{
        {tr("Svētki"), tr("Vārds, Uzvārds"), tr("Tālrunis"), tr("SMS"), tr("E-mail")},
        {tr("Vārds, Uzvārds"), tr("Procedūra"), tr("Datums"), tr("Tālrunis"), tr("SMS"), tr("E-mail")},
        {tr("Vārds, Uzvārds"), tr("Procedūra"), tr("Tālrunis"), tr("SMS"), tr("E-mail")}};
    const QStringList names{QStringLiteral("grdSvetki"), QStringLiteral("grdProfilakse"), QStringLiteral("grdKonsultacijas")};
    for (int g = 0; g < 3; ++g) {
        auto* box = new QWidget(splitter);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(captions[g], box));
        m_grids[g] = makeGrid(headers[g], names[g], box);
        layout->addWidget(m_grids[g], 1);
        splitter->addWidget(box);
    }
    splitter->setSizes({1, 1, 1});
    root->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    auto* btSms = new QPushButton(tr("Sūtīt SMS"), this);
    btSms->setObjectName(QStringLiteral("btSutitSms"));
    auto* btMail = new QPushButton(tr("Sūtīt E-mail"), this);
    btMail->setObjectName(QStringLiteral("btSutitEmail"));
    auto* btClose = new QPushButton(tr("Aizvērt"), this);
    btClose->setObjectName(QStringLiteral("btAizvertAtgadinajumi"));
    buttons->addWidget(btSms);
    buttons->addWidget(btMail);
    buttons->addStretch();
    buttons->addWidget(btClose);
    root->addLayout(buttons);
    connect(btSms, &QPushButton::clicked, this, &RemindersPage::sendSms);
    connect(btMail, &QPushButton::clicked, this, &RemindersPage::sendEmail);
    connect(btClose, &QPushButton::clicked, this, &RemindersPage::closeRequested);
}

void RemindersPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    rebuild();
}

int RemindersPage::smsColumn(Grid g) const { return m_grids[g]->columnCount() - 2; }

void RemindersPage::rebuild() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        fillHolidays();
        fillProphylaxis();
        fillAppointments();
    } catch (const db::DbError& e) {
        QApplication::restoreOverrideCursor();
        QMessageBox::warning(this, QString(), tr("Sistēmas kļūda: ") + e.message());
        return;
    }
    QApplication::restoreOverrideCursor();
}

void RemindersPage::fillHolidays() {
    QTableWidget* g = m_grids[Holidays];
    const QList<HolidayReminder> rows = ReminderStore(m_session.database()).holidays(QDate::currentDate());
    g->setRowCount(0);
    g->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const HolidayReminder& h = rows[r];
        g->setItem(r, 0, text(h.text));
        g->setItem(r, 1, text(h.name));
        g->item(r, 1)->setData(PatientRole, h.patient);
        g->setItem(r, 2, text(h.mobTel));
        g->setItem(r, 3, tick(!h.mobTel.isEmpty(), true));
        g->setItem(r, 4, tick(!h.email.isEmpty(), true));
    }
    fitColumns(g, 1);
}

void RemindersPage::fillProphylaxis() {
    QTableWidget* g = m_grids[Prophylaxis];
    const QList<ProphylaxisReminder> rows = ReminderStore(m_session.database()).prophylaxis(QDate::currentDate());
    g->setRowCount(0);
    g->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const ProphylaxisReminder& p = rows[r];
        g->setItem(r, 0, text(p.name));
        g->item(r, 0)->setData(PatientRole, p.patient);
        g->item(r, 0)->setData(LineRole, p.line);
        g->setItem(r, 1, text(p.procedure));
        g->setItem(r, 2, text(p.date.toString(QStringLiteral("dd.MM.yyyy"))));
        g->setItem(r, 3, text(p.mobTel));
        // A channel that has reminded already and is not due again starts unticked.
        g->setItem(r, 4, tick(!p.mobTel.isEmpty(), p.smsDue));
        g->setItem(r, 5, tick(!p.email.isEmpty(), p.emailDue));
    }
    fitColumns(g, 1);
}

void RemindersPage::fillAppointments() {
    QTableWidget* g = m_grids[Appointments];
    const QList<AppointmentReminder> rows = ReminderStore(m_session.database()).appointments(QDate::currentDate());
    g->setRowCount(0);
    g->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const AppointmentReminder& a = rows[r];
        g->setItem(r, 0, text(a.name));
        g->item(r, 0)->setData(PatientRole, a.patient);
        QStringList times;
        for (const QDateTime& t : a.times) times << t.toString(QStringLiteral("dd.MM. hh:mm"));
        g->setItem(r, 1, text(a.procedure));
        g->item(r, 1)->setToolTip(times.join(QStringLiteral(", ")));
        g->setItem(r, 2, text(a.mobTel));
        g->setItem(r, 3, tick(!a.mobTel.isEmpty(), true));
        g->setItem(r, 4, tick(!a.email.isEmpty(), true));
    }
    fitColumns(g, 0);
}

QString RemindersPage::keys(Grid g, int column, int role) const {
    const QTableWidget* grid = m_grids[g];
    const int keyColumn = g == Holidays ? 1 : 0;
    QList<int> out;
    QSet<int> seen;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QTableWidgetItem* box = grid->item(r, column);
        if (!box || !(box->flags() & Qt::ItemIsUserCheckable) || box->checkState() != Qt::Checked) continue;
        const int patient = grid->item(r, keyColumn)->data(PatientRole).toInt();
        // A patient with both a birthday and a name day in the window is greeted once; the
        // prophylaxis list keeps one entry per treatment line.
        if (g != Prophylaxis && seen.contains(patient)) continue;
        seen.insert(patient);
        out.append(grid->item(r, keyColumn)->data(role).toInt());
    }
    return app::FormatKeyList(out);
}

QString RemindersPage::smsList(Grid g) const { return keys(g, smsColumn(g), PatientRole); }
QString RemindersPage::emailList(Grid g) const { return keys(g, smsColumn(g) + 1, PatientRole); }
QString RemindersPage::lineList(Grid g, bool sms) const { return keys(g, sms ? smsColumn(g) : smsColumn(g) + 1, LineRole); }

void RemindersPage::sendSms() {
    const QList<QPair<Grid, sms::SmsKind>> order{{Holidays, sms::SmsKind::Holiday},
                                                 {Appointments, sms::SmsKind::Appointment},
                                                 {Prophylaxis, sms::SmsKind::Prophylaxis}};
    int sent = 0, failed = 0, tried = 0;
    for (const auto& [grid, kind] : order) {
        const QString patients = smsList(grid);
        if (patients.isEmpty()) continue;
        const auto summary = sms::SendSms(m_session, kind, patients, grid == Prophylaxis ? lineList(grid, true) : QString(), this);
        sent += summary.sent;
        failed += summary.failed;
        tried += summary.sent + summary.failed;
    }
    try {
        fillProphylaxis();
    } catch (const db::DbError& e) {
        QMessageBox::warning(this, QString(), tr("Sistēmas kļūda: ") + e.message());
    }
    if (tried > 0) QMessageBox::information(this, tr("SMS sūtīšana"), tr("Nosūtīti SMS: %1, neizdevās: %2.").arg(sent).arg(failed));
}

void RemindersPage::sendEmail() {
    const QList<QPair<Grid, mail::MailKind>> order{{Holidays, mail::MailKind::Holiday},
                                                   {Appointments, mail::MailKind::Appointment},
                                                   {Prophylaxis, mail::MailKind::Prophylaxis}};
    int sent = 0, failed = 0, tried = 0;
    for (const auto& [grid, kind] : order) {
        const QString patients = emailList(grid);
        if (patients.isEmpty()) continue;
        const auto summary = mail::SendMail(m_session, kind, patients, grid == Prophylaxis ? lineList(grid, false) : QString(), this);
        sent += summary.sent;
        failed += summary.failed;
        tried += summary.sent + summary.failed;
    }
    try {
        fillProphylaxis();
    } catch (const db::DbError& e) {
        QMessageBox::warning(this, QString(), tr("Sistēmas kļūda: ") + e.message());
    }
    if (tried > 0)
        QMessageBox::information(this, tr("E-pasta sūtīšana"), tr("Nosūtītas vēstules: %1, neizdevās: %2.").arg(sent).arg(failed));
}

}  // namespace calendar
