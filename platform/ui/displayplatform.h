#pragma once
// The display server the program talks to, chosen before Qt starts. The program places its panels
// beside its main window in screen coordinates, which Wayland does not let a program do; so on a
// Wayland session it runs through XWayland, unless the user has chosen Qt's platform.

#include <string>

struct DisplayEnvironment {
    std::string qtPlatform;     // QT_QPA_PLATFORM
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string display;        // DISPLAY
};

// "xcb" for a Wayland session (a Wayland display, or the session type "wayland") that also has an X
// display, when the user has chosen no platform; otherwise empty: Qt chooses as it would.
std::string QtPlatformFor(const DisplayEnvironment& environment);

// Reads the process's environment and sets QT_QPA_PLATFORM as QtPlatformFor says. It must run
// before Qt's application object exists; CWinApp does it when it makes that object, and a program's
// main may call it first.
void ChooseDisplayPlatform();
