#include "platform/devices/mountinfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Volume {
    unsigned major;
    unsigned minor;
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

struct Case {
    const char* what;
    std::string table;
    std::vector<Volume> volumes;
};

} // namespace

TEST(MountInfo, BlockVolumesOfTheMountTable) {
    const Case cases[] = {
        {"a card as the desktop mounts it",
         "98 27 8:17 / /media/user/CARD rw,nosuid shared:52 - vfat /dev/sdb1 rw,uid=1000\n",
         {{8, 17, "/media/user/CARD", "vfat", "/dev/sdb1"}}},
        {"escaped space, tab, newline and backslash",
         "98 27 8:17 / /media/user/MY\\040CARD\\011a\\012b\\134c rw - vfat /dev/sdb1 rw\n",
         {{8, 17, "/media/user/MY CARD\ta\nb\\c", "vfat", "/dev/sdb1"}}},
        {"no optional fields, and several",
         "98 27 8:17 / /media/a rw - vfat /dev/sdb1 rw\n"
         "99 27 8:33 / /media/b rw shared:52 master:3 propagate_from:2 unbindable - exfat /dev/sdc1 rw\n",
         {{8, 17, "/media/a", "vfat", "/dev/sdb1"}, {8, 33, "/media/b", "exfat", "/dev/sdc1"}}},
        {"a bind mount of a folder inside a volume is no volume",
         "98 27 8:17 /DCIM /srv/dcim rw - vfat /dev/sdb1 rw\n"
         "99 27 8:17 / /media/a rw - vfat /dev/sdb1 rw\n",
         {{8, 17, "/media/a", "vfat", "/dev/sdb1"}}},
        {"proc, tmpfs and network mounts are no block devices",
         "21 27 0:20 / /proc rw,relatime - proc proc rw\n"
         "22 27 0:31 / /run/user/1000 rw - tmpfs tmpfs rw\n"
         "23 27 0:52 / /mnt/share rw - nfs4 server:/share rw\n"
         "24 27 8:1 / /odd rw - ext4 none rw\n",
         {}},
        {"one device mounted twice keeps its first mount",
         "98 27 8:17 / /media/a rw - vfat /dev/sdb1 rw\n"
         "99 27 8:17 / /media/again rw - vfat /dev/sdb1 rw\n",
         {{8, 17, "/media/a", "vfat", "/dev/sdb1"}}},
        {"a later mount on the same point hides the earlier",
         "98 27 8:17 / /media/a rw - vfat /dev/sdb1 rw\n"
         "99 98 8:33 / /media/a rw - vfat /dev/sdc1 rw\n",
         {{8, 33, "/media/a", "vfat", "/dev/sdc1"}}},
        {"lines that do not parse are left out",
         "garbage\n"
         "98 27 x:y / /media/x rw - vfat /dev/sdx1 rw\n"
         "99 27 8:17 / /media/a rw - vfat\n"
         "100 27 8:33 / /media/b rw shared:1\n"
         "101 27 8:49 / /media/c rw - vfat /dev/sdd1 rw\n",
         {{8, 49, "/media/c", "vfat", "/dev/sdd1"}}},
        {"an empty table", "", {}},
    };
    for (const Case& c : cases) {
        const auto volumes = BlockVolumeMounts(ParseMountInfo(c.table));
        ASSERT_EQ(volumes.size(), c.volumes.size()) << c.what;
        for (size_t i = 0; i < volumes.size(); ++i) {
            EXPECT_EQ(volumes[i].major, c.volumes[i].major) << c.what;
            EXPECT_EQ(volumes[i].minor, c.volumes[i].minor) << c.what;
            EXPECT_EQ(volumes[i].root, "/") << c.what;
            EXPECT_EQ(volumes[i].mountPoint, c.volumes[i].mountPoint) << c.what;
            EXPECT_EQ(volumes[i].fsType, c.volumes[i].fsType) << c.what;
            EXPECT_EQ(volumes[i].source, c.volumes[i].source) << c.what;
        }
    }
}
