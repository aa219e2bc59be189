#include "tools/mp4repair/repairedmovie.h"

#include "tools/mp4repair/soundconverter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace mp4repair {

namespace {

class Builder {
  public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v >> 8));
        U8(static_cast<uint8_t>(v));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v >> 16));
        U16(static_cast<uint16_t>(v));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v >> 32));
        U32(static_cast<uint32_t>(v));
    }
    void Raw(const Bytes& raw) { bytes.insert(bytes.end(), raw.begin(), raw.end()); }
    void Zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
    // Starts a box; End closes the innermost one with its size.
    void Begin(const char* type) {
        m_open.push_back(bytes.size());
        U32(0);
        bytes.insert(bytes.end(), type, type + 4);
    }
    void End() {
        const size_t at = m_open.back();
        m_open.pop_back();
        const uint32_t size = static_cast<uint32_t>(bytes.size() - at);
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(size >> (24 - 8 * i));
    }

    Bytes bytes;

  private:
    std::vector<size_t> m_open;
};

struct TrackPlan {
    const ReferenceTrack* reference = nullptr;
    bool video = false;
    // Sound counted in sample frames (PCM, and the converted sound), each frame a sample of the
    // index of this many bytes.
    bool pcm = false;
    uint32_t pcmBlockAlign = 1;
    uint32_t indexSampleSize = 1;
    // Chunks: offset in the output and the samples each holds.
    std::vector<uint64_t> chunkOffsets;
    std::vector<uint32_t> chunkSamples;
    std::vector<uint32_t> sizes; // per sample (not for PCM)
    std::vector<uint32_t> keys;  // 1-based numbers of key samples
    uint64_t sampleCount = 0;
    // Samples before a damaged stretch last as long as what was lost in it too (1-based sample
    // number, added duration), so the ones after it keep their time.
    std::vector<std::pair<uint32_t, uint32_t>> stretched;
    uint64_t stretchedTotal = 0;
};

uint64_t MediaDuration(const TrackPlan& plan) {
    return plan.pcm ? plan.sampleCount
                    : plan.sampleCount * plan.reference->sampleDuration + plan.stretchedTotal;
}

void Matrix(Builder& b) {
    for (uint32_t v : {0x00010000u, 0u, 0u, 0u, 0x00010000u, 0u, 0u, 0u, 0x40000000u})
        b.U32(v);
}

void WriteTrack(Builder& b, const TrackPlan& plan, uint32_t trackId, uint64_t movieDuration) {
    const ReferenceTrack& ref = *plan.reference;
    b.Begin("trak");
    Bytes tkhd = ref.trackHeader;
    const bool long64 = tkhd.size() > 8 && tkhd[8] == 1;
    const size_t idAt = long64 ? 28 : 20;
    const size_t durationAt = long64 ? 36 : 28;
    if (tkhd.size() >= durationAt + (long64 ? 8 : 4)) {
        for (int i = 0; i < 4; ++i)
            tkhd[idAt + static_cast<size_t>(i)] = static_cast<uint8_t>(trackId >> (24 - 8 * i));
        const int width = long64 ? 8 : 4;
        for (int i = 0; i < width; ++i)
            tkhd[durationAt + static_cast<size_t>(i)] =
                static_cast<uint8_t>(movieDuration >> (8 * (width - 1 - i)));
    }
    b.Raw(tkhd);
    const uint64_t media = MediaDuration(plan);
    if (ref.editMediaTime > 0 && static_cast<uint64_t>(ref.editMediaTime) < media) {
        b.Begin("edts");
        b.Begin("elst");
        b.U32(0);
        b.U32(1);
        b.U32(
            static_cast<uint32_t>((media - static_cast<uint64_t>(ref.editMediaTime)) * 1000 / ref.timeScale));
        b.U32(static_cast<uint32_t>(ref.editMediaTime));
        b.U32(0x00010000);
        b.End();
        b.End();
    }
    b.Begin("mdia");
    b.Begin("mdhd");
    b.U32(0x01000000);
    b.U64(0);
    b.U64(0);
    b.U32(ref.timeScale);
    b.U64(MediaDuration(plan));
    b.U16(0x55C4);
    b.U16(0);
    b.End();
    b.Raw(ref.handler);
    b.Begin("minf");
    b.Raw(ref.mediaHeader);
    b.Raw(ref.dataInfo);
    b.Begin("stbl");
    b.Raw(ref.description);
    b.Begin("stts");
    b.U32(0);
    std::vector<std::pair<uint32_t, uint32_t>> times;
    uint32_t done = 0;
    for (const auto& [number, added] : plan.stretched) {
        if (number - 1 > done)
            times.emplace_back(number - 1 - done, ref.sampleDuration);
        times.emplace_back(1, ref.sampleDuration + added);
        done = number;
    }
    if (plan.sampleCount > done)
        times.emplace_back(static_cast<uint32_t>(plan.sampleCount - done), plan.pcm ? 1 : ref.sampleDuration);
    b.U32(static_cast<uint32_t>(times.size()));
    for (const auto& [count, duration] : times) {
        b.U32(count);
        b.U32(duration);
    }
    b.End();
    if (plan.video && plan.keys.size() != plan.sampleCount) {
        b.Begin("stss");
        b.U32(0);
        b.U32(static_cast<uint32_t>(plan.keys.size()));
        for (uint32_t key : plan.keys)
            b.U32(key);
        b.End();
    }
    b.Begin("stsc");
    b.U32(0);
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    for (size_t i = 0; i < plan.chunkSamples.size(); ++i)
        if (runs.empty() || runs.back().second != plan.chunkSamples[i])
            runs.emplace_back(static_cast<uint32_t>(i + 1), plan.chunkSamples[i]);
    b.U32(static_cast<uint32_t>(runs.size()));
    for (const auto& run : runs) {
        b.U32(run.first);
        b.U32(run.second);
        b.U32(1);
    }
    b.End();
    b.Begin("stsz");
    b.U32(0);
    if (plan.pcm) {
        b.U32(plan.indexSampleSize);
        b.U32(static_cast<uint32_t>(plan.sampleCount));
    } else {
        b.U32(0);
        b.U32(static_cast<uint32_t>(plan.sizes.size()));
        for (uint32_t size : plan.sizes)
            b.U32(size);
    }
    b.End();
    const bool large = !plan.chunkOffsets.empty() && plan.chunkOffsets.back() > UINT32_MAX;
    b.Begin(large ? "co64" : "stco");
    b.U32(0);
    b.U32(static_cast<uint32_t>(plan.chunkOffsets.size()));
    for (uint64_t offset : plan.chunkOffsets) {
        if (large)
            b.U64(offset);
        else
            b.U32(static_cast<uint32_t>(offset));
    }
    b.End();
    b.End(); // stbl
    b.End(); // minf
    b.End(); // mdia
    b.End(); // trak
}

void Stretch(TrackPlan& plan, uint64_t number, uint64_t added) {
    if (added == 0 || added > UINT32_MAX / 2)
        return;
    if (!plan.stretched.empty() && plan.stretched.back().first == number)
        plan.stretched.back().second += static_cast<uint32_t>(added);
    else
        plan.stretched.emplace_back(static_cast<uint32_t>(number), static_cast<uint32_t>(added));
    plan.stretchedTotal += added;
}

// Time the sound lost in a damaged stretch: before its sound sample `before` (counted from 0), in
// the source track's time scale.
struct SoundGap {
    uint64_t before = 0;
    uint64_t added = 0;
};

// The bytes a key picture and another picture take in the media data on average, each with its
// share of the sound.
struct PictureSizes {
    double key = 0;
    double other = 0;
};

// The count of pictures lost in a stretch of `lostBytes` bytes that keeps the key pictures at their
// interval: the last key picture before the stretch began `since` pictures before it; after it
// come `after` pictures up to a key picture, or, when `keyAfter` is false, up to the end. Of the
// counts that fit, the one whose pictures (a key picture is several times the size of another)
// hold nearest the bytes lost; `estimate` when none fits.
uint64_t LostPictures(uint64_t lostBytes, uint64_t interval, uint64_t since, uint64_t after, bool keyAfter,
                      const PictureSizes& sizes, uint64_t estimate) {
    const auto fits = [&](uint64_t count) {
        const uint64_t phase = (since + count) % interval;
        if (keyAfter)
            return (phase + after) % interval == 0;
        // No key picture among the ones after the stretch.
        return after == 0 || (phase != 0 && phase + after <= interval);
    };
    const uint64_t most = static_cast<uint64_t>(static_cast<double>(lostBytes) / sizes.other) + 2 * interval;
    uint64_t best = estimate;
    double bestError = 0;
    bool found = false;
    uint64_t keys = 0;
    for (uint64_t count = 0; count <= most; ++count) {
        if (count > 0 && (since + count - 1) % interval == 0)
            ++keys;
        if (!fits(count))
            continue;
        const double held =
            static_cast<double>(count) * sizes.other + static_cast<double>(keys) * (sizes.key - sizes.other);
        // What the counts hold only grows: past the best, none comes nearer.
        if (found && held - static_cast<double>(lostBytes) > bestError)
            break;
        const double error = std::fabs(held - static_cast<double>(lostBytes));
        if (!found || error < bestError) {
            found = true;
            best = count;
            bestError = error;
        }
    }
    return best;
}

// Gives the last video samples before each damaged stretch the time lost in it, and answers the
// time the sound lost there. Recorders make key pictures at a fixed interval, so the pictures lost
// are the count that keeps that interval across the stretch, nearest to what the lost bytes hold
// at the sizes of the recording's key and other pictures. The sound picks up where the video does.
std::vector<SoundGap> StretchOverGaps(const std::vector<Sample>& samples, TrackPlan& video,
                                      const ReferenceTrack* sound) {
    std::vector<SoundGap> gaps;
    // The key interval: the commonest count of pictures from one key picture to the next with no
    // damage between them.
    std::map<uint64_t, int> intervals;
    uint64_t pictures = 0;
    uint64_t bytes = 0;
    uint64_t lastKey = 0;
    bool keyBefore = false;
    uint64_t end = 0;
    uint64_t keys = 0;
    uint64_t keyBytes = 0;
    uint64_t videoBytes = 0;
    for (const Sample& sample : samples) {
        keyBefore = keyBefore && (end == 0 || sample.offset == end);
        end = sample.offset + sample.size;
        bytes += sample.size;
        if (!sample.video)
            continue;
        videoBytes += sample.size;
        if (sample.key) {
            ++keys;
            keyBytes += sample.size;
            if (keyBefore)
                ++intervals[pictures - lastKey];
            lastKey = pictures;
            keyBefore = true;
        }
        ++pictures;
    }
    uint64_t interval = 0;
    int most = 0;
    for (const auto& [count, times] : intervals) {
        if (times > most) {
            most = times;
            interval = count;
        }
    }
    const ReferenceTrack& picture = *video.reference;
    if (pictures == 0 || bytes == 0 || picture.sampleDuration == 0 || picture.timeScale == 0)
        return gaps;
    const bool withSound = sound != nullptr && sound->sampleDuration != 0 && sound->timeScale != 0;
    const double soundShare = static_cast<double>(bytes - videoBytes) / static_cast<double>(pictures);
    uint64_t videoCount = 0;
    uint64_t soundCount = 0;
    uint64_t sinceKey = 0;
    bool keySeen = false;
    end = 0;
    // The end of the last picture, and whether the stretch from it to the next one is counted.
    uint64_t pictureEnd = 0;
    bool spanned = false;
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& sample = samples[i];
        if (end != 0 && sample.offset > end && videoCount > 0 && !spanned) {
            // Between two pictures lie the pictures lost and one run of sound more, whatever of
            // that sound the scan kept (PCM at either edge of the damage is kept): so counted, the
            // bytes lost do not depend on where the damage began and ended.
            uint64_t lostBytes = sample.offset - end;
            size_t nextPicture = i;
            while (nextPicture < samples.size() && !samples[nextPicture].video)
                ++nextPicture;
            if (nextPicture < samples.size()) {
                const double span = static_cast<double>(samples[nextPicture].offset - pictureEnd);
                lostBytes = static_cast<uint64_t>(std::llround(std::max(0.0, span - soundShare)));
                spanned = true;
            }
            uint64_t lost = static_cast<uint64_t>(std::llround(
                static_cast<double>(lostBytes) * static_cast<double>(pictures) / static_cast<double>(bytes)));
            uint64_t after = 0;
            size_t next = i;
            while (next < samples.size() && !(samples[next].video && samples[next].key)) {
                after += samples[next].video ? 1 : 0;
                ++next;
            }
            if (interval > 0 && keySeen && pictures > keys) {
                PictureSizes sizes;
                sizes.key = static_cast<double>(keyBytes) / static_cast<double>(keys) + soundShare;
                sizes.other =
                    static_cast<double>(videoBytes - keyBytes) / static_cast<double>(pictures - keys) +
                    soundShare;
                lost = LostPictures(lostBytes, interval, sinceKey, after, next < samples.size(), sizes, lost);
            }
            // The sound keeps the lead or lag it had on the video before the stretch.
            const double lostSeconds = static_cast<double>(lost * picture.sampleDuration) / picture.timeScale;
            Stretch(video, videoCount, lost * picture.sampleDuration);
            sinceKey += lost;
            if (withSound && soundCount > 0) {
                const uint64_t added = static_cast<uint64_t>(std::llround(lostSeconds * sound->timeScale /
                                                                          sound->sampleDuration)) *
                                       sound->sampleDuration;
                if (added > 0 && added <= UINT32_MAX / 2)
                    gaps.push_back(SoundGap{soundCount, added});
            }
        }
        end = sample.offset + sample.size;
        if (sample.video) {
            pictureEnd = end;
            spanned = false;
            ++videoCount;
            if (sample.key) {
                keySeen = true;
                sinceKey = 0;
            }
            ++sinceKey;
        } else {
            ++soundCount;
        }
    }
    return gaps;
}

// Any bytes pass for PCM, so the scan takes a damaged stretch next to sound for sound. Recorders
// write as much sound between two pictures each time: a run far longer than the usual one holds
// damage, and only its usual length at either end is kept as sound.
std::vector<Sample> WithoutDamagedPcm(const std::vector<Sample>& samples, uint32_t blockAlign) {
    struct Run {
        size_t first = 0;
        size_t last = 0; // one past
        uint64_t begin = 0;
        uint64_t end = 0;
    };
    std::vector<Run> runs;
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& sample = samples[i];
        if (sample.video)
            continue;
        if (!runs.empty() && runs.back().last == i && runs.back().end == sample.offset) {
            runs.back().last = i + 1;
            runs.back().end = sample.offset + sample.size;
        } else {
            runs.push_back(Run{i, i + 1, sample.offset, sample.offset + sample.size});
        }
    }
    std::map<uint64_t, int> lengths;
    for (const Run& run : runs)
        ++lengths[run.end - run.begin];
    uint64_t usual = 0;
    int most = 1;
    for (const auto& [length, times] : lengths) {
        if (times > most) {
            most = times;
            usual = length;
        }
    }
    if (usual == 0)
        return samples;
    std::vector<Sample> kept;
    size_t next = 0;
    for (const Run& run : runs) {
        kept.insert(kept.end(), samples.begin() + static_cast<std::ptrdiff_t>(next),
                    samples.begin() + static_cast<std::ptrdiff_t>(run.first));
        next = run.last;
        if (!PcmRunHoldsDamage(run.end - run.begin, usual, blockAlign)) {
            kept.insert(kept.end(), samples.begin() + static_cast<std::ptrdiff_t>(run.first),
                        samples.begin() + static_cast<std::ptrdiff_t>(run.last));
            continue;
        }
        // The sound after the picture before the run, and the sound that ends where the next picture
        // begins (also when the run stops short of it); what lies between is the damage.
        const uint64_t headEnd = run.begin + usual;
        kept.push_back(Sample{run.begin, static_cast<uint32_t>(usual), false, false});
        const uint64_t anchor =
            run.last < samples.size() && samples[run.last].video ? samples[run.last].offset : run.end;
        const uint64_t tailBegin = anchor - std::min(usual, anchor - headEnd) / blockAlign * blockAlign;
        const uint64_t length = (anchor - tailBegin) / blockAlign * blockAlign;
        if (length > 0)
            kept.push_back(Sample{tailBegin, static_cast<uint32_t>(length), false, false});
    }
    kept.insert(kept.end(), samples.begin() + static_cast<std::ptrdiff_t>(next), samples.end());
    return kept;
}

// The sample description FFmpeg reads as IMA ADPCM in the WAV block layout: QuickTime's sound
// entry of version 1 under Microsoft's format number 0x11, with the wave format it came from.
Bytes AdpcmDescription(const SoundConverter& converter) {
    const auto channels = static_cast<uint16_t>(converter.Channels());
    const uint32_t rate = converter.SampleRate();
    const uint32_t block = converter.BlockAlign();
    const uint32_t perBlock = converter.SamplesPerBlock();
    const char format[4] = {'m', 's', 0, 0x11};
    Builder b;
    b.Begin("stsd");
    b.U32(0);
    b.U32(1);
    b.Begin(format);
    b.Zeros(6);
    b.U16(1); // data reference
    b.U16(1); // version
    b.Zeros(6);
    b.U16(channels);
    b.U16(16);
    b.U32(0);
    b.U32(rate << 16);
    b.U32(perBlock);
    b.U32(block / channels);
    b.U32(block);
    b.U32(2);
    b.Begin("wave");
    b.Begin("frma");
    b.bytes.insert(b.bytes.end(), format, format + 4);
    b.End();
    b.Begin(format);
    const auto le16 = [&b](uint32_t v) {
        b.U8(static_cast<uint8_t>(v));
        b.U8(static_cast<uint8_t>(v >> 8));
    };
    const auto le32 = [&](uint32_t v) {
        le16(v & 0xFFFF);
        le16(v >> 16);
    };
    le16(0x11);
    le16(channels);
    le32(rate);
    le32(static_cast<uint32_t>(static_cast<uint64_t>(rate) * block / perBlock));
    le16(block);
    le16(4); // bits a sample
    le16(2); // size of what follows
    le16(perBlock);
    b.End();
    b.U32(8); // the list's terminator
    b.U32(0);
    b.End(); // wave
    b.End(); // entry
    b.End(); // stsd
    return b.bytes;
}

} // namespace

class RepairedMovie::Output {
  public:
    explicit Output(const std::string& path)
        : m_fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}
    ~Output() {
        if (m_fd >= 0)
            close(m_fd);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    bool Write(const uint8_t* data, size_t size) {
        while (size > 0) {
            const ssize_t n = write(m_fd, data, size);
            if (n <= 0)
                return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Write(const Bytes& bytes) { return Write(bytes.data(), bytes.size()); }
    bool WriteAt(uint64_t offset, const Bytes& bytes) {
        return pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
               static_cast<ssize_t>(bytes.size());
    }
    // The system copies between the files itself where it can, as cp does; else through memory.
    bool Copy(ByteSource& source, uint64_t offset, uint64_t size) {
        const int from = source.Descriptor();
        while (size > 0 && from >= 0 && m_systemCopies) {
            loff_t in = static_cast<loff_t>(offset);
            const ssize_t n = copy_file_range(from, &in, m_fd, nullptr, static_cast<size_t>(size), 0);
            if (n <= 0) {
                if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                    return false;
                m_systemCopies = false;
                break;
            }
            offset += static_cast<uint64_t>(n);
            size -= static_cast<uint64_t>(n);
        }
        if (size > 0 && m_buffer.empty())
            m_buffer.resize(1 << 20);
        while (size > 0) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(size, m_buffer.size()));
            if (source.Read(offset, m_buffer.data(), n) != n || !Write(m_buffer.data(), n))
                return false;
            offset += n;
            size -= n;
        }
        return true;
    }

  private:
    int m_fd;
    bool m_systemCopies = true;
    std::vector<uint8_t> m_buffer;
};

RepairedMovie::RepairedMovie(ByteSource& broken, const ReferenceMovie& reference, uint64_t begin,
                             uint64_t end, const std::string& path)
    : m_broken(broken), m_reference(reference), m_begin(begin), m_path(path),
      m_output(std::make_unique<Output>(path)) {
    if (!m_output->IsOpen())
        return;
    const uint64_t media = end - begin;
    Builder head;
    head.Raw(reference.fileType);
    if (media + 8 > UINT32_MAX) {
        head.U32(1);
        head.bytes.insert(head.bytes.end(), {'m', 'd', 'a', 't'});
        head.U64(media + 16);
    } else {
        head.U32(static_cast<uint32_t>(media + 8));
        head.bytes.insert(head.bytes.end(), {'m', 'd', 'a', 't'});
    }
    m_mediaAt = head.bytes.size();
    m_mediaEnd = m_mediaAt + media;
    m_copier = std::thread([this, head = std::move(head.bytes), media] {
        m_copied = m_output->Write(head) && m_output->Copy(m_broken, m_begin, media);
    });
}

RepairedMovie::~RepairedMovie() {
    if (m_copier.joinable())
        m_copier.join();
    // An output left unfinished is no recording.
    const bool open = m_output->IsOpen();
    m_output.reset();
    if (open && !m_finished)
        unlink(m_path.c_str());
}

bool RepairedMovie::Finish(const ScanResult& scan, const std::vector<BoxSpan>& recorderBoxes,
                           SoundConverter* converter) {
    if (m_copier.joinable())
        m_copier.join();
    if (!m_output->IsOpen() || !m_copied)
        return false;
    Output& out = *m_output;
    const ReferenceMovie& reference = m_reference;
    TrackPlan video;
    video.reference = &*reference.video;
    video.video = true;
    const ReferenceTrack* source = reference.sound ? &*reference.sound : nullptr;
    if (source == nullptr)
        converter = nullptr;
    TrackPlan sound;
    ReferenceTrack converted;
    if (source != nullptr) {
        sound.reference = source;
        sound.pcm = reference.soundKind == SoundKind::Pcm;
        sound.pcmBlockAlign = static_cast<uint32_t>(std::max(1, source->channels * source->sampleBits / 8));
        sound.indexSampleSize = sound.pcmBlockAlign;
        if (converter != nullptr) {
            converted = *source;
            converted.description = AdpcmDescription(*converter);
            converted.format.assign("ms\0\x11", 4);
            converted.timeScale = converter->SampleRate();
            converted.sampleDuration = 1;
            converted.editMediaTime = 0;
            sound.reference = &converted;
            sound.pcm = true;
            sound.indexSampleSize = 1;
        }
    }
    const std::vector<Sample> samples = reference.soundKind == SoundKind::Pcm
                                            ? WithoutDamagedPcm(scan.samples, sound.pcmBlockAlign)
                                            : scan.samples;
    const std::vector<SoundGap> gaps = StretchOverGaps(samples, video, source);
    // How long each sound sample lasts in the source's time scale.
    const auto soundDuration = [&](const Sample& sample) -> uint64_t {
        const uint64_t duration = source->sampleDuration;
        return reference.soundKind == SoundKind::Pcm ? sample.size / sound.pcmBlockAlign * duration
                                                     : duration;
    };
    // Where a time of the source's sound falls in the converted sound, in sample frames.
    const auto convertedFrame = [&](uint64_t time) -> int64_t {
        const double seconds = (static_cast<double>(time) - static_cast<double>(source->editMediaTime)) /
                               static_cast<double>(source->timeScale);
        return static_cast<int64_t>(std::llround(seconds * converter->SampleRate()));
    };

    // Sound that is not in the broken file (converted, or silence for time lost) goes into a media
    // data box of its own after the copied one, whose size is set when it is complete.
    uint64_t madeAt = 0;
    uint64_t end = m_mediaEnd;
    const auto writeSoundChunk = [&](const Bytes& bytes, uint64_t frames) {
        if (bytes.empty())
            return true;
        if (madeAt == 0) {
            Builder header;
            header.U32(1);
            header.bytes.insert(header.bytes.end(), {'m', 'd', 'a', 't'});
            header.U64(0);
            if (!out.Write(header.bytes))
                return false;
            madeAt = end;
            end += header.bytes.size();
        }
        if (!out.Write(bytes))
            return false;
        sound.chunkOffsets.push_back(end);
        sound.chunkSamples.push_back(static_cast<uint32_t>(frames));
        sound.sampleCount += frames;
        end += bytes.size();
        return true;
    };
    const auto takeConverted = [&]() {
        const Bytes blocks = converter->TakeBlocks();
        return writeSoundChunk(blocks,
                               blocks.size() / converter->BlockAlign() * converter->SamplesPerBlock());
    };
    size_t nextGap = 0;
    uint64_t soundCount = 0;
    uint64_t soundTime = 0;
    Bytes piece;
    for (const Sample& sample : samples) {
        if (!sample.video && source == nullptr)
            continue;
        if (!sample.video) {
            uint64_t added = 0;
            while (nextGap < gaps.size() && gaps[nextGap].before == soundCount)
                added += gaps[nextGap++].added;
            soundTime += added;
            if (reference.soundKind == SoundKind::Aac && converter == nullptr) {
                Stretch(sound, soundCount, added);
            } else if (sound.pcm && converter == nullptr) {
                // The time lost is silence, as PCM: zero, or the middle for unsigned bytes.
                const uint64_t frames = added / source->sampleDuration;
                piece.assign(static_cast<size_t>(std::min<uint64_t>(frames * sound.pcmBlockAlign, 1u << 30)),
                             source->format == "raw " ? 0x80 : 0);
                if (!writeSoundChunk(piece, piece.size() / sound.pcmBlockAlign))
                    return false;
            }
            const uint64_t duration = soundDuration(sample);
            ++soundCount;
            if (converter != nullptr) {
                piece.resize(sample.size);
                if (m_broken.Read(sample.offset, piece.data(), piece.size()) != piece.size())
                    return false;
                converter->Add(piece.data(), piece.size(), convertedFrame(soundTime),
                               convertedFrame(soundTime + duration));
                soundTime += duration;
                if (!takeConverted())
                    return false;
                continue;
            }
            soundTime += duration;
        }
        TrackPlan& plan = sample.video ? video : sound;
        plan.chunkOffsets.push_back(m_mediaAt + (sample.offset - m_begin));
        if (plan.pcm) {
            plan.chunkSamples.push_back(sample.size / plan.pcmBlockAlign);
            plan.sampleCount += sample.size / plan.pcmBlockAlign;
        } else {
            plan.chunkSamples.push_back(1);
            plan.sizes.push_back(sample.size);
            ++plan.sampleCount;
            if (sample.key)
                plan.keys.push_back(static_cast<uint32_t>(plan.sampleCount));
        }
    }
    if (converter != nullptr && soundCount > 0) {
        converter->Finish(convertedFrame(soundTime));
        if (!takeConverted())
            return false;
    }
    if (madeAt != 0) {
        Builder size;
        size.U64(end - madeAt);
        if (!out.WriteAt(madeAt + 8, size.bytes))
            return false;
    }
    // Without sound samples the file leaves the sound track out rather than hold an empty one.
    const bool withSound = source != nullptr && sound.sampleCount > 0;
    const auto milliseconds = [](const TrackPlan& plan) {
        return MediaDuration(plan) * 1000 / plan.reference->timeScale;
    };
    uint64_t movieDuration = milliseconds(video);
    if (withSound)
        movieDuration = std::max(movieDuration, milliseconds(sound));

    Builder moov;
    moov.Begin("moov");
    moov.Begin("mvhd");
    moov.U32(0x01000000);
    moov.U64(0);
    moov.U64(0);
    moov.U32(1000);
    moov.U64(movieDuration);
    moov.U32(0x00010000);
    moov.U16(0x0100);
    moov.Zeros(10);
    Matrix(moov);
    moov.Zeros(24);
    moov.U32(withSound ? 3 : 2);
    moov.End();
    WriteTrack(moov, video, 1, movieDuration);
    if (withSound)
        WriteTrack(moov, sound, 2, movieDuration);
    moov.End();
    if (!out.Write(moov.bytes))
        return false;
    for (const BoxSpan& box : recorderBoxes) {
        if (!out.Copy(m_broken, box.offset, box.size))
            return false;
    }
    m_finished = true;
    return true;
}

} // namespace mp4repair
