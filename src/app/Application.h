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

    // Makes the program speak Latvian everywhere, Qt's own dialogs included: loads Qt's Latvian
    // translation (qtbase_lv.qm, from the folder "translations" beside the program or Qt's own
    // translation folder) and sets the default locale to Latvian (Latvia), which gives month and
    // day names, Monday as the first day of the week and the number formats. Dates are still
    // written "dd.MM.yyyy" by the program itself. The constructor calls it; tests that build their
    // own QApplication call it too. Returns false when no translation file was found (the program
    // then runs with Qt's English texts in its standard dialogs).
    static bool installLatvian();
};

}  // namespace app
