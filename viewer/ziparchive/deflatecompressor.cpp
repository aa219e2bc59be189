#include "viewer/ziparchive/deflatecompressor.h"

#include "viewer/ziparchive/zipcryptograph.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipfileheader.h"
#include "viewer/ziparchive/zipstorage.h"

#include <algorithm>

namespace ZipLib {

namespace {
// Raw deflate data: no zlib header or trailer around it.
constexpr int kRawDeflateWindowBits = -MAX_WBITS;
} // namespace

CDeflateCompressor::CDeflateCompressor(CZipStorage* storage) : CBaseLibCompressor(storage) {
    m_stream.zalloc = LibraryAlloc;
    m_stream.zfree = LibraryFree;
}

CDeflateCompressor::~CDeflateCompressor() {
    EndStream();
}

void CDeflateCompressor::UpdateOptions(const CZipCompressor::COptions& options) {
    if (options.GetOptionsType() == typeDeflate)
        m_options = static_cast<const COptions&>(options);
}

void CDeflateCompressor::EndStream() {
    if (m_streamInitialised) {
        inflateEnd(&m_stream);
        m_streamInitialised = false;
    }
}

void CDeflateCompressor::InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph) {
    CBaseLibCompressor::InitDecompression(header, cryptograph);
    if (header->m_method == methodDeflate) {
        void* opaque = m_options.m_trackLibraryBlocks ? TrackedBlocks() : nullptr;
        // The stream and its window are kept from entry to entry: a reset is much cheaper than
        // freeing and taking them again for every small entry of the skin.
        if (m_streamInitialised && m_stream.opaque == opaque) {
            RaiseOnLibraryError(inflateReset(&m_stream));
        } else {
            EndStream();
            m_stream.opaque = opaque;
            m_stream.next_in = Z_NULL;
            m_stream.avail_in = 0;
            // Through zlib's own macro, which passes the version and structure size this program
            // was built against; any other pair is refused with Z_VERSION_ERROR.
            RaiseOnLibraryError(inflateInit2(&m_stream, kRawDeflateWindowBits));
            m_streamInitialised = true;
        }
    }
    m_stream.total_out = 0;
    m_stream.avail_in = 0;
}

DWORD CDeflateCompressor::RefillInput() {
    const DWORD count = std::min(m_buffer.GetSize(), m_compressedLeft);
    if (count > 0) {
        m_storage->Read(m_buffer.GetBuffer(), count);
        if (m_cryptograph)
            m_cryptograph->Decode(m_buffer.GetBuffer(), count);
        m_compressedLeft -= count;
    }
    return count;
}

DWORD CDeflateCompressor::DecompressStored(void* buffer, DWORD size) {
    const DWORD count = std::min(m_compressedLeft, size);
    if (count > 0) {
        m_storage->Read(buffer, count);
        if (m_cryptograph)
            m_cryptograph->Decode(static_cast<char*>(buffer), count);
        AddToCrc(buffer, count);
        m_compressedLeft -= count;
        // A plain size below the stored one wraps the counter, which then never comes back to 0:
        // the entry cannot close as complete.
        m_uncompressedLeft -= count;
        m_stream.total_out += count;
    }
    return count;
}

DWORD CDeflateCompressor::Decompress(void* buffer, DWORD size) {
    if (m_finished)
        return 0;
    if (m_header->m_method != methodDeflate)
        return DecompressStored(buffer, size);

    m_stream.next_out = static_cast<Bytef*>(buffer);
    m_stream.avail_out = std::min(size, m_uncompressedLeft);
    // Nothing more to deliver but input left: run the stream to its end.
    const bool drain = m_stream.avail_out == 0 && m_compressedLeft > 0;
    DWORD result = 0;
    while (m_stream.avail_out > 0 || (drain && m_compressedLeft > 0)) {
        if (m_stream.avail_in == 0) {
            const DWORD count = RefillInput();
            m_stream.next_in = reinterpret_cast<Bytef*>(m_buffer.GetBuffer());
            m_stream.avail_in = count;
        }
        const uLong totalBefore = m_stream.total_out;
        const Bytef* output = m_stream.next_out;
        const int error = inflate(&m_stream, Z_SYNC_FLUSH);
        const DWORD produced = static_cast<DWORD>(m_stream.total_out - totalBefore);
        AddToCrc(output, produced);
        m_uncompressedLeft -= produced;
        result += produced;
        if (error == Z_STREAM_END) {
            m_finished = true;
            return result;
        }
        RaiseOnLibraryError(error);
    }

    if (result == 0 && m_options.m_checkEndOfStream && size > 0) {
        if (inflate(&m_stream, Z_SYNC_FLUSH) != Z_STREAM_END)
            RaiseError(CZipException::damagedArchive, false);
        m_finished = true;
    }
    return result;
}

void CDeflateCompressor::FinishDecompression(bool afterException) {
    // After an exception nothing of the entry is kept; otherwise the stream and the transfer
    // buffer serve the next entry.
    if (afterException) {
        EndStream();
        FreeTrackedBlocks();
        m_buffer.Release();
    }
}

int CDeflateCompressor::MapLibraryError(int code) const {
    switch (code) {
    case Z_VERSION_ERROR:
        return CZipException::zlibVersionError;
    case Z_BUF_ERROR:
        return CZipException::zlibBufferError;
    case Z_MEM_ERROR:
        return CZipException::outOfMemory;
    case Z_DATA_ERROR:
        return CZipException::zlibDataError;
    case Z_STREAM_ERROR:
        return CZipException::zlibStreamError;
    case Z_ERRNO:
        return CZipException::zlibErrno;
    case Z_STREAM_END:
        return CZipException::zlibStreamEnd;
    case Z_NEED_DICT:
        return CZipException::zlibNeedDict;
    default:
        return CZipException::genericError;
    }
}

} // namespace ZipLib
