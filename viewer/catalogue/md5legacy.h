#pragma once
// MD5 as published, with the chaining words it starts from as a parameter: the recorder signs its
// recordings with all four words zero, which no library MD5 offers.

#include "platform/base/wintypes.h"

#include <array>
#include <cstddef>

class Md5Legacy {
  public:
    using ChainingWords = std::array<DWORD, 4>;
    static constexpr ChainingWords kRecorderStart = {0, 0, 0, 0};
    static constexpr ChainingWords kPublishedStart = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

    explicit Md5Legacy(const ChainingWords& start = kRecorderStart) { Init(start); }

    void Init(const ChainingWords& start = kRecorderStart);
    void Update(const void* data, size_t length);
    // Pads, appends the bit count and writes the digest; Init starts over.
    void Final();
    const std::array<BYTE, 16>& Digest() const { return m_digest; }

  private:
    ULONGLONG m_bitCount = 0;
    ChainingWords m_state{};
    std::array<BYTE, 64> m_buffer{};
    std::array<BYTE, 16> m_digest{};
};
