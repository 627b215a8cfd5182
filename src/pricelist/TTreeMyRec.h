#pragma once
#include <QMetaType>

class QTreeWidget;
class QTreeWidgetItem;

namespace pricelist {

// The record every node of the price-group tree carries: its group's key and parent key.
struct TTreeMyRec {
    int Isn = 0;
    int IsParent = 0;

    // Reads and writes the record of a node (kept in the node's user data).
    static TTreeMyRec of(const QTreeWidgetItem* node);
    static void attach(QTreeWidgetItem* node, const TTreeMyRec& rec);
    // The node of a group, found by scanning the tree; nullptr when the group is not shown.
    static QTreeWidgetItem* findNode(QTreeWidget* tree, int isn);
};

}  // namespace pricelist
