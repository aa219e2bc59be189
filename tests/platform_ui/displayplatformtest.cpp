// The display platform the program asks Qt for, by the session it runs in.

#include "platform/ui/displayplatform.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayPlatform, AWaylandSessionRunsThroughXWaylandUnlessTheUserChose) {
    const struct {
        DisplayEnvironment environment;
        const char* platform;
    } cases[] = {
        {{"", "wayland-0", "wayland", ":0"}, "xcb"},
        {{"", "wayland-0", "", ":0"}, "xcb"},
        {{"", "", "wayland", ":1"}, "xcb"},
        // The user's own choice stands.
        {{"wayland", "wayland-0", "wayland", ":0"}, ""},
        {{"offscreen", "wayland-0", "wayland", ":0"}, ""},
        // Without an X display there is no XWayland to go to.
        {{"", "wayland-0", "wayland", ""}, ""},
        // An X session, and no desktop at all: Qt chooses.
        {{"", "", "x11", ":0"}, ""},
        {{"", "", "", ""}, ""},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(QtPlatformFor(test.environment), test.platform)
            << test.environment.qtPlatform << "|" << test.environment.waylandDisplay << "|"
            << test.environment.sessionType << "|" << test.environment.display;
    }
}

} // namespace
