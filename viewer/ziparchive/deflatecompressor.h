#pragma once
// Raw deflate through zlib; stored entries pass through the same object.

#include "viewer/ziparchive/baselibcompressor.h"

#include <zlib.h>

namespace ZipLib {

class CDeflateCompressor : public CBaseLibCompressor {
  public:
    struct COptions : CBaseLibCompressor::COptions {
        int GetOptionsType() const override { return typeDeflate; }
        std::unique_ptr<CZipCompressor::COptions> Clone() const override {
            return std::make_unique<COptions>(*this);
        }
        // A deflated entry must end with the end of its deflate stream.
        bool m_checkEndOfStream = true;
    };

    explicit CDeflateCompressor(CZipStorage* storage);
    ~CDeflateCompressor() override;

    bool SupportsMethod(WORD method) const override {
        return method == methodStore || method == methodDeflate;
    }
    void InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph) override;
    DWORD Decompress(void* buffer, DWORD size) override;
    void FinishDecompression(bool afterException) override;
    const CZipCompressor::COptions* GetOptions() const override { return &m_options; }
    void UpdateOptions(const CZipCompressor::COptions& options) override;

  protected:
    int MapLibraryError(int code) const override;
    bool IsLibraryCodeOk(int code) const override { return code == Z_OK || code == Z_NEED_DICT; }

  private:
    DWORD RefillInput();
    DWORD DecompressStored(void* buffer, DWORD size);
    void EndStream();

    COptions m_options;
    z_stream m_stream{};
    bool m_streamInitialised = false;
};

} // namespace ZipLib
