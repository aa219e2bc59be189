#pragma once
// Copies an AVI recording of the recorder model 3 keeping only the chosen video streams, with the
// sound and text streams: the kept streams are renumbered 0, 1, ... in their order, sound and text
// follow them, the header gets a title list and the index is rebuilt from the source's index.
//
// The number of video streams in the source comes from its name: the channel tag letter, the 7th
// character from the end ("S", "D", "T", "Q" for 1 to 4), as the recorder names its files.
//
// The copy is written under a temporary name beside the output and takes the output's name only
// when it is complete, so a failed copy leaves an existing output as it was.

#include <string>

// keep0..keep3: non-zero keeps video stream 0..3. Returns false when nothing usable was written:
// a name without a tag letter, a header that does not match it, output and source naming the
// same file (the copy would replace the recording), a file that cannot be opened, read or written,
// or memory running out. Never throws.
// A source whose chunks end early (a cut-off recording) is copied as far as it goes.
bool CopyAviChannels(const std::wstring& output, const std::wstring& source, int keep0, int keep1, int keep2,
                     int keep3);
