#include "tools/mp4repair/samplescanner.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace mp4repair {

namespace {

// A bounded window over the source; a request outside it moves the window. It reads only what
// is asked for and a little around it: in an intact recording the scan looks at a few bytes of
// each picture and at the sound between pictures, and reading every byte would cost more than
// the scan itself.
class Window {
  public:
    // The scan steps back a little now and then (to the sound after a picture it looked past):
    // the window keeps some bytes before the offset, so that costs no new read.
    static constexpr size_t kBehind = 4 * 1024;
    static constexpr size_t kAhead = 8 * 1024;

    Window(ByteSource& source, uint64_t end, size_t capacity)
        : m_source(source), m_end(end), m_size(capacity + kBehind) {}

    // The most bytes one request may ask for.
    size_t Capacity() const { return m_size - kBehind; }

    // The bytes [offset, offset + count), or null when they pass the end.
    const uint8_t* At(uint64_t offset, size_t count) {
        if (count > Capacity() || offset > m_end || m_end - offset < count)
            return nullptr;
        if (offset >= m_base && offset + count <= m_base + m_length)
            return m_buffer.get() + (offset - m_base);
        // A glance elsewhere (a unit's length and header) is read on its own.
        if (count <= sizeof m_peek) {
            if (m_source.Read(offset, m_peek, count) != count)
                return nullptr;
            return m_peek;
        }
        m_base = offset > kBehind ? offset - kBehind : 0;
        // Not zeroed: only bytes read into it are ever looked at.
        if (!m_buffer)
            m_buffer.reset(new uint8_t[m_size]);
        const uint64_t want = offset - m_base + std::max(count, kAhead);
        m_length = m_source.Read(m_base, m_buffer.get(),
                                 static_cast<size_t>(std::min<uint64_t>({want, m_size, m_end - m_base})));
        if (m_length < offset - m_base + count)
            return nullptr;
        return m_buffer.get() + (offset - m_base);
    }

  private:
    ByteSource& m_source;
    uint64_t m_end;
    size_t m_size;
    std::unique_ptr<uint8_t[]> m_buffer;
    uint64_t m_base = 0;
    size_t m_length = 0;
    uint8_t m_peek[16];
};

struct Nal {
    uint32_t length = 0;
    int type = -1;
    bool vcl = false;
    // A slice that begins its picture.
    bool firstSlice = false;
    bool key = false;
    // A unit that only ever comes before the slices of a picture.
    bool beginsPicture = false;
};

class Scanner {
  public:
    Scanner(ByteSource& source, uint64_t begin, uint64_t end, const ScanSettings& settings, SoundCheck* check)
        : m_window(source, end,
                   std::max<size_t>(settings.largestVideoSample, settings.largestSoundFrame) + 64),
          m_begin(begin), m_end(end), m_settings(settings), m_check(check) {}

    ScanResult Run() {
        uint64_t at = m_begin;
        std::vector<Sample> sound;
        bool resyncing = false;
        while (at < m_end) {
            Sample video;
            Sample following;
            if (VideoSampleAt(at, video)) {
                // Sound bytes, and the slice data of a damaged picture, may look like the start of
                // a picture. A picture followed by another, or by whole sound frames, is one. One
                // followed by neither is a picture before damage, unless whole sound frames lie at
                // its place; but not while the scan looks for its footing after damage.
                const uint64_t after = at + video.size;
                uint64_t runEnd = after;
                // Any bytes pass for PCM: after damage, a picture counts only when sound of no more
                // than the usual length lies between it and the next.
                if (after >= m_end || VideoSampleAt(after, following) ||
                    (m_settings.sound == SoundKind::Aac && SoundRunAt(after, sound, runEnd)) ||
                    (m_settings.sound == SoundKind::Pcm &&
                     (!resyncing || (SoundRunAt(after, sound, runEnd) && !OverLongPcmRun(runEnd - after)))) ||
                    (!resyncing && (m_settings.sound != SoundKind::Aac || !SoundRunAt(at, sound, runEnd)))) {
                    resyncing = false;
                    m_result.samples.push_back(video);
                    at = after;
                    if (!sound.empty() && sound.front().offset == after) {
                        CountPcmRun(runEnd - after);
                        m_result.samples.insert(m_result.samples.end(), sound.begin(), sound.end());
                        at = runEnd;
                    }
                    sound.clear();
                    continue;
                }
                if (resyncing) {
                    // A picture that could not be confirmed while resyncing is skipped like damage,
                    // a byte at a time: the length it claims may reach over intact pictures.
                    m_result.skippedBytes += 1;
                    ++at;
                    continue;
                }
                m_result.samples.insert(m_result.samples.end(), sound.begin(), sound.end());
                sound.clear();
                at = runEnd;
                continue;
            }
            uint64_t runEnd = at;
            if (SoundRunAt(at, sound, runEnd)) {
                // Damage reads as PCM too: a run far longer than the usual one holds some, and the
                // picture after it must be confirmed (the run's ends are trimmed when the index is
                // made). Nor does PCM confirm anything after damage; AAC frames do.
                resyncing = m_settings.sound == SoundKind::Pcm && (resyncing || OverLongPcmRun(runEnd - at));
                CountPcmRun(runEnd - at);
                m_result.samples.insert(m_result.samples.end(), sound.begin(), sound.end());
                sound.clear();
                at = runEnd;
                continue;
            }
            // A damaged stretch: the whole frames at its start are kept, the rest up to the next
            // picture is skipped.
            const uint64_t next = NextPicture(at + 1, m_end);
            const uint64_t kept = SplitSound(at, next, sound);
            m_result.samples.insert(m_result.samples.end(), sound.begin(), sound.end());
            sound.clear();
            // So are the whole frames at its end, before the next picture.
            const uint64_t tail = TailFrames(kept, next, sound);
            m_result.samples.insert(m_result.samples.end(), sound.begin(), sound.end());
            sound.clear();
            m_result.skippedBytes += tail - kept;
            at = next;
            resyncing = true;
        }
        return std::move(m_result);
    }

  private:
    bool ReadNal(uint64_t at, Nal& nal) {
        const int lengthSize = m_settings.nalLengthSize;
        const uint8_t* bytes = m_window.At(at, static_cast<size_t>(lengthSize) + 3);
        if (bytes == nullptr)
            return false;
        uint32_t length = 0;
        for (int i = 0; i < lengthSize; ++i)
            length = length << 8 | bytes[i];
        const uint8_t* header = bytes + lengthSize;
        if (length < 2 || length > m_settings.largestVideoSample || m_end - at - lengthSize < length)
            return false;
        nal.length = length;
        if (m_settings.codec == VideoCodec::H264) {
            if ((header[0] & 0x80) != 0)
                return false;
            const int refIdc = header[0] >> 5 & 3;
            nal.type = header[0] & 0x1F;
            if (nal.type == 0 || (nal.type > 12 && nal.type < 19) || nal.type > 21)
                return false;
            // A picture's parameters and its key slices are always references.
            if ((nal.type == 5 || nal.type == 7 || nal.type == 8) && refIdc == 0)
                return false;
            if ((nal.type == 9 || nal.type == 10 || nal.type == 11 || nal.type == 12) && refIdc != 0)
                return false;
            nal.vcl = nal.type >= 1 && nal.type <= 5;
            nal.firstSlice = nal.vcl && (header[1] & 0x80) != 0;
            nal.key = nal.type == 5;
            nal.beginsPicture = nal.type == 6 || nal.type == 7 || nal.type == 8 || nal.type == 9;
        } else {
            if ((header[0] & 0x80) != 0 || length < 3)
                return false;
            nal.type = header[0] >> 1 & 0x3F;
            const int layer = (header[0] & 1) << 5 | header[1] >> 3;
            const int temporalPlusOne = header[1] & 7;
            if (layer != 0 || temporalPlusOne == 0)
                return false;
            if ((nal.type > 9 && nal.type < 16) || (nal.type > 21 && nal.type < 32) || nal.type > 40)
                return false;
            nal.vcl = nal.type < 32;
            nal.firstSlice = nal.vcl && (header[2] & 0x80) != 0;
            nal.key = nal.type >= 16 && nal.type <= 21;
            nal.beginsPicture = (nal.type >= 32 && nal.type <= 35) || nal.type == 39;
        }
        return true;
    }

    // A whole picture at the offset: units up to the start of the next picture, with a slice.
    bool VideoSampleAt(uint64_t at, Sample& sample) {
        Nal nal;
        if (!ReadNal(at, nal))
            return false;
        // A picture starts with its first slice or with what precedes the slices.
        if (!(nal.beginsPicture || nal.firstSlice))
            return false;
        bool sawSlice = false;
        bool key = false;
        uint64_t position = at;
        for (;;) {
            const uint64_t unitEnd = position + m_settings.nalLengthSize + nal.length;
            sawSlice = sawSlice || nal.vcl;
            key = key || nal.key;
            position = unitEnd;
            if (position - at > m_settings.largestVideoSample)
                return false;
            Nal following;
            if (position >= m_end || !ReadNal(position, following))
                break;
            if (sawSlice && (following.firstSlice || following.beginsPicture))
                break;
            // Units after the slices belong to them only when they are slices too, or trailers.
            if (sawSlice && !following.vcl && following.type != 10 && following.type != 11 &&
                following.type != 12 && m_settings.codec == VideoCodec::H264)
                break;
            nal = following;
        }
        if (!sawSlice)
            return false;
        sample.offset = at;
        sample.size = static_cast<uint32_t>(position - at);
        sample.video = true;
        sample.key = key;
        return true;
    }

    // Whether the frame may end at this length: AAC closes every frame with its three-bit end
    // element and at most seven bits of padding.
    static bool MayEndAacFrame(const uint8_t* data, size_t length) {
        if (length < 2 || data[length - 1] == 0)
            return false;
        unsigned bits = static_cast<unsigned>(data[length - 2]) << 8 | data[length - 1];
        while ((bits & 1) == 0)
            bits >>= 1;
        return (bits & 7) == 7;
    }

    // A unit's length is at least 2, so its length field is never all zeros; and where the largest
    // sample fits in fewer bytes than the field, the field's first byte is zero. Places that fail
    // either are passed over in bulk, which crosses a long zeroed or junk stretch quickly.
    uint64_t NextPicture(uint64_t from, uint64_t limit) {
        const size_t field = static_cast<size_t>(m_settings.nalLengthSize);
        const bool leadingZero =
            field > 1 && (static_cast<uint64_t>(m_settings.largestVideoSample) >> (8 * (field - 1))) == 0;
        Sample video;
        // The next picture is mostly near (after one sound frame): the look ahead starts small and
        // grows with the distance crossed, so places tried one after another share one read.
        const uint64_t first = from;
        while (from < limit) {
            const uint64_t stride = std::min(kStride, std::max(kFirstStride, 2 * (from - first)));
            const size_t count = static_cast<size_t>(
                std::min<uint64_t>(std::min<uint64_t>(stride, m_window.Capacity()), m_end - from));
            // A unit needs its field and a two-byte header, plus one byte to look at.
            if (count < field + 3)
                return limit;
            const uint8_t* data = m_window.At(from, count);
            if (data == nullptr)
                return limit;
            const size_t places = count - field + 1;
            size_t i = 0;
            while (i < places && from + i < limit) {
                if (leadingZero && data[i] != 0) {
                    const void* zero = std::memchr(data + i, 0, places - i);
                    i = zero == nullptr ? places
                                        : static_cast<size_t>(static_cast<const uint8_t*>(zero) - data);
                    continue;
                }
                const size_t nonzero = FirstNonzero(data, i, count);
                if (nonzero >= i + field) {
                    i = nonzero - field + 1;
                    continue;
                }
                break;
            }
            if (from + i >= limit)
                return limit;
            if (i == places) {
                from += places;
                continue;
            }
            // The window may move while the place is checked, so the next look starts afresh.
            if (VideoSampleAt(from + i, video))
                return from + i;
            from += i + 1;
        }
        return limit;
    }

    static size_t FirstNonzero(const uint8_t* data, size_t from, size_t count) {
        for (; from + sizeof(uint64_t) <= count; from += sizeof(uint64_t)) {
            uint64_t word;
            std::memcpy(&word, data + from, sizeof word);
            if (word != 0)
                break;
        }
        while (from < count && data[from] == 0)
            ++from;
        return from;
    }

    // Sound from the offset up to a picture (or the end), all of it in whole frames.
    bool SoundRunAt(uint64_t at, std::vector<Sample>& frames, uint64_t& runEnd) {
        const uint64_t limit = std::min<uint64_t>(m_end, at + kLongestSoundRun);
        for (uint64_t next = NextPicture(at + 1, limit);; next = NextPicture(next + 1, limit)) {
            const uint64_t stop = next < limit ? next : m_end;
            frames.clear();
            if (SplitSound(at, stop, frames) == stop) {
                runEnd = stop;
                return true;
            }
            // Any bytes pass for PCM: a picture further on would only take the ones before it along.
            if (next >= limit || m_settings.sound == SoundKind::Pcm)
                break;
        }
        frames.clear();
        return false;
    }

    // Splits [at, end) into sound frames from its start; answers where the last whole frame ends.
    uint64_t SplitSound(uint64_t at, uint64_t end, std::vector<Sample>& frames) {
        if (m_settings.sound == SoundKind::Pcm) {
            const uint64_t block = m_settings.pcmBlockAlign;
            const uint64_t largest = std::max<uint64_t>(block, m_settings.largestSoundFrame / block * block);
            const uint64_t whole = (end - at) / block * block;
            for (uint64_t offset = at; offset < at + whole;) {
                const uint64_t size = std::min<uint64_t>(at + whole - offset, largest);
                frames.push_back(Sample{offset, static_cast<uint32_t>(size), false, false});
                offset += size;
            }
            return at + whole;
        }
        if (m_settings.sound != SoundKind::Aac || m_check == nullptr)
            return at;
        while (at < end) {
            const size_t most =
                static_cast<size_t>(std::min<uint64_t>(end - at, m_settings.largestSoundFrame));
            const bool open = most == m_settings.largestSoundFrame && end - at > most;
            // Where no run ends near it, a frame's place alone decides what frame lies there.
            if (open && m_frameAt.count(at) != 0) {
                const size_t known = m_frameAt[at];
                if (known == 0)
                    break;
                frames.push_back(Sample{at, static_cast<uint32_t>(known), false, false});
                at += known;
                continue;
            }
            const uint8_t* data = m_window.At(at, most);
            size_t found = 0;
            if (data != nullptr) {
                // Mostly one frame lies between two pictures: that is tried first.
                if (most == end - at && MayEndAacFrame(data, most) && m_check->IsFrame(data, most)) {
                    found = most;
                } else {
                    for (size_t length = 2; length < most && found == 0; ++length) {
                        if (MayEndAacFrame(data, length) && m_check->IsFrame(data, length))
                            found = length;
                    }
                }
            }
            if (open) {
                if (m_frameAt.size() > kRememberedFrames)
                    m_frameAt.clear();
                m_frameAt[at] = found;
            }
            if (found == 0)
                break;
            frames.push_back(Sample{at, static_cast<uint32_t>(found), false, false});
            at += found;
        }
        return at;
    }

    // Whole AAC frames that end at `end` and begin after `from`, found backwards; answers where
    // the first of them begins.
    uint64_t TailFrames(uint64_t from, uint64_t end, std::vector<Sample>& frames) {
        if (m_settings.sound != SoundKind::Aac || m_check == nullptr)
            return end;
        for (;;) {
            const uint64_t earliest =
                std::max(from, end > m_settings.largestSoundFrame ? end - m_settings.largestSoundFrame : 0);
            if (end - earliest < 2)
                break;
            const uint8_t* data = m_window.At(earliest, static_cast<size_t>(end - earliest));
            if (data == nullptr || !MayEndAacFrame(data, static_cast<size_t>(end - earliest)))
                break;
            uint64_t start = end;
            for (uint64_t x = earliest; x + 2 <= end && start == end; ++x) {
                if (m_check->IsFrame(data + (x - earliest), static_cast<size_t>(end - x)))
                    start = x;
            }
            if (start == end)
                break;
            frames.insert(frames.begin(), Sample{start, static_cast<uint32_t>(end - start), false, false});
            end = start;
        }
        return end;
    }

    // The most frequent length of PCM between two pictures, learnt as the scan goes.
    void CountPcmRun(uint64_t length) {
        if (m_settings.sound != SoundKind::Pcm || length == 0)
            return;
        const auto counted = m_pcmRuns.find(length);
        if (counted == m_pcmRuns.end() && m_pcmRuns.size() >= kCountedPcmLengths)
            return;
        const int times = ++m_pcmRuns[length];
        if (times > m_usualPcmRunTimes) {
            m_usualPcmRunTimes = times;
            m_usualPcmRun = length;
        }
    }

    bool OverLongPcmRun(uint64_t length) const {
        return m_settings.sound == SoundKind::Pcm && m_usualPcmRunTimes > 1 &&
               PcmRunHoldsDamage(length, m_usualPcmRun, m_settings.pcmBlockAlign);
    }

    // Sound between two pictures is never longer than this; a longer stretch is damage.
    static constexpr uint64_t kLongestSoundRun = 64 * 1024;
    static constexpr size_t kRememberedFrames = 4096;
    static constexpr size_t kCountedPcmLengths = 256;
    static constexpr uint64_t kFirstStride = 4 * 1024;
    static constexpr uint64_t kStride = 64 * 1024;

    Window m_window;
    uint64_t m_begin;
    uint64_t m_end;
    const ScanSettings& m_settings;
    SoundCheck* m_check;
    ScanResult m_result;
    // The frame length found at a place (0: none), for places tried again with another run end.
    std::unordered_map<uint64_t, size_t> m_frameAt;
    std::unordered_map<uint64_t, int> m_pcmRuns;
    uint64_t m_usualPcmRun = 0;
    int m_usualPcmRunTimes = 0;
};

} // namespace

ScanResult ScanMediaData(ByteSource& source, uint64_t begin, uint64_t end, const ScanSettings& settings,
                         SoundCheck* check) {
    if (settings.nalLengthSize < 1 || settings.nalLengthSize > 4 || settings.pcmBlockAlign == 0 ||
        end > source.Size() || begin > end)
        return ScanResult{};
    return Scanner(source, begin, end, settings, check).Run();
}

} // namespace mp4repair
