#pragma once
#include "app/Session.h"
#include "references/ReferenceCard.h"

class QCheckBox;

namespace references {

// The consultation-type card (N_VEIDI). A name that another type has is stored only after the user
// agrees. TIPS other than 0 keeps the type out of the consultation and request pick lists.
class Tn_veidiEd : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_veidiEd(app::Session& session, QWidget* parent = nullptr);

    QCheckBox* hiddenInPickLists() const { return m_tips; }

protected:
    bool confirmSave(const QVariantHash& values) override;
    void fillExtra(const QVariantHash& values) override;
    void collectExtra(QVariantHash& values) const override;

private:
    QCheckBox* m_tips;
    bool m_tipsWasNull = true;
};

}  // namespace references
