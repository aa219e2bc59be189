// The block-device back end on a loop device over an image file: a real block device that is no
// card. It needs root and a kernel that hands out loop devices; elsewhere it is skipped.

#include "viewer/tools/fat32format.h"

#include "imagesupport.h"
#include "platform/devices/blockdevicevolume.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

namespace {

constexpr ULONGLONG kGiB = 1ull << 30;
constexpr ULONGLONG kMiB = 1ull << 20;

class LoopDevice {
  public:
    LoopDevice(const std::filesystem::path& image, DWORD sectorSize) {
        m_losetup = FindTool("losetup");
        if (!m_losetup) {
            m_why = "losetup is not installed";
            return;
        }
        const ToolRun run = RunTool(
            {*m_losetup, "--find", "--show", "--sector-size", std::to_string(sectorSize), image.string()});
        if (run.exitCode != 0 || run.output.rfind("/dev/", 0) != 0) {
            m_why = run.output;
            return;
        }
        m_node = run.output.substr(0, run.output.find('\n'));
    }
    ~LoopDevice() { Detach(); }
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    void Detach() {
        if (!m_node.empty())
            RunTool({*m_losetup, "--detach", m_node});
        m_node.clear();
    }
    const std::string& Node() const { return m_node; }
    const std::string& Why() const { return m_why; }

  private:
    std::optional<std::string> m_losetup;
    std::string m_node;
    std::string m_why;
};

std::wstring Format(const std::string& node) {
    return std::wstring(FormatVolumeFat32(BlockDeviceVolume::Open(node), nullptr, 64, nullptr));
}

} // namespace

TEST(BlockDeviceVolume, FormatsADeviceOnlyWhenNothingElseHoldsIt) {
    struct Case {
        DWORD sectorSize;
        ULONGLONG length;
        int sectorsPerCluster;
    };
    const Case cases[] = {{512, 4 * kGiB, 64}, {4096, 16 * kGiB, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sectorSize);
        TestFolder folder;
        const auto image = folder / "card.img";
        CreateImage(image, c.length, 2 * kMiB);
        LoopDevice loop(image, c.sectorSize);
        if (loop.Node().empty())
            GTEST_SKIP() << "no loop device to try the block-device back end on (needs root): " << loop.Why();

        auto holder = BlockDeviceVolume::Open(loop.Node());
        ASSERT_TRUE(holder && holder->Lock());
        EXPECT_EQ(Format(loop.Node()),
                  L"Failed to lock device\nGetLastError()=16: Device or resource busy\n");
        holder.reset();
        EXPECT_EQ(FirstPatternMismatch(image, 0, 2 * kMiB), std::nullopt) << "a held device stays untouched";

        ASSERT_EQ(std::wstring(FormatVolumeFat32(BlockDeviceVolume::Open(loop.Node()), nullptr,
                                                 c.sectorsPerCluster, nullptr)),
                  L"");
        loop.Detach();
        const auto boot = ReadSector(image, 0, c.sectorSize);
        EXPECT_EQ(Little16(boot, 11), c.sectorSize);
        EXPECT_EQ(Little32(boot, 32), c.length / c.sectorSize);
        EXPECT_EQ(Little32(boot, 28), 0u) << "a whole-disk device hides no sectors";
        // A loop device has no geometry of its own.
        EXPECT_EQ(Little16(boot, 24), 63u);
        EXPECT_EQ(Little16(boot, 26), 255u);
        EXPECT_EQ(std::string(boot.begin() + 71, boot.begin() + 82), "T550_FHD   ");
        if (const auto fsck = FindTool("fsck.fat")) {
            const ToolRun check = RunTool({*fsck, "-n", image.string()});
            EXPECT_EQ(check.exitCode, 0) << check.output;
        }
    }
}

TEST(BlockDeviceVolume, OpensOnlyBlockDevices) {
    TestFolder folder;
    CreateImage(folder / "card.img", kMiB);
    errno = 0;
    EXPECT_FALSE(BlockDeviceVolume::Open((folder / "card.img").string()));
    EXPECT_EQ(errno, ENODEV);
    EXPECT_FALSE(BlockDeviceVolume::Open((folder / "missing").string()));
    EXPECT_EQ(errno, ENOENT);
}
