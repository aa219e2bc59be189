#include "platform/devices/volumeregistry.h"
#include "devicetestsupport.h"
#include "fakesysfs.h"
#include "platform/devices/cardmount.h"
#include "platform/base/unicode.h"
#include "support/scopedenvironment.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class VolumeRegistryTest : public testing::Test {
  protected:
    VolumeRegistryTest() {
        const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
        m_sysfs.AddUsbDevice(usb + "1-1", "0bda", "0129");
        m_sysfs.AddDiskWithPartition(usb + "1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb", true, 8, 17);
        m_sysfs.AddUsbDevice(usb + "1-2", "1b3f", "2008");
        m_sysfs.AddDiskWithPartition(usb + "1-2/1-2:1.0/host7/target7:0:0/7:0:0:0/block/sdc", true, 8, 33);
        m_sysfs.AddUsbDevice(usb + "1-3", "174c", "55aa");
        m_sysfs.AddDiskWithPartition(usb + "1-3/1-3:1.0/host8/target8:0:0/8:0:0:0/block/sdd", false, 8, 49);
        m_sysfs.AddDiskWithPartition("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda",
                                     false, 8, 2);
    }

    VolumeSources Sources(const std::string& extraVolumes = "") const {
        return VolumeSources{m_table.Path(), m_sysfs.Root(), extraVolumes};
    }

    // Letter → mount root of every lettered volume.
    static std::map<wchar_t, std::string> Letters() {
        std::map<wchar_t, std::string> letters;
        for (const DriveVolume& volume : DriveTable::Instance().Volumes())
            letters[volume.letter] = Utf8FromWide(volume.mountRoot);
        return letters;
    }

    CleanDriveTable m_clean;
    FakeSysfs m_sysfs;
    MountTable m_table;
};

} // namespace

TEST_F(VolumeRegistryTest, LettersStayWhileTheVolumesStayMounted) {
    // Another part of the program holds E:; it is never handed out nor taken away.
    DriveVolume other;
    other.letter = L'E';
    other.mountRoot = L"/srv/other";
    ASSERT_EQ(DriveTable::Instance().Register(other), L'E');

    const std::string a = m_table.MountPoint("a");
    const std::string b = m_table.MountPoint("b");
    const std::string b2 = m_table.MountPoint("b2");
    const std::string disk = m_table.MountPoint("usbdisk");
    const std::string system = m_table.MountPoint("system");
    const std::string cardA = MountTable::Line("8:17", a, "/dev/sdb1");
    const std::string cardB = MountTable::Line("8:33", b, "/dev/sdc1");
    const std::string usbDisk = MountTable::Line("8:49", disk, "/dev/sdd1");
    const std::string fixed = MountTable::Line("8:2", system, "/dev/sda2");
    const std::string bind = MountTable::Line("8:17", m_table.MountPoint("dcim"), "/dev/sdb1", "/DCIM");

    struct Step {
        const char* what;
        std::vector<std::string> table;
        std::vector<VolumeChange> changes;
        std::map<wchar_t, std::string> letters;
    };
    const Step steps[] = {
        {"a card; the fixed disk and the bind mount get no letter",
         {fixed, cardA, bind},
         {{true, L'D'}},
         {{L'D', a}, {L'E', "/srv/other"}}},
        {"a second card and a USB disk, past the letter in use",
         {fixed, cardA, bind, cardB, usbDisk},
         {{true, L'F'}, {true, L'G'}},
         {{L'D', a}, {L'E', "/srv/other"}, {L'F', b}, {L'G', disk}}},
        {"the first card taken out",
         {fixed, cardB, usbDisk},
         {{false, L'D'}},
         {{L'E', "/srv/other"}, {L'F', b}, {L'G', disk}}},
        {"it comes back and takes the lowest free letter",
         {fixed, cardB, usbDisk, cardA},
         {{true, L'D'}},
         {{L'D', a}, {L'E', "/srv/other"}, {L'F', b}, {L'G', disk}}},
        {"nothing changed",
         {fixed, cardB, usbDisk, cardA},
         {},
         {{L'D', a}, {L'E', "/srv/other"}, {L'F', b}, {L'G', disk}}},
        {"a card mounted elsewhere is a new volume",
         {fixed, MountTable::Line("8:33", b2, "/dev/sdc1"), usbDisk, cardA},
         {{false, L'F'}, {true, L'F'}},
         {{L'D', a}, {L'E', "/srv/other"}, {L'F', b2}, {L'G', disk}}},
        {"everything unmounted", {}, {{false, L'D'}, {false, L'F'}, {false, L'G'}}, {{L'E', "/srv/other"}}},
    };
    VolumeRegistry registry(Sources());
    for (const Step& step : steps) {
        m_table.Write(step.table);
        EXPECT_EQ(registry.Refresh(), step.changes) << step.what;
        EXPECT_EQ(Letters(), step.letters) << step.what;
    }
}

TEST_F(VolumeRegistryTest, ACardMountedAgainAfterAFormatKeepsItsLetterUntilItGoes) {
    const std::string a = m_table.MountPoint("a");
    const std::string formatted = m_table.MountPoint("T550_FHD");
    m_table.Write({MountTable::Line("8:17", a, "/dev/sdb1")});
    VolumeRegistry registry(Sources());
    ASSERT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{true, L'D'}}));

    // The format moved the letter before the registry saw the card mounted again.
    ASSERT_TRUE(RemountDrive('D', CardMount{"sdb1", "/dev/sdb1", a},
                             [&](const CardMount&) { return std::optional<std::string>(formatted); }));
    m_table.Write({MountTable::Line("8:17", formatted, "/dev/sdb1")});
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{false, L'D'}, {true, L'D'}}));
    EXPECT_EQ(Letters(), (std::map<wchar_t, std::string>{{L'D', formatted}}));

    // The letter is the registry's again: it goes with the card.
    m_table.Write({});
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{false, L'D'}}));
    EXPECT_TRUE(Letters().empty());
}

TEST_F(VolumeRegistryTest, VolumesKeepWhatSysfsToldOfThem) {
    const std::string a = m_table.MountPoint("a");
    const std::string disk = m_table.MountPoint("usbdisk");
    m_table.Write({MountTable::Line("8:17", a, "/dev/sdb1"), MountTable::Line("8:49", disk, "/dev/sdd1")});
    {
        VolumeRegistry registry(Sources());
        ASSERT_EQ(registry.Refresh().size(), 2u);
        const auto card = DriveTable::Instance().Find(L'D');
        ASSERT_TRUE(card);
        EXPECT_TRUE(card->removable);
        EXPECT_EQ(card->usbVendorId, 0x0BDAu);
        EXPECT_EQ(card->usbProductId, 0x0129u);
        const auto usbDisk = DriveTable::Instance().Find(L'E');
        ASSERT_TRUE(usbDisk);
        EXPECT_FALSE(usbDisk->removable);
        EXPECT_EQ(usbDisk->usbVendorId, 0x174Cu);
    }
    EXPECT_TRUE(DriveTable::Instance().Volumes().empty()) << "the registry gives its letters back";
}

TEST_F(VolumeRegistryTest, ExtraFoldersComeAndGoAndStandForTheirMount) {
    const std::string a = m_table.MountPoint("a");
    const std::string demo = m_table.MountPoint("demo");
    const std::string later = a + "-later";
    m_table.Write({MountTable::Line("8:17", a, "/dev/sdb1")});
    VolumeRegistry registry(Sources(demo + ":1B3F:2008;" + a + ":abcd:1;" + later));

    // The card's mount point is named as an extra volume: one letter, with the ids given there.
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{true, L'D'}, {true, L'E'}}));
    EXPECT_EQ(DriveTable::Instance().RootOf(L'D'), WideFromUtf8(demo));
    EXPECT_EQ(DriveTable::Instance().Find(L'D')->usbVendorId, 0x1B3Fu);
    EXPECT_EQ(DriveTable::Instance().RootOf(L'E'), WideFromUtf8(a));
    EXPECT_EQ(DriveTable::Instance().Find(L'E')->usbVendorId, 0xABCDu);
    EXPECT_TRUE(DriveTable::Instance().Find(L'E')->removable);

    std::filesystem::rename(demo, demo + "-away");
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{false, L'D'}}));
    std::filesystem::create_directory(later);
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{true, L'D'}}));
    EXPECT_EQ(DriveTable::Instance().RootOf(L'D'), WideFromUtf8(later));
    std::filesystem::rename(demo + "-away", demo);
    EXPECT_EQ(registry.Refresh(), (std::vector<VolumeChange>{{true, L'F'}}));
}

TEST(VolumeSources, ExtraVolumesComeFromTheEnvironment) {
    ScopedEnvironment extra(kExtraVolumesVariable, std::string("/media/demo:1B3F:2008"));
    const VolumeSources sources = VolumeSources::FromEnvironment();
    EXPECT_EQ(sources.extraVolumes, "/media/demo:1B3F:2008");
    EXPECT_EQ(sources.mountInfoPath, "/proc/self/mountinfo");
    EXPECT_EQ(sources.sysfsRoot, "/sys");
}
