#pragma once
#include <QApplication>

#include <exception>

namespace app {

// The program's QApplication. An exception that escapes an event handler is shown to the user
// instead of ending the program: a database error as "Sistēmas kļūda: " + the server's text,
// anything else with its own text.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    static void showException(const std::exception& e);
    static QString exceptionText(const std::exception& e);
};

}  // namespace app
