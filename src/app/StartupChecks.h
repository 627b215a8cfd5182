#pragma once
#include <QString>
#include <optional>

namespace app {

// The program shows and reads dates as dd.MM.yyyy. A workstation whose settings hold a short date
// format (section "International", value "sShortDate") must use that one; the message to show
// when it does not. Without such a value there is nothing to check.
std::optional<QString> DateFormatProblem();

}  // namespace app
