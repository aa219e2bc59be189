#include "viewer/catalogue/rsa64.h"

ULONGLONG Rsa64::DecryptWord(ULONGLONG c) const {
    // Square-and-multiply gives what d successive multiplications give: with n below 2^25 no
    // product of two residues overflows 64 bits. Reducing c first keeps that true for any c.
    ULONGLONG result = 1 % m_n;
    ULONGLONG base = c % m_n;
    for (ULONGLONG exponent = m_d; exponent > 0; exponent >>= 1) {
        if (exponent & 1)
            result = result * base % m_n;
        base = base * base % m_n;
    }
    return result;
}
