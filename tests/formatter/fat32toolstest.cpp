// The formatted card checked by tools that owe nothing to the formatter: dosfstools' fsck.fat and
// mtools read it as every other FAT implementation would.

#include "viewer/tools/fat32format.h"

#include "imagesupport.h"
#include "platform/devices/imagefilevolume.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>

namespace {

constexpr ULONGLONG kGiB = 1ull << 30;

// The FAT size as first estimated, before it grew to hold the two reserved entries.
bool FirstEstimateIsShort(ULONGLONG total, ULONGLONG sectorsPerCluster) {
    const ULONGLONG fatSize = 4 * (total - 32) / (sectorsPerCluster * 512 + 8) + 1;
    const ULONGLONG clusters = (total - 32 - 2 * fatSize) / sectorsPerCluster;
    return (clusters + 2) * 4 > fatSize * 512;
}

ULONGLONG FirstShortSizeFrom(ULONGLONG total, ULONGLONG sectorsPerCluster) {
    while (!FirstEstimateIsShort(total, sectorsPerCluster))
        ++total;
    return total;
}

class Fat32Tools : public testing::Test {
  protected:
    void SetUp() override {
        m_fsck = FindTool("fsck.fat");
        if (!m_fsck)
            GTEST_SKIP() << "fsck.fat (dosfstools) is not installed";
    }

    CString Format(ULONGLONG sectors, DWORD bytesPerSector, int sectorsPerCluster) {
        CreateImage(Image(), sectors * bytesPerSector);
        return FormatVolumeFat32(ImageFileVolume::Open(m_folder.Wide("card.img"), bytesPerSector), nullptr,
                                 sectorsPerCluster, nullptr);
    }

    std::filesystem::path Image() const { return m_folder / "card.img"; }

    ToolRun Fsck() { return RunTool({*m_fsck, "-n", Image().string()}); }

    // The label shows in mdir, and a file goes in and comes out as it was; fsck still agrees.
    void ExpectMtoolsReadAndWrite() {
        const auto mdir = FindTool("mdir");
        const auto mcopy = FindTool("mcopy");
        const auto minfo = FindTool("minfo");
        if (!mdir || !mcopy || !minfo) {
            std::cout << "mtools are not installed: only fsck.fat checked the image\n";
            return;
        }
        const ToolRun info = RunTool({*minfo, "-i", Image().string(), "::"});
        EXPECT_EQ(info.exitCode, 0) << info.output;
        EXPECT_NE(info.output.find("T550_FHD"), std::string::npos) << info.output;
        const ToolRun listing = RunTool({*mdir, "-i", Image().string(), "::"});
        EXPECT_EQ(listing.exitCode, 0) << listing.output;
        EXPECT_NE(listing.output.find("Volume in drive : is T550_FHD"), std::string::npos) << listing.output;

        std::string content;
        for (int i = 0; i < 300000; ++i)
            content += static_cast<char>('A' + (i * 7 + i / 1000) % 26);
        std::ofstream(m_folder / "clip.bin", std::ios::binary) << content;
        const ToolRun in =
            RunTool({*mcopy, "-i", Image().string(), (m_folder / "clip.bin").string(), "::/CLIP.BIN"});
        ASSERT_EQ(in.exitCode, 0) << in.output;
        const ToolRun out =
            RunTool({*mcopy, "-i", Image().string(), "::/CLIP.BIN", (m_folder / "back.bin").string()});
        ASSERT_EQ(out.exitCode, 0) << out.output;
        std::ifstream back(m_folder / "back.bin", std::ios::binary);
        const std::string copied((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(copied == content) << "the copy that came out differs";
        const ToolRun check = Fsck();
        EXPECT_EQ(check.exitCode, 0) << check.output;
    }

    TestFolder m_folder;
    std::optional<std::string> m_fsck;
};

} // namespace

TEST_F(Fat32Tools, EveryCardSizeIsAcceptedByFsckAndMtools) {
    struct Case {
        std::string name;
        ULONGLONG sectors;
        DWORD bytesPerSector;
        int sectorsPerCluster;
        bool mtools;
    };
    const Case cases[] = {
        {"smallest card at 64 sectors per cluster", 4195362, 512, 64, true},
        {"4 GiB", 4 * kGiB / 512, 512, 64, true},
        {"32 GiB", 32 * kGiB / 512, 512, 64, true},
        {"64 GiB", 64 * kGiB / 512, 512, 64, true},
        {"short FAT estimate at 64", FirstShortSizeFrom(8 * kGiB / 512, 64), 512, 64, true},
        {"short FAT estimate at 8", FirstShortSizeFrom(kGiB / 512, 8), 512, 8, true},
        {"short FAT estimate at 1", 67761, 512, 1, true},
        {"automatic cluster size, 1 GiB", kGiB / 512, 512, 0, true},
        {"4096-byte sectors, 16 GiB", 16 * kGiB / 4096, 4096, 8, true},
        {"4096-byte sectors, 256 KiB clusters", 64 * kGiB / 4096, 4096, 64, true},
        // minfo's own arithmetic overflows this close to 2 TiB, on images made by mkfs.fat as well.
        {"largest card, 2^32 - 2 sectors", 0xFFFFFFFEull, 512, 64, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(std::wstring(Format(c.sectors, c.bytesPerSector, c.sectorsPerCluster)), L"");
        const ToolRun check = Fsck();
        EXPECT_EQ(check.exitCode, 0) << check.output;
        if (c.mtools)
            ExpectMtoolsReadAndWrite();
    }
}

TEST_F(Fat32Tools, ConsecutiveSizesAroundTheFatEdgesPassFsck) {
    struct Sweep {
        ULONGLONG first;
        ULONGLONG count;
        int sectorsPerCluster;
    };
    // Each range holds sizes whose first FAT estimate was one entry short.
    const Sweep sweeps[] = {
        {67700, 140, 1},
        {FirstShortSizeFrom(600000, 8) - 20, 40, 8},
    };
    for (const Sweep& sweep : sweeps) {
        int shortBefore = 0;
        for (ULONGLONG sectors = sweep.first; sectors < sweep.first + sweep.count; ++sectors) {
            SCOPED_TRACE(sectors);
            shortBefore += FirstEstimateIsShort(sectors, static_cast<ULONGLONG>(sweep.sectorsPerCluster));
            ASSERT_EQ(std::wstring(Format(sectors, 512, sweep.sectorsPerCluster)), L"");
            const ToolRun check = Fsck();
            ASSERT_EQ(check.exitCode, 0) << check.output;
        }
        EXPECT_GE(shortBefore, 1) << "the sweep from " << sweep.first << " crosses no edge";
    }
}
