#include "platform/ui/displayplatform.h"

#include <cstdlib>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string QtPlatformFor(const DisplayEnvironment& environment) {
    const bool wayland = !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
    if (!environment.qtPlatform.empty() || !wayland || environment.display.empty()) {
        return std::string();
    }
    return "xcb";
}

void ChooseDisplayPlatform() {
    const std::string platform = QtPlatformFor(DisplayEnvironment{
        Variable("QT_QPA_PLATFORM"), Variable("WAYLAND_DISPLAY"), Variable("XDG_SESSION_TYPE"), Variable("DISPLAY")});
    if (!platform.empty()) {
        setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    }
}
