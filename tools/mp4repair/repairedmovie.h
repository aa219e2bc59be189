#pragma once
// Writes the repaired recording: the reference's file type, the broken file's media data in one
// media data box, a new index built on the reference's tracks for the samples recovered in it, and
// the recorder's own boxes that survived in the broken file. Time lost in a damaged stretch is
// kept: AAC frames before it last longer, PCM and converted sound get silence in its place. Sound
// not in the broken file (converted, or that silence) follows in a second media data box.

#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/samplescanner.h"

#include <memory>
#include <string>
#include <thread>

namespace mp4repair {

class SoundConverter;

class RepairedMovie {
  public:
    // Opens the output and starts copying the media data [begin, end) of the broken file into it, on
    // a thread of its own, so the copy runs while the scan looks for the samples. The media data is
    // copied whole, as cp would: bytes between the samples (damage, a cut one) stay in it, and the
    // new index does not point at them.
    RepairedMovie(ByteSource& broken, const ReferenceMovie& reference, uint64_t begin, uint64_t end,
                  const std::string& path);
    // An output not finished is removed.
    ~RepairedMovie();
    RepairedMovie(const RepairedMovie&) = delete;
    RepairedMovie& operator=(const RepairedMovie&) = delete;

    // Writes the index of the samples found in [begin, end) and the recorder's boxes after it; with
    // a converter (ready), the sound is converted rather than copied. False when the output cannot
    // be written.
    bool Finish(const ScanResult& scan, const std::vector<BoxSpan>& recorderBoxes, SoundConverter* converter);

  private:
    class Output;

    ByteSource& m_broken;
    const ReferenceMovie& m_reference;
    uint64_t m_begin;
    std::string m_path;
    std::unique_ptr<Output> m_output;
    // Where the copied media data lies in the output.
    uint64_t m_mediaAt = 0;
    uint64_t m_mediaEnd = 0;
    std::thread m_copier;
    bool m_copied = false;
    bool m_finished = false;
};

} // namespace mp4repair
