#include "viewer/ziparchive/zipcompressor.h"

#include "viewer/ziparchive/deflatecompressor.h"
#include "viewer/ziparchive/zipcryptograph.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipfileheader.h"
#include "viewer/ziparchive/zipstorage.h"

#include <zlib.h>

const CZipCompressor::COptions* CZipCompressor::COptionsMap::Get(int type) const {
    const auto found = m_options.find(type);
    return found == m_options.end() ? nullptr : found->second.get();
}

std::unique_ptr<CZipCompressor> CZipCompressor::CreateCompressor(WORD method, CZipStorage* storage) {
    if (method == methodStore || method == methodDeflate)
        return std::make_unique<ZipLib::CDeflateCompressor>(storage);
    return nullptr;
}

void CZipCompressor::ApplyOptions(const COptionsMap& optionsMap) {
    const COptions* own = GetOptions();
    if (!own)
        return;
    if (const COptions* wanted = optionsMap.Get(own->GetOptionsType()))
        UpdateOptions(*wanted);
}

void CZipCompressor::InitDecompression(CZipFileHeader* header, CZipCryptograph* cryptograph) {
    AllocateBuffer();
    m_header = header;
    m_cryptograph = cryptograph;
    // A stored size too small for the encryption header leaves nothing to read, and the entry
    // ends short of its plain size.
    const DWORD encryptedInfoSize = CZipCryptograph::GetEncryptedInfoSize(header->m_encryptionMethod);
    m_compressedLeft =
        header->m_compressedSize > encryptedInfoSize ? header->m_compressedSize - encryptedInfoSize : 0;
    m_uncompressedLeft = header->m_uncompressedSize;
    m_crc = 0;
}

void CZipCompressor::AllocateBuffer() {
    const COptions* options = GetOptions();
    const int size =
        options && options->m_bufferSize > 0 ? options->m_bufferSize : COptions::kDefaultBufferSize;
    m_buffer.Allocate(static_cast<DWORD>(size));
}

void CZipCompressor::AddToCrc(const void* data, DWORD size) {
    if (size > 0)
        m_crc = static_cast<DWORD>(crc32(m_crc, static_cast<const Bytef*>(data), size));
}

void CZipCompressor::RaiseError(int code, bool libraryCode) const {
    const int cause = libraryCode ? MapLibraryError(code) : code;
    CZipException::Throw(cause, m_storage->IsClosed(true) ? std::wstring() : m_storage->GetFilePath());
}
