#pragma once
// Small skin archives written by the tests: stored entries, and the pieces a skin is made of.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Header values written in place of an entry's true ones: the sizes and the method in both of its
// headers, the local header's offset in the central one.
struct EntryOverride {
    std::optional<std::uint32_t> uncompressedSize;
    std::optional<std::uint16_t> method;
    std::optional<std::uint32_t> localHeaderOffset;
};

class ZipFixture {
  public:
    void Add(const std::string& name, const std::string& data) { m_entries.emplace_back(name, data); }
    void Override(const std::string& name, const EntryOverride& values) { m_overrides[name] = values; }
    // Replaces the data of an entry, or adds it.
    void Set(const std::string& name, const std::string& data);
    void Remove(const std::string& name);
    // The archive's bytes; with a damaged CRC every entry's stored CRC is off by one.
    std::string Bytes(bool damageCrc = false) const;
    bool Write(const std::string& path, bool damageCrc = false) const;

  private:
    std::vector<std::pair<std::string, std::string>> m_entries;
    std::map<std::string, EntryOverride> m_overrides;
};

// A bottom-up BMP file of the given bits per pixel (16, 24 or 32) filled with one colour.
std::string MakeBmp(int width, int height, int bitsPerPixel = 24, std::uint32_t rgb = 0x336699);

// A skin archive that loads: cfg.xml naming "skin" for every language, the given skin.xml items,
// an empty model table and both default settings files.
ZipFixture MinimalSkin(const std::string& items);
