#pragma once
// The signature check of a recording of models 0-2: the recorder stores in its "MD5J" box the MD5
// (from zero chaining words) of the file's bytes from 36 to the end of "mdat", then bytes 0-35, then
// on to the byte before "MD5J", each 16-bit piece encrypted with the recording key (rsa64.h).

#include <string>

// 1 when the file's signature matches, 0 when it does not (or the file has no signature), -1 when
// the path is empty or the file cannot be opened ("<path> can't be opened." goes to stdout).
int VerifyRecordingFile(const std::wstring& path);
