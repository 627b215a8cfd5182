#include "sms/SmsText.h"

#include <QStringEncoder>

namespace sms {

QByteArray ToModemBytes(const QString& text) {
    QStringEncoder encoder("windows-1257");
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

QByteArray TextModeCommand() {
    return QByteArrayLiteral("AT+CMGF=1\r\n");
}

QByteArray SendCommand(const QString& dialNumber) {
    return ToModemBytes(QStringLiteral("AT+CMGS=\"") + dialNumber + QStringLiteral("\"\r"));
}

QStringList SplitNumbers(const QString& mobTel) {
    QStringList numbers;
    for (const QString& part : mobTel.split(u',')) {
        const QString number = part.trimmed();
        if (!number.isEmpty()) numbers.append(number);
    }
    return numbers;
}

QString DialNumber(const QString& stored) {
    QString number = stored.trimmed();
    number.remove(u' ');
    number.remove(u'-');
    if (number.startsWith(u'+')) return number;
    return QLatin1String(CountryPrefix) + number;
}

QString PersonalText(const QString& text, const QString& vards, const QString& uzvards) {
    QString result = text;
    return result.replace(QStringLiteral("<VardsUzvards>"), vards + u' ' + uzvards);
}

int SmsLength(const QString& text) {
    return int(ToModemBytes(text).size());
}

}  // namespace sms
