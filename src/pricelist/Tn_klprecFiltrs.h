#pragma once
#include "pricelist/PriceListFilter.h"

#include <QDialog>

class QLineEdit;

namespace pricelist {

// "Manipulāciju atlase": the fields of the manipulation filter.
class Tn_klprecFiltrs : public QDialog {
    Q_OBJECT
public:
    explicit Tn_klprecFiltrs(QWidget* parent = nullptr);
    void setFilter(const PriceListFilter& filter);
    PriceListFilter filter() const;
    void clearFields();

    QLineEdit* priceEdit() const { return m_edCena; }
    QLineEdit* nameEdit() const { return m_edNosaukums; }

private:
    QLineEdit* m_edCena;
    QLineEdit* m_edKodsNo;
    QLineEdit* m_edKodsLidz;
    QLineEdit* m_edNosaukums;
    QLineEdit* m_edKodi;
};

}  // namespace pricelist
