#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace widgets {

// Runs a store call from an event handler and keeps every exception on this side of the event
// loop: a database error nobody expected is shown as "Sistēmas kļūda: " + the server's text, any
// other failure with its own text. Returns false when the call failed.
bool Guard(QWidget* parent, const std::function<void()>& call);

// The text Guard shows for an exception.
QString SystemErrorText(const std::exception& e);

// A refusal in a warning box; the database's own text, when given, under "Detaļas".
void ShowRefusal(QWidget* parent, const QString& message, const QString& details = QString());

}  // namespace widgets
