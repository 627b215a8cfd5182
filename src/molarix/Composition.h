#pragma once

namespace app {
class WindowRegistry;
class Session;
}  // namespace app

namespace molarix {

// The composition root: registers every subsystem's windows with the main window's registry and
// fills the session's facades, so that no subsystem needs to know another's classes.
void Compose(app::WindowRegistry& registry, app::Session& session);

}  // namespace molarix
