#include "viewer/ziparchive/baselibcompressor.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace ZipLib {

void CBaseLibCompressor::InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph) {
    CZipCompressor::InitDecompression(header, cryptograph);
    m_finished = false;
}

void* CBaseLibCompressor::LibraryAlloc(void* opaque, unsigned items, unsigned size) {
    void* block = std::malloc(static_cast<size_t>(items) * size);
    if (block && opaque) {
        // The library is C: nothing may be thrown through it.
        try {
            static_cast<std::vector<void*>*>(opaque)->push_back(block);
        } catch (const std::bad_alloc&) {
            std::free(block);
            return nullptr;
        }
    }
    return block;
}

void CBaseLibCompressor::LibraryFree(void* opaque, void* block) {
    if (opaque) {
        auto* blocks = static_cast<std::vector<void*>*>(opaque);
        const auto found = std::find(blocks->begin(), blocks->end(), block);
        if (found != blocks->end())
            blocks->erase(found);
    }
    std::free(block);
}

void CBaseLibCompressor::FreeTrackedBlocks() {
    for (void* block : m_blocks)
        std::free(block);
    m_blocks.clear();
}

} // namespace ZipLib
