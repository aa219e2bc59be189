#include "platform/devices/extravolumes.h"

#include <gtest/gtest.h>

TEST(ExtraVolumes, EntriesOfTheVariable) {
    struct Volume {
        std::string path;
        DWORD vendor;
        DWORD product;
    };
    const struct {
        std::string text;
        std::vector<Volume> volumes;
    } cases[] = {
        {"", {}},
        {"/media/demo", {{"/media/demo", 0, 0}}},
        {"/media/demo:1B3F:2008", {{"/media/demo", 0x1B3F, 0x2008}}},
        {"/a:1:fF;/b", {{"/a", 1, 0xFF}, {"/b", 0, 0}}},
        {";;/a;", {{"/a", 0, 0}}},
        // Escapes keep any path writable.
        {"/with\\:colon:0bda:0129", {{"/with:colon", 0x0BDA, 0x0129}}},
        {"/semi\\;colon;/back\\\\slash", {{"/semi;colon", 0, 0}, {"/back\\slash", 0, 0}}},
        {"/trailing\\", {{"/trailing\\", 0, 0}}},
        // Entries that do not read are left out; the others stay.
        {"relative/path;/ok", {{"/ok", 0, 0}}},
        {"/a:1234", {}},
        {"/a:12345:1", {}},
        {"/a:xyz:1", {}},
        {"/a::1", {}},
        {"/a:1:2:3", {}},
        {"/a\\:1:2", {}},
        {":1:2", {}},
    };
    for (const auto& c : cases) {
        const auto volumes = ParseExtraVolumes(c.text);
        ASSERT_EQ(volumes.size(), c.volumes.size()) << c.text;
        for (size_t i = 0; i < volumes.size(); ++i) {
            EXPECT_EQ(volumes[i].path, c.volumes[i].path) << c.text;
            EXPECT_EQ(volumes[i].usbVendorId, c.volumes[i].vendor) << c.text;
            EXPECT_EQ(volumes[i].usbProductId, c.volumes[i].product) << c.text;
        }
    }
}
