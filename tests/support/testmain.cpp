// Every test program starts here: headless drivers, and a settings folder of its own so that no
// test reads or writes the user's settings; programs the tests start inherit both. Only on the
// virtual X screen that scripts/xvfb-test makes, named in TREVO_TEST_DISPLAY, do windows go to a
// real screen; never to a user's desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

int main(int argc, char** argv) {
    const char* display = std::getenv("TREVO_TEST_DISPLAY");
    if (display != nullptr && display[0] != '\0') {
        setenv("DISPLAY", display, 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::random_device random;
    const auto configHome = std::filesystem::temp_directory_path() /
                            ("trevo-test-config-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(configHome);
    setenv("TREVO_CONFIG_HOME", configHome.c_str(), 1);

    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
    return result;
}
