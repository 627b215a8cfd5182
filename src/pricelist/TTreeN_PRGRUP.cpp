#include "pricelist/TTreeN_PRGRUP.h"

#include <QHash>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace pricelist {

namespace {
constexpr int RecIsn = Qt::UserRole;
constexpr int RecParent = Qt::UserRole + 1;
}  // namespace

TTreeMyRec TTreeMyRec::of(const QTreeWidgetItem* node) {
    if (!node) return {};
    return {node->data(0, RecIsn).toInt(), node->data(0, RecParent).toInt()};
}

void TTreeMyRec::attach(QTreeWidgetItem* node, const TTreeMyRec& rec) {
    node->setData(0, RecIsn, rec.Isn);
    node->setData(0, RecParent, rec.IsParent);
}

QTreeWidgetItem* TTreeMyRec::findNode(QTreeWidget* tree, int isn) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (of(*it).Isn == isn) return *it;
    return nullptr;
}

TTreeN_PRGRUP::TTreeN_PRGRUP(QTreeWidget* tree, TTreeMyRec* rec, int startParent, const PriceListFilter& filter,
                             PriceListStore& store) {
    QVector<PriceGroupRow> rows;
    QTreeWidgetItem* start = nullptr;
    if (startParent == 0) {
        rows = filter.isEmpty() ? store.allGroups() : store.filteredGroups(filter);
        tree->clear();
    } else {
        rows = store.childGroups(startParent, filter);
        start = TTreeMyRec::findNode(tree, startParent);
    }

    // Nodes first, then the links: the filtered list is ordered by parent key, so a child may come
    // before its parent. A group whose parent is not shown (its parent holds no matching
    // manipulation) stands at the top level rather than under an unrelated group.
    QHash<int, QTreeWidgetItem*> byKey;
    QVector<QTreeWidgetItem*> nodes;
    nodes.reserve(rows.size());
    for (const PriceGroupRow& g : rows) {
        auto* node = new QTreeWidgetItem(QStringList{g.name});
        node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
        TTreeMyRec::attach(node, {g.isn, g.parent});
        byKey.insert(g.isn, node);
        nodes.append(node);
    }
    for (int i = 0; i < rows.size(); ++i) {
        const PriceGroupRow& g = rows[i];
        QTreeWidgetItem* parent = nullptr;
        if (start && g.parent == startParent) parent = start;
        else if (g.parent != 0 && g.parent != g.isn) parent = byKey.value(g.parent, nullptr);
        // Parent links that loop (a damaged tree) must not hang a node below itself.
        for (QTreeWidgetItem* up = parent; up; up = up->parent())
            if (up == nodes[i]) {
                parent = nullptr;
                break;
            }
        if (parent) parent->addChild(nodes[i]);
        else if (start) start->addChild(nodes[i]);
        else tree->addTopLevelItem(nodes[i]);
    }
    m_count = int(nodes.size());

    if (startParent == 0 && tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
    if (rec) *rec = TTreeMyRec::of(tree->currentItem());
}

}  // namespace pricelist
