#pragma once
// A folder laid out as sysfs lays out block devices: device folders under devices/, with the
// dev/block/MAJ:MIN links pointing at them, USB devices with their ids above the disks they carry.

#include "support/testfolder.h"

#include <filesystem>
#include <fstream>
#include <string>

class FakeSysfs {
  public:
    FakeSysfs() { std::filesystem::create_directories(m_folder / "dev/block"); }

    std::string Root() const { return m_folder.Path().string(); }

    // A USB device (the folder with idVendor and idProduct) at the path below devices/.
    void AddUsbDevice(const std::string& path, const std::string& vendor, const std::string& product,
                      const std::string& serial = "") {
        Write("devices/" + path + "/idVendor", vendor + "\n");
        Write("devices/" + path + "/idProduct", product + "\n");
        if (!serial.empty())
            Write("devices/" + path + "/serial", serial + "\n");
    }

    // A disk at the path below devices/ ("…/block/sdb") and its first partition ("sdb1").
    void AddDiskWithPartition(const std::string& diskPath, bool removable, unsigned major, unsigned minor) {
        const std::string disk = "devices/" + diskPath;
        const std::string name = std::filesystem::path(diskPath).filename().string();
        const std::string partition = disk + "/" + name + (name.rfind("mmcblk", 0) == 0 ? "p1" : "1");
        Write(disk + "/removable", removable ? "1\n" : "0\n");
        Write(disk + "/uevent", "DEVNAME=" + name + "\n");
        Write(partition + "/partition", "1\n");
        Link(major, minor - 1, disk);
        Link(major, minor, partition);
    }

    void Write(const std::string& relative, const std::string& text) {
        const std::filesystem::path file = m_folder / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

  private:
    void Link(unsigned major, unsigned minor, const std::string& target) {
        const std::filesystem::path links = m_folder / "dev/block";
        std::filesystem::create_directory_symlink(std::filesystem::relative(m_folder / target, links),
                                                  links /
                                                      (std::to_string(major) + ":" + std::to_string(minor)));
    }

    TestFolder m_folder;
};
