#include "platform/devices/volumediff.h"

#include <gtest/gtest.h>

TEST(VolumeDiff, ArrivalsAndRemovalsBetweenTwoLooks) {
    struct Case {
        const char* what;
        std::vector<LetteredVolume> lettered;
        std::vector<std::string> present;
        std::vector<wchar_t> removed;
        std::vector<std::string> arrived;
    };
    const Case cases[] = {
        {"nothing before, nothing now", {}, {}, {}, {}},
        {"first look", {}, {"a", "b"}, {}, {"a", "b"}},
        {"nothing changed", {{"a", L'D'}, {"b", L'E'}}, {"b", "a"}, {}, {}},
        {"one gone", {{"a", L'D'}, {"b", L'E'}}, {"b"}, {L'D'}, {}},
        {"all gone, in letter order", {{"b", L'F'}, {"a", L'D'}, {"c", L'E'}}, {}, {L'D', L'E', L'F'}, {}},
        {"one swapped for another", {{"a", L'D'}}, {"c"}, {L'D'}, {"c"}},
        {"new ones keep the order found", {{"a", L'D'}}, {"z", "a", "m"}, {}, {"z", "m"}},
        {"a key found twice arrives once", {}, {"a", "a"}, {}, {"a"}},
    };
    for (const Case& c : cases) {
        const VolumeDiff diff = DiffVolumes(c.lettered, c.present);
        EXPECT_EQ(diff.removed, c.removed) << c.what;
        EXPECT_EQ(diff.arrived, c.arrived) << c.what;
    }
}
