// A card mounted again after a format: its drive letter follows the new mount, and a failed mount
// takes the letter away rather than leave it on the bare folder the card was mounted on.
#include "platform/devices/cardmount.h"
#include "devicetestsupport.h"
#include "platform/base/unicode.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

TEST(CardMount, TheLetterFollowsTheCardToItsNewMount) {
    struct Case {
        const char* what;
        const char* landsOn; // "elsewhere", "same", or nothing when the mount fails
    };
    const Case cases[] = {
        {"udisks chose another point (the label changed)", "elsewhere"},
        {"mounted again where it was", "same"},
        {"the mount refused", nullptr},
    };
    for (const Case& c : cases) {
        CleanDriveTable clean;
        TestFolder folders;
        const std::filesystem::path before = folders / "OLDLABEL";
        const std::filesystem::path after = folders / "T550_FHD";
        std::filesystem::create_directories(before);
        std::filesystem::create_directories(after);
        DriveVolume volume;
        volume.letter = L'R';
        volume.mountRoot = WideFromUtf8(before.string());
        volume.removable = true;
        volume.usbVendorId = 0x0BDA;
        ASSERT_EQ(DriveTable::Instance().Register(volume), L'R');

        const CardMount card{"sdr1", "/dev/sdr1", before.string()};
        const std::string landsOn = c.landsOn ? c.landsOn : "";
        const bool mounted = RemountDrive('r', card, [&](const CardMount& asked) -> std::optional<std::string> {
            EXPECT_EQ(asked.deviceName, "sdr1") << c.what;
            EXPECT_EQ(asked.mountPoint, before.string()) << c.what;
            if (landsOn.empty()) {
                errno = EACCES;
                return std::nullopt;
            }
            return (landsOn == "same" ? before : after).string();
        });
        EXPECT_EQ(mounted, !landsOn.empty()) << c.what;

        const std::wstring config = TranslatePath(L"R:\\config.txt");
        if (landsOn.empty()) {
            EXPECT_FALSE(DriveTable::Instance().Find(L'R')) << c.what;
            EXPECT_EQ(config, L"") << c.what;
            continue;
        }
        const std::filesystem::path root = landsOn == "same" ? before : after;
        EXPECT_EQ(config, WideFromUtf8((root / "config.txt").string())) << c.what;
        const auto moved = DriveTable::Instance().Find(L'R');
        ASSERT_TRUE(moved) << c.what;
        EXPECT_TRUE(moved->removable) << c.what;
        EXPECT_EQ(moved->usbVendorId, 0x0BDAu) << c.what;
    }
}
