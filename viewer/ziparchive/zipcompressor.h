#pragma once
// Turns the stored bytes of the entry being read into its plain bytes, with the running CRC and
// the counters the archive checks when the entry is closed. Only decompression is built: the
// program never writes an archive.

#include "viewer/ziparchive/zipautobuffer.h"

#include "platform/base/wintypes.h"

#include <map>
#include <memory>

class CZipCryptograph;
class CZipFileHeader;
class CZipStorage;

class CZipCompressor {
  public:
    enum CompressionMethod : WORD { methodStore = 0, methodDeflate = 8 };
    enum OptionsType { typeDeflate = 1 };

    struct COptions {
        static constexpr int kDefaultBufferSize = 0x20000;
        virtual ~COptions() = default;
        virtual int GetOptionsType() const = 0;
        virtual std::unique_ptr<COptions> Clone() const = 0;
        int m_bufferSize = kDefaultBufferSize;
    };

    // Options by their type, applied to every compressor the archive obtains.
    class COptionsMap {
      public:
        void Set(const COptions& options) { m_options[options.GetOptionsType()] = options.Clone(); }
        const COptions* Get(int type) const;

      private:
        std::map<int, std::unique_ptr<COptions>> m_options;
    };

    // A deflate compressor (which also passes stored entries through) for methods 0 and 8, else null.
    static std::unique_ptr<CZipCompressor> CreateCompressor(WORD method, CZipStorage* storage);

    explicit CZipCompressor(CZipStorage* storage) : m_storage(storage) {}
    virtual ~CZipCompressor() = default;
    CZipCompressor(const CZipCompressor&) = delete;
    CZipCompressor& operator=(const CZipCompressor&) = delete;

    virtual bool SupportsMethod(WORD method) const = 0;
    virtual void InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph);
    // At most size plain bytes; 0 at the end of the entry.
    virtual DWORD Decompress(void* buffer, DWORD size) = 0;
    virtual void FinishDecompression(bool) {}
    virtual const COptions* GetOptions() const { return nullptr; }
    virtual void UpdateOptions(const COptions&) {}
    void ApplyOptions(const COptionsMap& optionsMap);

    DWORD GetUncompressedLeft() const { return m_uncompressedLeft; }
    DWORD GetCrc() const { return m_crc; }

  protected:
    virtual int MapLibraryError(int code) const { return code; }
    virtual bool IsLibraryCodeOk(int code) const = 0;
    void RaiseOnLibraryError(int code) const {
        if (!IsLibraryCodeOk(code))
            RaiseError(code, true);
    }
    [[noreturn]] void RaiseError(int code, bool libraryCode) const;
    void AllocateBuffer();
    void AddToCrc(const void* data, DWORD size);

    CZipStorage* m_storage;
    CZipAutoBuffer m_buffer;
    CZipCryptograph* m_cryptograph = nullptr;
    CZipFileHeader* m_header = nullptr;
    DWORD m_uncompressedLeft = 0;
    DWORD m_compressedLeft = 0;
    DWORD m_crc = 0;
};
