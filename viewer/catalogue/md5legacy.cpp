#include "viewer/catalogue/md5legacy.h"

#include <cstring>

namespace {

inline DWORD LoadWord(const BYTE* bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    DWORD word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
#else
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
#endif
}

inline DWORD RotateLeft(DWORD value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

// The four rounds' functions in the forms that need the fewest operations.
inline DWORD F(DWORD x, DWORD y, DWORD z) {
    return z ^ (x & (y ^ z));
}
inline DWORD G(DWORD x, DWORD y, DWORD z) {
    return y ^ (z & (x ^ y));
}
inline DWORD H(DWORD x, DWORD y, DWORD z) {
    return x ^ y ^ z;
}
inline DWORD I(DWORD x, DWORD y, DWORD z) {
    return y ^ (x | ~z);
}

template <DWORD (*Round)(DWORD, DWORD, DWORD)>
inline void Step(DWORD& a, DWORD b, DWORD c, DWORD d, DWORD x, DWORD t, int s) {
    a = RotateLeft(a + Round(b, c, d) + x + t, s) + b;
}

// Hashes whole 64-byte blocks, keeping the chaining words in registers from block to block: the
// signature check runs this over the whole recording, so its speed is the check's speed.
void Transform(Md5Legacy::ChainingWords& state, const BYTE* data, size_t blocks) {
    DWORD a = state[0];
    DWORD b = state[1];
    DWORD c = state[2];
    DWORD d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        const DWORD x0 = LoadWord(data), x1 = LoadWord(data + 4), x2 = LoadWord(data + 8),
                    x3 = LoadWord(data + 12), x4 = LoadWord(data + 16), x5 = LoadWord(data + 20),
                    x6 = LoadWord(data + 24), x7 = LoadWord(data + 28), x8 = LoadWord(data + 32),
                    x9 = LoadWord(data + 36), x10 = LoadWord(data + 40), x11 = LoadWord(data + 44),
                    x12 = LoadWord(data + 48), x13 = LoadWord(data + 52), x14 = LoadWord(data + 56),
                    x15 = LoadWord(data + 60);
        const DWORD aa = a, bb = b, cc = c, dd = d;

        Step<F>(a, b, c, d, x0, 0xd76aa478, 7);
        Step<F>(d, a, b, c, x1, 0xe8c7b756, 12);
        Step<F>(c, d, a, b, x2, 0x242070db, 17);
        Step<F>(b, c, d, a, x3, 0xc1bdceee, 22);
        Step<F>(a, b, c, d, x4, 0xf57c0faf, 7);
        Step<F>(d, a, b, c, x5, 0x4787c62a, 12);
        Step<F>(c, d, a, b, x6, 0xa8304613, 17);
        Step<F>(b, c, d, a, x7, 0xfd469501, 22);
        Step<F>(a, b, c, d, x8, 0x698098d8, 7);
        Step<F>(d, a, b, c, x9, 0x8b44f7af, 12);
        Step<F>(c, d, a, b, x10, 0xffff5bb1, 17);
        Step<F>(b, c, d, a, x11, 0x895cd7be, 22);
        Step<F>(a, b, c, d, x12, 0x6b901122, 7);
        Step<F>(d, a, b, c, x13, 0xfd987193, 12);
        Step<F>(c, d, a, b, x14, 0xa679438e, 17);
        Step<F>(b, c, d, a, x15, 0x49b40821, 22);

        Step<G>(a, b, c, d, x1, 0xf61e2562, 5);
        Step<G>(d, a, b, c, x6, 0xc040b340, 9);
        Step<G>(c, d, a, b, x11, 0x265e5a51, 14);
        Step<G>(b, c, d, a, x0, 0xe9b6c7aa, 20);
        Step<G>(a, b, c, d, x5, 0xd62f105d, 5);
        Step<G>(d, a, b, c, x10, 0x02441453, 9);
        Step<G>(c, d, a, b, x15, 0xd8a1e681, 14);
        Step<G>(b, c, d, a, x4, 0xe7d3fbc8, 20);
        Step<G>(a, b, c, d, x9, 0x21e1cde6, 5);
        Step<G>(d, a, b, c, x14, 0xc33707d6, 9);
        Step<G>(c, d, a, b, x3, 0xf4d50d87, 14);
        Step<G>(b, c, d, a, x8, 0x455a14ed, 20);
        Step<G>(a, b, c, d, x13, 0xa9e3e905, 5);
        Step<G>(d, a, b, c, x2, 0xfcefa3f8, 9);
        Step<G>(c, d, a, b, x7, 0x676f02d9, 14);
        Step<G>(b, c, d, a, x12, 0x8d2a4c8a, 20);

        Step<H>(a, b, c, d, x5, 0xfffa3942, 4);
        Step<H>(d, a, b, c, x8, 0x8771f681, 11);
        Step<H>(c, d, a, b, x11, 0x6d9d6122, 16);
        Step<H>(b, c, d, a, x14, 0xfde5380c, 23);
        Step<H>(a, b, c, d, x1, 0xa4beea44, 4);
        Step<H>(d, a, b, c, x4, 0x4bdecfa9, 11);
        Step<H>(c, d, a, b, x7, 0xf6bb4b60, 16);
        Step<H>(b, c, d, a, x10, 0xbebfbc70, 23);
        Step<H>(a, b, c, d, x13, 0x289b7ec6, 4);
        Step<H>(d, a, b, c, x0, 0xeaa127fa, 11);
        Step<H>(c, d, a, b, x3, 0xd4ef3085, 16);
        Step<H>(b, c, d, a, x6, 0x04881d05, 23);
        Step<H>(a, b, c, d, x9, 0xd9d4d039, 4);
        Step<H>(d, a, b, c, x12, 0xe6db99e5, 11);
        Step<H>(c, d, a, b, x15, 0x1fa27cf8, 16);
        Step<H>(b, c, d, a, x2, 0xc4ac5665, 23);

        Step<I>(a, b, c, d, x0, 0xf4292244, 6);
        Step<I>(d, a, b, c, x7, 0x432aff97, 10);
        Step<I>(c, d, a, b, x14, 0xab9423a7, 15);
        Step<I>(b, c, d, a, x5, 0xfc93a039, 21);
        Step<I>(a, b, c, d, x12, 0x655b59c3, 6);
        Step<I>(d, a, b, c, x3, 0x8f0ccc92, 10);
        Step<I>(c, d, a, b, x10, 0xffeff47d, 15);
        Step<I>(b, c, d, a, x1, 0x85845dd1, 21);
        Step<I>(a, b, c, d, x8, 0x6fa87e4f, 6);
        Step<I>(d, a, b, c, x15, 0xfe2ce6e0, 10);
        Step<I>(c, d, a, b, x6, 0xa3014314, 15);
        Step<I>(b, c, d, a, x13, 0x4e0811a1, 21);
        Step<I>(a, b, c, d, x4, 0xf7537e82, 6);
        Step<I>(d, a, b, c, x11, 0xbd3af235, 10);
        Step<I>(c, d, a, b, x2, 0x2ad7d2bb, 15);
        Step<I>(b, c, d, a, x9, 0xeb86d391, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

} // namespace

void Md5Legacy::Init(const ChainingWords& start) {
    m_bitCount = 0;
    m_state = start;
    m_buffer.fill(0);
    m_digest.fill(0);
}

void Md5Legacy::Update(const void* data, size_t length) {
    const auto* bytes = static_cast<const BYTE*>(data);
    size_t pending = static_cast<size_t>((m_bitCount >> 3) & 63);
    m_bitCount += static_cast<ULONGLONG>(length) << 3;
    if (pending > 0) {
        const size_t take = length < 64 - pending ? length : 64 - pending;
        std::memcpy(m_buffer.data() + pending, bytes, take);
        pending += take;
        bytes += take;
        length -= take;
        if (pending < 64)
            return;
        Transform(m_state, m_buffer.data(), 1);
    }
    if (length >= 64) {
        Transform(m_state, bytes, length / 64);
        bytes += length / 64 * 64;
        length %= 64;
    }
    if (length > 0)
        std::memcpy(m_buffer.data(), bytes, length);
}

void Md5Legacy::Final() {
    BYTE lengthField[8];
    for (int i = 0; i < 8; ++i)
        lengthField[i] = static_cast<BYTE>(m_bitCount >> (8 * i));
    const size_t pending = static_cast<size_t>((m_bitCount >> 3) & 63);
    static const BYTE kPadding[64] = {0x80};
    Update(kPadding, pending < 56 ? 56 - pending : 120 - pending);
    Update(lengthField, 8);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            m_digest[4 * i + j] = static_cast<BYTE>(m_state[i] >> (8 * j));
    }
}
