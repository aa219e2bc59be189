#include "viewer/ui/usbdrivedetector.h"
#include "devicetestsupport.h"
#include "fakesysfs.h"
#include "platform/base/unicode.h"
#include "platform/devices/volumeregistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>

TEST(UsbDriveDetector, DriveLetterFromUnitMask) {
    const struct {
        DWORD mask;
        char letter;
    } cases[] = {
        {0, '?'},
        {1u << 0, 'A'},
        {0b1010, 'B'},
        {(1u << 4) | (1u << 6), 'E'},
        {1u << 25, 'Z'},
        {1u << 26, '?'},
        {(1u << 26) | (1u << 31), '?'},
        {(1u << 31) | (1u << 7), 'H'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DriveLetterFromUnitMask(c.mask), c.letter) << c.mask;
}

TEST(UsbDriveDetector, ParseUsbDeviceId) {
    const struct {
        const wchar_t* id;
        std::wstring vid;
        std::wstring pid;
        std::string printed;
    } cases[] = {
        {L"USB\\VID_04E8&PID_6860\\R58M1234", L"04E8", L"6860",
         "        vid: \"04E8\"\n        pid: \"6860\"\n"},
        {L"USB\\VID_0BDA&PID_0129&MI_00\\6&2A3B&0&0000", L"0BDA", L"0129",
         "        vid: \"0BDA\"\n        pid: \"0129\"\n        mi: \"00\"\n"},
        {L"USB\\ROOT_HUB30\\4&1234&0&0", L"", L"", ""},
        {L"USB\\VID_1234567890ABCDEF&PID_2008", L"123456789", L"2008",
         "        vid: \"123456789\"\n        pid: \"2008\"\n"},
        {L"USB\\VID_1111&PID_2222#VID_3333", L"3333", L"2222",
         "        vid: \"1111\"\n        pid: \"2222\"\n        vid: \"3333\"\n"},
        {L"", L"", L"", ""},
    };
    for (const auto& c : cases) {
        wchar_t vid[kUsbIdTextLength] = {};
        wchar_t pid[kUsbIdTextLength] = {};
        testing::internal::CaptureStdout();
        ParseUsbDeviceId(c.id, vid, pid);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << Utf8FromWide(c.id);
        EXPECT_EQ(std::wstring(vid), c.vid) << Utf8FromWide(c.id);
        EXPECT_EQ(std::wstring(pid), c.pid) << Utf8FromWide(c.id);
    }
}

namespace {

// Drives over a fake sysfs: card readers, a USB disk, a built-in SD slot, a reader whose ids do not
// read, and a card pulled out before its removal was seen.
class UsbScanTest : public testing::Test {
  protected:
    UsbScanTest() {
        const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
        AddUsbDisk(usb + "1-1", "0bda", "0129", "sdb", true, 17);
        AddUsbDisk(usb + "1-2", "174c", "55aa", "sdc", false, 33);
        m_sysfs.AddDiskWithPartition("pci0000:00/0000:00:1c.0/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0", true,
                                     179, 1);
        AddUsbDisk(usb + "1-3", "zz", "0129", "sdd", true, 49);
        AddUsbDisk(usb + "1-4", "1b3f", "2008", "sde", true, 65);
        AddUsbDisk(usb + "1-5", "04e8", "6860", "sdf", true, 81);
        m_sysfs.AddDiskWithPartition("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda",
                                     false, 8, 2);
        m_table.Write({
            MountTable::Line("8:2", m_table.MountPoint("system"), "/dev/sda2"),
            MountTable::Line("8:17", m_table.MountPoint("reader"), "/dev/sdb1"),       // D:
            MountTable::Line("8:33", m_table.MountPoint("usbdisk"), "/dev/sdc1"),      // E:
            MountTable::Line("179:1", m_table.MountPoint("sdslot"), "/dev/mmcblk0p1"), // F:
            MountTable::Line("8:49", m_table.MountPoint("unreadable"), "/dev/sdd1"),   // G:
            MountTable::Line("8:65", m_table.MountPoint("pulled"), "/dev/sde1"),       // H:
            MountTable::Line("8:81", m_table.MountPoint("recorder"), "/dev/sdf1"),     // I:
        });
        m_registry.Refresh();
        // The card in H: is gone, but no look at the mount table has told the registry yet.
        std::filesystem::remove(m_table.MountPoint("pulled"));
    }

    void AddUsbDisk(const std::string& device, const std::string& vendor, const std::string& product,
                    const std::string& disk, bool removable, unsigned minor) {
        m_sysfs.AddUsbDevice(device, vendor, product, "SERIAL" + disk);
        m_sysfs.AddDiskWithPartition(device + "/" + device.substr(device.rfind('/') + 1) +
                                         ":1.0/host6/target6:0:0/6:0:0:0/block/" + disk,
                                     removable, 8, minor);
    }

    CleanDriveTable m_clean;
    FakeSysfs m_sysfs;
    MountTable m_table;
    VolumeRegistry m_registry{VolumeSources{m_table.Path(), m_sysfs.Root(), ""}};
};

} // namespace

TEST_F(UsbScanTest, ScanIdentifiesRemovableDrivesAndGoesOnPastThoseItCannot) {
    ASSERT_EQ(DriveTable::Instance().Volumes().size(), 6u);
    DWORD vids[26];
    DWORD pids[26];
    std::fill(std::begin(vids), std::end(vids), 0xFFFFFFFF);
    std::fill(std::begin(pids), std::end(pids), 0xFFFFFFFF);
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetUsbIdsOfDrive(vids, pids), TRUE);
    const std::string printed = testing::internal::GetCapturedStdout();

    DWORD expectedVids[26] = {};
    DWORD expectedPids[26] = {};
    expectedVids['D' - 'A'] = 0x0BDA;
    expectedPids['D' - 'A'] = 0x0129;
    // The drives after the SD slot, the unreadable reader and the pulled card are still found.
    expectedVids['I' - 'A'] = 0x04E8;
    expectedPids['I' - 'A'] = 0x6860;
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(vids[i], expectedVids[i]) << static_cast<char>('A' + i);
        EXPECT_EQ(pids[i], expectedPids[i]) << static_cast<char>('A' + i);
    }
    // The USB disk is not removable and is not looked at.
    EXPECT_EQ(printed.find("Drive E:"), std::string::npos);
    EXPECT_NE(printed.find("Drive D:\n        vid: \"0BDA\"\n        pid: \"0129\"\n"), std::string::npos);
    EXPECT_NE(printed.find("Drive H:\nDrive I:\n"), std::string::npos);
}

TEST_F(UsbScanTest, OneDriveIsIdentifiedWhetherRemovableOrNot) {
    const struct {
        char letter;
        BOOL result;
        DWORD vid;
        DWORD pid;
    } cases[] = {
        {'D', TRUE, 0x0BDA, 0x0129}, {'E', TRUE, 0x174C, 0x55AA}, // a fixed USB disk
        {'I', TRUE, 0x04E8, 0x6860}, {'F', FALSE, 7, 7},          // no USB device
        {'G', FALSE, 7, 7},                                       // ids that do not read
        {'H', FALSE, 7, 7},                                       // cannot be reached
        {'Z', FALSE, 7, 7},                                       // not among the drives
        {'d', FALSE, 7, 7},                                       // the drive strings hold upper-case letters
    };
    testing::internal::CaptureStdout();
    for (const auto& c : cases) {
        DWORD vid = 7;
        DWORD pid = 7;
        EXPECT_EQ(GetUsbIdsOfDriveEx(c.letter, &vid, &pid), c.result) << c.letter;
        EXPECT_EQ(vid, c.vid) << c.letter;
        EXPECT_EQ(pid, c.pid) << c.letter;
    }
    DWORD vid = 0;
    EXPECT_EQ(GetUsbIdsOfDriveEx('D', &vid, nullptr), FALSE);
    testing::internal::GetCapturedStdout();
}

TEST(UsbScan, NoDrivesOrNoArrays) {
    CleanDriveTable clean;
    DWORD vids[26];
    DWORD pids[26];
    std::fill(std::begin(vids), std::end(vids), 5);
    std::fill(std::begin(pids), std::end(pids), 5);
    EXPECT_EQ(GetUsbIdsOfDrive(vids, pids), FALSE);
    EXPECT_EQ(std::count(std::begin(vids), std::end(vids), 0u), 26);
    EXPECT_EQ(std::count(std::begin(pids), std::end(pids), 0u), 26);
    EXPECT_EQ(GetUsbIdsOfDrive(vids, nullptr), FALSE);
    EXPECT_EQ(GetUsbIdsOfDrive(nullptr, pids), FALSE);
}
