#pragma once
#include "pricelist/PriceListFilter.h"
#include "pricelist/PriceListStore.h"
#include "pricelist/TTreeMyRec.h"

class QTreeWidget;

namespace pricelist {

// Builds the price-group tree into a tree view. With start parent 0 the tree is rebuilt: every
// group (nine levels at most) or, with a filter, the groups holding matching manipulations. With
// a start parent the children of that group are added under its node. The first node is
// selected when the tree has nodes; rec (when given) receives the selected node's record.
class TTreeN_PRGRUP {
public:
    TTreeN_PRGRUP(QTreeWidget* tree, TTreeMyRec* rec, int startParent, const PriceListFilter& filter,
                  PriceListStore& store);

    int nodeCount() const { return m_count; }

private:
    int m_count = 0;
};

}  // namespace pricelist
