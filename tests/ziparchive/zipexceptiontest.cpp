#include "viewer/ziparchive/zipexception.h"

#include "ziptestsupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

std::wstring Describe(int cause, int systemError = 0) {
    errno = systemError;
    CZipException error(cause, L"archive.zip");
    errno = 0;
    return error.GetErrorDescription();
}

} // namespace

TEST(ZipException, FixedTextsByCause) {
    const struct {
        int cause;
        const wchar_t* text;
    } cases[] = {
        {2, L"No such file or directory."},
        {201, L"Damaged or not a zip file."},
        {202, L"Crc is mismatched."},
        {213, L"An incorrect password set for the file being decrypted."},
        {221, L"The central directory was not found in the archive (or you were trying to open not the last "
              L"volume "
              L"of a segmented archive)."},
        {222, L"The Zip64 format has not been enabled for the library, but is required to use the archive."},
        {505, L"Not enough memory."},
        {506, L"Zlib library error (buffer error)."},
    };
    for (const auto& row : cases)
        EXPECT_EQ(Describe(row.cause), row.text) << row.cause;
}

TEST(ZipException, FileErrorsCarryTheSystemText) {
    const std::wstring systemText = WideFromUtf8(std::strerror(EIO));
    EXPECT_EQ(Describe(216, EIO), L"A file error occurred (" + systemText + L").");
    EXPECT_EQ(Describe(218, EIO), L"Error while removing a file (" + systemText + L").");
    // Unlisted causes give the system text itself.
    EXPECT_EQ(Describe(217, EIO), systemText);
}

TEST(ZipException, WithoutAnyErrorTheTextIsUnspecified) {
    EXPECT_EQ(Describe(200), L"Unspecified error");
    EXPECT_EQ(Describe(4711), L"Unspecified error");
    // 502 describes the C runtime's current error number.
    errno = 0;
    CZipException zlibErrno(502);
    errno = ENOENT;
    EXPECT_EQ(zlibErrno.GetErrorDescription(), L"No such file or directory.");
    errno = 0;
}

TEST(ZipException, ThrowCarriesCauseAndName) {
    try {
        CZipException::Throw(202, L"/tmp/a.zip");
        FAIL() << "no exception";
    } catch (const CZipException& error) {
        EXPECT_EQ(error.m_cause, 202);
        EXPECT_EQ(error.m_fileName, L"/tmp/a.zip");
        EXPECT_STREQ(error.what(), "Crc is mismatched.");
    }
}

TEST(ZipException, GetErrorMessageCutsToTheBuffer) {
    errno = 0;
    const CZipException error(202);
    wchar_t buffer[10];
    std::wmemset(buffer, L'#', 10);
    UINT help = 77;
    ASSERT_TRUE(error.GetErrorMessage(buffer, 10, &help));
    EXPECT_EQ(std::wstring(buffer), L"Crc is mi");
    EXPECT_EQ(help, 77u);
    EXPECT_FALSE(error.GetErrorMessage(nullptr, 10));
    EXPECT_FALSE(error.GetErrorMessage(buffer, 0));
}
