#include "calendar/TKalendaraPlanosana.h"

#include "app/ChangeNotifier.h"
#include "app/KeyList.h"
#include "app/Rights.h"
#include "app/Settings.h"
#include "calendar/PlannerGrid.h"
#include "calendar/RemindersPage.h"
#include "calendar/TKalendPlanParametri.h"
#include "widgets/Guard.h"
#include "widgets/LiveRefresh.h"
#include "widgets/WindowPlacement.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace calendar {

namespace {

const QString Section = QString::fromLatin1(TKalendaraPlanosana::SettingsSection);
const QString RightsCode = QStringLiteral("10");

QString dateText(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

int minutesOfText(const QString& text) {
    return text.section(QLatin1Char(':'), 0, 0).trimmed().toInt() * 60 + text.section(QLatin1Char(':'), 1, 1).trimmed().toInt();
}

QListWidget* makeCheckList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    // Three columns, filled row by row.
    list->setFlow(QListView::LeftToRight);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    return list;
}

}  // namespace

TKalendaraPlanosana::TKalendaraPlanosana(app::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session.database()) {
    setWindowTitle(tr("Kalendārā plānošana"));
    setObjectName(QStringLiteral("TKalendaraPlanosana"));
    buildControls();
    loadSettings();
    widgets::Guard(this, [this] { fillCheckLists(); });

    m_scrollRebuild.setSingleShot(true);
    m_scrollRebuild.setInterval(400);
    connect(&m_scrollRebuild, &QTimer::timeout, this, [this] { widgets::Guard(this, [this] { Rebuild(); }); });

    // Another workstation's change (or one of this one's other windows) shows without a click; the
    // scroll position stays, and nothing is re-read while a block is held.
    m_live = new widgets::LiveRefresh(this, [this] { Rebuild(); }, [this] { return m_grid->isDragging(); });
    app::ChangeNotifier& notifier = m_session.notifier();
    connect(&notifier, &app::ChangeNotifier::appointmentsChanged, m_live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::patientsChanged, m_live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::settingsChanged, m_live, &widgets::LiveRefresh::request);
    connect(&notifier, &app::ChangeNotifier::referenceChanged, this, [this](const QString& table) {
        if (table == QLatin1String("N_AGENTS") || table == QLatin1String("N_KABINETI"))
            widgets::Guard(this, [this] { fillCheckLists(); });
        if (table == QLatin1String("N_AGENTS") || table == QLatin1String("N_KABINETI") ||
            table == QLatin1String("N_SVETKI") || table == QLatin1String("N_VEIDI"))
            m_live->request();
    });
}

TKalendaraPlanosana::~TKalendaraPlanosana() { saveSettings(); }

void TKalendaraPlanosana::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    m_pages = new QTabWidget(this);
    root->addWidget(m_pages);

    auto* page = new QWidget(m_pages);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);
    m_pages->addTab(page, tr("Kalendārs"));
    auto* reminders = new calendar::RemindersPage(m_session, m_pages);
    reminders->setObjectName(QStringLiteral("tabAtgadinajumi"));
    m_pages->addTab(reminders, tr("Atgādinājumi"));
    connect(reminders, &calendar::RemindersPage::closeRequested, this, &QWidget::close);

    // Top panel.
    auto* top = new QHBoxLayout;
    auto* left = new QGridLayout;
    m_dtpDiena = new QDateEdit(page);
    m_dtpDiena->setObjectName(QStringLiteral("dtpDiena"));
    m_dtpDiena->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_dtpDiena->setCalendarPopup(true);
    auto* btAtlasit = new QPushButton(tr("Atlasīt"), page);
    btAtlasit->setObjectName(QStringLiteral("btAtlasit"));
    auto* btParametri = new QPushButton(tr("Parametri"), page);
    btParametri->setObjectName(QStringLiteral("btParametri"));
    auto* btAizvert = new QPushButton(tr("Aizvērt"), page);
    btAizvert->setObjectName(QStringLiteral("btAizvert"));
    left->addWidget(m_dtpDiena, 0, 0, 1, 2);
    left->addWidget(btAtlasit, 0, 2);
    left->addWidget(btParametri, 1, 2);
    left->addWidget(btAizvert, 2, 2);
    m_cbNo = new QComboBox(page);
    m_cbNo->setObjectName(QStringLiteral("cbNo"));
    m_cbLidz = new QComboBox(page);
    m_cbLidz->setObjectName(QStringLiteral("cbLidz"));
    m_cbNo->addItems(HalfHourTexts());
    m_cbLidz->addItems(HalfHourTexts());
    left->addWidget(new QLabel(tr("Laiks no"), page), 1, 0);
    left->addWidget(m_cbNo, 1, 1);
    left->addWidget(new QLabel(tr("līdz"), page), 2, 0);
    left->addWidget(m_cbLidz, 2, 1);
    top->addLayout(left);

    auto* intervalBox = new QGroupBox(tr("Intervāls"), page);
    auto* intervalLayout = new QVBoxLayout(intervalBox);
    m_intervals = new QButtonGroup(this);
    auto* rbDiena = new QRadioButton(tr("Diena "), intervalBox);
    auto* rbNedela = new QRadioButton(tr("Nedēļa"), intervalBox);
    m_intervals->addButton(rbDiena, int(Interval::Day));
    m_intervals->addButton(rbNedela, int(Interval::Week));
    intervalLayout->addWidget(rbDiena);
    intervalLayout->addWidget(rbNedela);
    rbNedela->setChecked(true);
    top->addWidget(intervalBox);

    auto* kindBox = new QGroupBox(tr("Kolonnās :"), page);
    auto* kindLayout = new QVBoxLayout(kindBox);
    m_kinds = new QButtonGroup(this);
    auto* rbSpec = new QRadioButton(tr("Speciālistus"), kindBox);
    auto* rbKab = new QRadioButton(tr("Kabinetus"), kindBox);
    m_kinds->addButton(rbSpec, int(ColumnKind::Specialists));
    m_kinds->addButton(rbKab, int(ColumnKind::Rooms));
    kindLayout->addWidget(rbSpec);
    kindLayout->addWidget(rbKab);
    rbSpec->setChecked(true);
    top->addWidget(kindBox);

    m_checkPages = new QStackedWidget(page);
    auto* personalBox = new QGroupBox(tr("Personāls"), m_checkPages);
    auto* personalLayout = new QVBoxLayout(personalBox);
    personalLayout->setContentsMargins(4, 2, 4, 4);
    m_lbPersonals = makeCheckList(personalBox);
    m_lbPersonals->setObjectName(QStringLiteral("lbPersonals"));
    personalLayout->addWidget(m_lbPersonals);
    auto* roomBox = new QGroupBox(tr("Kabineti"), m_checkPages);
    auto* roomLayout = new QVBoxLayout(roomBox);
    roomLayout->setContentsMargins(4, 2, 4, 4);
    m_lbKabineti = makeCheckList(roomBox);
    m_lbKabineti->setObjectName(QStringLiteral("lbKabineti"));
    roomLayout->addWidget(m_lbKabineti);
    m_checkPages->addWidget(personalBox);
    m_checkPages->addWidget(roomBox);
    m_checkPages->setFixedHeight(104);
    top->addWidget(m_checkPages, 1);
    pageLayout->addLayout(top);

    // The grid with its scroll bars.
    auto* gridLayout = new QGridLayout;
    gridLayout->setSpacing(0);
    m_grid = new PlannerGrid(page);
    m_vbar = new QScrollBar(Qt::Vertical, page);
    m_hbar = new QScrollBar(Qt::Horizontal, page);
    m_vbar->hide();
    m_hbar->hide();
    gridLayout->addWidget(m_grid, 0, 0);
    gridLayout->addWidget(m_vbar, 0, 1);
    gridLayout->addWidget(m_hbar, 1, 0);
    pageLayout->addLayout(gridLayout, 1);
    m_grid->installEventFilter(this);
    m_lbPersonals->viewport()->installEventFilter(this);
    m_lbKabineti->viewport()->installEventFilter(this);

    auto rebuild = [this] { widgets::Guard(this, [this] { Rebuild(); }); };
    connect(btAtlasit, &QPushButton::clicked, this, rebuild);
    connect(btParametri, &QPushButton::clicked, this, [this] { openParameters(); });
    connect(btAizvert, &QPushButton::clicked, this, &QWidget::close);
    connect(m_dtpDiena, &QDateEdit::dateChanged, this, rebuild);
    connect(m_intervals, &QButtonGroup::idClicked, this, rebuild);
    connect(m_kinds, &QButtonGroup::idClicked, this, [this, rebuild](int id) {
        m_checkPages->setCurrentIndex(id);
        resetColumnScroll();
        rebuild();
    });
    auto timeChanged = [this, rebuild] {
        m_grid->layout().setHourOffset(0);
        resetColumnScroll();
        rebuild();
    };
    connect(m_cbNo, &QComboBox::currentIndexChanged, this, timeChanged);
    connect(m_cbLidz, &QComboBox::currentIndexChanged, this, timeChanged);
    auto checkChanged = [this, rebuild](QListWidgetItem*) {
        m_checkedSpecialists = app::FormatKeyList(checkedKeys(ColumnKind::Specialists));
        m_checkedRooms = app::FormatKeyList(checkedKeys(ColumnKind::Rooms));
        resetColumnScroll();
        rebuild();
    };
    connect(m_lbPersonals, &QListWidget::itemChanged, this, checkChanged);
    connect(m_lbKabineti, &QListWidget::itemChanged, this, checkChanged);

    connect(m_vbar, &QScrollBar::valueChanged, this, [this](int value) {
        m_grid->layout().setHourOffset(value);
        Redraw();
        m_scrollRebuild.start();
    });
    connect(m_hbar, &QScrollBar::valueChanged, this, [this](int value) {
        m_grid->layout().setColumnOffset(value);
        Redraw();
        m_scrollRebuild.start();
    });
    connect(m_grid, &PlannerGrid::slotDoubleClicked, this, &TKalendaraPlanosana::onSlotDoubleClicked);
    connect(m_grid, &PlannerGrid::appointmentDoubleClicked, this, &TKalendaraPlanosana::onAppointmentDoubleClicked);
    connect(m_grid, &PlannerGrid::appointmentDropped, this, &TKalendaraPlanosana::onAppointmentDropped);
}

void TKalendaraPlanosana::loadSettings() {
    const QDate stored =
        QDate::fromString(app::Settings::string(Section, QStringLiteral("Datums")).trimmed(), QStringLiteral("dd.MM.yyyy"));
    const QSignalBlocker blockDate(m_dtpDiena);
    m_dtpDiena->setDate(stored.isValid() ? stored : QDate::currentDate());
    const int width = app::Settings::integer(Section, QStringLiteral("Platums"), CalendarLayout::DefaultColumnWidth);
    m_columnWidth = width >= TKalendPlanParametri::MinColumnWidth ? width : CalendarLayout::DefaultColumnWidth;
    m_contentsOption = app::Settings::integer(Section, QStringLiteral("KoAttelotKolonna"), 0);
    m_checkedSpecialists = app::Settings::string(Section, QStringLiteral("AgentuRinda"));
    m_checkedRooms = app::Settings::string(Section, QStringLiteral("KabinetiRinda"));
    const int kind = app::Settings::integer(Section, QStringLiteral("KolonnaArstsKabinets"), 0) == 1 ? 1 : 0;
    m_kinds->button(kind)->setChecked(true);
    m_checkPages->setCurrentIndex(kind);

    // The stored size (the program places every window below the main window's strip and fits it
    // into the screen); without one, as large as that area.
    QSize size(std::max(app::Settings::integer(Section, QStringLiteral("Width"), 0), 0),
               std::max(app::Settings::integer(Section, QStringLiteral("Height"), 0), 0));
    const QRect area = widgets::WorkArea(parentWidget());
    if (size.width() <= 0 || size.height() <= 0) size = area.size();
    resize(size.boundedTo(area.size()));
}

void TKalendaraPlanosana::saveSettings() {
    app::Settings::setString(Section, QStringLiteral("Datums"), dateText(shownDate()));
    app::Settings::setInteger(Section, QStringLiteral("Platums"), m_columnWidth);
    app::Settings::setInteger(Section, QStringLiteral("KoAttelotKolonna"), m_contentsOption);
    app::Settings::setString(Section, QStringLiteral("AgentuRinda"), m_checkedSpecialists);
    app::Settings::setString(Section, QStringLiteral("KabinetiRinda"), m_checkedRooms);
    app::Settings::setInteger(Section, QStringLiteral("KolonnaArstsKabinets"), int(columnKind()));
    app::Settings::setInteger(Section, QStringLiteral("Width"), width());
    app::Settings::setInteger(Section, QStringLiteral("Height"), height());
}

void TKalendaraPlanosana::fillCheckLists() {
    m_specialists = m_store.specialists();
    m_rooms = m_store.rooms();
    auto fill = [](QListWidget* list, const QList<PlannerResource>& resources, const QString& checked) {
        const QSignalBlocker block(list);
        list->clear();
        for (const PlannerResource& res : resources) {
            auto* item = new QListWidgetItem(res.name, list);
            item->setData(Qt::UserRole, CheckListItemText(res.name, res.key));
            item->setToolTip(res.name);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(app::KeyListContains(checked, res.key) ? Qt::Checked : Qt::Unchecked);
        }
    };
    fill(m_lbPersonals, m_specialists, m_checkedSpecialists);
    fill(m_lbKabineti, m_rooms, m_checkedRooms);
}

QListWidget* TKalendaraPlanosana::checkList(ColumnKind kind) const {
    return kind == ColumnKind::Specialists ? m_lbPersonals : m_lbKabineti;
}

QList<int> TKalendaraPlanosana::checkedKeys(ColumnKind kind) const {
    QList<int> keys;
    const QListWidget* list = checkList(kind);
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            keys << CheckListItemKey(list->item(i)->data(Qt::UserRole).toString());
    return keys;
}

void TKalendaraPlanosana::setCheckedKeys(ColumnKind kind, const QList<int>& keys) {
    QListWidget* list = checkList(kind);
    {
        const QSignalBlocker block(list);
        for (int i = 0; i < list->count(); ++i) {
            const int key = CheckListItemKey(list->item(i)->data(Qt::UserRole).toString());
            list->item(i)->setCheckState(keys.contains(key) ? Qt::Checked : Qt::Unchecked);
        }
    }
    (kind == ColumnKind::Specialists ? m_checkedSpecialists : m_checkedRooms) = app::FormatKeyList(checkedKeys(kind));
    resetColumnScroll();
    Rebuild();
}

QList<PlannerResource> TKalendaraPlanosana::checkedResources() const {
    const ColumnKind kind = columnKind();
    const QList<PlannerResource>& all = kind == ColumnKind::Specialists ? m_specialists : m_rooms;
    QList<PlannerResource> checked;
    for (int key : checkedKeys(kind))
        for (const PlannerResource& res : all)
            if (res.key == key) checked << res;
    return checked;
}

QDate TKalendaraPlanosana::shownDate() const { return m_dtpDiena->date(); }
void TKalendaraPlanosana::setShownDate(const QDate& date) { m_dtpDiena->setDate(date); }
Interval TKalendaraPlanosana::interval() const { return Interval(m_intervals->checkedId() == 0 ? 0 : 1); }
void TKalendaraPlanosana::setInterval(Interval interval) {
    m_intervals->button(int(interval))->setChecked(true);
    Rebuild();
}
ColumnKind TKalendaraPlanosana::columnKind() const { return ColumnKind(m_kinds->checkedId() == 1 ? 1 : 0); }
void TKalendaraPlanosana::setColumnKind(ColumnKind kind) {
    m_kinds->button(int(kind))->setChecked(true);
    m_checkPages->setCurrentIndex(int(kind));
    resetColumnScroll();
    Rebuild();
}

void TKalendaraPlanosana::setTimeRange(const QString& from, const QString& to) {
    const QSignalBlocker a(m_cbNo);
    const QSignalBlocker b(m_cbLidz);
    m_cbNo->setCurrentIndex(std::max(0, m_cbNo->findText(from)));
    m_cbLidz->setCurrentIndex(std::max(0, m_cbLidz->findText(to)));
    m_grid->layout().setHourOffset(0);
    resetColumnScroll();
    Rebuild();
}

void TKalendaraPlanosana::setColumnWidth(int width) {
    m_columnWidth = std::max(width, int(TKalendPlanParametri::MinColumnWidth));
    Rebuild();
}

void TKalendaraPlanosana::selectWorkingHours() {
    // The working hours of N_ISI pick the combo items; "08:00" and "8:00" name the same item.
    auto select = [](QComboBox* combo, const QString& text, int fallback) {
        const int wanted = text.trimmed().isEmpty() ? fallback : minutesOfText(text);
        int best = 0;
        for (int i = 0; i < combo->count(); ++i)
            if (minutesOfText(combo->itemText(i)) <= wanted) best = i;
        combo->setCurrentIndex(best);
    };
    const QSignalBlocker a(m_cbNo);
    const QSignalBlocker b(m_cbLidz);
    select(m_cbNo, m_settings.workFrom, 8 * 60);
    select(m_cbLidz, m_settings.workTo, 18 * 60);
}

void TKalendaraPlanosana::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        widgets::Guard(this, [this] {
            m_settings = m_store.settings();
            selectWorkingHours();
            Rebuild();
        });
    }
}

void TKalendaraPlanosana::hideEvent(QHideEvent* e) {
    saveSettings();
    QWidget::hideEvent(e);
}

void TKalendaraPlanosana::Rebuild() {
    ++m_rebuilds;
    m_scrollRebuild.stop();
    m_settings = m_store.settings();
    if (m_cbLidz->currentIndex() < m_cbNo->currentIndex()) {
        const QSignalBlocker block(m_cbLidz);
        m_cbLidz->setCurrentIndex(m_cbNo->currentIndex());
    }
    PlannerQuery query;
    query.range = VisibleRange(m_cbNo->currentText(), m_cbLidz->currentText());
    query.days = ShownDays(shownDate(), interval(), m_settings.workingDays);
    query.kind = columnKind();
    query.resources = checkedResources();
    query.contentsOption = m_contentsOption;
    query.settings = m_settings;
    const PlannerData data = m_store.read(query);

    CalendarLayout layout(query.range, m_columnWidth, int(data.columns.size()));
    layout.setPictureSize(m_grid->size());
    layout.setHourOffset(m_grid->layout().hourOffset());
    layout.setColumnOffset(m_grid->layout().columnOffset());
    m_grid->setContents(layout, data.columns, data.blocks, m_settings.colors);
    m_grid->setDragEnabled(m_session.hasRight(RightsCode, app::Change));
    updateScrollBars();
}

void TKalendaraPlanosana::Redraw() {
    m_grid->relayout();
    updateScrollBars();
}

void TKalendaraPlanosana::updateScrollBars() {
    CalendarLayout& layout = m_grid->layout();
    const int hiddenHours = layout.hiddenHours();
    const int hiddenColumns = layout.hiddenColumns();
    const bool vVisible = hiddenHours > 0;
    if (vVisible != m_vbarWasVisible) {
        // The picture changed its height so much that the bar comes or goes: start from the top.
        m_vbarWasVisible = vVisible;
        layout.setHourOffset(0);
    }
    {
        const QSignalBlocker a(m_vbar);
        m_vbar->setRange(0, hiddenHours);
        m_vbar->setPageStep(std::max(1, m_grid->height() / CalendarLayout::HourHeight - 1));
        m_vbar->setValue(layout.hourOffset());
        m_vbar->setVisible(vVisible);
    }
    {
        const QSignalBlocker b(m_hbar);
        m_hbar->setRange(0, hiddenColumns);
        m_hbar->setPageStep(std::max(1, layout.wholeVisibleColumns()));
        m_hbar->setValue(layout.columnOffset());
        m_hbar->setVisible(hiddenColumns > 0);
    }
}

void TKalendaraPlanosana::resetColumnScroll() {
    m_grid->layout().setColumnOffset(0);
    const QSignalBlocker block(m_hbar);
    m_hbar->setValue(0);
}

bool TKalendaraPlanosana::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == m_lbPersonals->viewport() || watched == m_lbKabineti->viewport())) {
        // Three columns whatever the width.
        auto* list = watched == m_lbPersonals->viewport() ? m_lbPersonals : m_lbKabineti;
        const int rowHeight = list->fontMetrics().height() + 4;
        list->setGridSize(QSize(std::max(list->viewport()->width() / 3 - 1, 40), rowHeight));
    }
    if (watched == m_grid) {
        if (event->type() == QEvent::Resize) {
            // After the grid has placed its blocks for the new size.
            QMetaObject::invokeMethod(this, [this] { updateScrollBars(); }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QScrollBar* bar = (wheel->modifiers() & Qt::ShiftModifier) ? m_hbar : m_vbar;
            if (bar->isVisible()) {
                const int steps = wheel->angleDelta().y() / 120;
                bar->setValue(bar->value() - steps);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TKalendaraPlanosana::openParameters() {
    TKalendPlanParametri parameters(m_session, this);
    parameters.start(m_columnWidth, m_contentsOption);
    parameters.exec();
    m_columnWidth = parameters.columnWidth();
    m_contentsOption = parameters.contentsOption();
    saveSettings();
    widgets::Guard(this, [this] { Rebuild(); });
}

void TKalendaraPlanosana::openEditor(const app::AppointmentTarget& target) {
    const auto& open = m_session.facades().calendar.openAppointment;
    if (!open) return;  // the appointment editor is not part of this program
    open(this, target);
    widgets::Guard(this, [this] { Rebuild(); });
}

void TKalendaraPlanosana::onSlotDoubleClicked(PlannerSlot slot) {
    const QVector<PlannerColumn>& columns = m_grid->columns();
    if (slot.column < 0 || slot.column >= columns.size()) return;
    const PlannerColumn& column = columns.at(slot.column);
    app::AppointmentTarget target;
    (columnKind() == ColumnKind::Specialists ? target.specialistKey : target.roomKey) = column.key;
    target.slot = QDateTime(column.date, QTime(slot.minutes / 60, slot.minutes % 60));
    openEditor(target);
}

void TKalendaraPlanosana::onAppointmentDoubleClicked(int blockIndex) {
    const PlannerBlock block = m_grid->blocks().at(blockIndex);
    const PlannerColumn column = m_grid->columns().at(block.column);
    app::AppointmentTarget target;
    target.appointmentKey = block.appointmentKey;
    target.specialistKey = block.specialistKey;
    target.slot = QDateTime(column.date, QTime(0, 0)).addSecs(qint64(block.startMinutes) * 60);
    openEditor(target);
}

void TKalendaraPlanosana::onAppointmentDropped(int blockIndex, PlannerSlot target) {
    const PlannerBlock block = m_grid->blocks().at(blockIndex);
    const QVector<PlannerColumn>& columns = m_grid->columns();
    if (target.column < 0 || target.column >= columns.size()) return;
    if (!m_session.hasRight(RightsCode, app::Change)) {
        QMessageBox::warning(this, QString(), tr("Jums nav tiesības labot pieteikumu (lietotāju tiesības) !!!"));
        return;
    }
    AppointmentMove move;
    move.appointmentKey = block.appointmentKey;
    move.stamp = block.stamp;
    move.fromDate = columns.at(block.column).date;
    move.durationMinutes = block.durationMinutes;
    move.kind = columnKind();
    move.targetKey = columns.at(target.column).key;
    move.toDate = columns.at(target.column).date;
    move.toMinutes = target.minutes;
    widgets::Guard(this, [&] {
        const QString refusal = m_store.moveRefusal(move);
        if (!refusal.isEmpty()) {
            QMessageBox::warning(this, QString(), refusal);
            return;
        }
        // Clinics book two patients at once on purpose; it must not happen by a slip of the mouse.
        if (m_store.slotTaken(move) &&
            QMessageBox::question(this, QString(), tr("Šajā laikā jau ir pieraksts. Vai tiešām vēlaties pārvietot ?"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        const MoveResult result = m_store.move(move, m_session.UserIsn());
        if (!result.moved) QMessageBox::warning(this, QString(), result.message);
    });
    widgets::Guard(this, [this] { Rebuild(); });
}

}  // namespace calendar
