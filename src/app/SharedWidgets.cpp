#include "app/SharedWidgets.h"

#include "app/GridLayout.h"
#include "db/ResultTableModel.h"
#include "patients/TAtkartojasPersKodi.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableView>

namespace app {

void FillPaymentMethods(QComboBox* combo) {
    combo->clear();
    combo->addItems(PaymentMethods());
}

void SaveGridLayout(const QTableView* grid) {
    const QAbstractItemModel* model = grid->model();
    if (!model || grid->objectName().isEmpty()) return;
    const auto* results = qobject_cast<const db::ResultTableModel*>(model);
    const QHeaderView* header = grid->horizontalHeader();
    GridLayout layout;
    for (int i = 0; i < header->count(); ++i) {
        GridColumnLayout c;
        c.field = results && i < results->columnSpecs().size() ? results->columnSpecs()[i].field
                                                              : model->headerData(i, Qt::Horizontal).toString();
        c.visualIndex = header->visualIndex(i);
        c.hidden = header->isSectionHidden(i);
        // A hidden section reports width 0; keep the width it had so that showing it again works.
        c.width = c.hidden ? grid->columnWidth(i) : header->sectionSize(i);
        layout.columns.append(c);
    }
    layout.save(grid->objectName());
}

void LoadGridLayout(QTableView* grid) {
    const QAbstractItemModel* model = grid->model();
    if (!model) return;
    const auto layout = GridLayout::load(grid->objectName(), model->columnCount());
    if (!layout) return;
    QHeaderView* header = grid->horizontalHeader();
    for (int target = 0; target < layout->columns.size(); ++target) {
        for (int logical = 0; logical < layout->columns.size(); ++logical) {
            if (layout->columns[logical].visualIndex != target) continue;
            header->moveSection(header->visualIndex(logical), target);
            break;
        }
    }
    for (int logical = 0; logical < layout->columns.size(); ++logical) {
        const auto& c = layout->columns[logical];
        if (c.width > 0) header->resizeSection(logical, c.width);
        header->setSectionHidden(logical, c.hidden);
    }
}

int FindKeyByCode(db::Database& database, CodeKind kind, const QString& value, QWidget* parent) {
    return FindKeyByCode(database, kind, value, DuplicateCodeChooser([&](const QString& code) {
                             return patients::TAtkartojasPersKodi::choose(database, code, parent);
                         }));
}

}  // namespace app
