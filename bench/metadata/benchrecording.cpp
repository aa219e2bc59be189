#include "benchrecording.h"

#include "platform/base/file.h"
#include "platform/base/unicode.h"
#include "viewer/catalogue/md5legacy.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

using Bytes = std::string;

constexpr int kSeconds = 180;
constexpr int kFps = 30;
constexpr uint64_t kModulus = 0x1C4E2B9;
constexpr uint64_t kSigningExponent = 1219; // inverts the check exponent modulo lambda(n)

Bytes Be32(uint32_t value) {
    return Bytes{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                 static_cast<char>(value >> 8), static_cast<char>(value)};
}
Bytes Be64(uint64_t value) {
    return Be32(static_cast<uint32_t>(value >> 32)) + Be32(static_cast<uint32_t>(value));
}
Bytes Le32(uint32_t value) {
    return Bytes{static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                 static_cast<char>(value >> 24)};
}
Bytes Box(const std::string& type, const Bytes& payload) {
    return Be32(static_cast<uint32_t>(8 + payload.size())) + type + payload;
}

Bytes Track(const std::string& handler, uint32_t samples, const std::string& format) {
    Bytes sizes = Bytes(4, '\0') + Be32(0) + Be32(samples);
    for (uint32_t i = 0; i < samples; ++i)
        sizes += Be32(20000 + i % 977);
    const Bytes stbl = Box("stsd", Bytes(4, '\0') + Be32(1) + Be32(16) + format + Bytes(8, '\0')) +
                       Box("stts", Bytes(4, '\0') + Be32(1) + Be32(samples) + Be32(1)) + Box("stsz", sizes) +
                       Box("stco", Bytes(4, '\0') + Be32(0));
    const Bytes hdlr = Box("hdlr", Bytes(8, '\0') + handler + Bytes(12, '\0'));
    return Box("trak", Box("tkhd", Bytes(84, '\0')) +
                           Box("mdia", Box("mdhd", Bytes(24, '\0')) + hdlr + Box("minf", Box("stbl", stbl))));
}

Bytes Sentence(int second) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "$GPRMC,12%02d%02d.00,A,3733.%04d,N,12658.%04d,E,22.4,84.4,240523,,,A*00", 30 + second / 60,
                  second % 60, 9900 + second, 6800 + second * 3);
    return text;
}

Bytes RecorderBoxes(int& fixes, int& samples) {
    Bytes gpsr;
    Bytes gpsi = Be32(kSeconds);
    for (int second = 0; second < kSeconds; ++second) {
        const Bytes text = Sentence(second);
        gpsi += Be32(static_cast<uint32_t>(gpsr.size()));
        gpsr += Le32(static_cast<uint32_t>(second * 1000)) + Le32(static_cast<uint32_t>(text.size())) + text;
    }
    fixes = kSeconds;
    Bytes sens;
    samples = kSeconds * 10;
    for (int i = 0; i < samples; ++i)
        sens += Le32(0x3d4ccccd) + Le32(0xbd23d70a) + Le32(0x3f800000) +
                Le32(static_cast<uint32_t>(i * 100)) + Bytes(8, '\0');
    return Box("TIME", "2023/05/24 12:30:00") + Box("FWVR", "T550_V1.00") +
           Box("CARN", "12\xB0\xA1"
                       "3456") +
           Box("GPSI", gpsi) + Box("GPSR", gpsr) + Box("SENS", sens) + Box("ENCY", Bytes(64, 'e'));
}

// Pseudo-random media bytes, so that nothing below the check can take a short cut.
void WriteMedia(std::ofstream& out, uint64_t count) {
    std::vector<uint64_t> block((1 << 20) / 8);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    while (count > 0) {
        for (uint64_t& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const auto piece = static_cast<std::streamsize>(std::min<uint64_t>(count, block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), piece);
        count -= static_cast<uint64_t>(piece);
    }
}

void HashRange(Md5Legacy& md5, CFile& file, uint64_t first, uint64_t last) {
    std::vector<BYTE> buffer(1 << 20);
    file.Seek(static_cast<LONGLONG>(first), CFile::begin);
    for (uint64_t at = first; at <= last;) {
        const auto want = static_cast<UINT>(std::min<uint64_t>(buffer.size(), last - at + 1));
        if (file.Read(buffer.data(), want) != want)
            throw std::runtime_error("short read while signing");
        md5.Update(buffer.data(), want);
        at += want;
    }
}

} // namespace

BenchRecording WriteBenchRecording(const std::filesystem::path& path, uint64_t mediaBytes, bool sparseMedia,
                                   bool sign) {
    BenchRecording recording;
    const Bytes ftyp = Box("ftyp", "isom" + Be32(0x200) + "isomiso2avc1mp41");
    // The signer's block loop reads whole ranges only when neither phase ends on a whole block one
    // byte short of its bound; one more media byte moves the first phase off it.
    if ((ftyp.size() + 16 + mediaBytes - 1 - 36) % 1024 == 0)
        ++mediaBytes;
    const Bytes mdatHeader = Be32(1) + "mdat" + Be64(16 + mediaBytes);
    recording.frames = kSeconds * kFps;
    Bytes tail = Box("moov", Box("mvhd", Bytes(100, '\0')) +
                                 Track("vide", static_cast<uint32_t>(recording.frames), "avc1") +
                                 Track("soun", kSeconds * 22050 / 1024, "mp4a"));
    tail += RecorderBoxes(recording.gpsFixes, recording.gsensorSamples);
    if ((tail.size() - 1) % 1024 == 0)
        tail += Box("free", "");
    recording.mdatLast = ftyp.size() + mdatHeader.size() + mediaBytes - 1;
    recording.md5jOffset = recording.mdatLast + 1 + tail.size();
    tail += Box("MD5J", Bytes(32, '\0'));
    recording.fileSize = recording.md5jOffset + 40;

    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(ftyp.data(), static_cast<std::streamsize>(ftyp.size()));
        out.write(mdatHeader.data(), static_cast<std::streamsize>(mdatHeader.size()));
        if (!sparseMedia)
            WriteMedia(out, mediaBytes);
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }
    if (sparseMedia)
        std::filesystem::resize_file(path, ftyp.size() + mdatHeader.size() + mediaBytes);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }

    if (!sign)
        return recording;
    CFile file;
    if (!file.Open(WideFromUtf8(path.string()), CFile::modeReadWrite))
        throw std::runtime_error("cannot open " + path.string());
    Md5Legacy md5;
    HashRange(md5, file, 36, recording.mdatLast);
    HashRange(md5, file, 0, 35);
    HashRange(md5, file, recording.mdatLast + 1, recording.md5jOffset - 1);
    md5.Final();
    Bytes words;
    for (int i = 0; i < 8; ++i) {
        uint64_t piece = md5.Digest()[2 * i] | (static_cast<uint64_t>(md5.Digest()[2 * i + 1]) << 8);
        uint64_t result = 1;
        for (uint64_t e = kSigningExponent, base = piece; e; e >>= 1, base = base * base % kModulus) {
            if (e & 1)
                result = result * base % kModulus;
        }
        words += Le32(static_cast<uint32_t>(result));
    }
    file.Seek(static_cast<LONGLONG>(recording.md5jOffset + 8), CFile::begin);
    file.Write(words.data(), static_cast<UINT>(words.size()));
    file.Close();
    return recording;
}

std::filesystem::path BenchFolder(int argc, char** argv) {
    return argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
}

} // namespace bench
