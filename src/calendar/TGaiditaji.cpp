#include "calendar/TGaiditaji.h"

#include "calendar/AppointmentStore.h"
#include "models/ResultTableModel.h"
#include "widgets/GridLayout.h"
#include "widgets/ListGrid.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace calendar {

namespace {

models::GridColumn nameColumn(const QString& title, const char* surname, const char* name) {
    models::GridColumn c;
    c.title = title;
    c.calculate = [surname = QString::fromLatin1(surname), name = QString::fromLatin1(name)](
                      const db::ResultSet& rows, int row) -> QVariant {
        return QString(rows.value(row, surname).toString() + QLatin1Char(' ') + rows.value(row, name).toString()).trimmed();
    };
    return c;
}

}  // namespace

TGaiditaji::TGaiditaji(app::Session& session, const QDate& slotDate, const QString& slotTime, QWidget* parent)
    : QDialog(parent), m_model(new models::ResultTableModel(this)), m_grid(new QTableView(this)) {
    setObjectName(QStringLiteral("TGaiditaji"));
    setWindowTitle(tr("Gaiditaji"));
    QVector<models::GridColumn> columns{
        nameColumn(tr("Uzvārds, vārds"), "KUZVARDS", "KVARDS"),
        {QStringLiteral("PLAN_DAT"), tr("Pierakstīts uz:"), QStringLiteral("dd.MM.yyyy"), {}},
        nameColumn(tr("Pierakstīts pie:"), "AUZVARDS", "AVARDS")};
    for (int day = 1; day <= 7; ++day) {
        columns.append({QStringLiteral("DIENA%1_NO").arg(day), tr("Var no"), {}, {}});
        columns.append({QStringLiteral("DIENA%1_LIDZ").arg(day), tr("Var līdz"), {}, {}});
    }
    m_model->setColumns(columns);
    m_grid->setObjectName(QStringLiteral("grdGaiditaji"));
    m_grid->setModel(m_model);
    widgets::SetupListGrid(m_grid);
    widgets::InstallPickKeys(m_grid, nullptr, [this] { choose(); });
    connect(m_grid, &QTableView::doubleClicked, this, &TGaiditaji::choose);

    auto* close = new QPushButton(tr("Ai&zvērt"), this);
    close->setObjectName(QStringLiteral("btAizvert"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(900, 420);

    m_model->setRows(AppointmentStore(session.database()).waitingList(slotDate, slotTime));
    if (m_model->rowCount() > 0) m_grid->selectRow(0);
    widgets::LoadGridLayout(m_grid);
}

TGaiditaji::~TGaiditaji() {
    widgets::SaveGridLayout(m_grid);
}

void TGaiditaji::choose() {
    const QModelIndex index = m_grid->currentIndex();
    if (!index.isValid()) return;
    m_selectedKey = m_model->fieldValue(index.row(), QStringLiteral("ISN")).toInt();
    accept();
}

}  // namespace calendar
