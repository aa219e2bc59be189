#pragma once
// Writes the repaired recording: the reference's file type, the recovered samples in their order
// in one media data box, a new index built on the reference's tracks, and the recorder's own boxes
// that survived in the broken file. Time lost in a damaged stretch is kept: AAC frames before it
// last longer, PCM and converted sound get silence in its place.

#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/samplescanner.h"

#include <string>

namespace mp4repair {

// The sound as the reference codes it, or converted to IMA ADPCM (WAV block layout).
enum class SoundOutput { Copy, ImaAdpcm };

// False when the output cannot be written.
bool WriteRepairedMovie(ByteSource& broken, const ReferenceMovie& reference, const ScanResult& scan,
                        const std::vector<BoxSpan>& recorderBoxes, SoundOutput soundOutput,
                        const std::string& outputPath);

} // namespace mp4repair
