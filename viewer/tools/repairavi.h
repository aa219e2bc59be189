#pragma once
// Rebuilds a broken AVI recording of the recorder model 3 (one file, one to four video streams, a
// sound and a text stream): keeps every chunk of the "movi" list up to the first one it does not
// know, writes a fresh "idx1" index and puts the sizes and frame counts right.
//
// The rebuilt file is written under a temporary name beside the output and takes the output's
// name only when it is complete, so a failed repair never leaves a half-written file there.

#include <string>

// Returns 0 on success, -1 when a file cannot be opened or written, when the header is not the
// recorder's, when both paths name the same file (the input would be lost) or when memory runs
// out. Never throws.
int RepairAvi(const std::wstring& input, const std::wstring& output);
