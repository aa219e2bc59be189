#pragma once
// The small RSA key a recorder's signature pieces are decrypted with. Only n and d are used.

#include "platform/base/wintypes.h"

class Rsa64 {
  public:
    Rsa64(ULONGLONG n, ULONGLONG p, ULONGLONG q, ULONGLONG phi, ULONGLONG e, ULONGLONG d)
        : m_n(n), m_p(p), m_q(q), m_phi(phi), m_e(e), m_d(d) {}

    // The key every recorder of models 0-2 signs for.
    static Rsa64 RecordingKey() { return Rsa64(0x1C4E2B9, 0xE2B5, 0xD3A9, 0x1B3A6D4, 0x6F2C3, 0xA7E52B); }

    // c^d mod n.
    ULONGLONG DecryptWord(ULONGLONG c) const;

    ULONGLONG Modulus() const { return m_n; }
    ULONGLONG PrivateExponent() const { return m_d; }

  private:
    // Every part of the key in its order, though decryption needs only n and d.
    ULONGLONG m_n;
    [[maybe_unused]] ULONGLONG m_p;
    [[maybe_unused]] ULONGLONG m_q;
    [[maybe_unused]] ULONGLONG m_unused = 0;
    [[maybe_unused]] ULONGLONG m_phi;
    [[maybe_unused]] ULONGLONG m_e;
    ULONGLONG m_d;
};
