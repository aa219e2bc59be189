#pragma once
// A compressor over a compression library that allocates through us: every block the library
// takes is recorded, so that a stream abandoned after an exception leaves nothing behind.

#include "viewer/ziparchive/zipcompressor.h"

#include <vector>

namespace ZipLib {

class CBaseLibCompressor : public CZipCompressor {
  public:
    struct COptions : CZipCompressor::COptions {
        bool m_trackLibraryBlocks = true;
    };

    explicit CBaseLibCompressor(CZipStorage* storage) : CZipCompressor(storage) {}
    ~CBaseLibCompressor() override { FreeTrackedBlocks(); }

    void InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph) override;

    size_t GetTrackedBlockCount() const { return m_blocks.size(); }

  protected:
    // The library's allocation hooks; the opaque pointer is the block list, or null when blocks
    // are not tracked.
    static void* LibraryAlloc(void* opaque, unsigned items, unsigned size);
    static void LibraryFree(void* opaque, void* block);
    void FreeTrackedBlocks();
    std::vector<void*>* TrackedBlocks() { return &m_blocks; }

    bool m_finished = false;

  private:
    std::vector<void*> m_blocks;
};

} // namespace ZipLib
