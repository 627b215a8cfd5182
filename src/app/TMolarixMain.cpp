#include "app/TMolarixMain.h"

#include "app/AppIcons.h"
#include "app/AutoArchive.h"
#include "app/ChangeNotifier.h"
#include "app/SystemSettingsStore.h"
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
#include <QLabel>
#include <QPainter>

namespace app {

namespace {

// The main window's empty middle: the program's name and the clinic's, and where to begin.
class Backdrop : public QWidget {
public:
    Backdrop(const QString& clinic, QWidget* parent) : QWidget(parent), m_clinic(clinic) {
        setObjectName(QStringLiteral("MainBackdrop"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(rect().topLeft(), rect().bottomLeft());
        g.setColorAt(0, QColor(0xF4, 0xF8, 0xFA));
        g.setColorAt(1, QColor(0xDD, 0xEA, 0xF0));
        p.fillRect(rect(), g);
        const QRect middle = rect().adjusted(0, 0, 0, -rect().height() / 5);
        const QPixmap logo = ApplicationIcon().pixmap(96, 96);
        const QPoint logoAt(middle.center().x() - 48, middle.center().y() - 130);
        p.setOpacity(0.85);
        p.drawPixmap(logoAt, logo);
        p.setOpacity(1);
        QFont title = font();
        title.setPointSize(28);
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(0x1F, 0x4E, 0x6B));
        const QRect titleRect(middle.left(), logoAt.y() + 100, middle.width(), 50);
        p.drawText(titleRect, Qt::AlignCenter, QStringLiteral("Molarix"));
        QFont small = font();
        small.setPointSize(12);
        p.setFont(small);
        p.setPen(QColor(0x33, 0x44, 0x4C));
        if (!m_clinic.isEmpty())
            p.drawText(titleRect.translated(0, 44), Qt::AlignCenter, m_clinic);
        p.setPen(QColor(0x5A, 0x6A, 0x72));
        p.drawText(titleRect.translated(0, m_clinic.isEmpty() ? 44 : 76), Qt::AlignCenter,
                   TMolarixMain::tr("Darbu sāciet ar pogu rīkjoslā vai izvēlnē «Dati»."));
    }

private:
    QString m_clinic;
};

QString toolIconName(WindowId id) {
    switch (id) {
        case WindowId::Calendar: return QStringLiteral("calendar");
        case WindowId::Consultations: return QStringLiteral("consultations");
        case WindowId::Invoices: return QStringLiteral("invoices");
        case WindowId::Payments: return QStringLiteral("payments");
        case WindowId::PatientList: return QStringLiteral("patients");
        default: return {};
    }
}

}  // namespace

TMolarixMain::TMolarixMain(TMainFormDati& dati, std::unique_ptr<WindowRegistry> registry, QWidget* parent)
    : QMainWindow(parent), m_dati(dati), m_registry(registry ? std::move(registry) : std::make_unique<WindowRegistry>()) {
    m_ready = false;
    m_dati.setHighlightColor(QColor(0xC0, 0xDC, 0xC0));
    setObjectName(QStringLiteral("MolarixMain"));
    // Other windows open below this window's menu and tool bar (widgets::InstallWindowPlacement).
    setProperty("molarixMainWindow", true);
    setWindowIcon(ApplicationIcon());

    buildMenu();
    buildToolBar();
    buildStatusBar();
    QString clinic;
    try {
        SystemSettingsStore settings(m_dati.database());
        if (settings.load()) clinic = settings.value(QStringLiteral("ORGNOS")).toString().trimmed();
    } catch (const db::DbError&) {
        // The clinic's name is decoration; the start goes on without it.
    }
    setCentralWidget(new Backdrop(clinic, this));
    // The whole screen from its top-left corner: the frame the other windows open in.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());

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
    showDayState();
    connect(&m_dati.notifier(), &ChangeNotifier::dayLocksChanged, this, &TMolarixMain::showDayState);
    connect(&m_dati.notifier(), &ChangeNotifier::settingsChanged, this, &TMolarixMain::showDayState);

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
        // A disabled entry says why in its tool tip.
        menu->setToolTipsVisible(true);
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
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(32, 32));
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
        QAction* a = bar->addAction(ToolIcon(toolIconName(e->id)), e->toolCaption);
        const WindowId id = e->id;
        connect(a, &QAction::triggered, this, [this, id] { openWindow(id); });
        if (Entry* entry = this->entry(id)) entry->tool = a;
    }
    // The last two buttons end at the right edge of the window.
    auto* stretch = new QWidget(bar);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(stretch);
    m_minimise = bar->addAction(ToolIcon(QStringLiteral("minimise")), tr("Samazināt"));
    connect(m_minimise, &QAction::triggered, this, [this] {
        closeStartForm();
        showMinimized();
    });
    m_quit->setIcon(ToolIcon(QStringLiteral("exit")));
    bar->addAction(m_quit);
}

void TMolarixMain::buildStatusBar() {
    auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setContentsMargins(6, 0, 6, 0);
        statusBar()->addPermanentWidget(l);
        return l;
    };
    m_lbUser = label(QStringLiteral("lbLietotajs"), tr("Lietotājs: %1").arg(m_dati.UserName()));
    m_lbDatabase = label(QStringLiteral("lbDatuBaze"), tr("Datu bāze: %1").arg(m_dati.databaseName()));
    m_lbDatabase->setToolTip(m_dati.database().connectionString());
    m_lbDays = label(QStringLiteral("lbDienas"), QString());
}

void TMolarixMain::showDayState() {
    const QDate today = QDate::currentDate();
    try {
        const int keepOpen = DayLockStore(m_dati).keepOpenDays();
        const bool open = IsDayOpen(m_dati.database(), today);
        QString text = keepOpen > 0
                           ? tr("Bloķētas dienas līdz %1").arg(today.addDays(-keepOpen).toString(QStringLiteral("dd.MM.yyyy")))
                           : tr("Dienas netiek bloķētas automātiski");
        text += open ? tr("; šodiena atvērta") : tr("; šodiena bloķēta");
        m_lbDays->setText(text);
    } catch (const db::DbError& e) {
        m_lbDays->setText(tr("Dienu bloķējums nav zināms"));
        m_lbDays->setToolTip(e.message());
    }
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
        const bool made = m_registry->has(e.id);
        const bool enabled = allowed && made;
        QString why;
        if (!made)
            why = tr("Šī programmas daļa vēl nav pieejama.");
        else if (!allowed)
            why = tr("Jums nav tiesību atvērt šo logu (tiesību kods %1). Tiesības piešķir logā «Lietotāju tiesības».")
                      .arg(e.code);
        for (QAction* a : {e.menu, e.tool}) {
            if (!a) continue;
            a->setEnabled(enabled);
            a->setToolTip(enabled ? a->text().remove(u'&') : a->text().remove(u'&') + QStringLiteral(": ") + why);
        }
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
