#include "models/NumberFormat.h"

#include <QRegularExpression>

namespace models {

bool NumberFormat::isNumberNotation(const QString& format) {
    if (format.startsWith(u'%')) return true;
    if (format.isEmpty()) return false;
    for (const QChar c : format)
        if (c != u'#' && c != u'0' && c != u',' && c != u'.') return false;
    return true;
}

std::optional<NumberFormat> NumberFormat::parse(const QString& format) {
    // Widths and precisions of up to two digits are read, then bounded: "%999999999.2f" never
    // reaches a number conversion.
    static const QRegularExpression printf(QStringLiteral("^%(-)?(0)?([1-9][0-9]?)?(?:\\.([0-9]{1,2}))?f$"));
    static const QRegularExpression picture(QStringLiteral("^(?:#|#,##)?0(?:\\.(0+))?$"));
    NumberFormat f;
    if (const auto m = printf.match(format); m.hasMatch()) {
        f.leftAlign = m.hasCaptured(1);
        f.zeroPad = m.hasCaptured(2);
        f.width = m.hasCaptured(3) ? m.captured(3).toInt() : 0;
        f.precision = m.hasCaptured(4) ? m.captured(4).toInt() : 6;
    } else if (const auto p = picture.match(format); p.hasMatch()) {
        f.precision = int(p.capturedLength(1));
    } else {
        return std::nullopt;
    }
    if (f.width > MaxWidth || f.precision > MaxPrecision) return std::nullopt;
    return f;
}

QString NumberFormat::apply(double value) const {
    QString text = QString::number(value, 'f', precision);
    const qsizetype missing = width - text.size();
    if (missing <= 0) return text;
    if (leftAlign) return text + QString(missing, u' ');
    // Zeros go between the sign and the digits ("-0012.50"); infinities and NaN are padded with
    // blanks as printf does.
    if (zeroPad && text.back().isDigit()) {
        const qsizetype digits = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
        return text.insert(digits, QString(missing, u'0'));
    }
    return QString(missing, u' ') + text;
}

}  // namespace models
