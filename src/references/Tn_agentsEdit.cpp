#include "references/Tn_agentsEdit.h"
#include "app/TextNormalize.h"
#include "widgets/ColorBox.h"

#include <QCheckBox>
#include <QComboBox>
#include "widgets/NullableDateEdit.h"
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace references {

Tn_agentsEdit::Tn_agentsEdit(app::Session& session, QWidget* parent)
    : ReferenceCard(session, QStringLiteral("N_AGENTS"), parent), m_pages(new QTabWidget(this)) {
    setWindowTitle(tr("Dati par speciālistu"));
    // Names are written as the patient card writes them: "Ābele", whatever the case typed.
    for (QLineEdit* name : {addText(QStringLiteral("UZVARDS"), tr("Uzvārds"), 60), addText(QStringLiteral("VARDS"), tr("Vārds"), 60)})
        connect(name, &QLineEdit::editingFinished, name, [name] { name->setText(app::CapitalizeName(name->text())); });
    addText(QStringLiteral("PERS_KODS"), tr("Personas kods"), 11);
    addText(QStringLiteral("SPECIALITATE"), tr("Specialitāte"), 250);
    addText(QStringLiteral("SERTIFIKATS"), tr("Sertifikāts"), 250);
    m_blokets = new QCheckBox(tr("Bloķēts"), this);
    m_blokets->setObjectName(QStringLiteral("BLOKETS"));
    form()->addRow(QString(), m_blokets);
    m_color = new widgets::ColorBox(this);
    m_color->setObjectName(QStringLiteral("COLOR"));
    form()->addRow(tr("Krāsa kalendārā :"), m_color);

    mainLayout()->removeWidget(formPage());
    m_pages->addTab(formPage(), tr("Anketas dati"));
    auto* busyPage = new QWidget(this);
    auto* busyLayout = new QVBoxLayout(busyPage);
    busyLayout->addWidget(makeBusyBox(0, tr("Datumi")));
    busyLayout->addWidget(makeBusyBox(1, tr("Nedēļas dienas")));
    m_pages->addTab(busyPage, tr("Aizņemtie laiki"));
    mainLayout()->insertWidget(0, m_pages);
}

QString Tn_agentsEdit::column(int which) {
    return which == 0 ? QStringLiteral("NESTRADA_DATUMS") : QStringLiteral("NESTRADA_DIENAS");
}

QWidget* Tn_agentsEdit::makeBusyBox(int which, const QString& title) {
    BusyControls& c = m_busy[which];
    const QString suffix = which == 0 ? QStringLiteral("Datums") : QStringLiteral("Diena");
    auto* box = new QGroupBox(title, this);
    auto* grid = new QGridLayout(box);
    if (which == 0) {
        c.day = new widgets::NullableDateEdit(QDate::currentDate(), box);
        grid->addWidget(new QLabel(tr("Datums"), box), 0, 0);
    } else {
        auto* weekday = new QComboBox(box);
        weekday->addItems(NonReceivingTimes::WeekdayNames());
        c.day = weekday;
        grid->addWidget(new QLabel(tr("Diena"), box), 0, 0);
    }
    c.day->setObjectName(QStringLiteral("dtp") + suffix);
    c.allDays = new QCheckBox(tr("Visi"), box);
    c.allDays->setObjectName(QStringLiteral("chkVisi") + suffix);
    c.from = new QComboBox(box);
    c.to = new QComboBox(box);
    c.from->addItems(NonReceivingTimes::TimeChoices());
    c.to->addItems(NonReceivingTimes::TimeChoices());
    c.to->setCurrentIndex(c.to->count() - 1);
    c.from->setObjectName(QStringLiteral("cbNo") + suffix);
    c.to->setObjectName(QStringLiteral("cbLidz") + suffix);
    c.allTimes = new QCheckBox(tr("Visi"), box);
    c.allTimes->setObjectName(QStringLiteral("chkVisiLaiks") + suffix);
    c.list = new QListWidget(box);
    c.list->setObjectName(QStringLiteral("lb") + suffix);
    auto* add = new QPushButton(tr("Pievienot"), box);
    add->setObjectName(QStringLiteral("btPievienot") + suffix);
    auto* remove = new QPushButton(tr("Dzēst"), box);
    remove->setObjectName(QStringLiteral("btDzest") + suffix);
    grid->addWidget(c.day, 0, 1);
    grid->addWidget(c.allDays, 0, 2);
    grid->addWidget(new QLabel(tr("Laiks"), box), 1, 0);
    auto* times = new QHBoxLayout;
    times->addWidget(c.from);
    times->addWidget(new QLabel(QStringLiteral("-"), box));
    times->addWidget(c.to);
    grid->addLayout(times, 1, 1);
    grid->addWidget(c.allTimes, 1, 2);
    grid->addWidget(c.list, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(c.allDays, &QCheckBox::toggled, c.day, &QWidget::setDisabled);
    connect(c.allTimes, &QCheckBox::toggled, this, [&c](bool on) {
        c.from->setDisabled(on);
        c.to->setDisabled(on);
    });
    connect(add, &QPushButton::clicked, this, [this, which] { addBusyLine(which); });
    connect(remove, &QPushButton::clicked, this, [this, which] { removeBusyLine(which); });
    return box;
}

void Tn_agentsEdit::addBusyLine(int which) {
    BusyControls& c = m_busy[which];
    NonReceivingLine line;
    if (which == 0) {
        auto* date = static_cast<widgets::NullableDateEdit*>(c.day);
        if (!c.allDays->isChecked() && !date->commitText()) {
            date->reportUnreadable();
            return;
        }
        line.day = NonReceivingTimes::DatePart(c.allDays->isChecked(), date->date());
    } else {
        line.day = NonReceivingTimes::WeekdayPart(c.allDays->isChecked(),
                                                  static_cast<QComboBox*>(c.day)->currentIndex());
    }
    line.time =
        NonReceivingTimes::TimePart(c.allTimes->isChecked(), c.from->currentText(), c.to->currentText());
    c.lines.append(line);
    storeBusy(which);
    showBusy(which);
    c.list->setCurrentRow(c.list->count() - 1);
}

void Tn_agentsEdit::removeBusyLine(int which) {
    BusyControls& c = m_busy[which];
    const int row = c.list->currentRow();
    if (row < 0 || row >= c.lines.size()) return;
    c.lines.removeAt(row);
    storeBusy(which);
    showBusy(which);
}

void Tn_agentsEdit::storeBusy(int which) {
    // A stored specialist keeps the change at once; a new one gets the lines with its first save.
    if (key() <= 0) return;
    const QString text = NonReceivingTimes::Format(m_busy[which].lines);
    try {
        store().update(key(), {{column(which), text.isEmpty() ? QVariant() : QVariant(text)}});
    } catch (const db::DbError& e) {
        showMessage(tr("Sistēmas kļūda: ") + e.message());
    }
}

void Tn_agentsEdit::showBusy(int which) {
    BusyControls& c = m_busy[which];
    c.list->clear();
    for (const NonReceivingLine& l : c.lines) c.list->addItem(NonReceivingTimes::Describe(l, which == 1));
}

void Tn_agentsEdit::fillExtra(const QVariantHash& values) {
    m_blokets->setChecked(values.value(QStringLiteral("BLOKETS")).toInt() == 1);
    const QVariant color = values.value(QStringLiteral("COLOR"));
    if (color.isValid())
        m_color->setStoredColor(color.toInt());
    else
        m_color->setColor(Qt::white);
    for (int which : {0, 1}) {
        m_busy[which].lines = NonReceivingTimes::Parse(values.value(column(which)).toString());
        showBusy(which);
    }
}

void Tn_agentsEdit::collectExtra(QVariantHash& values) const {
    values.insert(QStringLiteral("BLOKETS"), m_blokets->isChecked() ? 1 : 0);
    values.insert(QStringLiteral("COLOR"), m_color->storedColor());
    for (int which : {0, 1}) {
        const QString text = NonReceivingTimes::Format(m_busy[which].lines);
        values.insert(column(which), text.isEmpty() ? QVariant() : QVariant(text));
    }
}

}  // namespace references
