#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace pricelist {

// One item that a manipulation brings along (N_PRECE.PIEVPRECES): a plan or treatment line made
// from the manipulation gets one more line of the same kind for each.
struct AttachedItem {
    int item = 0;       // N_PRECE.ISN
    double price = 0;   // the price the added line takes
    double quantity = 1;
    bool operator==(const AttachedItem&) const = default;
};

// The stored text: for each item its key, "_", the price, "+", the quantity and "|"
// ("12_5.5+2|40_0+1|").
QString AttachedItemsText(const QVector<AttachedItem>& items);
// The items of a stored text in their order. Entries that do not follow the format are left out
// and returned in `broken` (as they stood, without their '|'), so that a caller can say so.
QVector<AttachedItem> ParseAttachedItems(const QString& text, QStringList* broken = nullptr);

}  // namespace pricelist
