// The AVI metadata reader on any bytes as a model-3 recording: header and "idx1" index, then the
// per-frame text and G-sensor records the index points at.
#include "fuzzfolder.h"

#include "viewer/catalogue/aviheaderinfo.h"
#include "viewer/catalogue/moviesimpleparser.h"

#include "platform/base/file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("input.avi", data, size);
    const std::wstring path = folder.WidePathOf("input.avi");

    CFile file;
    if (file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        AviHeaderInfo info;
        ReadAviHeaderAndIndex(info, file);
        file.Close();
    }
    MovieSimpleParser parser;
    parser.ParseAvi(path);
    FreeAviTextBuffer();
    return 0;
}
