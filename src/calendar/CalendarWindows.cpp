#include "calendar/CalendarWindows.h"

#include "calendar/TKalendaraPlanosana.h"

namespace calendar {

void RegisterWindows(app::WindowRegistry& registry, app::Session&) {
    registry.add(app::WindowId::Calendar, [](app::Session& s, QWidget* mainWindow) -> QWidget* {
        return new TKalendaraPlanosana(s, mainWindow);
    });
}

}  // namespace calendar
