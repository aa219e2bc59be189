#include "viewer/ziparchive/zipexception.h"

#include "platform/base/trace.h"
#include "platform/base/unicode.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const wchar_t* FixedText(int cause) {
    switch (cause) {
    case 1:
        return L"Not super-user.";
    case 2:
        return L"No such file or directory.";
    case 4:
        return L"Interrupted system call.";
    case 5:
        return L"I/O error.";
    case 6:
        return L"No such device or address.";
    case 9:
        return L"Bad file number.";
    case 12:
        return L"Not enough space.";
    case 13:
        return L"Permission denied.";
    case 14:
        return L"Bad address.";
    case 17:
        return L"File exists.";
    case 18:
        return L"Cross-device link.";
    case 19:
        return L"No such device.";
    case 20:
        return L"Not a directory.";
    case 21:
        return L"Is a directory.";
    case 22:
        return L"Invalid argument.";
    case 23:
        return L"File table overflow.";
    case 24:
        return L"Too many open files.";
    case 27:
        return L"File too large.";
    case 28:
        return L"No space left on device.";
    case 29:
        return L"Illegal seek.";
    case 30:
        return L"Read-only file system.";
    case CZipException::damagedArchive:
        return L"Damaged or not a zip file.";
    case CZipException::crcMismatch:
        return L"Crc is mismatched.";
    case CZipException::noSpanCallback:
        return L"There is no spanned archive callback object set.";
    case CZipException::noVolumeSize:
        return L"The volume size was not defined for a split archive.";
    case CZipException::volumeChangeAborted:
        return L"Volume change aborted in a segmented archive.";
    case CZipException::actionAborted:
        return L"Action aborted.";
    case CZipException::actionAbortedSafely:
        return L"Action aborted safely.";
    case CZipException::notRemovable:
        return L"The device selected for the spanned archive is not removable.";
    case CZipException::tooManyVolumes:
        return L"The limit of the maximum number of volumes has been reached.";
    case CZipException::tooManyEntries:
        return L"The limit of the maximum number of files in an archive has been reached.";
    case CZipException::dataTooLong:
        return L"The filename, the comment or local or central extra field of the file added to the archive "
               L"is "
               L"too long.";
    case CZipException::sizeTooLarge:
        return L"The file size is too large to be supported.";
    case CZipException::badPassword:
        return L"An incorrect password set for the file being decrypted.";
    case CZipException::directoryWithSize:
        return L"The directory with a non-zero size found while testing.";
    case CZipException::internalError:
        return L"An internal error.";
    case CZipException::platformNotSupported:
        return L"Cannot create a file for the specified platform.";
    case CZipException::centralDirNotFound:
        return L"The central directory was not found in the archive (or you were trying to open not the last "
               L"volume of a segmented archive).";
    case CZipException::zip64Required:
        return L"The Zip64 format has not been enabled for the library, but is required to use the archive.";
    case CZipException::aesRequired:
        return L"WinZip AES encryption has not been enabled for the library, but is required to decompress "
               L"the "
               L"archive.";
    case CZipException::zlibStreamEnd:
        return L"Zlib library error (end of stream).";
    case CZipException::zlibStreamError:
        return L"Zlib library error (stream error).";
    case CZipException::zlibDataError:
        return L"Zlib library error (data error).";
    case CZipException::outOfMemory:
        return L"Not enough memory.";
    case CZipException::zlibBufferError:
        return L"Zlib library error (buffer error).";
    case CZipException::zlibVersionError:
        return L"Zlib library error (version error).";
    default:
        return nullptr;
    }
}

// The causes whose fixed text is completed by the system's own words.
const wchar_t* FileOperationText(int cause) {
    switch (cause) {
    case CZipException::fileError:
        return L"A file error occurred";
    case CZipException::removeFailed:
        return L"Error while removing a file";
    case CZipException::renameFailed:
        return L"Error while renaming a file";
    default:
        return nullptr;
    }
}

} // namespace

CZipException::CZipException(int cause, const std::wstring& fileName)
    : m_fileName(fileName), m_cause(cause), m_systemError(static_cast<DWORD>(errno)) {
    m_what = Utf8FromWide(GetErrorDescription());
}

void CZipException::Throw(int cause, const std::wstring& fileName) {
    throw CZipException(cause, fileName);
}

std::wstring CZipException::GetErrorDescription() const {
    return Describe(m_cause, false);
}

bool CZipException::GetErrorMessage(wchar_t* buffer, UINT length, UINT*) const {
    if (!buffer || length == 0)
        return false;
    const std::wstring description = GetErrorDescription();
    if (description.empty())
        return false;
    const size_t count = std::min<size_t>(description.size(), length - 1);
    description.copy(buffer, count);
    buffer[count] = L'\0';
    return true;
}

std::wstring CZipException::Describe(int cause, bool nested) const {
    if (const wchar_t* text = FixedText(cause))
        return text;
    if (const wchar_t* text = FileOperationText(cause))
        return std::wstring(text) + L" (" + SystemText() + L").";
    if (cause == zlibErrno) {
        int number = errno;
        if (number == zlibErrno)
            number = genericError;
        return Describe(number, false);
    }
    return nested ? std::wstring(L"Unspecified error") : SystemText();
}

std::wstring CZipException::SystemText() const {
    if (m_systemError != 0)
        return WideFromUtf8(std::strerror(static_cast<int>(m_systemError)));
    const int number = errno;
    return Describe(number == 0 ? genericError : number, true);
}

void ZipTrace(const char* sourceFile, int line, const char* text) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "(%i) : ", line);
    TraceLine(std::string(sourceFile) + prefix + text + "\n");
}
