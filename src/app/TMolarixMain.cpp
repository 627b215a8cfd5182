#include "app/TMolarixMain.h"

#include "app/AutoArchive.h"
#include "app/DayLockStore.h"
#include "app/RightsString.h"
#include "app/SharedProcedures.h"
#include "app/TMainFormDati.h"
#include "app/TStartForm.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace app {

TMolarixMain::TMolarixMain(TMainFormDati& dati, QWidget* parent) : QMainWindow(parent), m_dati(dati) {
    m_ready = false;
    m_dati.setHighlightColor(QColor(0xC0, 0xDC, 0xC0));
    setObjectName(QStringLiteral("MolarixMain"));

    buildMenu();
    buildToolBar();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left(), area.top());
        resize(area.width(), sizeHint().height());
    }

    const QString caption = tr("Molarix ver %1").arg(QStringLiteral(MOLARIX_VERSION)) + tr("     Lietotājs : ") +
                            m_dati.UserName() + tr("     Datu bāze: ") + m_dati.databaseName();
    setWindowTitle(caption);
    // No application display name: on this platform it would be appended to every window's caption.

    try {
        db::Transaction& tx = m_dati.database().defaultTransaction();
        EnsureDefaultRows(tx);
        if (tx.isActive()) tx.commitRetaining();
    } catch (const db::DbError& e) {
        m_creationError = e.message();
        return;
    }
    m_ready = true;

    lockPastDays();
    applyMenuRights();

    m_archiveTimer.setInterval(1000);
    connect(&m_archiveTimer, &QTimer::timeout, this, &TMolarixMain::archiveTick);
}

void TMolarixMain::buildMenu() {
    QMenu* dati = menuBar()->addMenu(tr("Dati"));
    QMenu* lists = dati->addMenu(tr("Saraksti"));
    addEntry(lists, tr("Pacienti/Klienti"), WindowId::PatientList, QStringLiteral("00"));
    addEntry(lists, tr("Pacientu/Klientu grupas"), WindowId::PatientGroups, QStringLiteral("01"));
    addEntry(lists, tr("Manipulācijas"), WindowId::PriceList, QStringLiteral("02"));
    addEntry(lists, tr("Speciālisti/Personāls"), WindowId::Specialists, QStringLiteral("03"));
    addEntry(lists, tr("Kabineti"), WindowId::Rooms, QStringLiteral("04"));
    addEntry(lists, tr("Novadi"), WindowId::Districts, QStringLiteral("05"));
    addEntry(lists, tr("Vārda dienas un svētku dienas"), WindowId::NameDays, QStringLiteral("06"));
    addEntry(lists, tr("Konsultāciju veidi"), WindowId::ConsultationTypes, QStringLiteral("07"));
    addEntry(lists, tr("Bankas"), WindowId::Banks, QStringLiteral("08"));
    addEntry(lists, tr("Lietotāju grupas"), WindowId::UserGroups, QStringLiteral("09"));
    addEntry(dati, tr("Kalendārā plānošana"), WindowId::Calendar, QStringLiteral("10"));
    addEntry(dati, tr("Konsultāciju reģists"), WindowId::Consultations, QStringLiteral("11"));
    addEntry(dati, tr("Rēķini"), WindowId::Invoices, QString());
    addEntry(dati, tr("Rēķinu apmaksa"), WindowId::Payments, QString());
    dati->addSeparator();
    m_quit = dati->addAction(tr("Beigt darbu"));
    m_quit->setObjectName(QStringLiteral("BeigtDarbu"));
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_quit, &QAction::triggered, this, &QWidget::close);

    menuBar()->addMenu(tr("Atskaites"));

    QMenu* service = menuBar()->addMenu(tr("Serviss"));
    addEntry(service, tr("Sistēmas iestatīšana"), WindowId::SystemSettings, QStringLiteral("12"));
    addEntry(service, tr("Lietotāju tiesības"), WindowId::UsersAndRights, QStringLiteral("13"));
    addEntry(service, tr("Datu arhīva faila veidošana"), WindowId::Archive, QStringLiteral("14"));
    addEntry(service, tr("Periodu bloķēšana"), WindowId::DayLocks, QStringLiteral("15"));
    service->addSeparator();
    addEntry(service, tr("E-Mail un SMS sūtīšana"), WindowId::MassMessages, QString());
}

QAction* TMolarixMain::addEntry(QMenu* menu, const QString& caption, WindowId id, const QString& code) {
    QAction* a = menu->addAction(caption);
    connect(a, &QAction::triggered, this, [this, id] { openWindow(id); });
    m_entries.append({id, code, a, nullptr});
    return a;
}

void TMolarixMain::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Rīki"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [this, bar](const QString& caption, WindowId id) {
        QAction* a = bar->addAction(caption);
        connect(a, &QAction::triggered, this, [this, id] { openWindow(id); });
        if (Entry* e = entry(id)) e->tool = a;
    };
    button(tr("Kalendārs"), WindowId::Calendar);
    button(tr("Konsultāciju reģistrs"), WindowId::Consultations);
    button(tr("Rēķini"), WindowId::Invoices);
    button(tr("Rēķinu apmaksas"), WindowId::Payments);
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(50);
    bar->addWidget(gap);
    button(tr("Pacienti/Klienti"), WindowId::PatientList);
    // The last two buttons end at the right edge of the window.
    auto* stretch = new QWidget(bar);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(stretch);
    m_minimise = bar->addAction(tr("Samazināt"));
    connect(m_minimise, &QAction::triggered, this, [this] {
        closeStartForm();
        showMinimized();
    });
    bar->addAction(m_quit);
}

TMolarixMain::Entry* TMolarixMain::entry(WindowId id) {
    for (Entry& e : m_entries)
        if (e.id == id) return &e;
    return nullptr;
}

const TMolarixMain::Entry* TMolarixMain::entry(WindowId id) const {
    for (const Entry& e : m_entries)
        if (e.id == id) return &e;
    return nullptr;
}

QAction* TMolarixMain::menuAction(WindowId id) const {
    const Entry* e = entry(id);
    return e ? e->menu : nullptr;
}

QAction* TMolarixMain::toolAction(WindowId id) const {
    const Entry* e = entry(id);
    return e ? e->tool : nullptr;
}

void TMolarixMain::applyMenuRights() {
    const QStringList granted = MenuCodesGranted(m_dati.UserName(), m_dati.UserRights());
    for (const Entry& e : m_entries) {
        const bool allowed = e.code.isEmpty() || granted.contains(e.code);
        const bool enabled = allowed && WindowRegistry::has(e.id);
        e.menu->setEnabled(enabled);
        if (e.tool) e.tool->setEnabled(enabled);
    }
}

void TMolarixMain::lockPastDays() {
    // A failure here (e.g. another workstation holding the rows) must not stop the program: the
    // next start locks the days again.
    try {
        DayLockStore(m_dati.database()).lockOlderDays(QDate::currentDate());
    } catch (const db::DbError& e) {
        statusBar()->showMessage(tr("Sistēmas kļūda: ") + e.message());
    }
}

void TMolarixMain::closeStartForm() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TStartForm*>(w) && w->isVisible()) w->close();
}

QWidget* TMolarixMain::openWindow(WindowId id) {
    closeStartForm();
    try {
        return WindowRegistry::open(id, this);
    } catch (const db::DbError& e) {
        QMessageBox::critical(this, windowTitle(), tr("Sistēmas kļūda: ") + e.message());
        return nullptr;
    }
}

bool TMolarixMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        firstActivation();
    }
    return QMainWindow::event(e);
}

void TMolarixMain::firstActivation() {
    // The timer starts disabled; without an archive section it stays so.
    if (AutoArchiveTimerWanted())
        m_archiveTimer.start();
    else
        m_archiveTimer.stop();
}

void TMolarixMain::archiveTick() {
    if (m_archiving || !AutoArchiveDue(QDateTime::currentDateTime())) return;
    m_archiving = true;
    closeStartForm();
    try {
        RunAutoArchive(this);
    } catch (const std::exception& e) {
        statusBar()->showMessage(QString::fromLocal8Bit(e.what()));
    }
    m_archiving = false;
}

}  // namespace app
