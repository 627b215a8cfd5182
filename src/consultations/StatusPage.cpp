#include "consultations/StatusPage.h"

#include "consultations/PeriodontalGrid.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace consultations {

namespace {

namespace pg = periodontal;

// The pockets row's values are typed; two characters keep a full row within its column (32
// teeth of "NN_vv|" are 192 of 200 characters).
constexpr int PocketWidth = 2;
// Width of the status text columns.
constexpr int StatusWidth = 250;

struct StatusField {
    const char* column;
    const char* caption;
};

const QVector<StatusField>& statusFields() {
    static const QVector<StatusField> fields{
        {"GLOTADA", QT_TRANSLATE_NOOP("TKonsultacijas", "Gļotāda")},
        {"SAKODIENS", QT_TRANSLATE_NOOP("TKonsultacijas", "Sakodiens")},
        {"DENINI", QT_TRANSLATE_NOOP("TKonsultacijas", "Deniņi/Apakšžoklis")},
        {"PROTEZES", QT_TRANSLATE_NOOP("TKonsultacijas", "Protēzes")},
        {"RENTGENS_1", QT_TRANSLATE_NOOP("TKonsultacijas", "Rentgens")},
        {"RENTGENS_2", ""},
        {"RENTGENS_3", ""},
        {"TM_LOCITAVA", QT_TRANSLATE_NOOP("TKonsultacijas", "TM Locītavas novērtējums")},
    };
    return fields;
}

}  // namespace

const QStringList& StatusPage::Columns() {
    static const QStringList columns = [] {
        QStringList list;
        for (int r = 0; r < pg::RowCount; ++r) list.append(QString::fromLatin1(pg::RowColumn(r)));
        for (const StatusField& f : statusFields()) list.append(QString::fromLatin1(f.column));
        list.append(QStringLiteral("MUTES_HIGIENA"));
        return list;
    }();
    return columns;
}

StatusPage::StatusPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabStatuss"));
    m_grid = new QTableWidget(1 + pg::RowCount, 1 + pg::Teeth, this);
    m_grid->setObjectName(QStringLiteral("grdStatuss"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    const int cellWidth = m_grid->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 6;
    for (int c = 1; c <= pg::Teeth; ++c) {
        m_grid->setColumnWidth(c, cellWidth);
        auto* tooth = new QTableWidgetItem(QString::number(pg::ToothOfColumn(c - 1)));
        tooth->setTextAlignment(Qt::AlignCenter);
        tooth->setFlags(Qt::ItemIsEnabled);
        tooth->setBackground(palette().button());
        m_grid->setItem(0, c, tooth);
    }
    for (int r = 0; r < pg::RowCount; ++r) {
        auto* caption = new QTableWidgetItem(pg::RowCaption(r));
        caption->setFlags(Qt::ItemIsEnabled);
        caption->setBackground(palette().button());
        m_grid->setItem(r + 1, 0, caption);
        for (int c = 1; c <= pg::Teeth; ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            m_grid->setItem(r + 1, c, cell);
        }
    }
    m_grid->setItem(0, 0, new QTableWidgetItem);
    m_grid->item(0, 0)->setFlags(Qt::ItemIsEnabled);
    m_grid->resizeColumnToContents(0);
    const int rowHeight = m_grid->fontMetrics().height() + 6;
    for (int r = 0; r <= pg::RowCount; ++r) m_grid->setRowHeight(r, rowHeight);
    m_grid->setFixedHeight(rowHeight * (pg::RowCount + 1) + 2 * m_grid->frameWidth() +
                           m_grid->horizontalScrollBar()->sizeHint().height());

    m_cellText = new QLineEdit(m_grid->viewport());
    m_cellText->setObjectName(QStringLiteral("edKabatas"));
    m_cellText->setMaxLength(PocketWidth);
    m_cellText->hide();
    m_cellChoice = new QComboBox(m_grid->viewport());
    m_cellChoice->setObjectName(QStringLiteral("cbLimenis"));
    m_cellChoice->hide();

    // The hygiene row and the status fields in two columns of four, so that the page stays low
    // enough for the consultation window on a small screen.
    m_hygiene = new QButtonGroup(this);
    auto* hygieneRow = new QHBoxLayout;
    const QStringList levels{tr("Laba"), tr("Apmierinoša"), tr("Slikta")};
    for (int i = 0; i < levels.size(); ++i) {
        auto* radio = new QRadioButton(levels.at(i), this);
        m_hygiene->addButton(radio, i + 1);
        hygieneRow->addWidget(radio);
    }
    hygieneRow->addStretch(1);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tr("Orālā higiēna"), this), 0, 0);
    fields->addLayout(hygieneRow, 0, 1, 1, 3);
    const QVector<StatusField>& all = statusFields();
    const int perColumn = (all.size() + 1) / 2;
    for (int i = 0; i < all.size(); ++i) {
        const StatusField& f = all.at(i);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(f.column));
        edit->setMaxLength(StatusWidth);
        m_fields.insert(QString::fromLatin1(f.column), edit);
        const int row = 1 + i % perColumn;
        const int column = i / perColumn * 2;
        if (*f.caption) fields->addWidget(new QLabel(tr(f.caption), this), row, column);
        fields->addWidget(edit, row, column + 1);
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(fields);
    layout->addStretch(1);

    connect(m_grid, &QTableWidget::cellClicked, this, &StatusPage::editCell);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row != m_editRow || column != m_editColumn) hideEditors();
    });
    connect(m_cellText, &QLineEdit::editingFinished, this, &StatusPage::writeText);
    connect(m_cellChoice, &QComboBox::activated, this, [this](int index) {
        if (QTableWidgetItem* cell = m_grid->item(m_editRow, m_editColumn))
            cell->setText(m_cellChoice->itemText(index));
        hideEditors();
    });
    setEditable(false);
}

QLineEdit* StatusPage::field(const QString& column) const { return m_fields.value(column); }

void StatusPage::hideEditors() {
    m_cellText->hide();
    m_cellChoice->hide();
    m_editRow = m_editColumn = -1;
}

void StatusPage::writeText() {
    if (!m_cellText->isVisible()) return;
    if (QTableWidgetItem* cell = m_grid->item(m_editRow, m_editColumn)) cell->setText(m_cellText->text().trimmed());
    hideEditors();
}

void StatusPage::editCell(int row, int column) {
    hideEditors();
    if (!m_editable || row < 1 || row > pg::RowCount || column < 1 || column > pg::Teeth) return;
    m_grid->setCurrentCell(row, column);
    m_editRow = row;
    m_editColumn = column;
    const QRect rect = m_grid->visualRect(m_grid->model()->index(row, column));
    QTableWidgetItem* cell = m_grid->item(row, column);
    if (row - 1 == pg::Pockets) {
        m_cellText->setText(cell->text());
        m_cellText->setGeometry(rect);
        m_cellText->show();
        m_cellText->setFocus();
        m_cellText->selectAll();
        return;
    }
    m_cellChoice->clear();
    m_cellChoice->addItems(pg::RowLevels(row - 1));
    m_cellChoice->setCurrentIndex(qMax(0, m_cellChoice->findText(cell->text())));
    m_cellChoice->setGeometry(rect.adjusted(0, 0, m_cellChoice->sizeHint().width() - rect.width(), 0));
    m_cellChoice->show();
    m_cellChoice->setFocus();
}

void StatusPage::showValues(const QHash<QString, QVariant>& values) {
    hideEditors();
    for (int r = 0; r < pg::RowCount; ++r) {
        const QVector<QString> cells = pg::ParseRow(values.value(QString::fromLatin1(pg::RowColumn(r))).toString());
        for (int k = 0; k < pg::Teeth; ++k) m_grid->item(r + 1, k + 1)->setText(cells.at(k));
    }
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) it.value()->setText(values.value(it.key()).toString());
    const int hygiene = values.value(QStringLiteral("MUTES_HIGIENA")).toInt();
    m_hygiene->setExclusive(false);
    for (QAbstractButton* b : m_hygiene->buttons()) b->setChecked(m_hygiene->id(b) == hygiene);
    m_hygiene->setExclusive(true);
}

QHash<QString, QVariant> StatusPage::values() const {
    QHash<QString, QVariant> v;
    // A value still in the open text box counts.
    if (m_cellText->isVisible()) const_cast<StatusPage*>(this)->writeText();
    for (int r = 0; r < pg::RowCount; ++r) {
        QVector<QString> cells(pg::Teeth);
        for (int k = 0; k < pg::Teeth; ++k) cells[k] = m_grid->item(r + 1, k + 1)->text();
        v.insert(QString::fromLatin1(pg::RowColumn(r)), pg::FormatRow(cells));
    }
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        const QString text = it.value()->text().trimmed();
        v.insert(it.key(), text.isEmpty() ? QVariant() : QVariant(text));
    }
    const int hygiene = m_hygiene->checkedId();
    v.insert(QStringLiteral("MUTES_HIGIENA"), hygiene > 0 ? QVariant(hygiene) : QVariant());
    return v;
}

void StatusPage::setEditable(bool editable) {
    m_editable = editable;
    if (!editable) hideEditors();
    for (QLineEdit* e : std::as_const(m_fields)) e->setReadOnly(!editable);
    for (QAbstractButton* b : m_hygiene->buttons()) b->setEnabled(editable);
}

}  // namespace consultations
