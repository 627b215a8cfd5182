#include "app/TAtlautasDienas.h"
#include "widgets/FocusHighlight.h"

#include "app/ChangeNotifier.h"
#include "widgets/LiveRefresh.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace app {

namespace {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

TAtlautasDienas::TAtlautasDienas(Session& session, QWidget* parent, const QDate& today)
    : QWidget(parent, Qt::Window), m_session(session), m_store(session) {
    setObjectName(QStringLiteral("AtlautasDienas"));
    setWindowTitle(tr("Atļautās/Neatļautās dienas"));
    // Days locked or opened on another workstation show up at once.
    auto* live = new widgets::LiveRefresh(this, [this] {
        try {
            markMonths();
            fillMonth();
        } catch (const db::DbError& err) {
            showError(err);
        }
    });
    connect(&m_session.notifier(), &ChangeNotifier::dayLocksChanged, live, &widgets::LiveRefresh::request);

    m_years = new QListWidget(this);
    m_years->setObjectName(QStringLiteral("lbGadi"));
    m_months = new QListWidget(this);
    m_months->setObjectName(QStringLiteral("lbMenesi"));
    m_days = new QListWidget(this);
    m_days->setObjectName(QStringLiteral("lbDienas"));
    m_keepOpen = new QLineEdit(this);
    m_keepOpen->setObjectName(QStringLiteral("edBlokDienas"));
    m_keepOpen->setMaximumWidth(80);
    auto* close = new QPushButton(tr("Aizvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Gadi :"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Mēneši :"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Dienas :"), this), 0, 2);
    grid->addWidget(m_years, 1, 0);
    grid->addWidget(m_months, 1, 1);
    grid->addWidget(m_days, 1, 2);
    grid->addWidget(new QLabel(tr("[X] - Datums aizliegts labošanai"), this), 2, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(tr("Atļaut koriģēt pēdējās dienas :"), this));
    bottom->addWidget(m_keepOpen);
    bottom->addWidget(new QLabel(tr("0 - Automātiski nebloķēt"), this));
    bottom->addStretch();
    bottom->addWidget(close);
    grid->addLayout(bottom, 3, 0, 1, 3);
    resize(520, 480);
    widgets::HighlightFocusedInputs(this, [&session] { return session.HighlightColor(); });

    for (int y = DayLockStore::firstYear(); y <= DayLockStore::lastYear(today); ++y)
        m_years->addItem(QString::number(y));
    const QStringList monthNames{tr("Janvāris"),  tr("Februāris"), tr("Marts"),      tr("Aprīlis"),
                                 tr("Maijs"),     tr("Jūnijs"),    tr("Jūlijs"),     tr("Augusts"),
                                 tr("Septembris"), tr("Oktobris"), tr("Novembris"), tr("Decembris")};
    for (const QString& name : monthNames) {
        auto* item = new QListWidgetItem(name, m_months);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_years->setCurrentRow(today.year() - DayLockStore::firstYear());
    m_months->setCurrentRow(today.month() - 1);

    try {
        if (m_store.needsFirstFill(today)) {
            WaitCursor wait;
            m_store.ensureDays(QDate(DayLockStore::firstYear(), 1, 1), QDate(DayLockStore::lastYear(today), 12, 31));
        }
        fillMonth();
        markMonths();
    } catch (const db::DbError& e) {
        showError(e);
    }

    connect(m_years, &QListWidget::currentRowChanged, this, [this] {
        try {
            fillMonth();
            markMonths();
        } catch (const db::DbError& e) {
            showError(e);
        }
    });
    connect(m_months, &QListWidget::currentRowChanged, this, [this] {
        try {
            fillMonth();
        } catch (const db::DbError& e) {
            showError(e);
        }
    });
    connect(m_days, &QListWidget::itemChanged, this, &TAtlautasDienas::dayChanged);
    connect(m_months, &QListWidget::itemChanged, this, &TAtlautasDienas::monthChanged);
}

int TAtlautasDienas::selectedYear() const {
    const QListWidgetItem* item = m_years->currentItem();
    return item ? item->text().toInt() : QDate::currentDate().year();
}

int TAtlautasDienas::selectedMonth() const { return qMax(0, m_months->currentRow()) + 1; }

void TAtlautasDienas::fillMonth() {
    const QVector<bool> days = m_store.fillMonth(selectedYear(), selectedMonth());
    m_filling = true;
    m_days->clear();
    for (int d = 0; d < days.size(); ++d) {
        auto* item = new QListWidgetItem(QString::number(d + 1), m_days);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(days[d] ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void TAtlautasDienas::markMonths() {
    const QVector<bool> marks = m_store.monthMarks(selectedYear());
    m_filling = true;
    for (int m = 0; m < 12 && m < m_months->count(); ++m)
        m_months->item(m)->setCheckState(marks[m] ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
}

void TAtlautasDienas::dayChanged(QListWidgetItem* item) {
    if (m_filling) return;
    const QDate day(selectedYear(), selectedMonth(), m_days->row(item) + 1);
    try {
        m_store.setDay(day, item->checkState() == Qt::Checked);
        markMonths();
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void TAtlautasDienas::monthChanged(QListWidgetItem* item) {
    if (m_filling) return;
    const int month = m_months->row(item) + 1;
    try {
        m_store.setMonth(selectedYear(), month, item->checkState() == Qt::Checked);
        if (month == selectedMonth()) fillMonth();
        markMonths();
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void TAtlautasDienas::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    try {
        m_keepOpen->setText(QString::number(m_store.keepOpenDays()));
    } catch (const db::DbError& err) {
        showError(err);
    }
}

void TAtlautasDienas::closeEvent(QCloseEvent* e) {
    try {
        const QString problem = m_store.setKeepOpenDays(m_keepOpen->text());
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), problem);
            m_keepOpen->setFocus();
            m_keepOpen->selectAll();
            e->ignore();
            return;
        }
    } catch (const db::DbError& err) {
        showError(err);
    }
    QWidget::closeEvent(e);
}

void TAtlautasDienas::showError(const db::DbError& e) {
    QMessageBox::critical(this, windowTitle(), tr("Sistēmas kļūda: ") + e.message());
}

}  // namespace app
