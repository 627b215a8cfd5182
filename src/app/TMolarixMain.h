#pragma once
#include "app/WindowRegistry.h"

#include <QMainWindow>
#include <QTimer>
#include <QVector>
#include <memory>

class QAction;
class QLabel;

namespace app {

class TMainFormDati;

// The frame from which every other window is opened: main menu, tool bar, caption with version,
// user and database, the menu rights, the start-of-day day lock and the automatic-archive timer.
// Its windows come from the WindowRegistry; an entry whose window nobody registered stays
// disabled.
class TMolarixMain : public QMainWindow {
    Q_OBJECT
public:
    TMolarixMain(TMainFormDati& dati, std::unique_ptr<WindowRegistry> registry, QWidget* parent = nullptr);

    WindowRegistry& registry() { return *m_registry; }

    // True once creation completed; the start-up ends the program when it is false.
    bool isReady() const { return m_ready; }
    // The database error that stopped creation, empty when there was none.
    QString creationError() const { return m_creationError; }

    // Enables each entry that has a registered window and that the user's rights allow.
    void applyMenuRights();

    // The menu entry and the tool bar button (nullptr when it has none) of a window.
    QAction* menuAction(WindowId id) const;
    QAction* toolAction(WindowId id) const;
    QAction* quitAction() const { return m_quit; }
    QAction* minimiseAction() const { return m_minimise; }
    QTimer* archiveTimer() { return &m_archiveTimer; }

    // Opens a window as its menu entry does (closing the start window first).
    QWidget* openWindow(WindowId id);

protected:
    bool event(QEvent* e) override;

private:
    struct Entry {
        WindowId id;
        QString code;  // rights code, empty for entries no right gates
        QAction* menu = nullptr;
        QAction* tool = nullptr;
    };

    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    // The status bar's day-lock note: up to which day the days lock themselves, and today's state.
    void showDayState();
    Entry* entry(WindowId id);
    const Entry* entry(WindowId id) const;
    void lockPastDays();
    void firstActivation();
    void archiveTick();
    static void closeStartForm();

    TMainFormDati& m_dati;
    std::unique_ptr<WindowRegistry> m_registry;
    QVector<Entry> m_entries;
    QAction* m_quit = nullptr;
    QAction* m_minimise = nullptr;
    QLabel* m_lbUser = nullptr;
    QLabel* m_lbDatabase = nullptr;
    QLabel* m_lbDays = nullptr;
    QTimer m_archiveTimer;
    bool m_ready = false;
    bool m_activated = false;
    bool m_archiving = false;
    QString m_creationError;
};

}  // namespace app
