#include "platform/devices/removablemedia.h"
#include "fakesysfs.h"

#include <gtest/gtest.h>

namespace {

// USB card readers and disks, a SATA disk and a built-in SD slot, as sysfs shows them.
class RemovableMediaTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string xhci = "pci0000:00/0000:00:14.0/";
        // A card reader: the USB device, its interface, then the SCSI disk.
        m_sysfs.AddUsbDevice(xhci + "usb1", "1d6b", "0002");
        m_sysfs.AddUsbDevice(xhci + "usb1/1-1", "0bda", "0129", "20120501030900000");
        m_sysfs.AddDiskWithPartition(xhci + "usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb", true, 8,
                                     17);
        // A USB disk that does not report removable media.
        m_sysfs.AddUsbDevice(xhci + "usb2/2-1", "174c", "55AA");
        m_sysfs.AddDiskWithPartition(xhci + "usb2/2-1/2-1:1.0/host7/target7:0:0/7:0:0:0/block/sdc", false, 8,
                                     33);
        // A reader behind a hub: the nearest USB device is the reader, not the hub.
        m_sysfs.AddUsbDevice(xhci + "usb1/1-4", "05e3", "0608");
        m_sysfs.AddUsbDevice(xhci + "usb1/1-4/1-4.2", "1b3f", "2008", "bad&VID_DEAD");
        m_sysfs.AddDiskWithPartition(xhci + "usb1/1-4/1-4.2/1-4.2:1.0/host8/target8:0:0/8:0:0:0/block/sdd",
                                     true, 8, 49);
        // USB devices whose ids do not read: not hexadecimal, and longer than an id.
        m_sysfs.AddUsbDevice(xhci + "usb1/1-5", "zzzz", "0129");
        m_sysfs.AddDiskWithPartition(xhci + "usb1/1-5/1-5:1.0/host9/target9:0:0/9:0:0:0/block/sde", true, 8,
                                     65);
        m_sysfs.AddUsbDevice(xhci + "usb1/1-6", "0bda0", "0129");
        m_sysfs.AddDiskWithPartition(xhci + "usb1/1-6/1-6:1.0/host10/target10:0:0/10:0:0:0/block/sdf", true,
                                     8, 81);
        // A SATA disk and a built-in SD slot: no USB device above them.
        m_sysfs.AddDiskWithPartition("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda",
                                     false, 8, 2);
        m_sysfs.AddDiskWithPartition("pci0000:00/0000:00:1c.0/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0", true,
                                     179, 1);
    }

    FakeSysfs m_sysfs;
};

} // namespace

TEST_F(RemovableMediaTest, RemovableBitAndTheNearestUsbDevice) {
    struct Case {
        const char* what;
        unsigned major;
        unsigned minor;
        bool removable;
        bool onUsb;
        DWORD vendor;
        DWORD product;
        const char* serial;
    };
    const Case cases[] = {
        {"card reader partition", 8, 17, true, true, 0x0BDA, 0x0129, "20120501030900000"},
        {"card reader disk", 8, 16, true, true, 0x0BDA, 0x0129, "20120501030900000"},
        {"USB disk without removable media", 8, 33, false, true, 0x174C, 0x55AA, ""},
        {"reader behind a hub; a serial with separators is dropped", 8, 49, true, true, 0x1B3F, 0x2008, ""},
        {"vendor id not hexadecimal", 8, 65, true, true, 0, 0, ""},
        {"vendor id too long", 8, 81, true, true, 0, 0, ""},
        {"SATA disk", 8, 2, false, false, 0, 0, ""},
        {"built-in SD slot", 179, 1, true, false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        const auto facts = ReadRemovableMediaFacts(m_sysfs.Root(), c.major, c.minor);
        ASSERT_TRUE(facts) << c.what;
        EXPECT_EQ(facts->removable, c.removable) << c.what;
        EXPECT_EQ(facts->onUsb, c.onUsb) << c.what;
        EXPECT_EQ(facts->usbVendorId, c.vendor) << c.what;
        EXPECT_EQ(facts->usbProductId, c.product) << c.what;
        EXPECT_EQ(facts->usbSerial, c.serial) << c.what;
    }
    EXPECT_FALSE(ReadRemovableMediaFacts(m_sysfs.Root(), 9, 9)) << "no such device";
    EXPECT_FALSE(ReadRemovableMediaFacts(m_sysfs.Root() + "/missing", 8, 17)) << "no sysfs";
}
