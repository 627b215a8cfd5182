#include "billing/PaymentMethodCombo.h"

#include "billing/PaymentMethods.h"

#include <QComboBox>

namespace billing {

void FillPaymentMethods(QComboBox* combo) {
    combo->clear();
    combo->addItems(PaymentMethods());
}

}  // namespace billing
