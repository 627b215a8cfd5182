#include "app/GridLayout.h"

#include "app/Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace app {

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
    const QString text = Settings::string(QString::fromLatin1(Section), gridName);
    if (text.isEmpty()) return std::nullopt;
    auto layout = fromText(text);
    if (!layout || layout->columns.size() != designedColumns) return std::nullopt;
    return layout;
}

void GridLayout::save(const QString& gridName) const {
    if (gridName.isEmpty()) return;
    Settings::setString(QString::fromLatin1(Section), gridName, toText());
}

}  // namespace app
