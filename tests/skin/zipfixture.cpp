#include "zipfixture.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

void ZipFixture::Set(const std::string& name, const std::string& data) {
    for (auto& entry : m_entries) {
        if (entry.first == name) {
            entry.second = data;
            return;
        }
    }
    Add(name, data);
}

void ZipFixture::Remove(const std::string& name) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&name](const auto& entry) { return entry.first == name; }),
                    m_entries.end());
}

std::string ZipFixture::Bytes(bool damageCrc) const {
    std::string local;
    std::string central;
    for (const auto& [name, data] : m_entries) {
        std::uint32_t crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        if (damageCrc) {
            ++crc;
        }
        static const EntryOverride none;
        const auto found = m_overrides.find(name);
        const EntryOverride& values = found != m_overrides.end() ? found->second : none;
        const std::uint32_t size = static_cast<std::uint32_t>(data.size());
        const std::uint32_t uncompressedSize = values.uncompressedSize.value_or(size);
        const std::uint16_t method = values.method.value_or(0);
        const std::uint32_t offset = static_cast<std::uint32_t>(local.size());
        Put32(local, 0x04034b50);
        Put16(local, 10);
        Put16(local, 0);
        Put16(local, method);
        Put16(local, 0);
        Put16(local, 0x21);
        Put32(local, crc);
        Put32(local, size);
        Put32(local, uncompressedSize);
        Put16(local, static_cast<std::uint32_t>(name.size()));
        Put16(local, 0);
        local += name;
        local += data;
        Put32(central, 0x02014b50);
        Put16(central, 20);
        Put16(central, 10);
        Put16(central, 0);
        Put16(central, method);
        Put16(central, 0);
        Put16(central, 0x21);
        Put32(central, crc);
        Put32(central, size);
        Put32(central, uncompressedSize);
        Put16(central, static_cast<std::uint32_t>(name.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, 0);
        Put32(central, values.localHeaderOffset.value_or(offset));
        central += name;
    }
    std::string out = local + central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(m_entries.size()));
    Put16(out, static_cast<std::uint32_t>(m_entries.size()));
    Put32(out, static_cast<std::uint32_t>(central.size()));
    Put32(out, static_cast<std::uint32_t>(local.size()));
    Put16(out, 0);
    return out;
}

bool ZipFixture::Write(const std::string& path, bool damageCrc) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = Bytes(damageCrc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string MakeBmp(int width, int height, int bitsPerPixel, std::uint32_t rgb) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (width * bytesPerPixel + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * height);
    std::string out = "BM";
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0);
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    const std::uint32_t red = (rgb >> 16) & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = rgb & 0xFF;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 16) {
                Put16(row, ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
            } else {
                row += static_cast<char>(blue);
                row += static_cast<char>(green);
                row += static_cast<char>(red);
                if (bitsPerPixel == 32) {
                    row += '\0';
                }
            }
        }
        row.resize(static_cast<size_t>(stride), '\0');
        out += row;
    }
    return out;
}

ZipFixture MinimalSkin(const std::string& items) {
    ZipFixture zip;
    std::string cfg = "<cfg><language>1</language>";
    for (int index = 0; index < 6; ++index) {
        const std::string element = "skin" + std::to_string(index);
        cfg += "<" + element + ">skin</" + element + ">";
    }
    cfg += "<passwordCheck>1</passwordCheck></cfg>";
    zip.Add("cfg\\cfg.xml", cfg);
    zip.Add("skin\\skin.xml", "<component>" + items + "</component>");
    zip.Add("cfg\\pidinfo.xml", "<pidinfo></pidinfo>");
    zip.Add("default\\default_r4.ini", "Driving ResolutionF=1\r\nMIC Volume=1\r\n");
    zip.Add("default\\def_config.txt", "mic_on=1\n");
    return zip;
}
