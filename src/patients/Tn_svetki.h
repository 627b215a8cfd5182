#pragma once
#include "patients/ReferenceCard.h"

class QRadioButton;

namespace patients {

// The card of a name day or a public holiday (N_SVETKI).
class Tn_svetki : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_svetki(db::Database& database, QWidget* parent = nullptr);

protected:
    void fillExtra(const QVariantHash& values) override;
    void collectExtra(QVariantHash& values) const override;

private:
    QRadioButton* m_nameDay;
    QRadioButton* m_holiday;
};

}  // namespace patients
