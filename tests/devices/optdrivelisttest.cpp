// The settings editor's drive list over the volumes the devices layer finds: folders of
// TREVO_EXTRA_VOLUMES and mounted block devices of a fake sysfs. Only removable volumes are listed,
// and the one that holds the settings file is selected.
#include "devicetestsupport.h"
#include "fakesysfs.h"
#include "platform/base/unicode.h"
#include "platform/base/windowsystem.h"
#include "platform/devices/volumeregistry.h"
#include "support/testfolder.h"
#include "support/silentopteditorhost.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/tools/opteditor.h"

#include <gtest/gtest.h>

namespace {


TEST(OptDriveListTest, RemovableVolumesFromTheDevicesLayer) {
    CleanDriveTable clean;
    FakeSysfs sysfs;
    MountTable table;
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
    sysfs.AddUsbDevice(usb + "1-1", "0bda", "0129");
    sysfs.AddDiskWithPartition(usb + "1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb", true, 8, 17);
    sysfs.AddUsbDevice(usb + "1-3", "174c", "55aa");
    sysfs.AddDiskWithPartition(usb + "1-3/1-3:1.0/host8/target8:0:0/8:0:0:0/block/sdd", false, 8, 49);
    sysfs.AddDiskWithPartition("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda", false, 8,
                               2);
    const std::string card = table.MountPoint("card");
    const std::string disk = table.MountPoint("usbdisk");
    table.Write({MountTable::Line("8:2", table.MountPoint("system"), "/dev/sda2"),
                 MountTable::Line("8:17", card, "/dev/sdb1"), MountTable::Line("8:49", disk, "/dev/sdd1")});
    TestFolder extra;
    VolumeRegistry registry(VolumeSources{table.Path(), sysfs.Root(), extra.Path().string() + ":1B3F:2008"});
    registry.Refresh();
    // The extra folder comes first and takes D:, the card E:, the USB disk F: (not removable).
    ASSERT_EQ(DriveTable::Instance().LetterOfRoot(extra.Wide()), L'D');
    ASSERT_EQ(DriveTable::Instance().LetterOfRoot(WideFromUtf8(card)), L'E');
    ASSERT_EQ(DriveTable::Instance().LetterOfRoot(WideFromUtf8(disk)), L'F');

    struct Case {
        std::string settings; // empty: no settings file
        int selection;
    };
    const Case cases[] = {{card + "/Parameter/config.txt", 1},
                          {extra.Path().string() + "/config.txt", 0},
                          {disk + "/Parameter/config.txt", 1},
                          {"", 1}};
    for (const Case& c : cases) {
        SilentOptEditorHost host;
        DataDirStruct catalogue;
        OptEditor editor(host);
        editor.SetDataDirStruct(&catalogue);
        if (!c.settings.empty())
            catalogue.SetConfigPath(WideFromUtf8(c.settings));
        editor.FillDriveList();
        EXPECT_EQ(editor.DriveEntries(), (std::vector<std::wstring>{L"D: drive", L"E: drive"})) << c.settings;
        EXPECT_EQ(editor.DriveSelection(), c.selection) << c.settings;
    }
}

} // namespace
