#pragma once
// A recording as a model-0 recorder writes it, put together for the benchmarks: ftyp, an mdat of
// the asked size (a hole, or pseudo-random bytes), moov with a video and a sound track, the
// recorder's boxes with three minutes of GPS fixes and G-sensor samples, and a signed MD5J.

#include <cstdint>
#include <filesystem>
#include <string>

namespace bench {

struct BenchRecording {
    uint64_t fileSize = 0;
    uint64_t mdatLast = 0;   // offset of the last byte of mdat
    uint64_t md5jOffset = 0; // offset of the MD5J header
    int frames = 0;
    int gpsFixes = 0;
    int gsensorSamples = 0;
};

// sparseMedia: the media bytes are a hole (no disk space, read back as zeros); else they are
// written out. sign: the MD5J box holds the signature, so the check passes; else it is zero.
BenchRecording WriteBenchRecording(const std::filesystem::path& path, uint64_t mediaBytes, bool sparseMedia,
                                   bool sign);

// A folder for the benchmark's files: the first argument when given, else the system's temporary
// folder.
std::filesystem::path BenchFolder(int argc, char** argv);

} // namespace bench
