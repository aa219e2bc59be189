#include "tools/mp4repair/referencemovie.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mp4repair {

namespace {

uint32_t Be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

uint64_t Be64(const uint8_t* p) {
    return static_cast<uint64_t>(Be32(p)) << 32 | Be32(p + 4);
}

std::optional<BoxSpan> BoxAt(const uint8_t* header, uint64_t available, uint64_t offset, uint64_t end) {
    if (available < 8)
        return std::nullopt;
    BoxSpan box;
    box.offset = offset;
    box.type.assign(reinterpret_cast<const char*>(header + 4), 4);
    uint64_t size = Be32(header);
    if (size == 1) {
        if (available < 16)
            return std::nullopt;
        size = Be64(header + 8);
        box.headerSize = 16;
    } else if (size == 0) {
        size = end - offset;
    }
    if (size < box.headerSize)
        return std::nullopt;
    box.cut = size > end - offset;
    box.size = std::min(size, end - offset);
    return box;
}

class MemorySource : public ByteSource {
  public:
    MemorySource(const uint8_t* data, uint64_t size) : m_data(data), m_size(size) {}
    uint64_t Size() const override { return m_size; }
    size_t Read(uint64_t offset, uint8_t* to, size_t count) override {
        if (offset >= m_size)
            return 0;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, m_size - offset));
        std::memcpy(to, m_data + offset, n);
        return n;
    }

  private:
    const uint8_t* m_data;
    uint64_t m_size;
};

const BoxSpan* Find(const std::vector<BoxSpan>& boxes, const char* type) {
    for (const BoxSpan& box : boxes)
        if (box.type == type)
            return &box;
    return nullptr;
}

Bytes Slice(const Bytes& file, const BoxSpan& box) {
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(box.offset),
                 file.begin() + static_cast<std::ptrdiff_t>(box.offset + box.size));
}

std::vector<BoxSpan> Children(const Bytes& file, const BoxSpan& box, uint64_t skip = 0) {
    return ListBoxes(file.data(), box.offset + box.headerSize + skip, box.offset + box.size);
}

bool ReadTrack(const Bytes& file, const BoxSpan& trak, ReferenceTrack& track, std::string& handlerType) {
    const auto trakBoxes = Children(file, trak);
    const BoxSpan* tkhd = Find(trakBoxes, "tkhd");
    const BoxSpan* mdia = Find(trakBoxes, "mdia");
    if (const BoxSpan* edts = Find(trakBoxes, "edts")) {
        for (const BoxSpan& elst : Children(file, *edts)) {
            if (elst.type != "elst" || elst.size < 16)
                continue;
            const uint8_t* e = &file[elst.offset + 8];
            const bool wide = e[0] == 1;
            const uint32_t count = Be32(e + 4);
            const uint64_t entrySize = wide ? 20 : 12;
            for (uint32_t i = 0; i < count && 16 + (i + 1) * entrySize <= elst.size; ++i) {
                const uint8_t* entry = e + 8 + i * entrySize;
                const int64_t mediaTime =
                    wide ? static_cast<int64_t>(Be64(entry + 8)) : static_cast<int32_t>(Be32(entry + 4));
                if (mediaTime >= 0) {
                    track.editMediaTime = mediaTime;
                    break;
                }
            }
        }
    }
    if (tkhd == nullptr || mdia == nullptr)
        return false;
    const auto mdiaBoxes = Children(file, *mdia);
    const BoxSpan* mdhd = Find(mdiaBoxes, "mdhd");
    const BoxSpan* hdlr = Find(mdiaBoxes, "hdlr");
    const BoxSpan* minf = Find(mdiaBoxes, "minf");
    if (mdhd == nullptr || hdlr == nullptr || minf == nullptr || hdlr->size < 20 || mdhd->size < 32)
        return false;
    handlerType.assign(reinterpret_cast<const char*>(&file[hdlr->offset + 16]), 4);
    const uint8_t* mdhdData = &file[mdhd->offset + 8];
    track.timeScale = mdhdData[0] == 1 ? (mdhd->size >= 44 ? Be32(mdhdData + 20) : 0) : Be32(mdhdData + 12);
    const auto minfBoxes = Children(file, *minf);
    const BoxSpan* header = Find(minfBoxes, handlerType == "vide" ? "vmhd" : "smhd");
    const BoxSpan* dinf = Find(minfBoxes, "dinf");
    const BoxSpan* stbl = Find(minfBoxes, "stbl");
    if (header == nullptr || dinf == nullptr || stbl == nullptr)
        return false;
    const auto stblBoxes = Children(file, *stbl);
    const BoxSpan* stsd = Find(stblBoxes, "stsd");
    const BoxSpan* stts = Find(stblBoxes, "stts");
    if (stsd == nullptr || stsd->size < 24 || stts == nullptr || stts->size < 24)
        return false;
    track.trackHeader = Slice(file, *tkhd);
    track.handler = Slice(file, *hdlr);
    track.mediaHeader = Slice(file, *header);
    track.dataInfo = Slice(file, *dinf);
    track.description = Slice(file, *stsd);
    track.sampleDuration = Be32(&file[stts->offset + 20]);
    const auto entries = Children(file, *stsd, 8);
    if (entries.empty())
        return false;
    const BoxSpan& entry = entries.front();
    track.format = entry.type;
    const uint8_t* e = &file[entry.offset];
    if (handlerType == "vide") {
        if (entry.size < 86)
            return false;
        for (const BoxSpan& child : ListBoxes(file.data(), entry.offset + 86, entry.offset + entry.size)) {
            if ((child.type == "avcC" && child.size >= 13) || (child.type == "hvcC" && child.size >= 31)) {
                const size_t at = child.offset + 8 + (child.type == "avcC" ? 4 : 21);
                track.nalLengthSize = (file[at] & 3) + 1;
            }
        }
    } else if (entry.size >= 36) {
        const int version = e[16] << 8 | e[17];
        track.channels = e[24] << 8 | e[25];
        track.sampleBits = e[26] << 8 | e[27];
        track.sampleRate = Be32(e + 32) >> 16;
        // ISO integer PCM is big-endian and signed unless its pcmC box says otherwise.
        if (track.format == "ipcm")
            track.lpcmFlags = 2 | 4;
        const uint64_t childrenAt = entry.offset + 36 + (version == 1 ? 16 : version == 2 ? 36 : 0);
        // The AAC configuration lies in the esds box, itself maybe inside a wave box (QuickTime).
        std::vector<BoxSpan> pending = ListBoxes(file.data(), std::min(childrenAt, entry.offset + entry.size),
                                                 entry.offset + entry.size);
        while (!pending.empty()) {
            const BoxSpan box = pending.back();
            pending.pop_back();
            if (box.type == "wave") {
                const auto inner = Children(file, box);
                pending.insert(pending.end(), inner.begin(), inner.end());
            } else if (box.type == "pcmC" && track.format == "ipcm" && box.size >= 14) {
                // Its flags: bit 0 little-endian; then the true sample size.
                if (file[box.offset + 12] & 1)
                    track.lpcmFlags &= ~2u;
                track.sampleBits = file[box.offset + 13];
            } else if (box.type == "esds") {
                // Descriptor 5 holds the configuration; the walk only needs its tag and length.
                for (uint64_t at = box.offset + 12; at + 2 < box.offset + box.size; ++at) {
                    if (file[at] != 5)
                        continue;
                    uint64_t p = at + 1;
                    uint32_t length = 0;
                    for (int i = 0; i < 4 && p < box.offset + box.size; ++i) {
                        const uint8_t b = file[p++];
                        length = length << 7 | (b & 0x7F);
                        if ((b & 0x80) == 0)
                            break;
                    }
                    if (length >= 2 && length <= 64 && p + length <= box.offset + box.size) {
                        track.codecConfig.assign(file.begin() + static_cast<std::ptrdiff_t>(p),
                                                 file.begin() + static_cast<std::ptrdiff_t>(p + length));
                        break;
                    }
                }
            }
        }
        if (version == 1 && entry.size >= 52)
            track.sampleBits = static_cast<int>(Be32(e + 44) / std::max(1, track.channels) * 8);
        // Version 2 keeps its layout after the fixed fields, which then hold placeholders.
        if (version == 2 && entry.size >= 72) {
            const uint64_t rateBits = Be64(e + 40);
            double rate;
            std::memcpy(&rate, &rateBits, sizeof rate);
            track.sampleRate = rate >= 1 && rate <= 1e6 ? static_cast<uint32_t>(std::lround(rate)) : 0;
            track.channels = static_cast<int>(std::min<uint32_t>(Be32(e + 48), 64));
            track.sampleBits = static_cast<int>(std::min<uint32_t>(Be32(e + 56), 64));
            track.lpcmFlags = Be32(e + 60);
        }
    }
    return track.timeScale != 0 && track.sampleDuration != 0;
}

} // namespace

std::vector<BoxSpan> ListBoxes(const uint8_t* data, uint64_t begin, uint64_t end) {
    MemorySource source(data, end);
    return ListBoxes(source, begin, end);
}

std::vector<BoxSpan> ListBoxes(ByteSource& source, uint64_t begin, uint64_t end) {
    std::vector<BoxSpan> boxes;
    uint64_t at = begin;
    while (at < end && end - at >= 8) {
        uint8_t header[16];
        const size_t got = source.Read(at, header, static_cast<size_t>(std::min<uint64_t>(16, end - at)));
        const std::optional<BoxSpan> box = BoxAt(header, got, at, end);
        if (!box)
            break;
        boxes.push_back(*box);
        at += box->size;
    }
    return boxes;
}

bool ReadReference(const Bytes& file, ReferenceMovie& reference) {
    const auto top = ListBoxes(file.data(), 0, file.size());
    const BoxSpan* ftyp = Find(top, "ftyp");
    const BoxSpan* moov = Find(top, "moov");
    if (ftyp == nullptr || moov == nullptr)
        return false;
    reference.fileType = Slice(file, *ftyp);
    for (const BoxSpan& box : Children(file, *moov)) {
        if (box.type != "trak")
            continue;
        ReferenceTrack track;
        std::string handlerType;
        if (!ReadTrack(file, box, track, handlerType))
            continue;
        if (handlerType == "vide" && !reference.video) {
            if (track.format == "avc1" || track.format == "avc3")
                reference.codec = VideoCodec::H264;
            else if (track.format == "hvc1" || track.format == "hev1")
                reference.codec = VideoCodec::Hevc;
            else
                continue;
            reference.video = std::move(track);
        } else if (handlerType == "soun" && !reference.sound) {
            if (track.format == "mp4a" && !track.codecConfig.empty())
                reference.soundKind = SoundKind::Aac;
            else if (track.format == "sowt" || track.format == "twos" || track.format == "lpcm" ||
                     track.format == "ipcm" || track.format == "raw ")
                reference.soundKind = SoundKind::Pcm;
            else
                continue;
            reference.sound = std::move(track);
        }
    }
    return reference.video.has_value();
}

} // namespace mp4repair
