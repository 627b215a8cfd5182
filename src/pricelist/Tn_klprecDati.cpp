#include "pricelist/Tn_klprecDati.h"

#include "models/ResultTableModel.h"
#include "pricelist/AttachedItems.h"

#include <QCheckBox>
#include <QHash>
#include <functional>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace pricelist {

namespace {

QString numberText(const QVariant& v, const QString& format) {
    return v.isValid() && !v.isNull() ? models::formatValue(v, format) : QString();
}

// The typed value, or the stored one when the text still shows it (so that a price stored with
// more decimals than shown is not rounded by a save that did not touch it).
QVariant typedNumber(const QString& text, const QVariant& stored, const QString& format, bool integer) {
    if (text == numberText(stored, format)) return stored;
    if (text.trimmed().isEmpty()) return {};
    bool ok = false;
    if (integer) {
        const int i = text.trimmed().toInt(&ok);
        return ok ? QVariant(i) : stored;
    }
    const double d = ParsePrice(text, &ok);
    return ok ? QVariant(d) : stored;
}

const QString Money = QStringLiteral("0.00");

}  // namespace

QColor Tn_klprecDati::toQColor(int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
int Tn_klprecDati::fromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

Tn_klprecDati::Tn_klprecDati(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        return e;
    };
    const auto* money = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}([.,]\\d{0,2})?")), this);
    m_cbGrupa = new QComboBox(this);
    m_cbGrupa->setObjectName(QStringLiteral("cbGrupa"));
    m_edKods = edit("edKods", 30);
    m_edMisKods = edit("edMisKods", 30);
    m_edArtikuls = edit("edArtikuls", 30);
    m_edGnos = edit("edGnos", 200);
    m_edCena = edit("edCena", 15);
    m_edCena->setValidator(money);
    m_edMaxCena = edit("edMaxCena", 15);
    m_edMaxCena->setValidator(money);
    m_cbPvn = new QComboBox(this);
    m_cbPvn->setObjectName(QStringLiteral("cbPvn"));
    for (int rate : PriceListStore::VatRates()) m_cbPvn->addItem(QString::number(rate), rate);
    m_edLaiks = edit("edLaiks", 5);
    m_edLaiks->setValidator(new QIntValidator(0, 99999, m_edLaiks));
    m_cbAnestezija = new QComboBox(this);
    m_cbAnestezija->setObjectName(QStringLiteral("cbAnestezija"));
    m_cbAnestezija->addItems({tr("Nav"), tr("Infiltrācijas"), tr("Infiltrācijas un novadu"), tr("Virsmas")});
    m_chkKoferdams = new QCheckBox(tr("Koferdams"), this);
    m_chkKoferdams->setObjectName(QStringLiteral("chkKoferdams"));
    m_btKrasa = new QPushButton(this);
    m_btKrasa->setObjectName(QStringLiteral("btKrasa"));
    m_edFirstNotif = edit("edFirstNotif", 4);
    m_edFirstNotif->setValidator(new QIntValidator(0, 9999, m_edFirstNotif));
    m_edSecondNotif = edit("edSecondNotif", 4);
    m_edSecondNotif->setValidator(new QIntValidator(0, 9999, m_edSecondNotif));

    form->addRow(tr("Grupa"), m_cbGrupa);
    form->addRow(tr("Kods"), m_edKods);
    form->addRow(tr("Ims kods"), m_edMisKods);
    form->addRow(tr("Artikuls"), m_edArtikuls);
    form->addRow(tr("Manipulācijas nosaukums"), m_edGnos);
    form->addRow(tr("Cena"), m_edCena);
    form->addRow(tr("Max cena"), m_edMaxCena);
    form->addRow(tr("PVN %"), m_cbPvn);
    form->addRow(tr("Manipulācijas ilgums"), m_edLaiks);
    form->addRow(tr("Anestēzija"), m_cbAnestezija);
    form->addRow(QString(), m_chkKoferdams);
    form->addRow(tr("Krāsa :"), m_btKrasa);
    form->addRow(tr("Pirmais atgādinājums (dienas)"), m_edFirstNotif);
    form->addRow(tr("Otrais atgādinājums (dienas)"), m_edSecondNotif);
    layout->addLayout(form);

    auto* attached = new QGroupBox(tr("Pievienotās preces"), this);
    attached->setObjectName(QStringLiteral("gbPievienotas"));
    m_grdPievienotas = new QTableWidget(0, 3, attached);
    m_grdPievienotas->setObjectName(QStringLiteral("grdPievienotas"));
    m_grdPievienotas->setHorizontalHeaderLabels({tr("Manipulācija"), tr("Cena"), tr("Daudzums")});
    m_grdPievienotas->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grdPievienotas->verticalHeader()->setVisible(false);
    m_grdPievienotas->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grdPievienotas->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdPievienotas->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdPievienotas->setMinimumHeight(m_grdPievienotas->verticalHeader()->defaultSectionSize() * 4);
    auto* btPievienot = new QPushButton(tr("Pievienot"), attached);
    btPievienot->setObjectName(QStringLiteral("btPievienot"));
    auto* btNonemt = new QPushButton(tr("Noņemt"), attached);
    btNonemt->setObjectName(QStringLiteral("btNonemt"));
    auto* attachedButtons = new QVBoxLayout;
    attachedButtons->addWidget(btPievienot);
    attachedButtons->addWidget(btNonemt);
    attachedButtons->addStretch();
    auto* attachedLayout = new QHBoxLayout(attached);
    attachedLayout->addWidget(m_grdPievienotas, 1);
    attachedLayout->addLayout(attachedButtons);
    layout->addWidget(attached, 1);

    auto* buttons = new QHBoxLayout;
    m_btSaglabat = new QPushButton(tr("&Saglabāt"), this);
    m_btSaglabat->setObjectName(QStringLiteral("btSaglabat"));
    m_btAtcelt = new QPushButton(tr("Atcelt"), this);
    m_btKopet = new QPushButton(tr("Kopēt datus no tekošās jaunai precei"), this);
    buttons->addWidget(m_btSaglabat);
    buttons->addWidget(m_btAtcelt);
    buttons->addStretch();
    buttons->addWidget(m_btKopet);
    layout->addLayout(buttons);

    connect(m_btSaglabat, &QPushButton::clicked, this, &Tn_klprecDati::saveRequested);
    connect(m_btAtcelt, &QPushButton::clicked, this, &Tn_klprecDati::cancelRequested);
    connect(m_btKopet, &QPushButton::clicked, this, &Tn_klprecDati::copyRequested);
    connect(btPievienot, &QPushButton::clicked, this, &Tn_klprecDati::attachRequested);
    connect(btNonemt, &QPushButton::clicked, this, [this] { removeAttached(m_grdPievienotas->currentRow()); });
    connect(m_grdPievienotas, &QTableWidget::itemChanged, this, [this] {
        if (!m_showingAttached) m_attachedChanged = true;
    });
    connect(m_btKrasa, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(m_color ? toQColor(m_color) : QColor(Qt::black), this, tr("Krāsa :"));
        if (!c.isValid()) return;
        m_color = fromQColor(c);
        showColor();
    });
    showColor();
}

void Tn_klprecDati::setGroups(const QVector<PriceGroupRow>& groups) {
    const int current = m_cbGrupa->currentData().toInt();
    m_cbGrupa->clear();
    // Children follow their parents in tree order, indented by depth.
    QHash<int, QVector<const PriceGroupRow*>> children;
    for (const PriceGroupRow& g : groups) children[g.depth <= 1 ? 0 : g.parent].append(&g);
    std::function<void(int, int)> add = [&](int parent, int depth) {
        for (const PriceGroupRow* g : children.value(parent)) {
            m_cbGrupa->addItem(QString(depth * 3, QLatin1Char(' ')) + g->name.trimmed(), g->isn);
            if (g->isn != parent) add(g->isn, depth + 1);
        }
    };
    add(0, 0);
    m_cbGrupa->setCurrentIndex(m_cbGrupa->findData(current));
}

void Tn_klprecDati::setItem(const PriceItem& item) {
    m_item = item;
    int g = m_cbGrupa->findData(item.group);
    if (g < 0 && item.group > 0) {
        // A group the list does not offer (e.g. below the ninth level): keep it choosable.
        m_cbGrupa->addItem(QString::number(item.group), item.group);
        g = m_cbGrupa->count() - 1;
    }
    m_cbGrupa->setCurrentIndex(g);
    m_edKods->setText(item.code);
    m_edMisKods->setText(item.misCode);
    m_edArtikuls->setText(item.article);
    m_edGnos->setText(item.name);
    m_edCena->setText(numberText(item.price, Money));
    m_edMaxCena->setText(numberText(item.maxPrice, Money));
    int v = m_cbPvn->findData(item.vat);
    if (v < 0) {
        // A stored rate outside the offered list stays as it is unless the user changes it.
        m_cbPvn->addItem(QString::number(item.vat), item.vat);
        v = m_cbPvn->count() - 1;
    }
    m_cbPvn->setCurrentIndex(v);
    m_edLaiks->setText(numberText(item.minutes, QString()));
    m_cbAnestezija->setCurrentIndex(qBound(0, item.anaesthesia, 3));
    m_chkKoferdams->setChecked(item.rubberDam);
    m_color = item.color;
    showColor();
    m_edFirstNotif->setText(numberText(item.firstNotif, QString()));
    m_edSecondNotif->setText(numberText(item.secondNotif, QString()));
    m_attachedChanged = false;
    showAttached(ParseAttachedItems(item.attached));
}

void Tn_klprecDati::showAttached(const QVector<AttachedItem>& items) {
    m_showingAttached = true;
    m_grdPievienotas->setRowCount(0);
    for (const AttachedItem& a : items) {
        const int row = m_grdPievienotas->rowCount();
        m_grdPievienotas->insertRow(row);
        auto* name = new QTableWidgetItem(m_nameOf ? m_nameOf(a.item) : QString::number(a.item));
        name->setData(Qt::UserRole, a.item);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        m_grdPievienotas->setItem(row, 0, name);
        auto* price = new QTableWidgetItem(QString::number(a.price, 'f', 2));
        price->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grdPievienotas->setItem(row, 1, price);
        auto* quantity = new QTableWidgetItem(QString::number(a.quantity, 'g', 15));
        quantity->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grdPievienotas->setItem(row, 2, quantity);
    }
    m_showingAttached = false;
}

void Tn_klprecDati::addAttached(int item, double price) {
    // The list as shown, then the new line.
    QVector<AttachedItem> items = ParseAttachedItems(attachedText());
    items.append({item, price, 1});
    showAttached(items);
    m_attachedChanged = true;
    m_grdPievienotas->setCurrentCell(m_grdPievienotas->rowCount() - 1, 1);
}

void Tn_klprecDati::removeAttached(int row) {
    if (row < 0 || row >= m_grdPievienotas->rowCount()) return;
    m_grdPievienotas->removeRow(row);
    m_attachedChanged = true;
}

QString Tn_klprecDati::attachedProblem() {
    for (int row = 0; row < m_grdPievienotas->rowCount(); ++row) {
        for (int column : {1, 2}) {
            bool ok = false;
            const double value = ParsePrice(m_grdPievienotas->item(row, column)->text(), &ok);
            if (ok && (column == 1 || value > 0)) continue;
            m_grdPievienotas->setCurrentCell(row, column);
            m_grdPievienotas->setFocus();
            return column == 1 ? tr("Nekorekta pievienotās preces cena !!!")
                               : tr("Nekorekts pievienotās preces daudzums !!!");
        }
    }
    return QString();
}

QString Tn_klprecDati::attachedText() const {
    if (!m_attachedChanged) return m_item.attached;
    QVector<AttachedItem> items;
    for (int row = 0; row < m_grdPievienotas->rowCount(); ++row) {
        bool priceOk = false, quantityOk = false;
        AttachedItem a;
        a.item = m_grdPievienotas->item(row, 0)->data(Qt::UserRole).toInt();
        a.price = ParsePrice(m_grdPievienotas->item(row, 1)->text(), &priceOk);
        a.quantity = ParsePrice(m_grdPievienotas->item(row, 2)->text(), &quantityOk);
        // attachedProblem() stops a save before an unreadable line could be left out here.
        if (priceOk && quantityOk) items.append(a);
    }
    return AttachedItemsText(items);
}

PriceItem Tn_klprecDati::item() const {
    PriceItem it = m_item;
    it.group = m_cbGrupa->currentIndex() >= 0 ? m_cbGrupa->currentData().toInt() : 0;
    it.code = m_edKods->text();
    it.misCode = m_edMisKods->text();
    it.article = m_edArtikuls->text();
    it.name = m_edGnos->text();
    it.price = typedNumber(m_edCena->text(), m_item.price, Money, false);
    it.maxPrice = typedNumber(m_edMaxCena->text(), m_item.maxPrice, Money, false);
    it.vat = m_cbPvn->currentData().toInt();
    it.minutes = typedNumber(m_edLaiks->text(), m_item.minutes, QString(), true);
    // An anaesthesia value outside the list is kept unless the user picks another.
    if (m_cbAnestezija->currentIndex() != qBound(0, m_item.anaesthesia, 3)) it.anaesthesia = m_cbAnestezija->currentIndex();
    it.rubberDam = m_chkKoferdams->isChecked();
    it.color = m_color;
    it.firstNotif = typedNumber(m_edFirstNotif->text(), m_item.firstNotif, QString(), true);
    it.secondNotif = typedNumber(m_edSecondNotif->text(), m_item.secondNotif, QString(), true);
    it.attached = attachedText();
    return it;
}

void Tn_klprecDati::focusField(PriceListResult::Field field) {
    switch (field) {
    case PriceListResult::Field::Name: m_edGnos->setFocus(); break;
    case PriceListResult::Field::Group: m_cbGrupa->setFocus(); break;
    case PriceListResult::Field::Code: m_edKods->setFocus(); break;
    case PriceListResult::Field::None: break;
    }
}

void Tn_klprecDati::setEditable(bool canSave) { m_btSaglabat->setEnabled(canSave); }

void Tn_klprecDati::showColor() {
    const QColor c = m_color ? toQColor(m_color) : palette().color(QPalette::Button);
    m_btKrasa->setText(m_color ? QString() : tr("Nav"));
    m_btKrasa->setStyleSheet(m_color ? QStringLiteral("background-color: %1").arg(c.name()) : QString());
}

}  // namespace pricelist
