#include "widgets/GridLayout.h"

#include "app/Settings.h"
#include "models/ResultTableModel.h"
#include "widgets/ListGrid.h"

#include <QHeaderView>
#include <QTableView>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace widgets {

QString GridLayout::toText() const {
    QJsonArray array;
    for (const auto& c : columns)
        array.append(QJsonObject{{QStringLiteral("field"), c.field},
                                 {QStringLiteral("pos"), c.visualIndex},
                                 {QStringLiteral("width"), c.width},
                                 {QStringLiteral("hidden"), c.hidden}});
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("columns"), array}}).toJson(QJsonDocument::Compact));
}

std::optional<GridLayout> GridLayout::fromText(const QString& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonValue columns = doc.object().value(QStringLiteral("columns"));
    if (!columns.isArray()) return std::nullopt;
    GridLayout layout;
    for (const QJsonValue& v : columns.toArray()) {
        if (!v.isObject()) return std::nullopt;
        const QJsonObject o = v.toObject();
        GridColumnLayout c;
        c.field = o.value(QStringLiteral("field")).toString();
        c.visualIndex = o.value(QStringLiteral("pos")).toInt(-1);
        c.width = o.value(QStringLiteral("width")).toInt(-1);
        c.hidden = o.value(QStringLiteral("hidden")).toBool();
        if (c.visualIndex < 0 || c.width < 0) return std::nullopt;
        layout.columns.append(c);
    }
    // Visual positions must be a permutation of the columns, or the grid would lose some.
    QVector<bool> seen(layout.columns.size(), false);
    for (const auto& c : layout.columns) {
        if (c.visualIndex >= layout.columns.size() || seen[c.visualIndex]) return std::nullopt;
        seen[c.visualIndex] = true;
    }
    return layout;
}

std::optional<GridLayout> GridLayout::load(const QString& gridName, int designedColumns) {
    if (gridName.isEmpty()) return std::nullopt;
    const QString text = app::Settings::string(QString::fromLatin1(Section), gridName);
    if (text.isEmpty()) return std::nullopt;
    auto layout = fromText(text);
    if (!layout || layout->columns.size() != designedColumns) return std::nullopt;
    return layout;
}

void GridLayout::save(const QString& gridName) const {
    if (gridName.isEmpty()) return;
    app::Settings::setString(QString::fromLatin1(Section), gridName, toText());
}

void SaveGridLayout(const QTableView* grid) {
    const QAbstractItemModel* model = grid->model();
    if (!model || grid->objectName().isEmpty()) return;
    const auto* results = qobject_cast<const models::ResultTableModel*>(model);
    const QHeaderView* header = grid->horizontalHeader();
    GridLayout layout;
    for (int i = 0; i < header->count(); ++i) {
        GridColumnLayout c;
        c.field = results && i < results->gridColumns().size() ? results->gridColumns()[i].field
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
    // Layouts stored before the titles were measured may cut them.
    FitColumnsToTitles(grid);
}

}  // namespace widgets
