#pragma once
#include "app/Session.h"
#include "calendar/CalendarLayout.h"
#include "calendar/PlannerStore.h"

#include <QTimer>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabWidget;

namespace widgets {
class LiveRefresh;
}

namespace calendar {

class PlannerGrid;

// "Kalendārā plānošana": the appointments of the shown days on a time grid, one column per day
// and checked specialist or room. A double-click opens an appointment or starts one in a free
// slot; dragging a block moves the appointment.
class TKalendaraPlanosana : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* SettingsSection = "KalendaraPlanosana";

    explicit TKalendaraPlanosana(app::Session& session, QWidget* parent = nullptr);
    ~TKalendaraPlanosana() override;

    // Reads the shown days from the database and lays them out.
    void Rebuild();
    // Lays out again what was read (after a resize or a scroll).
    void Redraw();

    QDate shownDate() const;
    void setShownDate(const QDate& date);
    Interval interval() const;
    void setInterval(Interval interval);
    ColumnKind columnKind() const;
    void setColumnKind(ColumnKind kind);
    // Selects the time combos' items ("8:00", "17:30").
    void setTimeRange(const QString& from, const QString& to);
    // Ticks exactly these keys in the check-list of the kind.
    void setCheckedKeys(ColumnKind kind, const QList<int>& keys);
    QList<int> checkedKeys(ColumnKind kind) const;
    int columnWidth() const { return m_columnWidth; }
    void setColumnWidth(int width);
    int contentsOption() const { return m_contentsOption; }

    // "Parametri": the parameter window, then a rebuild.
    void openParameters();

    PlannerGrid* grid() const { return m_grid; }
    QListWidget* checkList(ColumnKind kind) const;
    QComboBox* fromCombo() const { return m_cbNo; }
    QComboBox* toCombo() const { return m_cbLidz; }
    QScrollBar* verticalBar() const { return m_vbar; }
    QScrollBar* horizontalBar() const { return m_hbar; }
    QTabWidget* pages() const { return m_pages; }
    // How many times the database was read (Rebuild) since the window was made.
    int rebuildCount() const { return m_rebuilds; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void loadSettings();
    void saveSettings();
    void fillCheckLists();
    void selectWorkingHours();
    QList<PlannerResource> checkedResources() const;
    void updateScrollBars();
    void resetColumnScroll();

    void onSlotDoubleClicked(PlannerSlot slot);
    void onAppointmentDoubleClicked(int blockIndex);
    void onAppointmentDropped(int blockIndex, PlannerSlot target);
    void openEditor(const app::AppointmentTarget& target);

    app::Session& m_session;
    PlannerStore m_store;
    PlannerSettings m_settings;
    QList<PlannerResource> m_specialists;
    QList<PlannerResource> m_rooms;
    QString m_checkedSpecialists;  // key lists
    QString m_checkedRooms;
    int m_columnWidth = CalendarLayout::DefaultColumnWidth;
    int m_contentsOption = 0;
    bool m_shownOnce = false;
    int m_rebuilds = 0;
    bool m_vbarWasVisible = false;

    QTabWidget* m_pages = nullptr;
    QDateEdit* m_dtpDiena = nullptr;
    QComboBox* m_cbNo = nullptr;
    QComboBox* m_cbLidz = nullptr;
    QButtonGroup* m_intervals = nullptr;
    QButtonGroup* m_kinds = nullptr;
    QStackedWidget* m_checkPages = nullptr;
    QListWidget* m_lbPersonals = nullptr;
    QListWidget* m_lbKabineti = nullptr;
    PlannerGrid* m_grid = nullptr;
    QScrollBar* m_vbar = nullptr;
    QScrollBar* m_hbar = nullptr;
    // A run of scroll steps reads the database once, after the last step.
    QTimer m_scrollRebuild;
    widgets::LiveRefresh* m_live = nullptr;
};

}  // namespace calendar
