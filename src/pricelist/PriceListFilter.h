#pragma once
#include "db/Transaction.h"

#include <QString>

namespace pricelist {

// The fields of the price-list filter dialog. Empty fields take no part; the filled ones are
// joined with AND. Typed text is always bound as a parameter, never pasted into the statement.
struct PriceListFilter {
    QString price;            // "Manipulācijas cena": exact price with VAT
    QString codeStartsWith;   // "Kods sākas ar :"
    QString codeEndsWith;     // "Kods beidzas ar :"
    QString nameContains;     // "Manipulācijas nosaukums satur :"
    QString anyCodeContains;  // "Jebkurš kods satur :" (code or second code)

    bool isEmpty() const;

    // The condition on N_PRECE and its parameters (names start with F_ so that they never meet
    // the parameters of the statement that the condition is added to). Empty when no field is
    // filled. A price that is not a number is left out (the dialog accepts numbers only).
    struct Condition {
        QString sql;
        db::Params params;
        bool isEmpty() const { return sql.isEmpty(); }
    };
    Condition condition() const;

    bool operator==(const PriceListFilter&) const = default;
};

// A number typed with a decimal point or a decimal comma ("12,50"); *ok tells whether it is one.
double ParsePrice(const QString& text, bool* ok);

// Escapes the LIKE wildcards (% and _) and the escape character itself so that the text is
// matched literally by "LIKE ... ESCAPE '\'".
QString EscapeLike(const QString& text);

}  // namespace pricelist
