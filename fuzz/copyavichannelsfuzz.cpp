// AVI channel copy on any bytes as a model-3 recording. The first byte chooses the channel tag of
// the source's name (1 to 4 video streams) and the streams to keep; the rest is the file.
#include "fuzzfolder.h"

#include "viewer/tools/copyavichannels.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const char tag = "SDTQ"[data[0] & 3];
    const int keep = data[0] >> 2;
    const FuzzFolder& folder = FuzzFolder::Instance();
    const std::string name = std::string("2023_05_24_12_30_45_") + tag + "_N.avi";
    folder.Write(name, data + 1, size - 1);
    CopyAviChannels(folder.WidePathOf("copy.avi"), folder.WidePathOf(name), keep & 1, keep & 2, keep & 4,
                    keep & 8);
    return 0;
}
