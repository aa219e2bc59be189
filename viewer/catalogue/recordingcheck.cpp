#include "viewer/catalogue/recordingcheck.h"

#include "platform/base/file.h"
#include "platform/base/unicode.h"
#include "viewer/catalogue/md5legacy.h"
#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/rsa64.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kHeadLength = 36;
constexpr LONGLONG kBlock = 1024;
constexpr size_t kSignatureLength = 32;

// Hands out the file's bytes in the pieces the recorder's block loop asks for, from reads of a
// megabyte: the block loop decides which bytes are hashed in which order, the reads only how fast.
// An I/O error ends the file there, as the end of the file does.
class SequentialReader {
  public:
    explicit SequentialReader(CFile& file) : m_file(file), m_buffer(1 << 20) {}

    // Up to `count` bytes (fewer only at the end of the file), valid until the next call.
    size_t Next(const BYTE*& data, size_t count) {
        if (m_end - m_begin < count && !m_atEnd)
            Refill();
        const size_t taken = std::min(count, m_end - m_begin);
        data = m_buffer.data() + m_begin;
        m_begin += taken;
        return taken;
    }

  private:
    void Refill() {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
        const auto wanted = static_cast<UINT>(m_buffer.size() - m_end);
        UINT got = 0;
        try {
            got = m_file.Read(m_buffer.data() + m_end, wanted);
        } catch (const CFileException&) {
            got = 0;
        }
        m_end += got;
        m_atEnd = got < wanted;
    }

    CFile& m_file;
    std::vector<BYTE> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;
    bool m_atEnd = false;
};

// A block length as the loop computes it, kept to what the buffer holds: a bound before the
// current position (no "mdat" at all) must not become a negative read length.
size_t BlockLength(LONGLONG block) {
    return static_cast<size_t>(std::clamp<LONGLONG>(block, 0, kBlock));
}

DWORD LittleEndian32(const BYTE* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

} // namespace

int VerifyRecordingFile(const std::wstring& path) {
    if (path.empty())
        return -1;
    const LONGLONG mdatLast = MovieSimpleParser::FindAtomEnd(path, BoxType("mdat"));
    const LONGLONG signatureLast = MovieSimpleParser::FindAtomOffset(path, BoxType("MD5J")) - 1;
    BYTE signature[kSignatureLength] = {};
    MovieSimpleParser::ReadMd5j(path, signature, sizeof signature);

    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        std::printf("%s can't be opened.\n", Utf8FromWide(path).c_str());
        std::fflush(stdout);
        return -1;
    }
    SequentialReader reader(file);
    Md5Legacy md5;

    // The recorder hashes from byte 36 to the end of "mdat", then the first 36 bytes, then on to
    // the byte before "MD5J", in 1024-byte blocks whose stop rule decides where a byte falls; a
    // signer hashes in the same blocks, so the loops below are the recorder's, block for block.
    std::array<BYTE, kHeadLength> head{};
    const BYTE* data = nullptr;
    const size_t headLength = reader.Next(data, kHeadLength);
    std::memcpy(head.data(), data, headLength);
    LONGLONG position = static_cast<LONGLONG>(headLength);

    LONGLONG block = kBlock;
    if (mdatLast - position + 1 <= block)
        block = mdatLast - position + 1;
    if (mdatLast >= position) {
        for (;;) {
            const size_t count = reader.Next(data, BlockLength(block));
            if (count == 0)
                break;
            position += static_cast<LONGLONG>(count);
            md5.Update(data, count);
            if (mdatLast - position + 1 <= block)
                block = mdatLast - position + 1;
            if (position >= mdatLast)
                break;
        }
    }

    md5.Update(head.data(), headLength);

    block = kBlock;
    for (;;) {
        const size_t count = reader.Next(data, BlockLength(block));
        if (count == 0)
            break;
        position += static_cast<LONGLONG>(count);
        md5.Update(data, count);
        if (signatureLast - position + 1 <= block)
            block = signatureLast - position + 1;
        if (position >= signatureLast)
            break;
    }
    md5.Final();
    file.Abort();

    const Rsa64 key = Rsa64::RecordingKey();
    std::array<BYTE, 16> stored{};
    for (size_t i = 0; i < 8; ++i) {
        const ULONGLONG piece = key.DecryptWord(LittleEndian32(signature + 4 * i));
        stored[2 * i] = static_cast<BYTE>(piece & 0xFF);
        stored[2 * i + 1] = static_cast<BYTE>((piece >> 8) & 0xFF);
    }
    return stored == md5.Digest() ? 1 : 0;
}
