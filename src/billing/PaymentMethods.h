#pragma once
#include <QStringList>

class QComboBox;

namespace billing {

// APMAKSVEIDS values are indexes into this list: 0 "Banka" (bank transfer), 1 "Kase" (cash desk).
QStringList PaymentMethods();

}  // namespace billing
