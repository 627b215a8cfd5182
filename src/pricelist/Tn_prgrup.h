#pragma once
#include "pricelist/PriceListStore.h"

#include <QDialog>

class QLineEdit;

namespace pricelist {

// "Manipulāciju grupa": the card of one price-list group (name and code).
class Tn_prgrup : public QDialog {
    Q_OBJECT
public:
    Tn_prgrup(PriceListStore& store, int isn, int userIsn, QWidget* parent = nullptr);
    QLineEdit* nameEdit() const { return m_edGnos; }
    QLineEdit* codeEdit() const { return m_edKods; }

    // Saves the card; shows a refusal and keeps the card open.
    void save();

private:
    PriceListStore& m_store;
    int m_userIsn;
    int m_isn;
    QLineEdit* m_edGnos;
    QLineEdit* m_edKods;
};

}  // namespace pricelist
