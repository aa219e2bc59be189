#pragma once
// The card through udisks2 on the system bus, for a user who may not open the device or unmount
// it himself: udisks asks him for authorisation (polkit) where it needs to. Devices are named as
// in /dev ("sdb1"). Every call blocks until udisks answers, the user's answer included; failures
// leave errno set (EBUSY for a busy device, EACCES when authorisation is refused).

#include <optional>
#include <string>

// udisks's object path of a block device.
std::string UDisksBlockObjectPath(const std::string& deviceName);

bool UDisksUnmount(const std::string& deviceName);
// Mounts the device's file system where udisks chooses; that mount point.
std::optional<std::string> UDisksMount(const std::string& deviceName);
// A descriptor open for writing that the caller owns, or -1. udisks opens it exclusively.
int UDisksOpenForRestore(const std::string& deviceName);
// "dos", "gpt", or nothing when the disk holds no partition table or udisks does not answer.
std::optional<std::string> UDisksPartitionTableType(const std::string& diskName);
// type as udisks takes it for the disk's table ("0x0c" on a dos table).
bool UDisksSetPartitionType(const std::string& deviceName, const std::string& type);
