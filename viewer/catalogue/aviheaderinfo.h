#pragma once
// The AVI recordings of model 3: the header, the "movi" list and the "idx1" index as the metadata
// reader needs them. Every size in the file is unsigned 32-bit and every offset is checked against
// the file's length before it is used, so a damaged index gives "no index" and never a wild read.

#include "platform/base/wintypes.h"

#include <optional>
#include <vector>

class CFile;

struct AviHeaderInfo {
    BYTE header[72] = {}; // RIFF, "AVI ", LIST, hdrl, avih, the main header up to the height
    char listId[4] = {};  // the list after the header list ("movi")
    DWORD listSize = 0;
    char indexId[4] = {}; // the chunk after that list ("idx1")
    DWORD indexSize = 0;
    // First the offset of the second list, then the offset just behind it.
    ULONGLONG listOffset = 0;
    // Offset of the second list's form type; index entries count their offsets from here.
    ULONGLONG movieBase = 0;
};

constexpr size_t kAviIndexEntrySize = 16;
constexpr size_t kAviMaxIndexEntries = 200000;

// Reads the header and the "idx1" entries of an open AVI file, from its start. Returns the entries
// (16 bytes each, as stored; only whole entries actually read) or nothing when the header or the
// index is unusable.
std::optional<std::vector<BYTE>> ReadAviHeaderAndIndex(AviHeaderInfo& info, CFile& file);

// The index of the last AVI recording parsed (MovieSimpleParser::ParseAvi), held until the next
// parse or until FreeAviTextBuffer, which the application calls when it exits. UI thread only.
extern std::vector<BYTE> g_aviTextBuffer;
void FreeAviTextBuffer();
