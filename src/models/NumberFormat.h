#pragma once
#include <QString>
#include <optional>

namespace models {

// A number format of grids and report layouts, parsed once and applied without the C library's
// printf, so that no format text can read arguments that are not there or ask for gigabytes of
// padding. Two notations are understood:
//   "%[-][0][width][.precision]f"   as printf prints a double (width up to MaxWidth characters,
//                                   precision up to MaxPrecision digits, 6 when not given)
//   "0", "0.00", "#0.00", "#,##0.00" a picture: as many decimals as zeros after the point; "#"
//                                   and "," are accepted for the layouts written with them and
//                                   print no thousands separators
struct NumberFormat {
    static constexpr int MaxWidth = 40;
    static constexpr int MaxPrecision = 6;

    int width = 0;           // minimum length in characters, padded on the left unless leftAlign
    int precision = 2;       // digits after the decimal point
    bool leftAlign = false;  // "-": pad on the right
    bool zeroPad = false;    // "0": pad with zeros after the sign instead of blanks

    // True when the text is meant as a number format (starts with '%', or consists of '#', '0',
    // ',' and '.' only); anything else is a date or time pattern or plain text.
    static bool isNumberNotation(const QString& format);
    // The parsed format, or nothing when the text is not one of the accepted forms.
    static std::optional<NumberFormat> parse(const QString& format);

    // The number in this format; "inf" and "nan" as QString::number gives them.
    QString apply(double value) const;
};

}  // namespace models
