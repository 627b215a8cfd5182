#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

class QRadioButton;

namespace references {

// The card of a name day or a public holiday (N_SVETKI).
class Tn_svetki : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_svetki(app::Session& session, QWidget* parent = nullptr);

protected:
    void fillExtra(const QVariantHash& values) override;
    void collectExtra(QVariantHash& values) const override;

private:
    QRadioButton* m_nameDay;
    QRadioButton* m_holiday;
};

}  // namespace references
