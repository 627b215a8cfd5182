#include "billing/PaymentMethods.h"

namespace billing {

QStringList PaymentMethods() { return {QStringLiteral("Banka"), QStringLiteral("Kase")}; }

}  // namespace billing
