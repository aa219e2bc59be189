// The skin store's XML readers on any text: the first byte chooses which of cfg.xml, skin.xml and
// pidinfo.xml the rest of the input becomes, and the recorder model; the other entries of a sound
// skin archive surround it, so that every input reaches the parser.
#include "fuzzfolder.h"
#include "storedzip.h"

#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kSettings[] =
    "<cfg><language>1</language><skin0>skin</skin0><skin1>skin</skin1><skin2>skin</skin2>"
    "<skin3>skin</skin3><skin4>skin</skin4><skin5>skin</skin5></cfg>";
const char kComponents[] =
    "<component><item><type>button</type><id>0x10000002</id><location><x>1</x><y>2</y></location>"
    "<size><width>2</width><height>2</height></size><image><normal>a.bmp</normal></image></item></component>";
const char kDevices[] =
    "<pidinfo><model><name>TREVO R4</name><vid>3A7E</vid><pid>0001</pid></model></pidinfo>";
const char kDefaults[] = "Record Value=1\r\nVolume=3\r\n";

// A 2 x 2 bottom-up BMP of 24 bits a pixel.
std::string TinyBitmap() {
    std::string bmp = "BM";
    auto put32 = [&bmp](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bmp.push_back(static_cast<char>((value >> shift) & 0xFF));
    };
    auto put16 = [&bmp](uint32_t value) {
        bmp.push_back(static_cast<char>(value & 0xFF));
        bmp.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    put32(54 + 16);
    put32(0);
    put32(54);
    put32(40);
    put32(2);
    put32(2);
    put16(1);
    put16(24);
    put32(0);
    put32(16);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    bmp += std::string(16, '\x5A');
    return bmp;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int part = data[0] % 3;
    SetModelIndex(data[0] / 3 % 4);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    static const std::string bitmap = TinyBitmap();
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"cfg\\cfg.xml", part == 0 ? text : kSettings},
        {"cfg\\pidinfo.xml", part == 2 ? text : kDevices},
        {"default\\default_r4.ini", kDefaults},
        {"default\\def_config.txt", kDefaults},
        {"skin\\skin.xml", part == 1 ? text : kComponents},
        {"skin\\a.bmp", bitmap},
    };
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("ResStorage.dat", StoredZip(entries));
    ResStorage store;
    store.LoadSkin(folder.WidePathOf("ResStorage.dat"), nullptr);
    store.GetComponentInfo(CID_MAIN_EXIT);
    return 0;
}
