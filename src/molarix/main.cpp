#include "app/Application.h"
#include "app/Startup.h"
#include "molarix/Composition.h"

#include <cstdio>

int main(int argc, char** argv) {
    const bool noPlatform = !qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (noPlatform && !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "Molarix ir grafiska programma, bet nav atrasts displejs (DISPLAY nav iestatīts).\n"
                     "Palaidiet to grafiskā sesijā vai virtuālā displejā, piemēram:\n"
                     "  xvfb-run -a scripts/run\n"
                     "vai attālināti caur VNC:  QT_QPA_PLATFORM=vnc:port=5900 scripts/run\n");
        return 2;
    }
    app::Application application(argc, argv);
    return app::RunApplication(molarix::Compose);
}
