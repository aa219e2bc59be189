#pragma once
// Writes the repaired recording: the reference's file type, the recovered samples in their order
// in one media data box, a new index built on the reference's tracks, and the recorder's own boxes
// that survived in the broken file.

#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/samplescanner.h"

#include <string>

namespace mp4repair {

// False when the output cannot be written.
bool WriteRepairedMovie(ByteSource& broken, const ReferenceMovie& reference, const ScanResult& scan,
                        const std::vector<BoxSpan>& recorderBoxes, const std::string& outputPath);

} // namespace mp4repair
