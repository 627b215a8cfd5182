#include "app/TPasswordDlg.h"

#include "db/ClinicDatabase.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QValidator>
#include <QVBoxLayout>

namespace app {

namespace {

// Turns whatever is typed or pasted into upper case (Latvian letters included).
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace

TPasswordDlg::TPasswordDlg(TMainFormDati& dati, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_dati(dati),
      m_databases(DatabaseList::load()),
      m_cbDatuBaze(new QComboBox(this)),
      m_edLietotajs(new QLineEdit(this)),
      m_edParole(new QLineEdit(this)),
      m_btOK(new QPushButton(tr("OK"), this)),
      m_btAtlikt(new QPushButton(tr("&Atlikt"), this)),
      m_status(new QStatusBar(this)) {
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(tr("Paroles ievads"));
    setProperty("molarixOwnPlace", true);  // always centred, not where it was last

    m_cbDatuBaze->setObjectName(QStringLiteral("cbDatuBaze"));
    m_cbDatuBaze->setEditable(false);
    m_cbDatuBaze->setMinimumWidth(260);
    m_cbDatuBaze->addItems(m_databases.names());
    m_cbDatuBaze->setCurrentIndex(m_databases.initialIndex());

    m_edLietotajs->setObjectName(QStringLiteral("edLietotajs"));
    m_edLietotajs->setValidator(new UpperCaseValidator(m_edLietotajs));
    m_edLietotajs->setText(DatabaseList::lastUser());

    m_edParole->setObjectName(QStringLiteral("edParole"));
    m_edParole->setEchoMode(QLineEdit::Password);
    m_edParole->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'

    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btAtlikt->setObjectName(QStringLiteral("btAtlikt"));
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(tr("Datu bāze"), m_cbDatuBaze);
    form->addRow(tr("Lietotāja vārds"), m_edLietotajs);
    form->addRow(tr("Parole"), m_edParole);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btOK);
    buttons->addWidget(m_btAtlikt);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    connect(m_btOK, &QPushButton::clicked, this, &TPasswordDlg::tryLogOn);
    connect(m_btAtlikt, &QPushButton::clicked, this, &QDialog::reject);
    m_edParole->setFocus();
}

QString TPasswordDlg::statusText() const { return m_status->currentMessage(); }

QString TPasswordDlg::selectedConnectionString() const {
    const int i = m_cbDatuBaze->currentIndex();
    return i >= 0 && i < m_databases.size() ? m_databases.entries()[i].connectionString : QString();
}

void TPasswordDlg::showEvent(QShowEvent* event) {
    m_loggedIn = false;
    QDialog::showEvent(event);
}

void TPasswordDlg::showStatus(const QString& text) {
    if (text.isEmpty())
        m_status->clearMessage();
    else
        m_status->showMessage(text);
}

void TPasswordDlg::focusField(LogonResult::Field field) {
    switch (field) {
        case LogonResult::Field::Database: m_cbDatuBaze->setFocus(); break;
        case LogonResult::Field::UserName: m_edLietotajs->setFocus(); break;
        case LogonResult::Field::Password: m_edParole->setFocus(); break;
        case LogonResult::Field::None: break;
    }
}

void TPasswordDlg::tryLogOn() {
    showStatus(QString());
    const LogonRequest request{m_cbDatuBaze->currentText(), selectedConnectionString(), m_edLietotajs->text(),
                               m_edParole->text()};
    LogonResult result;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        result = m_dati.logOn(request);
        if (result.outcome == LogonResult::Outcome::DatabaseMissing) {
            QGuiApplication::restoreOverrideCursor();
            const bool create = confirmCreateDatabase(request.connectionString);
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            if (create) {
                db::CreateClinicDatabase(request.connectionString);
                result = m_dati.logOn(request);
            }
        }
    } catch (const db::DbError& e) {
        result = LogonResult{};
        result.message = tr("Sistēmas kļūda: ") + e.message();
        result.focus = LogonResult::Field::Database;
        result.inMessageBox = true;
    }
    QGuiApplication::restoreOverrideCursor();

    if (!result.ok()) {
        if (result.inMessageBox)
            showDatabaseError(result.message);
        else
            showStatus(result.message);
        focusField(result.focus);
        return;
    }
    DatabaseList::rememberLogon(m_edLietotajs->text().trimmed(), m_cbDatuBaze->currentIndex());
    m_loggedIn = true;
    accept();
}

void TPasswordDlg::done(int) {
    DatabaseList::rememberIndex(m_cbDatuBaze->currentIndex());
    // Only a logged-on user gets past this dialog, whichever way it was closed.
    QDialog::done(m_loggedIn ? QDialog::Accepted : QDialog::Rejected);
}

bool TPasswordDlg::confirmCreateDatabase(const QString& path) {
    return QMessageBox::question(this, windowTitle(),
                                 tr("Datu bāzes fails \"%1\" neeksistē.\nVai izveidot jaunu, tukšu datu bāzi?").arg(path),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TPasswordDlg::showDatabaseError(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

}  // namespace app
