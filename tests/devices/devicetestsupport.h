#pragma once
// A mount table file and the folders its volumes are mounted on, for a registry to read, and a
// clean drive table around each test.

#include "platform/base/drivetable.h"
#include "platform/devices/volumeregistry.h"
#include "support/testfolder.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

class MountTable {
  public:
    // A folder to mount on (made now, so that the volume can be reached).
    std::string MountPoint(const std::string& name) const {
        std::filesystem::create_directories(m_folder / name);
        return (m_folder / name).string();
    }

    // One line of /proc/self/mountinfo for a device's volume.
    static std::string Line(const std::string& numbers, const std::string& mountPoint,
                            const std::string& source, const std::string& root = "/") {
        static int id = 100;
        return std::to_string(++id) + " 27 " + numbers + " " + root + " " + mountPoint +
               " rw,nosuid shared:7 - vfat " + source + " rw\n";
    }

    void Write(const std::vector<std::string>& lines) const {
        std::ofstream file(Path());
        for (const std::string& line : lines)
            file << line;
    }

    std::string Path() const { return (m_folder / "mountinfo").string(); }

  private:
    TestFolder m_folder;
};

// Tests own the process's drive table for their duration.
class CleanDriveTable {
  public:
    CleanDriveTable() { DriveTable::Instance().Clear(); }
    ~CleanDriveTable() { DriveTable::Instance().Clear(); }
};

inline void PrintTo(const VolumeChange& change, std::ostream* out) {
    *out << (change.arrived ? "+" : "-") << static_cast<char>(change.letter);
}
