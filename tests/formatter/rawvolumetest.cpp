#include "imagesupport.h"
#include "platform/devices/blockdevicefacts.h"
#include "platform/devices/imagefilevolume.h"
#include "platform/devices/mbrpartition.h"
#include "platform/devices/mountinfo.h"
#include "platform/devices/udisks.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

namespace fs = std::filesystem;

TEST(MountInfo, ParsesMountsWithAndWithoutOptionalFields) {
    const std::string text =
        "21 27 0:20 / /proc rw,relatime - proc proc rw\n"
        "98 27 8:17 / /media/user/MY\\040CARD rw,nosuid shared:52 master:3 - vfat /dev/sdb1 rw,uid=1000\n"
        "99 27 8:2 /home/user/cards /srv/back\\134slash rw - ext4 /dev/sda2 rw\n"
        "garbage line\n"
        "100 27 x:y / /broken rw - vfat /dev/sdc1 rw\n"
        "101 27 179:1 / /media/card rw - vfat\n"
        "102 27 179:1 / /media/card rw - vfat /dev/mmcblk0p1 rw\n";
    const auto entries = ParseMountInfo(text);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].mountPoint, "/proc");
    EXPECT_EQ(entries[0].fsType, "proc");

    EXPECT_EQ(entries[1].major, 8u);
    EXPECT_EQ(entries[1].minor, 17u);
    EXPECT_EQ(entries[1].root, "/");
    EXPECT_EQ(entries[1].mountPoint, "/media/user/MY CARD");
    EXPECT_EQ(entries[1].fsType, "vfat");
    EXPECT_EQ(entries[1].source, "/dev/sdb1");

    EXPECT_EQ(entries[2].root, "/home/user/cards");
    EXPECT_EQ(entries[2].mountPoint, "/srv/back\\slash");

    EXPECT_EQ(entries[3].major, 179u);
    EXPECT_EQ(entries[3].source, "/dev/mmcblk0p1");
}

namespace {

// A folder laid out as sysfs lays out a USB card reader's disk and its first partition.
class FakeSysfs {
  public:
    FakeSysfs() {
        const fs::path disk = m_folder / "devices/pci0000:00/usb1/1-1/host6/target6:0:0/6:0:0:0/block/sdb";
        Write(disk / "uevent", "MAJOR=8\nMINOR=16\nDEVNAME=sdb\nDEVTYPE=disk\n");
        Write(disk / "sdb1/uevent", "MAJOR=8\nMINOR=17\nDEVNAME=sdb1\nDEVTYPE=partition\n");
        Write(disk / "sdb1/partition", "1\n");
        Write(disk / "sdb1/start", "8192\n");
        Write(disk / "sdb5/uevent", "DEVNAME=sdb5\n");
        Write(disk / "sdb5/partition", "five\n");
        Write(disk / "sdb5/start", "8192\n");
        const fs::path mmc = m_folder / "devices/platform/mmc0/block/mmcblk0";
        Write(mmc / "uevent", "DEVNAME=mmcblk0\n");
        Write(mmc / "mmcblk0p2/uevent", "DEVNAME=mmcblk0p2\n");
        Write(mmc / "mmcblk0p2/partition", "2\n");
        Write(mmc / "mmcblk0p2/start", "32768\n");
        fs::create_directories(m_folder / "dev/block");
        Link("8:16", disk);
        Link("8:17", disk / "sdb1");
        Link("8:21", disk / "sdb5");
        Link("179:2", mmc / "mmcblk0p2");
    }

    std::string Root() const { return m_folder.Path().string(); }

  private:
    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    void Link(const std::string& numbers, const fs::path& target) {
        fs::create_directory_symlink(fs::relative(target, m_folder / "dev/block"),
                                     m_folder / "dev/block" / numbers);
    }

    TestFolder m_folder;
};

} // namespace

TEST(BlockDeviceFacts, ReadsPartitionsAndDisksFromSysfs) {
    const FakeSysfs sysfs;
    const auto partition = ReadBlockDeviceFacts(sysfs.Root(), 8, 17);
    ASSERT_TRUE(partition);
    EXPECT_EQ(partition->name, "sdb1");
    EXPECT_EQ(partition->deviceNode, "/dev/sdb1");
    EXPECT_EQ(partition->partitionNumber, 1);
    EXPECT_EQ(partition->start512, 8192u);
    EXPECT_EQ(partition->diskName, "sdb");
    EXPECT_EQ(partition->diskNode, "/dev/sdb");

    const auto disk = ReadBlockDeviceFacts(sysfs.Root(), 8, 16);
    ASSERT_TRUE(disk);
    EXPECT_EQ(disk->deviceNode, "/dev/sdb");
    EXPECT_EQ(disk->partitionNumber, 0) << "a whole disk";
    EXPECT_EQ(disk->diskName, "");

    const auto card = ReadBlockDeviceFacts(sysfs.Root(), 179, 2);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->partitionNumber, 2);
    EXPECT_EQ(card->start512, 32768u);
    EXPECT_EQ(card->diskNode, "/dev/mmcblk0");

    EXPECT_FALSE(ReadBlockDeviceFacts(sysfs.Root(), 8, 21)) << "a partition number that is no number";
    EXPECT_FALSE(ReadBlockDeviceFacts(sysfs.Root(), 9, 9)) << "no such device";
}

namespace {

struct MbrEntry {
    BYTE type;
    DWORD start;
    DWORD length;
};

// A disk's first sector with a dos table of four entries.
std::vector<BYTE> MakeMbr(const std::vector<MbrEntry>& entries) {
    std::vector<BYTE> mbr(kMbrSize);
    for (size_t i = 0; i < mbr.size() - 66; ++i)
        mbr[i] = static_cast<BYTE>(0x31 + i % 17); // boot code
    for (size_t i = 0; i < entries.size(); ++i) {
        BYTE* entry = mbr.data() + 446 + 16 * i;
        entry[0] = i == 0 ? 0x80 : 0x00;
        entry[1] = 0x20;
        entry[4] = entries[i].type;
        for (int b = 0; b < 4; ++b) {
            entry[8 + b] = static_cast<BYTE>(entries[i].start >> (8 * b));
            entry[12 + b] = static_cast<BYTE>(entries[i].length >> (8 * b));
        }
    }
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    return mbr;
}

} // namespace

TEST(MbrPartition, TellsTableTypes) {
    const std::vector<BYTE> dos = MakeMbr({{0x0B, 2048, 100000}});
    EXPECT_EQ(PartitionTableTypeOf(dos.data()), PartitionTableType::Dos);
    EXPECT_EQ(PartitionTableTypeOf(MakeMbr({{0xEE, 1, 0xFFFFFFFF}}).data()), PartitionTableType::Gpt);
    std::vector<BYTE> unsigned_ = dos;
    unsigned_[511] = 0;
    EXPECT_EQ(PartitionTableTypeOf(unsigned_.data()), PartitionTableType::None);
    // A FAT boot sector is signed too, but its code fills the table's place.
    std::vector<BYTE> bootSector = dos;
    bootSector[446] = 0x33;
    EXPECT_EQ(PartitionTableTypeOf(bootSector.data()), PartitionTableType::None);
}

TEST(MbrPartition, SetsOnlyTheVolumesOwnPrimaryEntryOnADiskImage) {
    struct Case {
        const char* name;
        std::vector<BYTE> mbr;
        int number;
        ULONGLONG start512;
        bool changed;
    };
    const std::vector<MbrEntry> table = {{0x0B, 2048, 100000}, {0x83, 102048, 50000}, {0x05, 152048, 60000}};
    const std::vector<BYTE> gpt = MakeMbr({{0xEE, 1, 0xFFFFFFFF}});
    std::vector<BYTE> boot = MakeMbr(table);
    boot[446] = 0x33;
    const Case cases[] = {
        {"first primary", MakeMbr(table), 1, 2048, true},
        {"second primary", MakeMbr(table), 2, 102048, true},
        {"entry that starts elsewhere", MakeMbr(table), 1, 4096, false},
        {"extended partition", MakeMbr(table), 3, 152048, false},
        {"unused entry", MakeMbr(table), 4, 0, false},
        {"logical partition", MakeMbr(table), 5, 154096, false},
        {"protective MBR of a GPT disk", gpt, 1, 1, false},
        {"no table at all", boot, 1, 2048, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const fs::path disk = folder / "disk.img";
        CreateImage(disk, 4 << 20);
        {
            std::fstream file(disk, std::ios::binary | std::ios::in | std::ios::out);
            file.write(reinterpret_cast<const char*>(c.mbr.data()),
                       static_cast<std::streamsize>(c.mbr.size()));
        }
        errno = 0;
        EXPECT_EQ(SetMbrPartitionTypeOnDisk(disk.string(), c.number, c.start512, kPartitionTypeFat32Lba),
                  c.changed);
        std::vector<BYTE> expected = c.mbr;
        if (c.changed)
            expected[446 + 16 * (c.number - 1) + 4] = 0x0C;
        else
            EXPECT_EQ(errno, ENOENT);
        EXPECT_EQ(ReadBytes(disk, 0, kMbrSize), expected) << "nothing but the one type byte changes";
        EXPECT_TRUE(AllZero(ReadBytes(disk, kMbrSize, 4096)));
    }
    errno = 0;
    EXPECT_FALSE(SetMbrPartitionTypeOnDisk("/nonexistent/disk.img", 1, 2048, kPartitionTypeFat32Lba));
    EXPECT_EQ(errno, ENOENT);
}

TEST(UDisks, NamesBlockObjectsAsUdisksDoes) {
    EXPECT_EQ(UDisksBlockObjectPath("sdb1"), "/org/freedesktop/UDisks2/block_devices/sdb1");
    EXPECT_EQ(UDisksBlockObjectPath("mmcblk0p1"), "/org/freedesktop/UDisks2/block_devices/mmcblk0p1");
    EXPECT_EQ(UDisksBlockObjectPath("dm-0"), "/org/freedesktop/UDisks2/block_devices/dm_2d0");
    EXPECT_EQ(UDisksBlockObjectPath("a_b.c"), "/org/freedesktop/UDisks2/block_devices/a_b_2ec");
}

TEST(ImageFileVolume, OpensOnlyRegularFilesAndWritesOnlyWhenLocked) {
    TestFolder folder;
    CreateImage(folder / "card.img", 1 << 20, 1 << 20);

    errno = 0;
    EXPECT_FALSE(ImageFileVolume::Open(folder.Wide("missing.img")));
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_FALSE(ImageFileVolume::Open(folder.Wide()));
    EXPECT_EQ(errno, EISDIR) << "a folder does not even open for writing";

    auto volume = ImageFileVolume::Open(folder.Wide("card.img"), 4096);
    ASSERT_TRUE(volume);
    RawVolumeGeometry geometry;
    ASSERT_TRUE(volume->GetGeometry(geometry));
    EXPECT_EQ(geometry.bytesPerSector, 4096u);
    RawVolumePartition partition;
    ASSERT_TRUE(volume->GetPartitionInfo(partition));
    EXPECT_EQ(partition.length, 1u << 20);
    EXPECT_EQ(partition.hiddenSectors, 0u);
    EXPECT_FALSE(partition.gpt);

    const BYTE zeros[16] = {};
    ASSERT_TRUE(volume->SetPointer(100));
    errno = 0;
    EXPECT_FALSE(volume->Write(zeros, sizeof zeros));
    EXPECT_EQ(errno, ENOLCK);
    EXPECT_EQ(FirstPatternMismatch(folder / "card.img", 0, 1 << 20), std::nullopt);

    ASSERT_TRUE(volume->Lock());
    auto other = ImageFileVolume::Open(folder.Wide("card.img"));
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->Lock());
    EXPECT_EQ(errno, EWOULDBLOCK);

    ASSERT_TRUE(volume->SetPointer(100));
    EXPECT_TRUE(volume->Write(zeros, sizeof zeros));
    EXPECT_FALSE(volume->SetPartitionTypeFat32()) << "an image holds no partition table";
    EXPECT_TRUE(volume->Flush());
    EXPECT_TRUE(volume->Unlock());
    EXPECT_TRUE(other->Lock());
    EXPECT_EQ(FirstPatternMismatch(folder / "card.img", 0, 100), std::nullopt);
    EXPECT_TRUE(AllZero(ReadBytes(folder / "card.img", 100, 16)));
    EXPECT_EQ(FirstPatternMismatch(folder / "card.img", 116, (1 << 20) - 116), std::nullopt);
}
