// The settings store's file on any bytes. The first byte chooses whether the rest is the file as
// it stands or the body of one whose checksum is then made right, so that damage behind the
// checksum is reached too. A file that loads must keep its values through a change and a reload.
#include "fuzzfolder.h"

#include "platform/base/registry.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr const wchar_t* kKey = L"SOFTWARE\\TREVO_VIEWER\\conf";
constexpr const wchar_t* kValue = L"LanguageID";

struct Read {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const Read& other) const {
        return status == other.status && type == other.type && data == other.data;
    }
};

Read Query(HKEY key, const wchar_t* name) {
    Read read;
    DWORD size = 0;
    read.status = RegQueryValueExW(key, name, nullptr, &read.type, nullptr, &size);
    if (read.status != ERROR_SUCCESS)
        return read;
    read.data.resize(size);
    DWORD room = size;
    read.status = RegQueryValueExW(key, name, nullptr, &read.type, read.data.data(), &room);
    if (read.status == ERROR_SUCCESS && room != size)
        std::abort();
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        const uLong crc =
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((crc >> shift) & 0xFF));
    }
    FuzzFolder::Instance().Write("registry.dat", bytes);
    RegReloadStore();

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    const Read before = Query(key, kValue);
    Query(key, nullptr);
    const DWORD number = 7;
    if (RegSetValueExW(key, L"Volume", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) !=
        ERROR_SUCCESS)
        std::abort();
    RegCloseKey(key);

    RegReloadStore();
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        std::abort();
    if (!(Query(key, kValue) == before))
        std::abort();
    const Read volume = Query(key, L"Volume");
    if (volume.status != ERROR_SUCCESS || volume.type != REG_DWORD || volume.data.size() != sizeof number)
        std::abort();
    RegCloseKey(key);
    return 0;
}
