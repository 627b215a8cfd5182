#include "calendar/TKalendPlanParametri.h"

#include "calendar/PlannerStore.h"
#include "sms/ModemPort.h"
#include "widgets/ColorBox.h"
#include "widgets/Guard.h"
#include "widgets/StoredColor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace calendar {

namespace {

QSpinBox* daysBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, 366);
    return box;
}

}  // namespace

TKalendPlanParametri::TKalendPlanParametri(app::Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_store(session.database()) {
    setWindowTitle(tr("Parametri"));
    auto* root = new QVBoxLayout(this);

    // This workstation's planner.
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Aiļu platums"), this));
    m_edPlatums = new QLineEdit(this);
    m_edPlatums->setMaximumWidth(70);
    top->addWidget(m_edPlatums);
    auto* contents = new QGroupBox(tr("Kolonnās atspoguļot :"), this);
    auto* contentsLayout = new QHBoxLayout(contents);
    m_rbKlientuDati = new QRadioButton(tr("Klientu datus"), contents);
    m_rbCitiDati = new QRadioButton(tr("Citus datus"), contents);
    contentsLayout->addWidget(m_rbKlientuDati);
    contentsLayout->addWidget(m_rbCitiDati);
    top->addWidget(contents);
    top->addStretch();
    root->addLayout(top);

    auto* middle = new QHBoxLayout;
    auto* daysGroup = new QGroupBox(tr("Darba dienas"), this);
    auto* daysLayout = new QVBoxLayout(daysGroup);
    const QStringList dayNames{tr("Pirmdiena"), tr("Otrdiena"), tr("Trešdiena"), tr("Ceturtdiena"),
                               tr("Piektdiena"), tr("Sestdiena"), tr("Svētdiena")};
    for (int d = 1; d <= 7; ++d) {
        m_days.insert(d, new QCheckBox(dayNames.at(d - 1), daysGroup));
        daysLayout->addWidget(m_days.value(d));
    }
    middle->addWidget(daysGroup);

    auto* right = new QVBoxLayout;
    auto* colorsGroup = new QGroupBox(tr("Krāsas"), this);
    auto* colorsLayout = new QGridLayout(colorsGroup);
    for (int n = 1; n <= 6; ++n) m_colors.insert(n, new widgets::ColorBox(colorsGroup));
    auto addColorRow = [&](int row, const QString& caption, int first, int second) {
        colorsLayout->addWidget(new QLabel(caption, colorsGroup), row, 0);
        colorsLayout->addWidget(m_colors.value(first), row, 1);
        if (second > 0) {
            colorsLayout->addWidget(new QLabel(tr("un"), colorsGroup), row, 2);
            colorsLayout->addWidget(m_colors.value(second), row, 3);
        }
    };
    addColorRow(0, tr("Konsultāciju pieteikumi"), 1, 2);
    addColorRow(1, tr("Ārsts nepieņem"), 3, 0);
    addColorRow(2, tr("Svētku diena"), 4, 0);
    addColorRow(3, tr("Datumi"), 5, 6);
    colorsLayout->setColumnStretch(4, 1);
    right->addWidget(colorsGroup);

    auto* form = new QFormLayout;
    auto withDays = [&](QSpinBox* box) {
        auto* row = new QHBoxLayout;
        row->addWidget(box);
        row->addWidget(new QLabel(tr("dienas"), this));
        row->addStretch();
        return row;
    };
    m_spSvetki = daysBox(this);
    m_spKonsultacijas = daysBox(this);
    form->addRow(tr("Svētkus rādīt pēdējās "), withDays(m_spSvetki));
    form->addRow(tr("Vizītes rādīt pēdējās "), withDays(m_spKonsultacijas));
    m_edHost = new QLineEdit(this);
    m_edHost->setMaxLength(60);
    m_edMail = new QLineEdit(this);
    m_edMail->setMaxLength(100);
    m_spSmsPort = new QSpinBox(this);
    m_spSmsPort->setRange(0, 255);
    // The server's port and encryption, and the account for servers that take mail only from
    // those logged in.
    m_spHostPort = new QSpinBox(this);
    m_spHostPort->setObjectName(QStringLiteral("spSmtpPorts"));
    m_spHostPort->setRange(0, 65535);
    m_spHostPort->setSpecialValueText(tr("parastais"));
    m_cbDrosiba = new QComboBox(this);
    m_cbDrosiba->setObjectName(QStringLiteral("cbSmtpDrosiba"));
    m_cbDrosiba->addItems({tr("bez šifrēšanas"), tr("STARTTLS"), tr("SSL/TLS")});
    m_edMailUser = new QLineEdit(this);
    m_edMailUser->setObjectName(QStringLiteral("edSmtpLietotajs"));
    m_edMailUser->setMaxLength(60);
    m_edMailPassword = new QLineEdit(this);
    m_edMailPassword->setObjectName(QStringLiteral("edSmtpParole"));
    m_edMailPassword->setMaxLength(100);
    m_edMailPassword->setEchoMode(QLineEdit::Password);
    auto* hostRow = new QHBoxLayout;
    hostRow->addWidget(m_edHost, 1);
    hostRow->addWidget(new QLabel(tr("ports"), this));
    hostRow->addWidget(m_spHostPort);
    hostRow->addWidget(m_cbDrosiba);
    auto* accountRow = new QHBoxLayout;
    accountRow->addWidget(m_edMailUser, 1);
    accountRow->addWidget(new QLabel(tr("parole"), this));
    accountRow->addWidget(m_edMailPassword, 1);
    form->addRow(tr("Izejošais smtp host"), hostRow);
    form->addRow(tr("Smtp lietotājs"), accountRow);
    form->addRow(tr("Izejošais e-mail"), m_edMail);
    // The port number is the clinic's; which device it is on this workstation is kept here.
    m_edSmsDevice = new QLineEdit(this);
    m_edSmsDevice->setObjectName(QStringLiteral("edSmsIerice"));
    m_edSmsDevice->setToolTip(tr("Modema ierīce šajā darba vietā, piem. /dev/ttyUSB0, /dev/ttyACM0, /dev/ttyS0"));
    connect(m_spSmsPort, &QSpinBox::valueChanged, this, [this](int port) {
        m_edSmsDevice->setEnabled(port > 0);
        m_edSmsDevice->setText(port > 0 ? sms::DevicePath(port) : QString());
    });
    auto* smsRow = new QHBoxLayout;
    smsRow->addWidget(m_spSmsPort);
    smsRow->addWidget(new QLabel(tr("ierīce"), this));
    smsRow->addWidget(m_edSmsDevice, 1);
    form->addRow(tr("SMS modema ports"), smsRow);
    right->addLayout(form);
    middle->addLayout(right, 1);
    root->addLayout(middle);

    auto* pages = new QTabWidget(this);
    const QStringList captions{tr("Svētku apsveikums"), tr("Profilakse"), tr("Konsultāc. atgādinājums")};
    const QList<QStringList> columns{
        {QStringLiteral("SVETKI_TXT"), QStringLiteral("PROFILAKSE_TXT"), QStringLiteral("KONSULTACIJAS_TXT")},
        {QStringLiteral("SVETKI_SMS"), QStringLiteral("PROFILAKSE_SMS"), QStringLiteral("KONSULTACIJAS_SMS")}};
    const QStringList pageNames{tr("E-mail teksti"), tr("SMS teksti")};
    for (int page = 0; page < 2; ++page) {
        auto* w = new QWidget(pages);
        auto* grid = new QGridLayout(w);
        for (int i = 0; i < 3; ++i) {
            grid->addWidget(new QLabel(captions.at(i), w), 0, i);
            auto* text = new QPlainTextEdit(w);
            text->setTabChangesFocus(true);
            grid->addWidget(text, 1, i);
            m_texts.insert(columns.at(page).at(i), text);
        }
        grid->addWidget(new QLabel(tr("Vārdu, uzvārdu jāievieto starp <VardsUzvards>"), w), 2, 0, 1, 3);
        pages->addTab(w, pageNames.at(page));
    }
    root->addWidget(pages, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton(tr("Aizvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));
    close->setDefault(true);
    buttons->addWidget(close);
    root->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, [this] {
        if (closeStoring()) accept();
    });
    resize(760, 560);
}

void TKalendPlanParametri::start(int columnWidth, int contentsOption) {
    m_columnWidth = columnWidth;
    m_edPlatums->setText(QString::number(columnWidth));
    (contentsOption == 1 ? m_rbCitiDati : m_rbKlientuDati)->setChecked(true);
    widgets::Guard(this, [this] { m_store.load(); });
    for (int d = 1; d <= 7; ++d)
        m_days.value(d)->setChecked(m_store.value(QStringLiteral("DARBADIENA_%1").arg(d)).toInt() == 1);
    const auto defaults = DefaultColors();
    for (int n = 1; n <= 6; ++n) {
        const int current = int(m_store.value(CalendarParametersStore::ColorColumn(n)).toLongLong());
        m_colors.value(n)->setStoredColor(current);
        // The colour dialog offers the six defaults and the six colours in use.
        QColorDialog::setCustomColor(n - 1, widgets::ColorFromStored(int(defaults[size_t(n - 1)])));
        QColorDialog::setCustomColor(n + 7, widgets::ColorFromStored(current));
    }
    m_spSvetki->setValue(m_store.value(QStringLiteral("REMIND_SVETKI_DIENAS")).toInt());
    m_spKonsultacijas->setValue(m_store.value(QStringLiteral("REMIND_KONSULTAC_DIENAS")).toInt());
    m_edHost->setText(m_store.value(QStringLiteral("HOST_OUT")).toString());
    m_edMail->setText(m_store.value(QStringLiteral("USER_MAIL")).toString());
    m_spHostPort->setValue(m_store.value(QStringLiteral("HOST_OUT_PORT")).toInt());
    m_cbDrosiba->setCurrentIndex(qBound(0, m_store.value(QStringLiteral("HOST_OUT_DROSIBA")).toInt(), 2));
    m_edMailUser->setText(m_store.value(QStringLiteral("USER_NAME_MAIL")).toString());
    m_edMailPassword->setText(m_store.value(QStringLiteral("USER_PASSWORD_MAIL")).toString());
    m_spSmsPort->setValue(m_store.value(QStringLiteral("SMS_PORT")).toInt());
    m_edSmsDevice->setEnabled(m_spSmsPort->value() > 0);
    m_edSmsDevice->setText(m_spSmsPort->value() > 0 ? sms::DevicePath(m_spSmsPort->value()) : QString());
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setPlainText(m_store.value(it.key()).toString());
}

int TKalendPlanParametri::contentsOption() const { return m_rbCitiDati->isChecked() ? 1 : 0; }

void TKalendPlanParametri::collect() {
    auto keep = [this](const QString& column, const QVariant& value) {
        // A NULL that the window shows as 0 or empty stays NULL unless the user changed it.
        const QVariant old = m_store.value(column);
        if (old.isNull() && (value.toString().isEmpty() || value.toString() == QLatin1String("0"))) return;
        m_store.setValue(column, value);
    };
    for (int d = 1; d <= 7; ++d) {
        const QString column = QStringLiteral("DARBADIENA_%1").arg(d);
        const int checked = m_days.value(d)->isChecked() ? 1 : 0;
        if (m_store.value(column).isNull() && checked == 0) continue;
        m_store.setValue(column, checked);
    }
    for (int n = 1; n <= 6; ++n)
        m_store.setValue(CalendarParametersStore::ColorColumn(n), qint64(quint32(m_colors.value(n)->storedColor())));
    keep(QStringLiteral("REMIND_SVETKI_DIENAS"), m_spSvetki->value());
    keep(QStringLiteral("REMIND_KONSULTAC_DIENAS"), m_spKonsultacijas->value());
    keep(QStringLiteral("HOST_OUT"), m_edHost->text());
    keep(QStringLiteral("USER_MAIL"), m_edMail->text());
    keep(QStringLiteral("HOST_OUT_PORT"), m_spHostPort->value());
    keep(QStringLiteral("HOST_OUT_DROSIBA"), m_cbDrosiba->currentIndex());
    keep(QStringLiteral("USER_NAME_MAIL"), m_edMailUser->text());
    keep(QStringLiteral("USER_PASSWORD_MAIL"), m_edMailPassword->text());
    keep(QStringLiteral("SMS_PORT"), m_spSmsPort->value());
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) keep(it.key(), it.value()->toPlainText());
}

bool TKalendPlanParametri::closeStoring() {
    bool ok = false;
    const int width = m_edPlatums->text().trimmed().toInt(&ok);
    if (!ok || width < MinColumnWidth || width > MaxColumnWidth) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Aiļu platumam jābūt veselam skaitlim no %1 līdz %2 !!!").arg(MinColumnWidth).arg(MaxColumnWidth));
        m_edPlatums->setFocus();
        m_edPlatums->selectAll();
        return false;
    }
    collect();
    if (!widgets::Guard(this, [this] { m_store.save(); })) return false;
    if (m_spSmsPort->value() > 0) sms::SetDevicePath(m_spSmsPort->value(), m_edSmsDevice->text());
    m_columnWidth = width;
    return true;
}

void TKalendPlanParametri::reject() {
    // Closing the window in any way stores what was changed, as "Aizvērt" does.
    if (closeStoring()) QDialog::accept();
}

}  // namespace calendar
