// AVI repair on any bytes as a damaged model-3 recording: it may only answer 0 or -1.
#include "fuzzfolder.h"

#include "viewer/tools/repairavi.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("input.avi", data, size);
    const int result = RepairAvi(folder.WidePathOf("input.avi"), folder.WidePathOf("repaired.avi"));
    if (result != 0 && result != -1)
        std::abort();
    return 0;
}
