#include "app/TMolarixMain.h"

#include "app/AutoArchive.h"
#include "app/DayLockStore.h"
#include "app/RightsString.h"
#include "app/SharedProcedures.h"
#include "app/TMainFormDati.h"
#include "app/TStartForm.h"
#include "widgets/Guard.h"

#include <QAction>
#include <QHash>
#include <algorithm>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace app {

TMolarixMain::TMolarixMain(TMainFormDati& dati, std::unique_ptr<WindowRegistry> registry, QWidget* parent)
    : QMainWindow(parent), m_dati(dati), m_registry(registry ? std::move(registry) : std::make_unique<WindowRegistry>()) {
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
    // The top menus in their order; entries go under the menu their catalogue path names.
    QHash<QString, QMenu*> menus;
    for (const QString& title : {tr("Dati"), tr("Atskaites"), tr("Serviss")}) menus.insert(title, menuBar()->addMenu(title));
    auto menuAt = [&](const QString& path) {
        QMenu* menu = nullptr;
        QString sofar;
        for (const QString& title : path.split(u'/')) {
            sofar = sofar.isEmpty() ? title : sofar + u'/' + title;
            QMenu*& m = menus[sofar];
            if (!m) m = menu ? menu->addMenu(title) : menuBar()->addMenu(title);
            menu = m;
        }
        return menu;
    };
    for (const WindowEntry& e : WindowCatalogue()) {
        QMenu* menu = menuAt(e.menuPath);
        if (e.separatorBefore) menu->addSeparator();
        QAction* a = menu->addAction(e.caption);
        const WindowId id = e.id;
        connect(a, &QAction::triggered, this, [this, id] { openWindow(id); });
        m_entries.append({id, e.rightsCode, a, nullptr});
    }
    QMenu* dati = menus.value(tr("Dati"));
    dati->addSeparator();
    m_quit = dati->addAction(tr("Beigt darbu"));
    m_quit->setObjectName(QStringLiteral("BeigtDarbu"));
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_quit, &QAction::triggered, this, &QWidget::close);
}

void TMolarixMain::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Rīki"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QVector<const WindowEntry*> buttons;
    for (const WindowEntry& e : WindowCatalogue())
        if (e.toolPlace > 0) buttons.append(&e);
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->toolPlace < b->toolPlace; });
    int group = -1;
    for (const WindowEntry* e : buttons) {
        if (group >= 0 && e->toolPlace / 10 != group) {
            auto* gap = new QWidget(bar);
            gap->setFixedWidth(50);
            bar->addWidget(gap);
        }
        group = e->toolPlace / 10;
        QAction* a = bar->addAction(e->toolCaption);
        const WindowId id = e->id;
        connect(a, &QAction::triggered, this, [this, id] { openWindow(id); });
        if (Entry* entry = this->entry(id)) entry->tool = a;
    }
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
        const bool enabled = allowed && m_registry->has(e.id);
        e.menu->setEnabled(enabled);
        if (e.tool) e.tool->setEnabled(enabled);
    }
}

void TMolarixMain::lockPastDays() {
    // A failure here (e.g. another workstation holding the rows) must not stop the program: the
    // next start locks the days again.
    try {
        DayLockStore(m_dati).lockOlderDays(QDate::currentDate());
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
    QWidget* window = nullptr;
    widgets::Guard(this, [&] { window = m_registry->open(id, m_dati, this); });
    return window;
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
