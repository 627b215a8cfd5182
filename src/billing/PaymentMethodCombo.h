#pragma once

class QComboBox;

namespace billing {

// Replaces the combo's items by the payment methods "Banka" (0) and "Kase" (1).
void FillPaymentMethods(QComboBox* combo);

}  // namespace billing
