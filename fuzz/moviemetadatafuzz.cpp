// The MP4/MOV metadata reader on any bytes as a recording of models 0-2: the box walk with the
// recorder's GPS, G-sensor, car number and ENCY boxes, the sound-track probe, the top-level box
// lookups and the signature check that builds on them.
#include "fuzzfolder.h"

#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/recordingcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("input.mp4", data, size);
    const std::wstring path = folder.WidePathOf("input.mp4");

    MovieSimpleParser parser;
    parser.ParseMovie(path);
    // Once a payload is held, the rear file is not read.
    if (parser.HoldsPayload() && parser.ParseMovie(path) != 1)
        std::abort();
    HasAudioTrack(path);
    MovieSimpleParser::FindAtomEnd(path, BoxType("mdat"));
    MovieSimpleParser::FindAtomOffset(path, BoxType("MD5J"));
    BYTE signature[32] = {};
    MovieSimpleParser::ReadMd5j(path, signature, sizeof signature);
    // The check reads through a buffer of a megabyte, which costs far more than the rest of an
    // input's run here; every eighth input, by its length, is checked.
    if (size % 8 == 0)
        VerifyRecordingFile(path);
    return 0;
}
