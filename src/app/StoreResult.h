#pragma once
#include <QString>

namespace app {

// The answer of a check before saving: the message to show (empty = passed) and the name of the
// column whose control takes the focus.
struct CardCheck {
    QString message;
    QString field;
    bool ok() const { return message.isEmpty(); }
    static CardCheck fail(const QString& message, const QString& field) { return {message, field}; }
};

// The answer of a delete: whether the row went, and otherwise the message to show and, for a
// refusal of the database, its own text for the box's details.
struct DeleteOutcome {
    bool deleted = false;
    QString message;
    QString details;
};


}  // namespace app
