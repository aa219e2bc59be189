#pragma once
// The zip library's two ways of reporting trouble: damage, I/O failure, a wrong password or a
// CRC mismatch is thrown as a CZipException; misuse by the caller is only traced (ZIPTRACE) and
// answered with a neutral result.

#include "platform/base/wintypes.h"

#include <exception>
#include <string>

class CZipException : public std::exception {
  public:
    // Causes 1-30 are the C runtime's error numbers; 500-507 follow zlib's result codes.
    enum Cause {
        genericError = 200,
        damagedArchive = 201,
        crcMismatch = 202,
        noSpanCallback = 203,
        noVolumeSize = 204,
        volumeChangeAborted = 205,
        actionAborted = 206,
        actionAbortedSafely = 207,
        notRemovable = 208,
        tooManyVolumes = 209,
        tooManyEntries = 210,
        dataTooLong = 211,
        sizeTooLarge = 212,
        badPassword = 213,
        directoryWithSize = 214,
        internalError = 215,
        fileError = 216,
        volumeMissing = 217,
        removeFailed = 218,
        renameFailed = 219,
        platformNotSupported = 220,
        centralDirNotFound = 221,
        zip64Required = 222,
        aesRequired = 223,
        zlibStreamEnd = 500,
        zlibNeedDict = 501,
        zlibErrno = 502,
        zlibStreamError = 503,
        zlibDataError = 504,
        outOfMemory = 505,
        zlibBufferError = 506,
        zlibVersionError = 507,
    };

    explicit CZipException(int cause = genericError, const std::wstring& fileName = std::wstring());

    [[noreturn]] static void Throw(int cause = genericError, const std::wstring& fileName = std::wstring());

    std::wstring GetErrorDescription() const;
    // Copies at most length - 1 characters and a terminating zero; false for a null buffer, a
    // length of 0 or an empty description. The help context is left alone.
    bool GetErrorMessage(wchar_t* buffer, UINT length, UINT* helpContext = nullptr) const;
    const char* what() const noexcept override { return m_what.c_str(); }

    std::wstring m_fileName;
    int m_cause;
    // errno when the exception was made: the counterpart of the platform's last error.
    DWORD m_systemError;

  private:
    std::wstring Describe(int cause, bool nested) const;
    std::wstring SystemText() const;

    std::string m_what;
};

// Writes "file(line) : text" to the trace sink: the library's answer to misuse by its caller.
void ZipTrace(const char* sourceFile, int line, const char* text);
#define ZIPTRACE(text) ZipTrace(__FILE__, __LINE__, text)
